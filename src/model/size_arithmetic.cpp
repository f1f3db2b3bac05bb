// Turns the values of the main dialog's split-size group into the job's
// sizes, and composes the size and piece-count texts of its labels.
#include "model/size_arithmetic.h"

#include <cstdio>
#include <iterator>
#include <string_view>

#include "model/split_job.h"
#include "platform/file_services.h"

namespace {

constexpr uint32_t KiloByte = 1024;
constexpr uint32_t MegaByte = 1024 * 1024;

// The piece sizes behind the preset list's entries, in list order.
constexpr uint32_t PresetSizes[] = {729712, 1213552, 1457264, 2621440};
constexpr uint32_t UnitFactors[] = {1, KiloByte, MegaByte};

constexpr char InvalidCharacterText[] =
    "Invalid character(s) found in split size.\n"
    "Characters other than digits or decimal points (.) are invalid.";
constexpr char SpacesText[] = "Spaces aren't allowed before or between digits.";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits, decimal points and trailing blanks only; the first fault's kind.
SizeError SizeTextFault(std::string_view text) {
    for (char c : text)
        if (!IsDigit(c) && c != '.' && c != ' ') return SizeError::InvalidCharacter;
    bool blankSeen = false;
    for (char c : text) {
        if (c == ' ') {
            blankSeen = true;
        } else if (blankSeen) {
            return SizeError::Spaces;
        }
    }
    return SizeError::None;
}

// The integer the leading digits write; held at the largest byte count.
uint32_t LeadingWholeNumber(std::string_view text) {
    unsigned long long value = 0;
    for (char c : text) {
        if (!IsDigit(c)) break;
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > UINT32_MAX) return UINT32_MAX;
    }
    return static_cast<uint32_t>(value);
}

// The leading decimal number times the factor, truncated toward zero and held
// at the largest byte count. The digits are gathered as one integer and
// divided by its power of ten once, so that exact products stay exact.
uint32_t LeadingDecimalTimes(std::string_view text, uint32_t factor) {
    unsigned long long digits = 0;
    long double scale = 1.0L;
    bool pointSeen = false;
    for (char c : text) {
        if (c == '.' && !pointSeen) {
            pointSeen = true;
        } else if (IsDigit(c)) {
            digits = digits * 10 + static_cast<unsigned>(c - '0');
            if (pointSeen) scale *= 10.0L;
        } else {
            break;
        }
    }
    long double bytes = static_cast<long double>(digits) * factor / scale;
    if (bytes >= static_cast<long double>(UINT32_MAX)) return UINT32_MAX;
    return static_cast<uint32_t>(bytes);
}

void ConvertSpecifiedSize() {
    SplitJob.Spanning = 0;
    int32_t unit = SplitJob.SizeUnitIndex;
    std::string_view text(SplitJob.SplitSizeText.data());
    if (unit == 0) {
        SplitJob.SplitSize = LeadingWholeNumber(text);
    } else if (unit == 1 || unit == 2) {
        SplitJob.SplitSize = LeadingDecimalTimes(text, UnitFactors[unit]);
    }
}

void ConvertPresetSize() {
    SplitJob.Spanning = 0;
    int32_t preset = SplitJob.PresetIndex;
    if (preset >= 0 && preset < static_cast<int32_t>(std::size(PresetSizes)))
        SplitJob.SplitSize = PresetSizes[preset];
}

}  // namespace

const char* SizeErrorText(SizeError error) {
    switch (error) {
        case SizeError::InvalidCharacter:
            return InvalidCharacterText;
        case SizeError::Spaces:
            return SpacesText;
        default:
            return "";
    }
}

SizeError StoreSplitSize(const char* text, int32_t mode, int32_t unitIndex, int32_t presetIndex) {
    CopyText(SplitJob.SplitSizeText, text);
    SplitJob.SizeUnitIndex = unitIndex;
    SplitJob.PresetIndex = presetIndex;
    SplitJob.SizeMode = mode;
    if (mode == 1) {
        SizeError fault = SizeTextFault(SplitJob.SplitSizeText.data());
        if (fault != SizeError::None) return fault;
    }
    switch (SplitJob.SizeMode) {
        case 0:
            SplitJob.SplitSize = 0;
            SplitJob.Spanning = 1;
            break;
        case 1:
            ConvertSpecifiedSize();
            break;
        default:
            ConvertPresetSize();
            break;
    }
    return SizeError::None;
}

bool SizeText(const char* path, char* text, size_t capacity) {
    DirectoryEntry entry{};
    // A file of 4 GiB or more has no size the job's byte counts can hold: it
    // is shown, and later refused, like a missing one.
    if (!FindDirectoryEntry(path, entry) || entry.IsTooLarge()) {
        SplitJob.SourceSize = 0;
        return false;
    }
    uint32_t size = entry.SizeLow;
    SplitJob.SourceSize = size;
    unsigned long bytes = size;
    if (size >= MegaByte) {
        snprintf(text, capacity, "%.2f MB (%lu bytes)", size / 1024.0 / 1024.0, bytes);
    } else if (size >= KiloByte) {
        snprintf(text, capacity, "%.2f KB (%lu bytes)", size / 1024.0, bytes);
    } else {
        snprintf(text, capacity, "%lu bytes", bytes);
    }
    return true;
}

uint32_t PieceCountOf(uint32_t sourceSize, uint32_t splitSize) {
    if (sourceSize == 0 || splitSize == 0 || sourceSize < splitSize) return 0;
    // In 64 bits: sourceSize + splitSize - 1 can pass 4,294,967,295.
    return static_cast<uint32_t>((uint64_t{sourceSize} + splitSize - 1) / splitSize);
}

void PieceCountText(char* text, size_t capacity) {
    if (SplitJob.Spanning) {
        CopyText(text, capacity, "Spanned");
        return;
    }
    uint32_t count = PieceCountOf(SplitJob.SourceSize, SplitJob.SplitSize);
    if (count > 0) {
        SplitJob.PieceCount = count;
        snprintf(text, capacity, "%lu", static_cast<unsigned long>(count));
    } else if (SplitJob.SourceSize != 0 && SplitJob.SplitSize != 0) {
        CopyText(text, capacity, "Split size too big");
    }
}

int32_t SuggestedUnit(uint32_t size) {
    if (size < KiloByte) return 0;
    if (size < MegaByte) return 1;
    return 2;
}
