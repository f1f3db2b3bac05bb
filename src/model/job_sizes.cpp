// The job record's sizes, stored from the size arithmetic's results.
#include "model/job_sizes.h"

namespace {

SplitSizeReading StoredSize() {
    return {SizeError::None, SplitJob.Spanning != 0, SplitJob.SplitSize,
            SplitJob.SplitSizeTooBig != 0};
}

}  // namespace

SizeError StoreSplitSize(const char* text, SplitSizeMode mode, int32_t unitIndex,
                         int32_t presetIndex) {
    CopyText(SplitJob.SplitSizeText, text);
    SplitJob.SizeUnitIndex = unitIndex;
    SplitJob.PresetIndex = presetIndex;
    SplitJob.SizeMode = mode;
    SplitSizeReading reading = ReadSizeValues(SplitJob.SplitSizeText.data(), mode, unitIndex,
                                              presetIndex, SplitJob.SplitSize);
    if (reading.error != SizeError::None) return reading.error;
    SplitJob.Spanning = reading.spanning ? 1 : 0;
    SplitJob.SplitSize = reading.splitSize;
    SplitJob.SplitSizeTooBig = reading.tooBig ? 1 : 0;
    return SizeError::None;
}

bool SizeText(const char* path, char* text, size_t capacity) {
    return SourceSizeText(path, SplitJob.SourceSize, text, capacity);
}

void PieceCountText(char* text, size_t capacity) {
    uint64_t count = CountText(StoredSize(), SplitJob.SourceSize, text, capacity);
    // Held at the largest 32-bit count: a split of more than 1,000 pieces is
    // refused before the count is used.
    if (count > 0)
        SplitJob.PieceCount = count > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(count);
}
