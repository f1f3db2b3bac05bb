// The split size, size texts and piece counts, read from the real controls of
// a main dialog created in this process.
#include "model/size_arithmetic.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "model/split_job.h"
#include "resource.h"
#include "test_support.h"
#include "ui/main_dialog.h"

using namespace testing_support;

namespace {

constexpr char InvalidCharacterMessage[] =
    "Invalid character(s) found in split size.\n"
    "Characters other than digits or decimal points (.) are invalid.";
constexpr char SpacesMessage[] = "Spaces aren't allowed before or between digits.";

class SizeArithmetic : public ::testing::Test {
protected:
    void SetUp() override {
        AppInstance = GetModuleHandleA(nullptr);
        SplitJob.Spanning = 0;
        ResetJob();
        ASSERT_NE(CreateMainDialog(), nullptr);
        // Where a user who types a size has the focus: leaving the source
        // field is a refresh of its own, tested with the dialog.
        SetFocus(GetDlgItem(MainWindow, IDC_SIZE_TEXT));
    }
    void TearDown() override {
        DestroyWindow(MainWindow);
        MainWindow = nullptr;
    }

    void ChooseMode(int radioId) {
        for (int id : {IDC_SPAN, IDC_SPECIFIED, IDC_PRESET})
            CheckDlgButton(MainWindow, id, id == radioId ? BST_CHECKED : BST_UNCHECKED);
    }
    void ChooseUnit(int index) {
        SendDlgItemMessageA(MainWindow, IDC_UNIT_LIST, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    void ChoosePreset(int index) {
        SendDlgItemMessageA(MainWindow, IDC_PRESET_LIST, CB_SETCURSEL, static_cast<WPARAM>(index),
                            0);
    }
    // Sets a field without the refresh that a change of the size field makes
    // while a source size is known: the tests below call the arithmetic
    // themselves.
    void Type(int id, const char* text) {
        uint64_t sourceSize = SplitJob.SourceSize;
        SplitJob.SourceSize = 0;
        SetDlgItemTextA(MainWindow, id, text);
        SplitJob.SourceSize = sourceSize;
    }

    // The specified size that a typed text gives with the unit selected.
    uint32_t SpecifiedSize(const char* text, int unit) {
        ChooseMode(IDC_SPECIFIED);
        ChooseUnit(unit);
        Type(IDC_SIZE_TEXT, text);
        SplitJob.SplitSize = 777;
        EXPECT_TRUE(ReadSplitSize()) << "[" << text << "]";
        EXPECT_EQ(SplitJob.SizeMode, 1);
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
}

TEST_F(SizeArithmetic, TextsWithoutDigitsGiveZeroInEveryUnit) {
    for (int unit = 0; unit < 3; ++unit) {
        for (const char* text : {"", ".", "   "}) {
            EXPECT_EQ(SpecifiedSize(text, unit), 0u) << "[" << text << "] unit " << unit;
        }
    }
    SplitJob.SourceSize = 5000;
    ShowPieceCount();
    EXPECT_EQ(WindowText(GetDlgItem(MainWindow, IDC_PIECE_COUNT_LABEL)), "Num Pieces: ");
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

TEST_F(SizeArithmetic, BlanksBeforeOrBetweenDigitsAreRefusedOnce) {
    MessageBoxWatcher watcher;
    for (int unit = 0; unit < 3; ++unit) {
        for (const char* text : {" 100", "1 00"}) {
            ChooseMode(IDC_SPECIFIED);
            ChooseUnit(unit);
            Type(IDC_SIZE_TEXT, text);
            SplitJob.SplitSize = 777;
            SplitJob.Spanning = 1;
            EXPECT_FALSE(ReadSplitSize()) << "[" << text << "]";
            EXPECT_EQ(SplitJob.SizeMode, 1);
            EXPECT_EQ(SplitJob.SplitSize, 777u);  // the previous values stay
            EXPECT_EQ(SplitJob.Spanning, 1u);
        }
    }
    ASSERT_EQ(watcher.Count(), 6u);
    for (const SeenBox& box : watcher.Seen()) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.text, SpacesMessage);
        EXPECT_EQ(box.owner, MainWindow);
    }
}

TEST_F(SizeArithmetic, OtherCharactersAreRefusedBeforeBlanks) {
    MessageBoxWatcher watcher;
    for (int unit = 0; unit < 3; ++unit) {
        for (const char* text : {"1,5", "-5", "1e3", " 1,5"}) {
            ChooseMode(IDC_SPECIFIED);
            ChooseUnit(unit);
            Type(IDC_SIZE_TEXT, text);
            EXPECT_FALSE(ReadSplitSize()) << "[" << text << "]";
        }
    }
    ASSERT_EQ(watcher.Count(), 12u);
    for (const SeenBox& box : watcher.Seen()) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.text, InvalidCharacterMessage);
    }
}

TEST_F(SizeArithmetic, SpanAndPresetModesTakeAnyTextUnchecked) {
    MessageBoxWatcher watcher;
    Type(IDC_SIZE_TEXT, "1,5 x");
    ChooseMode(IDC_SPAN);
    SplitJob.SplitSize = 777;
    EXPECT_TRUE(ReadSplitSize());
    EXPECT_EQ(SplitJob.SizeMode, 0);
    EXPECT_EQ(SplitJob.Spanning, 1u);
    EXPECT_EQ(SplitJob.SplitSize, 0u);
    EXPECT_STREQ(SplitJob.SplitSizeText.data(), "1,5 x");

    ChooseMode(IDC_PRESET);
    const uint32_t presets[] = {729712, 1213552, 1457264, 2621440};
    for (int index = 0; index < 4; ++index) {
        ChoosePreset(index);
        EXPECT_TRUE(ReadSplitSize());
        EXPECT_EQ(SplitJob.SizeMode, 2);
        EXPECT_EQ(SplitJob.Spanning, 0u);
        EXPECT_EQ(SplitJob.SplitSize, presets[index]);
    }
    ChoosePreset(-1);
    EXPECT_TRUE(ReadSplitSize());
    EXPECT_EQ(SplitJob.SplitSize, presets[3]);  // no selection keeps the size
    EXPECT_EQ(watcher.Count(), 0u);
}

TEST_F(SizeArithmetic, NoRadioCheckedCountsAsSpecified) {
    ChooseMode(IDC_SPECIFIED);
    CheckDlgButton(MainWindow, IDC_SPECIFIED, BST_UNCHECKED);
    ChooseUnit(0);
    Type(IDC_SIZE_TEXT, "42");
    EXPECT_TRUE(ReadSplitSize());
    EXPECT_EQ(SplitJob.SizeMode, 1);
    EXPECT_EQ(SplitJob.SplitSize, 42u);
}

TEST_F(SizeArithmetic, TypedTextIsCutToNineteenCharacters) {
    ChooseMode(IDC_SPAN);
    Type(IDC_SIZE_TEXT, "12345678901234567890123");
    ReadSplitSize();
    EXPECT_STREQ(SplitJob.SplitSizeText.data(), "1234567890123456789");
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
        HANDLE file =
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(size);
        SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        CloseHandle(file);
        char text[80] = {};
        EXPECT_TRUE(SizeText(path.c_str(), text, sizeof text));
        EXPECT_STREQ(text, expected);
        EXPECT_EQ(SplitJob.SourceSize, size);
        ShowSourceSize(path.c_str());
        EXPECT_EQ(WindowText(GetDlgItem(MainWindow, IDC_SIZE_LABEL)),
                  std::string("Size: ") + expected);
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
    ShowSourceSize(path.c_str());
    EXPECT_EQ(WindowText(GetDlgItem(MainWindow, IDC_SIZE_LABEL)), "Size: ");
}

TEST_F(SizeArithmetic, PieceCountsAreTheExactCeiling) {
    ChooseMode(IDC_SPECIFIED);
    ChooseUnit(0);
    Type(IDC_SIZE_TEXT, "3");
    SplitJob.SourceSize = 10;
    EXPECT_EQ(CountText(), "4");
    EXPECT_EQ(SplitJob.PieceCount, 4u);

    Type(IDC_SIZE_TEXT, "1");
    SplitJob.SourceSize = 4294967295u;
    EXPECT_EQ(CountText(), "4294967295");
    // Beyond 4 GiB the label counts in 64 bits; the record holds the largest
    // 32-bit count, which the request refuses as more than 1,000 pieces.
    SplitJob.SourceSize = 5368709120u;
    EXPECT_EQ(CountText(), "5368709120");
    EXPECT_EQ(SplitJob.PieceCount, 4294967295u);
    ChooseUnit(2);
    for (auto [source, size, count] :
         {std::tuple{5368709120u, "2000", "3"}, std::tuple{5368709120u, "4095", "2"},
          std::tuple{4294967295ull, "100", "41"}}) {
        SplitJob.SourceSize = source;
        Type(IDC_SIZE_TEXT, size);
        EXPECT_EQ(CountText(), count);
    }

    ChooseMode(IDC_PRESET);
    ChoosePreset(2);
    SplitJob.SourceSize = 1457264;
    EXPECT_EQ(CountText(), "1");
    SplitJob.SourceSize = 1457265;
    EXPECT_EQ(CountText(), "2");
}

TEST_F(SizeArithmetic, CountsThatCannotBeMadeKeepThePreviousCount) {
    ChooseMode(IDC_SPECIFIED);
    ChooseUnit(0);
    SplitJob.PieceCount = 7;
    Type(IDC_SIZE_TEXT, "101");
    SplitJob.SourceSize = 100;
    EXPECT_EQ(CountText(), "Split size too big");
    Type(IDC_SIZE_TEXT, "0");
    EXPECT_EQ(CountText(), "unchanged");
    Type(IDC_SIZE_TEXT, "5");
    SplitJob.SourceSize = 0;
    EXPECT_EQ(CountText(), "unchanged");
    EXPECT_EQ(SplitJob.PieceCount, 7u);

    ChooseMode(IDC_SPAN);
    SplitJob.SourceSize = 0;
    EXPECT_EQ(CountText(), "Spanned");
    SplitJob.SourceSize = 100;
    EXPECT_EQ(CountText(), "Spanned");
}

TEST_F(SizeArithmetic, InvalidTextCountsWithThePreviousSize) {
    MessageBoxWatcher watcher;
    ChooseMode(IDC_SPECIFIED);
    ChooseUnit(0);
    Type(IDC_SIZE_TEXT, "4");
    SplitJob.SourceSize = 10;
    EXPECT_EQ(CountText(), "3");
    Type(IDC_SIZE_TEXT, "4x");
    EXPECT_EQ(CountText(), "3");
    EXPECT_EQ(watcher.Count(), 1u);
}

TEST_F(SizeArithmetic, SuggestedUnitsFollowTheSizeTextThresholds) {
    EXPECT_EQ(SuggestedUnit(0), 0);
    EXPECT_EQ(SuggestedUnit(1023), 0);
    EXPECT_EQ(SuggestedUnit(1024), 1);
    EXPECT_EQ(SuggestedUnit(1048575), 1);
    EXPECT_EQ(SuggestedUnit(1048576), 2);
    EXPECT_EQ(SuggestedUnit(4294967295u), 2);
}

TEST_F(SizeArithmetic, SplitInputsCompleteNeedsWhatTheModeUses) {
    EXPECT_FALSE(SplitInputsComplete(MainWindow));
    Type(IDC_SOURCE, "C:\\file.zip");
    ChooseMode(IDC_PRESET);
    EXPECT_TRUE(SplitInputsComplete(MainWindow));
    ChooseMode(IDC_SPECIFIED);
    EXPECT_FALSE(SplitInputsComplete(MainWindow));
    Type(IDC_SIZE_TEXT, "1");
    EXPECT_TRUE(SplitInputsComplete(MainWindow));
    ChooseMode(IDC_SPAN);
    EXPECT_FALSE(SplitInputsComplete(MainWindow));
    Type(IDC_DEST, "A:\\");
    EXPECT_TRUE(SplitInputsComplete(MainWindow));
    Type(IDC_SOURCE, "");
    EXPECT_FALSE(SplitInputsComplete(MainWindow));
}

}  // namespace
