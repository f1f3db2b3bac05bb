// The split size from the values of the split-size group, the source's size,
// the piece count, and the texts of the two labels that show them. Values in,
// results out: the job record's writers (model/split_job.h) store them, the
// main dialog's side (ui/size_fields.cpp) reads the controls and shows the
// messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/split_job.h"

constexpr uint32_t KiloByte = 1024;
constexpr uint32_t MegaByte = 1024 * 1024;

// An entry of the unit list and the bytes one of it stands for, in list order.
struct SizeUnit {
    const char* label;
    uint32_t factor;
};
inline constexpr SizeUnit SizeUnits[] = {{"bytes", 1}, {"KB", KiloByte}, {"MB", MegaByte}};

// An entry of the preset list and the piece size behind it, in list order.
struct Preset {
    const char* label;
    uint32_t bytes;
};
// The first three are the data area of a DOS-formatted floppy of that kind (its
// sectors less the boot sector, both FATs and the root folder) less 400 bytes:
// 720 KB 730,112 - 400, 1.2 MB 1,213,952 - 400, 1.44 MB 1,457,664 - 400. The
// 2.88 MB one is 2.5 MiB, 2,621,440 bytes, well inside that disk's 2,931,712.
inline constexpr Preset Presets[] = {
    {"720 KB", 729712}, {"1.2 MB", 1213552}, {"1.44 MB", 1457264}, {"2.88 MB", 2621440}};

// Why a typed size was refused; None when it was not.
enum class SizeError { None, InvalidCharacter, Spaces };

// The message the user sees for a refused size (caption "Error").
const char* SizeErrorText(SizeError error);

// What the split-size group's values stand for.
struct SplitSizeReading {
    SizeError error;  // the first fault of a typed size; the rest is then unset
    bool spanning;
    uint32_t splitSize;
    bool tooBig;  // typed past the largest piece, 4,294,967,295 bytes (splitSize holds that)
};

// Converts the group's values (presetIndex -1 when no entry is selected; then
// the split size is heldSize, the one held so far).
SplitSizeReading ReadSizeValues(std::string_view text, SplitSizeMode mode, int32_t unitIndex,
                                int32_t presetIndex, uint32_t heldSize);

// Looks up the file the path names: its size, and its size text written.
// False, size 0 and the text untouched when there is none.
bool SourceSizeText(const char* path, uint64_t& size, char* text, size_t capacity);

// The size text of a byte count: "1023 bytes", "1.12 KB (1152 bytes)",
// "5120.00 MB (5368709120 bytes)".
void ByteSizeText(uint64_t bytes, char* text, size_t capacity);

// The number of pieces: the exact ceiling of sourceSize / splitSize. 0, no
// count, when either size is 0 or the source is smaller than one piece.
uint64_t PieceCountOf(uint64_t sourceSize, uint32_t splitSize);

// Writes "Spanned", "Split size too big" or the piece count, which it gives
// (0 otherwise); writes nothing when either size is unknown.
uint64_t CountText(const SplitSizeReading& size, uint64_t sourceSize, char* text, size_t capacity);

// The row of SizeUnits that suits a size: bytes, KB or MB.
int32_t SuggestedUnit(uint64_t size);
