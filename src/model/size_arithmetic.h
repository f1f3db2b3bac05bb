// The split size from the values of the split-size group, the source's size,
// the piece count, and the texts of the two labels that show them. Values in,
// results out: the main dialog's side (ui/size_fields.cpp) reads the controls
// and shows the messages.
#pragma once

#include <cstddef>
#include <cstdint>

// Why a typed size was refused; None when it was not.
enum class SizeError { None, InvalidCharacter, Spaces };

// The message the user sees for a refused size (caption "Error").
const char* SizeErrorText(SizeError error);

// Stores the split-size group's values into SplitSizeText (cut to its
// capacity), SizeMode (0 span, 1 specified, 2 preset), SizeUnitIndex and
// PresetIndex (-1 when no entry is selected), then converts them into
// Spanning and SplitSize. A typed size that the text cannot stand for leaves
// Spanning and SplitSize as they were and gives the first fault's kind.
SizeError StoreSplitSize(const char* text, int32_t mode, int32_t unitIndex, int32_t presetIndex);

// True when the size ReadSplitSize read last was typed past the largest
// piece, 4,294,967,295 bytes (SplitSize then holds that largest size).
bool SplitSizeIsTooBig();

// Looks up the file the path names into SourceSize and writes its size text.
// Gives false, SourceSize 0 and leaves the text untouched when there is none.
bool SizeText(const char* path, char* text, size_t capacity);

// The size text of a byte count: "1023 bytes", "1.12 KB (1152 bytes)",
// "5120.00 MB (5368709120 bytes)".
void ByteSizeText(uint64_t bytes, char* text, size_t capacity);

// The number of pieces: the exact ceiling of sourceSize / splitSize. 0, no
// count, when either size is 0 or the source is smaller than one piece.
uint64_t PieceCountOf(uint64_t sourceSize, uint32_t splitSize);

// Writes "Spanned", "Split size too big" or the piece count (stored into
// PieceCount) for the stored sizes; writes nothing when either size is
// unknown.
void PieceCountText(char* text, size_t capacity);

// The unit list entry that suits a size: 0 bytes, 1 KB, 2 MB.
int32_t SuggestedUnit(uint64_t size);
