// The one process-wide split job record, the eight user options and the
// process-wide window and thread handles. Plain records of fixed-size fields,
// zeroed at process start and never allocated or freed.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string_view>

constexpr size_t PathCapacity = 260;     // 259 characters and the terminator
constexpr size_t SizeTextCapacity = 20;  // 19 characters and the terminator

using PathText = std::array<char, PathCapacity>;
using SizeTextBuffer = std::array<char, SizeTextCapacity>;

struct SplitJobRecord {
    // Inputs, kept in step with the main dialog's controls.
    PathText SourcePath;
    PathText DestFolder;
    SizeTextBuffer SplitSizeText;
    int32_t SizeMode;       // 0 span to disk, 1 specified size, 2 preset size
    int32_t SizeUnitIndex;  // 0 bytes, 1 KB, 2 MB
    int32_t PresetIndex;    // 0 "720 KB", 1 "1.2 MB", 2 "1.44 MB", 3 "2.88 MB"
    PathText BackupFolder;  // never reset
    uint32_t BackupEnabled;

    // Derived sizes.
    uint32_t SourceSize;
    uint32_t SplitSize;
    uint32_t PieceCount;
    uint32_t Spanning;

    // Names derived from the source when a job is prepared.
    PathText SourceFileName;  // 8.3 alias when the entry has one, else the own name
    PathText SourceTitle;     // SourcePath after its last backslash
    PathText SourceBaseName;  // SourceFileName without its extension

    // Copy state, owned by the running job.
    uint32_t BufferSize;
    uint32_t ChunkSize;
    char* CopyBuffer;
    HANDLE SourceHandle;
    HANDLE PieceHandle;
    HANDLE BackupHandle;
    int32_t PieceIndex;
    uint32_t PieceBytesWritten;
    uint32_t TotalBytesWritten;
    volatile LONG JobRunning;
};

struct OptionsRecord {
    uint32_t UseDos83;
    uint32_t UseLongJoinBatName;
    uint32_t BackupPrompt;
    uint32_t DeletePrompt;
    uint32_t CloseWhenDone;
    uint32_t NoReminders;
    uint32_t MoreMem;
    uint32_t AlwaysOnTop;
};

extern SplitJobRecord SplitJob;

extern OptionsRecord Options;

// Process-wide handles.
extern HINSTANCE AppInstance;
extern HWND MainWindow;
extern HWND ProgressWindow;
extern HWND ProgressTooltip;
extern HICON AppIcon;
extern HANDLE WorkerThread;
extern DWORD WorkerThreadId;
extern HICON AboutIcon;

// Clears the inputs and the derived sizes; leaves Spanning, the backup
// settings, the copy state and the options alone.
void ResetJob();

// Puts the copy state into its "nothing held" form: handles invalid, no
// buffer, counters zero, no job running. Used at process start.
void ResetCopyState();

// Copies text into a fixed-size buffer, truncating at its capacity and always
// terminating it. Returns the number of characters stored.
size_t CopyText(char* target, size_t capacity, std::string_view text);

template <size_t N>
size_t CopyText(std::array<char, N>& target, std::string_view text) {
    return CopyText(target.data(), N, text);
}

// Appends text behind what the buffer already holds, truncating at capacity.
size_t AppendText(char* target, size_t capacity, std::string_view text);

template <size_t N>
size_t AppendText(std::array<char, N>& target, std::string_view text) {
    return AppendText(target.data(), N, text);
}

// True when the text fits the buffer without truncation.
template <size_t N>
bool FitsIn(const std::array<char, N>&, std::string_view text) {
    return text.size() < N;
}
