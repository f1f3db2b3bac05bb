// The split size as the main dialog's controls give it, the source's size, the
// piece count, and the texts of the two labels that show them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Reads the split-size controls of MainWindow into SplitSizeText,
// SizeUnitIndex, PresetIndex, SizeMode, Spanning and SplitSize. A typed size
// that the text cannot stand for shows one message box and gives false.
bool ReadSplitSize();

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
// PieceCount); writes nothing when either size is unknown.
void PieceCountText(char* text, size_t capacity);

// True when the dialog's fields hold what a split of the chosen kind needs.
bool SplitInputsComplete(HWND dialog);

// The unit list entry that suits a size: 0 bytes, 1 KB, 2 MB.
int32_t SuggestedUnit(uint64_t size);
