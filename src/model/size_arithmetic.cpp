// Turns the values of the main dialog's split-size group into the job's
// sizes, and composes the size and piece-count texts of its labels.
#include "model/size_arithmetic.h"

#include <iterator>
#include <string_view>

#include "platform/file_services.h"

namespace {

constexpr char InvalidCharacterText[] =
    "Invalid character(s) found in split size.\n"
    "Characters other than digits or decimal points (.) are invalid.";
constexpr char SpacesText[] = "Spaces aren't allowed before or between digits.";

// The byte count, held at the largest piece; tooBig says whether it was.
uint32_t HeldAtLargest(uint64_t bytes, bool& tooBig) {
    tooBig = bytes > UINT32_MAX;
    return tooBig ? UINT32_MAX : static_cast<uint32_t>(bytes);
}

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
uint32_t LeadingWholeNumber(std::string_view text, bool& tooBig) {
    uint64_t value = 0;
    for (char c : text) {
        if (!IsDigit(c)) break;
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > UINT32_MAX) return HeldAtLargest(value, tooBig);
    }
    return HeldAtLargest(value, tooBig);
}

// The leading decimal number times the factor, truncated toward zero and held
// at the largest byte count, in integers and so exact: the digits are gathered
// as one integer over its power of ten. The text holds at most 19 characters,
// so the digits fit 64 bits, and with a decimal point the power of ten is at
// most 10^18.
uint32_t LeadingDecimalTimes(std::string_view text, uint32_t factor, bool& tooBig) {
    uint64_t digits = 0, scale = 1;
    bool pointSeen = false;
    for (char c : text) {
        if (c == '.' && !pointSeen) {
            pointSeen = true;
        } else if (IsDigit(c)) {
            digits = digits * 10 + static_cast<unsigned>(c - '0');
            if (pointSeen) scale *= 10;
        } else {
            break;
        }
    }
    uint64_t whole = digits / scale, rest = digits % scale;
    if (whole > UINT32_MAX) return HeldAtLargest(whole, tooBig);
    // rest * factor / scale by shift and add, one bit of the factor at a
    // time; the remainder stays below scale, so nothing overflows.
    uint64_t fraction = 0, remainder = 0;
    for (int bit = 31; bit >= 0; --bit) {
        fraction *= 2;
        remainder *= 2;
        if (factor >> bit & 1) remainder += rest;
        for (; remainder >= scale; remainder -= scale) ++fraction;
    }
    return HeldAtLargest(whole * factor + fraction, tooBig);
}

// A unit outside the list keeps the size held so far.
uint32_t SpecifiedSize(std::string_view text, int32_t unit, uint32_t heldSize, bool& tooBig) {
    if (unit == 0) return LeadingWholeNumber(text, tooBig);
    if (unit == 1 || unit == 2) return LeadingDecimalTimes(text, SizeUnits[unit].factor, tooBig);
    return heldSize;
}

uint32_t PresetSize(int32_t preset, uint32_t heldSize) {
    if (preset >= 0 && preset < static_cast<int32_t>(std::size(Presets)))
        return Presets[preset].bytes;
    return heldSize;
}

// "N.NN" of bytes / 2^shift, rounded to the nearest hundredth, a tie to the
// even one. The quotient is an exact binary fraction, so this is the text
// "%.2f" gives for it, without the floating point.
void HundredthsText(uint64_t bytes, unsigned shift, char* text, size_t capacity) {
    const uint64_t mask = (uint64_t{1} << shift) - 1;
    uint64_t scaled = (bytes & mask) * 100;  // below 100 << shift: no overflow
    uint64_t fraction = scaled >> shift;
    uint64_t rest = scaled & mask, half = uint64_t{1} << (shift - 1);
    if (rest > half || (rest == half && fraction % 2 == 1)) ++fraction;
    uint64_t whole = (bytes >> shift) + fraction / 100;
    fraction %= 100;
    DecimalText(text, capacity, whole);
    char decimals[4] = {'.', static_cast<char>('0' + fraction / 10),
                        static_cast<char>('0' + fraction % 10), '\0'};
    AppendText(text, capacity, decimals);
}

}  // namespace

void ByteSizeText(uint64_t bytes, char* text, size_t capacity) {
    char count[24];
    DecimalText(count, sizeof count, bytes);
    if (bytes < KiloByte) {
        FormatText(text, capacity, "%s bytes", count);
        return;
    }
    HundredthsText(bytes, bytes >= MegaByte ? 20 : 10, text, capacity);
    AppendText(text, capacity, bytes >= MegaByte ? " MB (" : " KB (");
    AppendText(text, capacity, count);
    AppendText(text, capacity, " bytes)");
}

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

SplitSizeReading ReadSizeValues(std::string_view text, SplitSizeMode mode, int32_t unitIndex,
                                int32_t presetIndex, uint32_t heldSize) {
    SplitSizeReading reading{SizeError::None, false, heldSize, false};
    if (mode == SplitSizeMode::Specified) reading.error = SizeTextFault(text);
    if (reading.error != SizeError::None) return reading;
    switch (mode) {
        case SplitSizeMode::Span:
            reading.splitSize = 0;
            reading.spanning = true;
            break;
        case SplitSizeMode::Specified:
            reading.splitSize = SpecifiedSize(text, unitIndex, heldSize, reading.tooBig);
            break;
        default:
            reading.splitSize = PresetSize(presetIndex, heldSize);
            break;
    }
    return reading;
}

bool SourceSizeText(const char* path, uint64_t& size, char* text, size_t capacity) {
    DirectoryEntry entry{};
    size = 0;
    if (!FindDirectoryEntry(path, entry)) return false;
    size = entry.Size();
    ByteSizeText(size, text, capacity);
    return true;
}

uint64_t PieceCountOf(uint64_t sourceSize, uint32_t splitSize) {
    if (sourceSize == 0 || splitSize == 0 || sourceSize < splitSize) return 0;
    // The source is under 2^63, so sourceSize + splitSize - 1 cannot wrap.
    return (sourceSize + splitSize - 1) / splitSize;
}

uint64_t CountText(const SplitSizeReading& size, uint64_t sourceSize, char* text, size_t capacity) {
    if (size.spanning) {
        CopyText(text, capacity, "Spanned");
        return 0;
    }
    uint64_t count = size.tooBig ? 0 : PieceCountOf(sourceSize, size.splitSize);
    if (count > 0) {
        DecimalText(text, capacity, count);
    } else if (sourceSize != 0 && size.splitSize != 0) {
        CopyText(text, capacity, "Split size too big");
    }
    return count;
}

int32_t SuggestedUnit(uint64_t size) {
    if (size < KiloByte) return 0;
    if (size < MegaByte) return 1;
    return 2;
}
