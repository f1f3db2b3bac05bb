// The job record's sizes written from the size arithmetic's results: the
// split-size group's values, the source's size and the piece count.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/size_arithmetic.h"
#include "model/split_job.h"

// Stores the split-size group's values into SplitSizeText (cut to its
// capacity), SizeMode, SizeUnitIndex and PresetIndex (-1 when no entry is
// selected), then converts them into Spanning, SplitSize and SplitSizeTooBig.
// A typed size that the text cannot stand for leaves those three as they were
// and gives the first fault's kind.
SizeError StoreSplitSize(const char* text, SplitSizeMode mode, int32_t unitIndex,
                         int32_t presetIndex);

// Looks up the file the path names into SourceSize and writes its size text.
// Gives false, SourceSize 0 and leaves the text untouched when there is none.
bool SizeText(const char* path, char* text, size_t capacity);

// Writes "Spanned", "Split size too big" or the piece count (stored into
// PieceCount) for the stored sizes; writes nothing when either size is
// unknown.
void PieceCountText(char* text, size_t capacity);
