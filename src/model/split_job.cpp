// The split job record and the options record.
#include "model/split_job.h"

SplitJobRecord SplitJob{};
OptionsRecord Options{};

void ResetJob() {
    SplitJob.SourcePath[0] = '\0';
    SplitJob.DestFolder[0] = '\0';
    SplitJob.SplitSizeText[0] = '\0';
    SplitJob.SourceSize = 0;
    SplitJob.SplitSize = 0;
    SplitJob.PieceCount = 0;
    SplitJob.SizeMode = SplitSizeMode::Specified;
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
