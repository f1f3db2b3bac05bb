// The Split button refused: each check of the request with its message, in
// its order (when several apply, the earlier check speaks), and the refusals
// of inputs that would otherwise reach the engine: a split size of 0, an empty
// source, a span of a source on the disk being spanned, paths too long for the
// piece and join file names, a typed size past the largest piece, a path with
// wildcards or past 259 characters, a source name too long for the join
// file's name. A refusal leaves
// the main window open as it was and writes no file.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <tuple>
#include <vector>

#include "messages.h"
#include "program_session.h"
#include "resource.h"

using namespace testing_support;

namespace {

// A fresh folder with the files the refusals need and an empty output folder.
class RefusalTest : public ::testing::Test {
protected:
    void SetUp() override {
        out = work.Folder("out");
        missing = work.File("missing.bin");
        nowhere = work.File("nowhere");
        ASSERT_NE(session.main, nullptr);
    }
    std::string Source(const std::string& name, uint32_t size) {
        std::string path = work.File(name);
        WriteRandomFile(path, size, size);
        return path;
    }
    // The request refused with the one message, the main window kept and
    // nothing written.
    void ExpectRefusal(const std::string& message, CALLER_LINE) {
        AT_CALLER;
        EXPECT_EQ(session.SplitRefusedWith(), message);
        EXPECT_TRUE(session.StillEditing());
        EXPECT_TRUE(FolderListing(out).empty());
    }

