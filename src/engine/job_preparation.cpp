// Readies a validated job on the interface thread: buffer size, the source's
// names, the progress window's texts and range, the first free-space check
// when spanning, the copy buffer and the counters.
#include <windows.h>

#include <new>

#include "engine/engine_steps.h"
#include "engine/job_report.h"
#include "engine/split_engine.h"
#include "model/naming.h"
#include "model/split_job.h"

namespace {

constexpr uint32_t MoreMemBufferSize = 20971520;
constexpr uint32_t NormalBufferSize = 5242880;
constexpr uint32_t SpanningBufferSize = 102400;

constexpr char OutOfMemory[] = "Out of memory, unable to split file.";

uint32_t ChooseBufferSize() {
    if (SplitJob.Spanning) return SpanningBufferSize;
    return Options.MoreMem ? MoreMemBufferSize : NormalBufferSize;
}

void ShowTitleLine() {
    char title[400];
    if (SplitJob.Spanning)
        FormatText(title, sizeof title, "Spanning \"%s\" to disks...", SplitJob.SourceTitle.data());
    else
        FormatText(title, sizeof title, "Splitting \"%s\" into %d pieces...",
                   SplitJob.SourceTitle.data(), static_cast<int>(SplitJob.PieceCount));
    JobReporter().Title(title);
}

void SetProgressRange() { JobReporter().Range(SplitJob.SourceSize / SplitJob.ChunkSize + 1); }

// ChunkSize from the buffer size and the piece or the first disk; false when
// the user cancelled the free-space prompt (the job is then ended).
bool ChooseChunkSize() {
    if (!SplitJob.Spanning) {
        SplitJob.ChunkSize =
            SplitJob.SplitSize < SplitJob.BufferSize ? SplitJob.SplitSize : SplitJob.BufferSize;
        return true;
    }
    uint32_t freeBytes = 0;
    if (!FirstFreeSpaceCheck(DriveRoot(View(SplitJob.DestFolder)).data(), freeBytes)) return false;
    SplitJob.ChunkSize = freeBytes < SplitJob.BufferSize ? freeBytes : SplitJob.BufferSize;
    return true;
}

bool AllocateCopyBuffer() {
    SplitJob.CopyBuffer = new (std::nothrow) char[SplitJob.ChunkSize];
    return SplitJob.CopyBuffer != nullptr;
}

}  // namespace

bool PrepareSplitJob() {
    if (!BeginSplitJob()) return false;
    JobReporter().Begin();
    SplitJob.BufferSize = ChooseBufferSize();
    if (!DeriveSourceNames()) return FailSplitJob(SourceNotFound);
    ShowTitleLine();
    JobReporter().Status("Initializing...");
    JobReporter().Position(0);
    if (!ChooseChunkSize()) return false;
    SetProgressRange();
    if (!AllocateCopyBuffer()) {
        ShowError(OutOfMemory);
        return EndSplitJobEarly(true);
    }
    SplitJob.PieceIndex = 0;
    SplitJob.PieceBytesWritten = 0;
    SplitJob.TotalBytesWritten = 0;
    SplitJob.SourceHandle = SplitJob.PieceHandle = SplitJob.BackupHandle = INVALID_HANDLE_VALUE;
    MarkSplitJobPrepared();
    return true;
}
