// The split size from the split-size group's values, the size texts and the
// piece counts.
#include "model/job_sizes.h"
#include "model/size_arithmetic.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "model/split_job.h"
#include "test_support.h"

using namespace testing_support;

namespace {

constexpr SplitSizeMode Span = SplitSizeMode::Span, Specified = SplitSizeMode::Specified,
                        Preset = SplitSizeMode::Preset;
constexpr int32_t NoEntry = -1;

class SizeArithmetic : public ::testing::Test {
protected:
    void SetUp() override {
        SplitJob.Spanning = 0;
        ResetJob();
    }

    // The specified size that a typed text gives with the unit selected.
    uint32_t SpecifiedSize(const char* text, int32_t unit) {
        SplitJob.SplitSize = 777;
        EXPECT_EQ(StoreSplitSize(text, Specified, unit, NoEntry), SizeError::None)
            << "[" << text << "]";
        EXPECT_EQ(SplitJob.SizeMode, Specified);
        EXPECT_EQ(SplitJob.Spanning, 0u);
        return SplitJob.SplitSize;
    }

    std::string CountText() {
        char text[64] = "unchanged";
        PieceCountText(text, sizeof text);
        return text;
    }
};

TEST_F(SizeArithmetic, TypedSizesConvertByTheirUnit) {
    EXPECT_EQ(SpecifiedSize("1457264", 0), 1457264u);
    EXPECT_EQ(SpecifiedSize("1.9", 0), 1u);
    EXPECT_EQ(SpecifiedSize("1.5", 1), 1536u);
    EXPECT_EQ(SpecifiedSize(".5", 1), 512u);
    EXPECT_EQ(SpecifiedSize("1..5", 1), 1024u);
    EXPECT_EQ(SpecifiedSize("1.44", 2), 1509949u);
    EXPECT_EQ(SpecifiedSize("2 ", 2), 2097152u);
    EXPECT_EQ(SpecifiedSize("0.0009765625", 1), 1u);  // exactly one byte stays one byte
    // Just below a whole byte stays below it, at any precision of the x87.
    EXPECT_EQ(SpecifiedSize("1.9999999999999999", 1), 2047u);
    EXPECT_EQ(SpecifiedSize("4095.9999999999999", 2), 4294967295u);
}

TEST_F(SizeArithmetic, TextsWithoutDigitsGiveZeroInEveryUnit) {
    for (int unit = 0; unit < 3; ++unit) {
        for (const char* text : {"", ".", "   "}) {
            EXPECT_EQ(SpecifiedSize(text, unit), 0u) << "[" << text << "] unit " << unit;
        }
    }
    SplitJob.SourceSize = 5000;
    EXPECT_EQ(CountText(), "unchanged");
}

TEST_F(SizeArithmetic, SizesBeyondFourGigabytesAreHeldAtTheLargest) {
    EXPECT_EQ(SpecifiedSize("4294967295", 0), 4294967295u);
    EXPECT_EQ(SpecifiedSize("4294967296", 0), 4294967295u);
    EXPECT_EQ(SpecifiedSize("9999999999999999999", 0), 4294967295u);
    EXPECT_EQ(SpecifiedSize("4194304", 1), 4294967295u);
    EXPECT_EQ(SpecifiedSize("4096", 2), 4294967295u);
    EXPECT_EQ(SpecifiedSize("4095.99", 2), 4294956810u);
    SplitJob.SourceSize = 100;
    EXPECT_EQ(CountText(), "Split size too big");
}

TEST_F(SizeArithmetic, BlanksBeforeOrBetweenDigitsAreRefused) {
    for (int32_t unit = 0; unit < 3; ++unit) {
        for (const char* text : {" 100", "1 00"}) {
            SplitJob.SplitSize = 777;
            SplitJob.Spanning = 1;
            EXPECT_EQ(StoreSplitSize(text, Specified, unit, NoEntry), SizeError::Spaces)
                << "[" << text << "]";
            EXPECT_EQ(SplitJob.SizeMode, Specified);
            EXPECT_EQ(SplitJob.SplitSize, 777u);  // the previous values stay
            EXPECT_EQ(SplitJob.Spanning, 1u);
        }
    }
}

TEST_F(SizeArithmetic, OtherCharactersAreRefusedBeforeBlanks) {
    for (int32_t unit = 0; unit < 3; ++unit) {
        for (const char* text : {"1,5", "-5", "1e3", " 1,5"}) {
            EXPECT_EQ(StoreSplitSize(text, Specified, unit, NoEntry), SizeError::InvalidCharacter)
                << "[" << text << "]";
        }
    }
}

TEST_F(SizeArithmetic, SpanAndPresetModesTakeAnyTextUnchecked) {
    SplitJob.SplitSize = 777;
    EXPECT_EQ(StoreSplitSize("1,5 x", Span, 0, NoEntry), SizeError::None);
    EXPECT_EQ(SplitJob.SizeMode, Span);
    EXPECT_EQ(SplitJob.Spanning, 1u);
    EXPECT_EQ(SplitJob.SplitSize, 0u);
    EXPECT_STREQ(SplitJob.SplitSizeText.data(), "1,5 x");

    const uint32_t presets[] = {729712, 1213552, 1457264, 2621440};
    for (int32_t index = 0; index < 4; ++index) {
        EXPECT_EQ(StoreSplitSize("1,5 x", Preset, 0, index), SizeError::None);
        EXPECT_EQ(SplitJob.SizeMode, Preset);
        EXPECT_EQ(SplitJob.Spanning, 0u);
        EXPECT_EQ(SplitJob.SplitSize, presets[index]);
    }
    EXPECT_EQ(StoreSplitSize("1,5 x", Preset, 0, NoEntry), SizeError::None);
    EXPECT_EQ(SplitJob.SplitSize, presets[3]);  // no selection keeps the size
}

TEST_F(SizeArithmetic, SizeTextsPassFourGigabytesAndTextsTruncate) {
    char text[40];
    ByteSizeText(5368709120ull, text, sizeof text);
    EXPECT_STREQ(text, "5120.00 MB (5368709120 bytes)");
    ByteSizeText(1152, text, 8);
    EXPECT_STREQ(text, "1.12 KB");
    FormatText(text, 6, "%d pieces", 12);
    EXPECT_STREQ(text, "12 pi");
}

TEST_F(SizeArithmetic, SizeTextsFollowTheSourceSize) {
    TempFolder folder;
    const std::pair<uint64_t, const char*> rows[] = {
        {0, "0 bytes"},
        {1023, "1023 bytes"},
        {1024, "1.00 KB (1024 bytes)"},
        {1152, "1.12 KB (1152 bytes)"},  // ties go to the even hundredth
        {1408, "1.38 KB (1408 bytes)"},
        {1048575, "1024.00 KB (1048575 bytes)"},
        {1048576, "1.00 MB (1048576 bytes)"},
        {1179648, "1.12 MB (1179648 bytes)"},
        {1500000, "1.43 MB (1500000 bytes)"},
        {4294967295u, "4096.00 MB (4294967295 bytes)"},
        {4294967296u, "4096.00 MB (4294967296 bytes)"},
        {5368709120u, "5120.00 MB (5368709120 bytes)"},
        {5000000000000u, "4768371.58 MB (5000000000000 bytes)"},
    };
    for (const auto& [size, expected] : rows) {
        std::string path = folder.File("f" + std::to_string(size));
        ASSERT_TRUE(MakeLargeFile(path, size));
        char text[80] = {};
        EXPECT_TRUE(SizeText(path.c_str(), text, sizeof text));
        EXPECT_STREQ(text, expected);
        EXPECT_EQ(SplitJob.SourceSize, size);
        DeleteFileA(path.c_str());
    }
}

TEST_F(SizeArithmetic, MissingSourceHasNoSizeText) {
    TempFolder folder;
    std::string path = folder.File("missing.zip");
    SplitJob.SourceSize = 99;
    char text[16] = "untouched";
    EXPECT_FALSE(SizeText(path.c_str(), text, sizeof text));
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(SplitJob.SourceSize, 0u);
}

TEST_F(SizeArithmetic, PieceCountsAreTheExactCeiling) {
    StoreSplitSize("3", Specified, 0, NoEntry);
    SplitJob.SourceSize = 10;
    EXPECT_EQ(CountText(), "4");
    EXPECT_EQ(SplitJob.PieceCount, 4u);

    StoreSplitSize("1", Specified, 0, NoEntry);
    SplitJob.SourceSize = 4294967295u;
    EXPECT_EQ(CountText(), "4294967295");
    // Beyond 4 GiB the label counts in 64 bits; the record holds the largest
    // 32-bit count, which the request refuses as more than 1,000 pieces.
    SplitJob.SourceSize = 5368709120u;
    EXPECT_EQ(CountText(), "5368709120");
    EXPECT_EQ(SplitJob.PieceCount, 4294967295u);
    for (auto [source, size, count] :
         {std::tuple{5368709120u, "2000", "3"}, std::tuple{5368709120u, "4095", "2"},
          std::tuple{4294967295ull, "100", "41"}}) {
        SplitJob.SourceSize = source;
        StoreSplitSize(size, Specified, 2, NoEntry);
        EXPECT_EQ(CountText(), count);
    }

    StoreSplitSize("1", Preset, 0, 2);
    SplitJob.SourceSize = 1457264;
    EXPECT_EQ(CountText(), "1");
    SplitJob.SourceSize = 1457265;
    EXPECT_EQ(CountText(), "2");
}

TEST_F(SizeArithmetic, CountsThatCannotBeMadeKeepThePreviousCount) {
    SplitJob.PieceCount = 7;
    StoreSplitSize("101", Specified, 0, NoEntry);
    SplitJob.SourceSize = 100;
    EXPECT_EQ(CountText(), "Split size too big");
    StoreSplitSize("0", Specified, 0, NoEntry);
    EXPECT_EQ(CountText(), "unchanged");
    StoreSplitSize("5", Specified, 0, NoEntry);
    SplitJob.SourceSize = 0;
    EXPECT_EQ(CountText(), "unchanged");
    EXPECT_EQ(SplitJob.PieceCount, 7u);

    StoreSplitSize("5", Span, 0, NoEntry);
    SplitJob.SourceSize = 0;
    EXPECT_EQ(CountText(), "Spanned");
    SplitJob.SourceSize = 100;
    EXPECT_EQ(CountText(), "Spanned");
}

TEST_F(SizeArithmetic, InvalidTextCountsWithThePreviousSize) {
    StoreSplitSize("4", Specified, 0, NoEntry);
    SplitJob.SourceSize = 10;
    EXPECT_EQ(CountText(), "3");
    EXPECT_EQ(StoreSplitSize("4x", Specified, 0, NoEntry), SizeError::InvalidCharacter);
    EXPECT_EQ(CountText(), "3");
}

TEST_F(SizeArithmetic, SuggestedUnitsFollowTheSizeTextThresholds) {
    EXPECT_EQ(SuggestedUnit(0), 0);
    EXPECT_EQ(SuggestedUnit(1023), 0);
    EXPECT_EQ(SuggestedUnit(1024), 1);
    EXPECT_EQ(SuggestedUnit(1048575), 1);
    EXPECT_EQ(SuggestedUnit(1048576), 2);
    EXPECT_EQ(SuggestedUnit(4294967295u), 2);
}

}  // namespace