    TempFolder work;
    std::string out, missing, nowhere;
    ProgramSession session;
};

TEST_F(RefusalTest, SizeChecksComeBeforeTheDrivesAndFiles) {
    // Everything else is wrong too: no source, no destination folder.
    ASSERT_TRUE(session.SetSource(missing));
    ASSERT_TRUE(session.SetDest(nowhere));
    ASSERT_TRUE(session.UseSpecified("0", Unit::Bytes));
    ExpectRefusal(messages::ZeroSplitSize);

    std::string onePiece = Source("one.bin", 1457264);
    ASSERT_TRUE(session.SetSource(onePiece));
    ASSERT_TRUE(session.SetDest(nowhere));
    ASSERT_TRUE(session.UsePreset(Preset::Mb144));
    ExpectRefusal(messages::OnePiece);

    std::string tenThousand = Source("tenk.bin", 10000);
    ASSERT_TRUE(session.SetSource(tenThousand));
    ASSERT_TRUE(session.SetDest(nowhere));
    ASSERT_TRUE(session.UseSpecified("9", Unit::Bytes));  // 1,112 pieces
    ExpectRefusal(messages::TooManyPieces);

    // 1,000 pieces pass; the missing folder speaks next.
    ASSERT_TRUE(session.UseSpecified("10", Unit::Bytes));
    EXPECT_EQ(ControlText(session.main, IDC_PIECE_COUNT_LABEL), "Num Pieces: 1000");
    ExpectRefusal(messages::DestFolderNotFound);

    // One byte more than the preset gives two pieces and passes too.
    std::string twoPieces = Source("two.bin", 1457265);
    ASSERT_TRUE(session.SetSource(twoPieces));
    ASSERT_TRUE(session.SetDest(nowhere));
    ASSERT_TRUE(session.UsePreset(Preset::Mb144));
    ExpectRefusal(messages::DestFolderNotFound);

    EXPECT_EQ(session.Inputs(), (MainInputs{twoPieces, nowhere, "10", IDC_PRESET, 0, 2}));
}

TEST_F(RefusalTest, SpanChecksTheDriveBeforeTheSource) {
    ASSERT_TRUE(session.SetSource(missing));
    ASSERT_TRUE(session.UseSpan());
    ASSERT_TRUE(session.SetDest(FloppyRoot() + "Pieces"));
    ExpectRefusal(messages::SpanToFolder);
    ASSERT_TRUE(session.SetDest("C:\\"));
    ExpectRefusal(messages::SpanToFixed);
}

TEST_F(RefusalTest, SourceThenDestinationThenSizeAgainstTheSource) {
    ASSERT_TRUE(session.SetSource(missing));
    ASSERT_TRUE(session.SetDest(nowhere));
    ASSERT_TRUE(session.UseSpecified("1", Unit::KB));
    ExpectRefusal(messages::SourceNotFound);

    // A source smaller than the split size: the destination is checked first.
    std::string small = Source("small.bin", 100);
    ASSERT_TRUE(session.SetSource(small));
    ASSERT_TRUE(session.SetDest(nowhere));
    ASSERT_TRUE(session.UseSpecified("101", Unit::Bytes));
    EXPECT_EQ(ControlText(session.main, IDC_PIECE_COUNT_LABEL), "Num Pieces: Split size too big");
    ExpectRefusal(messages::DestFolderNotFound);
    ASSERT_TRUE(session.SetDest("Q:\\"));
    ExpectRefusal(messages::DestDriveNotFound);
    ASSERT_TRUE(session.SetDest(small));
    ExpectRefusal(messages::DestNotFolder);
    ASSERT_TRUE(session.SetDest(out + "\\"));  // a trailing backslash names no entry
    ExpectRefusal(messages::DestFolderNotFound);
    ASSERT_TRUE(session.SetDest(out));
    ExpectRefusal(messages::SizeAboveSource);

    EXPECT_EQ(session.Inputs(), (MainInputs{small, out, "101", IDC_SPECIFIED, 0, 2}));
    EXPECT_EQ(ReadWholeFile(small).size(), 100u);
}

TEST_F(RefusalTest, InvalidSizeTextSpeaksBeforeEverythingElse) {
    ASSERT_TRUE(session.SetSource(missing));
    ASSERT_TRUE(session.SetDest(nowhere));
    ASSERT_TRUE(session.UseSpecified("1,5", Unit::KB));  // reported while typing
    std::string refusal = session.SplitRefusedWith();
    // Leaving the field for the button may report it once more; then the
    // request does, and nothing else follows.
    EXPECT_TRUE(refusal == messages::InvalidCharacter ||
                refusal ==
                    std::string(messages::InvalidCharacter) + " || " + messages::InvalidCharacter)
        << refusal;
    EXPECT_TRUE(session.StillEditing());
}

TEST_F(RefusalTest, ZeroSplitSizeIsRefusedInEveryForm) {
    std::string source = Source("data.bin", 10000);
    ASSERT_TRUE(session.SetSource(source));
    ASSERT_TRUE(session.SetDest(out));
    struct Typed {
        const char* text;
        Unit unit;
    };
    for (Typed typed :
         {Typed{"0", Unit::Bytes}, Typed{".", Unit::KB}, Typed{"   ", Unit::MB},
          Typed{"0.0001", Unit::KB}, Typed{"0.9", Unit::Bytes}, Typed{"0.0000001", Unit::MB}}) {
        SCOPED_TRACE(typed.text);
        ASSERT_TRUE(session.UseSpecified(typed.text, typed.unit));
        ExpectRefusal(messages::ZeroSplitSize);
    }
    EXPECT_EQ(session.Inputs(), (MainInputs{source, out, "0.0000001", IDC_SPECIFIED, 2, 2}));
}

TEST_F(RefusalTest, EmptySourceIsRefusedInEveryMode) {
    REQUIRE_SMALL_DISKS();
    SmallDisk disk(1474560);
    ASSERT_TRUE(disk.Mounted());
    disk.Insert();
    std::string empty = Source("empty.bin", 0);
    ASSERT_TRUE(session.Fill({empty, out, "1", Unit::KB}));
    ExpectRefusal(messages::SourceEmpty);
    ASSERT_TRUE(session.UsePreset(Preset::Mb144));
    ExpectRefusal(messages::SourceEmpty);
    // The empty source speaks before the missing destination folder.
    ASSERT_TRUE(session.SetDest(nowhere));
    ExpectRefusal(messages::SourceEmpty);
    // A span asks for no disk and writes no join file.
    ASSERT_TRUE(session.UseSpan());
    ASSERT_TRUE(session.SetDest(FloppyRoot()));
    ExpectRefusal(messages::SourceEmpty);
    EXPECT_TRUE(FolderListing(disk.WindowsPath()).empty());
}

TEST_F(RefusalTest, SpanOfASourceOnTheDiskBeingSpannedIsRefused) {
    REQUIRE_SMALL_DISKS();
    SmallDisk disk(1474560);
    ASSERT_TRUE(disk.Mounted());
    disk.Insert();
    WriteRandomFile(disk.WindowsPath() + "\\data.bin", 300000, 9);
    ASSERT_TRUE(session.UseSpan());
    ASSERT_TRUE(session.SetDest(FloppyRoot()));
    std::string lower(1, static_cast<char>(tolower(FloppyLetter())));
    for (const std::string& source : {FloppyRoot() + "data.bin", lower + ":\\data.bin",
                                      std::string(1, FloppyLetter()) + ":data.bin"}) {
        SCOPED_TRACE(source);
        ASSERT_TRUE(session.SetSource(source));
        ExpectRefusal(messages::SourceOnSpanDrive);
    }
    EXPECT_EQ(FolderListing(disk.WindowsPath()), std::vector<std::string>{"data.bin"});
    EXPECT_EQ(FileSize64(disk.WindowsPath() + "\\data.bin"), 300000u);
}

TEST_F(RefusalTest, PathsTooLongForThePiecesOrTheJoinFileAreRefused) {
    std::string source = Source("data.bin", 10000);
    ASSERT_TRUE(session.SetSource(source));
    ASSERT_TRUE(session.UseSpecified("4", Unit::KB));

    // 250 characters, and "\data.000" makes 259: the longest piece path.
    std::string longest = MakeFolderOfLength(work.Path(), 250);
    ASSERT_TRUE(FileExists(longest));
    // With the join file name "Join-data.bin.bat" that folder is too long...
    ASSERT_TRUE(session.SetDest(longest));
    EXPECT_EQ(session.SplitRefusedWith(), messages::DestPathTooLong);
    EXPECT_TRUE(FolderListing(longest).empty());
    // ...and one character more is too long for the pieces themselves.
    std::string tooLong = longest + "q";
    CreateDirectoryA(tooLong.c_str(), nullptr);
    ASSERT_TRUE(FileExists(tooLong));
    ASSERT_TRUE(session.SetDest(tooLong));
    EXPECT_EQ(session.SplitRefusedWith(), messages::DestPathTooLong);
    EXPECT_TRUE(FolderListing(tooLong).empty());
    EXPECT_TRUE(session.StillEditing());

    // Where both fit, the split goes on and writes every file.
    std::string fits = MakeFolderOfLength(work.File("fits"), 241);
    ASSERT_TRUE(session.SetDest(fits));
    ASSERT_TRUE(session.SplitAndWaitForEnd());
    EXPECT_EQ(session.boxes.Count(), 2u);
    EXPECT_EQ(FolderListing(fits),
              (std::vector<std::string>{"Join-data.bin.bat", "data.000", "data.001", "data.002"}));
}

TEST_F(RefusalTest, TypedSizePastTheLargestPieceIsRefusedNotHeldAtIt) {
    TempFolder folder;
    std::string largest = folder.File("largest.bin");
    ASSERT_TRUE(MakeLargeFile(largest, 4294967295ull));
    ASSERT_TRUE(session.Fill({largest, out, "4096", Unit::MB}));
    EXPECT_EQ(ControlText(session.main, IDC_PIECE_COUNT_LABEL), "Num Pieces: Split size too big");
    ExpectRefusal(messages::SplitSizeTooBig);
    ASSERT_TRUE(session.UseSpecified("99999999999", Unit::Bytes));
    ExpectRefusal(messages::SplitSizeTooBig);
    ASSERT_TRUE(session.UseSpecified("4294967295", Unit::Bytes));  // the largest piece
    ExpectRefusal(messages::OnePiece);
}

TEST_F(RefusalTest, PathsWithWildcardsOrPastTheirLengthAreRefusedNotCut) {
    for (int field : {IDC_SOURCE, IDC_DEST})
        EXPECT_EQ(SendMessageA(GetDlgItem(session.main, field), EM_GETLIMITTEXT, 0, 0), 259);
    std::string source = Source("data.bin", 10000);
    // A file whose path has 259 characters; one character more names no file.
    std::string longest = MakeFolderOfLength(work.Path(), 250) + "\\data.bin";
    WriteRandomFile(longest, 10000, 3);
    ASSERT_EQ(longest.size(), 259u);
    ASSERT_TRUE(session.UseSpecified("4", Unit::KB));
    for (auto [typed, dest, refusal] :
         {std::tuple{work.File("dat?.bin"), out, messages::SourceWildcards},
          std::tuple{source, work.File("o*"), messages::DestWildcards},
          std::tuple{longest + "x", out, messages::SourcePathTooLong},
          std::tuple{source, out + "\\" + std::string(260, 'd'), messages::DestPathTooLong}}) {
        ASSERT_TRUE(session.SetSource(typed) && session.SetDest(dest));
        ExpectRefusal(refusal);
    }
    // The same path on the command line.
    ProgramSession started(QuietOptions, longest + "x");
    ASSERT_TRUE(started.main && started.SetDest(out) && started.UseSpecified("4", Unit::KB));
    EXPECT_EQ(started.SplitRefusedWith(), messages::SourcePathTooLong);
    EXPECT_EQ(ControlText(started.main, IDC_SOURCE), longest + "x");
    EXPECT_EQ(FolderListing(longest.substr(0, 250)), std::vector<std::string>{"data.bin"});
}

TEST_F(RefusalTest, SourceNameTooLongForTheJoinFileNameIsRefused) {
    // "Join-" + 247 characters + ".bat" is one past the 255 a file name may have.
    std::string folder = "C:\\j" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string longName = folder + "\\" + std::string(243, 'n') + ".bin";
    WriteRandomFile(longName, 10000, 5);
    ASSERT_TRUE(session.SetSource(longName));
    ASSERT_TRUE(session.UseSpecified("4", Unit::KB));
    for (const char* dest : {"C:\\", ""}) {
        ASSERT_TRUE(session.SetDest(dest));
        EXPECT_EQ(session.SplitRefusedWith(), messages::JoinNameTooLong);
        EXPECT_TRUE(session.StillEditing());
    }
    EXPECT_EQ(FolderListing(folder).size(), 1u);
    DeleteFileA(longName.c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
