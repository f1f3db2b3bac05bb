// The split job record, the options record, the process-wide handles and the
// fixed-size text helpers every module uses to fill them.
#include "model/split_job.h"

#include <cstring>

SplitJobRecord SplitJob{};
OptionsRecord Options{};

HINSTANCE AppInstance = nullptr;
HWND MainWindow = nullptr;
HWND ProgressWindow = nullptr;
HWND ProgressTooltip = nullptr;
HICON AppIcon = nullptr;
HANDLE WorkerThread = nullptr;
DWORD WorkerThreadId = 0;
HICON AboutIcon = nullptr;

size_t CopyText(char* target, size_t capacity, std::string_view text) {
    if (capacity == 0) return 0;
    size_t count = text.size() < capacity ? text.size() : capacity - 1;
    if (count > 0) std::memmove(target, text.data(), count);
    target[count] = '\0';
    return count;
}

size_t AppendText(char* target, size_t capacity, std::string_view text) {
    if (capacity == 0) return 0;
    size_t used = strnlen(target, capacity - 1);
    return used + CopyText(target + used, capacity - used, text);
}

void ResetJob() {
    SplitJob.SourcePath[0] = '\0';
    SplitJob.DestFolder[0] = '\0';
    SplitJob.SplitSizeText[0] = '\0';
    SplitJob.SourceSize = 0;
    SplitJob.SplitSize = 0;
    SplitJob.PieceCount = 0;
    SplitJob.SizeMode = 1;
    SplitJob.SizeUnitIndex = 1;
    SplitJob.PresetIndex = 2;
}

void ResetCopyState() {
    SplitJob.CopyBuffer = nullptr;
    SplitJob.SourceHandle = INVALID_HANDLE_VALUE;
    SplitJob.PieceHandle = INVALID_HANDLE_VALUE;
    SplitJob.BackupHandle = INVALID_HANDLE_VALUE;
    SplitJob.PieceIndex = 0;
    SplitJob.PieceBytesWritten = 0;
    SplitJob.TotalBytesWritten = 0;
    SplitJob.JobRunning = 0;
}
