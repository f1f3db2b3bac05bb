// StartSplitWorker, RunSplitJob (the SplitWorker thread's start routine) and
// the piece writer it runs: opens the source, cuts it into pieces (and backup pieces) through the
// job's copy buffer, then hands over to the join file writer and the
// completion steps. Every failure ends the job early; the worker's last
// act reports its end to the interface thread.
#include <windows.h>

#include "engine/engine_steps.h"
#include "engine/job_report.h"
#include "engine/split_engine.h"
#include "model/naming.h"
#include "model/split_job.h"
#include "platform/file_services.h"
#include "script/join_batch_file.h"

namespace {

constexpr char OpenFailed[] =
    "Unable to open source file. File may be in use by another program.\n\nThis commonly happens "
    "when splitting .exe's and .dll's. If that's the case, try making a copy of the source file "
    "or restarting your computer.";
constexpr char CreateFailedSpanning[] =
    "Error creating destination file.\nDisk may be full or write-protected.";
constexpr char CreateFailed[] = "Error creating destination file.\nDrive may be full.";
constexpr char BackupCreateFailed[] =
    "Error creating backup of destination file. Backups have been disabled.";
constexpr char ReadNoMemory[] = "Not enough resources available to read from source file.";
constexpr char ReadFailed[] =
    "Error reading from source file. File may be in use by another program.";
constexpr char ReadPastEof[] = "Read past EOF. Source file is currupted.";
constexpr char WriteNoMemory[] = "Not enough resources available to write to destination file.";
constexpr char WriteFailedSpanning[] =
    "Error writing to destination file. Disk may be full or write-protected.";
constexpr char WriteFailed[] = "Error writing to destination file. Drive may be full.";
constexpr char BackupWriteNoMemory[] =
    "Not enough resources available to write to destination backup file.";
constexpr char BackupWriteFailed[] =
    "Error writing to destination backup file. Backups have been disabled.";

constexpr char StartFailed[] =
    "Unable to start the split: the system could not create its worker thread. Close other "
    "programs and try again.";

constexpr char JoinFileFailed[] = "Unable to write join file, drive may be full.";

void ShowPieceStatus() {
    char status[200];
    if (SplitJob.Spanning) {
        FormatText(status, sizeof status, "Waiting for disk %d...", SplitJob.PieceIndex + 1);
        JobReporter().Status(status);
        return;
    }
    FormatText(status, sizeof status, "Writing piece %d of %d...", SplitJob.PieceIndex + 1,
               static_cast<int>(SplitJob.PieceCount));
    JobReporter().PassingStatus(status);
}

bool OpenSource() {
    if (!WorkerMayGoOn()) return false;
    SplitJob.SourceHandle = OpenSourceFile(SplitJob.SourcePath.data());
    return SplitJob.SourceHandle != INVALID_HANDLE_VALUE || FailSplitJob(OpenFailed);
}

// Creates the piece file, offering Retry while creation fails. A path too
// long to build counts as a file that cannot be created.
bool CreatePiece() {
    PathText path{};
    bool fits = PiecePath(static_cast<uint32_t>(SplitJob.PieceIndex), path);
    for (;;) {
        if (!WorkerMayGoOn()) return false;
        if (fits) SplitJob.PieceHandle = CreateOutputFile(path.data());
        if (SplitJob.PieceHandle != INVALID_HANDLE_VALUE) return true;
        const char* text = SplitJob.Spanning ? CreateFailedSpanning : CreateFailed;
        if (AskUser(text, ErrorCaption, MB_RETRYCANCEL | MB_ICONERROR) != IDRETRY)
            return EndSplitJobEarly();
    }
}

void DisableBackups(const char* message) {
    ShowError(message);
    CloseFile(SplitJob.BackupHandle);
    SplitJob.BackupEnabled = 0;
}

// Creates the backup piece; a failure only turns backups off.
bool CreateBackupPiece() {
    if (!SplitJob.BackupEnabled) return true;
    PathText path{};
    bool fits = BackupPiecePath(static_cast<uint32_t>(SplitJob.PieceIndex), path);
    if (!WorkerMayGoOn()) return false;
    if (fits) SplitJob.BackupHandle = CreateOutputFile(path.data());
    if (SplitJob.BackupHandle == INVALID_HANDLE_VALUE) DisableBackups(BackupCreateFailed);
    return WorkerMayGoOn();
}

// A write that stores fewer bytes than it was given has lost data, so it
// counts as a failed write.
IoResult WriteAll(HANDLE file, const char* data, uint32_t count) {
    uint32_t written = 0;
    IoResult result = WriteBlock(file, data, count, written);
    return result == IoResult::Ok && written != count ? IoResult::Failed : result;
}

bool WritePieceBlock(const char* data, uint32_t count) {
    if (!WorkerMayGoOn()) return false;
    IoResult result = WriteAll(SplitJob.PieceHandle, data, count);
    if (result == IoResult::OutOfMemory) return FailSplitJob(WriteNoMemory);
    if (result == IoResult::Failed)
        return FailSplitJob(SplitJob.Spanning ? WriteFailedSpanning : WriteFailed);
    return true;
}

bool WriteBackupBlock(const char* data, uint32_t count) {
    if (!SplitJob.BackupEnabled) return true;
    if (!WorkerMayGoOn()) return false;
    IoResult result = WriteAll(SplitJob.BackupHandle, data, count);
    if (result == IoResult::OutOfMemory) return FailSplitJob(BackupWriteNoMemory);
    if (result == IoResult::Failed) DisableBackups(BackupWriteFailed);
    return WorkerMayGoOn();
}

// The size of the next block: what is left of the piece, at most ChunkSize,
// and never beyond the source's size as it was measured.
uint32_t NextBlockSize() {
    uint32_t block = SplitJob.SplitSize - SplitJob.PieceBytesWritten;
    if (block > SplitJob.ChunkSize) block = SplitJob.ChunkSize;
    uint64_t rest = SplitJob.SourceSize - SplitJob.TotalBytesWritten;
    return block < rest ? block : static_cast<uint32_t>(rest);
}

bool ReadSourceSlice(char* slice, uint32_t size, uint32_t& count) {
    if (!WorkerMayGoOn()) return false;
    IoResult result = ReadBlock(SplitJob.SourceHandle, slice, size, count);
    if (result == IoResult::OutOfMemory) return FailSplitJob(ReadNoMemory);
    if (result == IoResult::Failed) return FailSplitJob(ReadFailed);
    return true;
}

// One block of the piece: read from the source, then written to the piece and
// its backup. It moves in slices small enough to stay in the processor's
// cache: a whole 20 MiB block read and then written would pass through main
// memory twice and copy at a fraction of the disk's speed. As with one large
// read, a short read ends the block and the next block goes on from there;
// a block whose first read finds nothing is a read past the end.
bool CopyBlock(uint32_t size, uint32_t& count) {
    count = 0;
    while (count < size) {
        uint32_t want = size - count < CopySliceBytes ? size - count : CopySliceBytes;
        char* slice = SplitJob.CopyBuffer;
        uint32_t got = 0;
        if (!ReadSourceSlice(slice, want, got)) return false;
        if (got == 0) break;
        if (!WritePieceBlock(slice, got) || !WriteBackupBlock(slice, got)) return false;
        count += got;
        if (got < want) break;
    }
    return count != 0 || FailSplitJob(ReadPastEof);
}

bool CopyPiece() {
    SplitJob.PieceBytesWritten = 0;
    while (SplitJob.PieceBytesWritten < SplitJob.SplitSize) {
        uint32_t count = 0;
        if (!CopyBlock(NextBlockSize(), count)) return false;
        SplitJob.PieceBytesWritten += count;
        SplitJob.TotalBytesWritten += count;
        JobReporter().Step();
        if (SplitJob.TotalBytesWritten == SplitJob.SourceSize) break;
    }
    return true;
}

bool ClosePiece() {
    if (!WorkerMayGoOn()) return false;
    CloseFile(SplitJob.PieceHandle);
    CloseFile(SplitJob.BackupHandle);
    return true;
}

bool WritePiece(const char* root) {
    ShowPieceStatus();
    if (SplitJob.Spanning && !RunDiskCycle(root)) return false;
    if (!CreatePiece() || !CreateBackupPiece() || !CopyPiece() || !ClosePiece()) return false;
    if (SplitJob.TotalBytesWritten < SplitJob.SourceSize) ++SplitJob.PieceIndex;
    return true;
}

bool ReleaseSource() {
    if (!WorkerMayGoOn()) return false;
    CloseFile(SplitJob.SourceHandle);
    delete[] SplitJob.CopyBuffer;
    SplitJob.CopyBuffer = nullptr;
    return true;
}

bool WriteJoinFile() {
    JobReporter().Status("Writing recombination batch file...");
    if (!WorkerMayGoOn()) return false;
    const PathText joinName = JoinFileName();
    const JoinFilePlace place{View(joinName), View(SplitJob.DestFolder),
                              View(SplitJob.BackupFolder)};
    return WriteJoinBatchFile(JobJoinFileContent(), place, SplitJob.BackupEnabled, ShowError,
                              WorkerMayGoOn) ||
           FailSplitJob(JoinFileFailed);
}

DWORD WriteSplitJob() {
    PathText root = DriveRoot(View(SplitJob.DestFolder));
    if (!OpenSource()) return 0;
    while (SplitJob.TotalBytesWritten < SplitJob.SourceSize)
        if (!WritePiece(root.data())) return 0;
    if (SplitJob.Spanning) SplitJob.PieceCount = static_cast<uint32_t>(SplitJob.PieceIndex) + 1;
    if (!ReleaseSource()) return 0;
    if (SplitJob.Spanning && !CheckJoinFileRoom(root.data())) return 0;
    if (!WriteJoinFile()) return 0;
    // From here the job can only finish; a Cancel that came first stops it.
    if (!EnterCompletion()) return 0;
    return CompleteSplitJob();
}

}  // namespace

JoinFileContent JobJoinFileContent() {
    return {View(SplitJob.SourceBaseName), View(SplitJob.SourceFileName),
            View(SplitJob.SourceTitle),    SplitJob.PieceCount,
            SplitJob.SourceSize,           Options.UseDos83 != 0};
}

uint32_t CopySliceBytes = 256 * 1024;

DWORD WINAPI RunSplitJob(LPVOID) { return ReportWorkerEnd(WriteSplitJob()); }

bool StartSplitWorker() {
    WorkerThread =
        CreateThread(nullptr, 0, RunSplitJob, nullptr, CREATE_SUSPENDED, &WorkerThreadId);
    if (WorkerThread) {
        ResumeThread(WorkerThread);
        return true;
    }
    return FailSplitJob(StartFailed);
}
