// The one process-wide split job record and the user options. Plain records of fixed-size fields,
// zeroed at process start and never allocated or freed.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "base/text_and_path.h"

constexpr size_t SizeTextCapacity = 20;  // 19 characters and the terminator

using SizeTextBuffer = std::array<char, SizeTextCapacity>;

// Which radio of the split-size group is checked.
enum class SplitSizeMode : int32_t { Span = 0, Specified = 1, Preset = 2 };

struct SplitJobRecord {
    // Inputs, kept in step with the main dialog's controls.
    PathText SourcePath;
    PathText DestFolder;
    SizeTextBuffer SplitSizeText;
    SplitSizeMode SizeMode;
    int32_t SizeUnitIndex;  // a row of SizeUnits (model/size_arithmetic.h)
    int32_t PresetIndex;    // a row of Presets (model/size_arithmetic.h)
    PathText BackupFolder;  // never reset
    uint32_t BackupEnabled;

    // Derived sizes. The source and the bytes written so far may pass 4 GiB;
    // a piece, and so every other count, stays under it.
    uint64_t SourceSize;
    uint32_t SplitSize;
    uint32_t SplitSizeTooBig;  // typed past the largest piece; SplitSize then holds that piece
    uint32_t PieceCount;
    uint32_t Spanning;

    // Names derived from the source when a job is prepared.
    PathText SourceFileName;  // 8.3 alias when the entry has one, else the own name
    PathText SourceTitle;     // the source's own (long) name, from its directory entry
    PathText SourceBaseName;  // SourceFileName without its extension

    // Copy state, owned by the running job.
    uint32_t BufferSize;
    // Bytes per block: the size of CopyBuffer and the most a piece grows by
    // between two steps of the progress bar. Each block moves in reads and
    // writes of at most CopySliceBytes (split_engine.h), not in one read.
    uint32_t ChunkSize;
    char* CopyBuffer;
    HANDLE SourceHandle;
    HANDLE PieceHandle;
    HANDLE BackupHandle;
    int32_t PieceIndex;
    uint32_t PieceBytesWritten;
    uint64_t TotalBytesWritten;
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

// Clears the inputs and the derived sizes; leaves Spanning, the backup
// settings, the copy state and the options alone.
void ResetJob();

// Puts the copy state into its "nothing held" form: handles invalid, no
// buffer, counters zero, no job running. Used at process start.
void ResetCopyState();
