// Whole jobs that finish: the user fills the main window, presses Split,
// answers the questions, and the pieces and the join file rebuild the source
// through the command interpreter. The main window comes back empty, the
// settings stay as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "messages.h"
#include "program_session.h"
#include "resource.h"

using namespace testing_support;

namespace {

const std::vector<std::string> NoBoxes;

// The pieces and the join file, as a folder listing shows them.
std::vector<std::string> Outputs(const std::string& source, uint32_t count,
                                 const std::string& joinName) {
    std::vector<std::string> names = PieceNames(source, count);
    names.push_back(joinName);
    return Sorted(names);
}

// A source in a folder of its own, "src" in a fresh work folder.
struct SourceInFolder {
    SourceInFolder(const std::string& name, uint32_t size, uint32_t seed)
        : folder(work.Folder("src")),
          source(folder + "\\" + name),
          bytes(WriteRandomFile(source, size, seed)) {}
    TempFolder work;
    std::string folder;
    std::string source;
    std::string bytes;
};

TEST(FinishedSplit, PresetSizeGivesPiecesAndJoinFileThatRebuildTheSource) {
    TempFolder work;
    std::string source = work.File("Annual Report 1998.doc");
    std::string bytes = WriteRandomFile(source, 3000000, 3);
    std::string out = work.Folder("out");
    ProgramSession session;
    ASSERT_NE(session.main, nullptr);
    ASSERT_TRUE(session.SetSource(source));
    ASSERT_TRUE(session.SetDest(out));
    ASSERT_TRUE(session.UsePreset(Preset::Mb144));
    EXPECT_EQ(ControlText(session.main, IDC_PIECE_COUNT_LABEL), "Num Pieces: 3");

    ASSERT_TRUE(session.SplitAndWaitForEnd());
    EXPECT_EQ(session.boxes.Transcript(), NoBoxes);
    const std::string join = "Join-Annual Report 1998.doc.bat";
    EXPECT_EQ(FolderListing(out), Outputs(source, 3, join));
    EXPECT_EQ(session.Inputs(), EmptyInputs());
    EXPECT_EQ(StoredDwords(), AsStored(QuietOptions));
    EXPECT_EQ(ReadWholeFile(source), bytes);

    EXPECT_EQ(Recombine(out, join, "Annual Report 1998.doc"), bytes);
}

struct TypedSize {
    const char* text;
    Unit unit;
    uint32_t sourceSize;
    uint32_t pieceSize;
    uint32_t pieceCount;
};

void PrintTo(const TypedSize& size, std::ostream* out) {
    const char* units[] = {"bytes", "KB", "MB"};
    *out << size.text << " " << units[static_cast<int>(size.unit)];
}

class TypedSizeSplit : public ::testing::TestWithParam<TypedSize> {};

TEST_P(TypedSizeSplit, CutsPiecesOfThatSizeThatRebuildTheSource) {
    const TypedSize& size = GetParam();
    TempFolder work;
    std::string source = work.File("data.bin");
    std::string bytes = WriteRandomFile(source, size.sourceSize, 5);
    std::string out = work.Folder("out");
    ProgramSession session;
    ASSERT_NE(session.main, nullptr);
    ASSERT_TRUE(session.SetSource(source));
    ASSERT_TRUE(session.SetDest(out));
    ASSERT_TRUE(session.UseSpecified(size.text, size.unit));
    EXPECT_EQ(ControlText(session.main, IDC_PIECE_COUNT_LABEL),
              "Num Pieces: " + std::to_string(size.pieceCount));

    ASSERT_TRUE(session.SplitAndWaitForEnd());
    EXPECT_EQ(session.boxes.Transcript(), NoBoxes);
    EXPECT_EQ(FolderListing(out), Outputs(source, size.pieceCount, "Join-data.bin.bat"));
    std::vector<std::string> pieces = PieceNames(source, size.pieceCount);
    for (uint32_t n = 0; n + 1 < size.pieceCount; ++n)
        EXPECT_EQ(FileSize64(out + "\\" + pieces[n]), size.pieceSize) << pieces[n];
    EXPECT_EQ(FileSize64(out + "\\" + pieces.back()),
              size.sourceSize - (size.pieceCount - 1) * size.pieceSize);
    EXPECT_EQ(session.Inputs(), EmptyInputs());
    EXPECT_EQ(StoredDwords(), AsStored(QuietOptions));
    EXPECT_EQ(Recombine(out, "Join-data.bin.bat", "data.bin"), bytes);
}

std::string UnitName(const ::testing::TestParamInfo<TypedSize>& info) {
    const char* names[] = {"Bytes", "KB", "MB"};
    return names[static_cast<int>(info.param.unit)];
}

// The first is an exact multiple: no empty last piece.
INSTANTIATE_TEST_SUITE_P(EveryUnit, TypedSizeSplit,
                         ::testing::Values(TypedSize{"250000", Unit::Bytes, 1000000, 250000, 4},
                                           TypedSize{"100.5", Unit::KB, 500000, 102912, 5},
                                           TypedSize{"0.75", Unit::MB, 2000000, 786432, 3}),
                         UnitName);

TEST(FinishedSplit, EmptyDestinationPutsThePiecesBesideTheSource) {
    SourceInFolder given("report.txt", 2000000, 9);
    const std::string& folder = given.folder;
    const std::string& source = given.source;
    ProgramSession session;
    ASSERT_NE(session.main, nullptr);
    ASSERT_TRUE(session.SetSource(source));
    ASSERT_TRUE(session.UsePreset(Preset::Kb720));
    // The main window suggested the source's folder; the user clears it.
    ASSERT_EQ(ControlText(session.main, IDC_DEST), folder);
    ASSERT_TRUE(session.SetDest(""));
    ASSERT_EQ(ControlText(session.main, IDC_DEST), "");

    ASSERT_TRUE(session.SplitAndWaitForEnd());
    EXPECT_EQ(session.boxes.Transcript(), NoBoxes);
    std::vector<std::string> expected = Outputs(source, 3, "Join-report.txt.bat");
    expected.push_back("report.txt");
    EXPECT_EQ(FolderListing(folder), Sorted(expected));
    EXPECT_EQ(FileSize64(folder + "\\report.002"), 2000000u - 2 * 729712u);
    EXPECT_EQ(session.Inputs(), EmptyInputs());

    // The user moves the source away before rebuilding it from the pieces.
    ASSERT_TRUE(DeleteFileA(source.c_str()));
    EXPECT_EQ(Recombine(folder, "Join-report.txt.bat", "report.txt"), given.bytes);
}

TEST(LargeCount, NoKeepsTheMainWindowYesSplitsAndNinetyNineAsksNothing) {
    SourceInFolder given("many.bin", 100000, 11);
    const std::string& folder = given.folder;
    const std::string& source = given.source;
    ProgramSession session;
    ASSERT_NE(session.main, nullptr);
    ASSERT_TRUE(session.SetSource(source));
    ASSERT_TRUE(session.SetDest(""));
    ASSERT_TRUE(session.UseSpecified("1000", Unit::Bytes));

    EXPECT_EQ(session.SplitRefusedWith(), messages::LargeCountQuestion(100));
    EXPECT_TRUE(session.StillEditing());
    EXPECT_EQ(ControlText(session.main, IDC_DEST), folder);  // the default stays shown
    EXPECT_EQ(FolderListing(folder), std::vector<std::string>{"many.bin"});

    session.boxes.Answer(IDYES);
    ASSERT_TRUE(session.SplitAndWaitForEnd());
    EXPECT_EQ(session.boxes.Transcript(),
              (std::vector<std::string>{messages::LargeCountQuestion(100),
                                        messages::LargeCountQuestion(100)}));
    EXPECT_EQ(FolderListing(folder).size(), 102u);
    EXPECT_EQ(session.Inputs(), EmptyInputs());
    ASSERT_TRUE(DeleteFileA(source.c_str()));
    EXPECT_EQ(Recombine(folder, "Join-many.bin.bat", "many.bin"), given.bytes);

    // The same program goes on: 99 pieces split without a question.
    std::string other = given.work.File("fewer.bin");
    std::string otherBytes = WriteRandomFile(other, 99000, 12);
    std::string out = given.work.Folder("out");
    ASSERT_TRUE(session.SetSource(other));
    ASSERT_TRUE(session.SetDest(out));
    ASSERT_TRUE(session.UseSpecified("1000", Unit::Bytes));
    ASSERT_TRUE(session.SplitAndWaitForEnd());
    EXPECT_EQ(session.boxes.Count(), 2u);
    EXPECT_EQ(FolderListing(out).size(), 100u);
    EXPECT_EQ(Recombine(out, "Join-fewer.bin.bat", "fewer.bin"), otherBytes);
}

TEST(RemovableDestination, QuestionComesFirstNoStopsYesSplitsOntoTheDisk) {
    REQUIRE_SMALL_DISKS();
    SmallDisk disk(1474560);
    ASSERT_TRUE(disk.Mounted());
    disk.Insert();
    TempFolder work;
    std::string source = work.File("data.bin");
    std::string bytes = WriteRandomFile(source, 1000000, 13);
    ProgramSession session;
    ASSERT_NE(session.main, nullptr);
    ASSERT_TRUE(session.SetSource(work.File("missing.bin")));
    ASSERT_TRUE(session.SetDest(FloppyRoot()));
    ASSERT_TRUE(session.UsePreset(Preset::Kb720));

    // Asked before the source is even looked up.
    EXPECT_EQ(session.SplitRefusedWith(), messages::RemovableQuestion);
    session.boxes.Answer(IDYES);
    EXPECT_EQ(session.SplitRefusedWith(),
              std::string(messages::RemovableQuestion) + " || " + messages::SourceNotFound);
    EXPECT_TRUE(session.StillEditing());

    ASSERT_TRUE(session.SetSource(source));
    EXPECT_EQ(session.SplitRefusedWith(), messages::RemovableQuestion);  // No
    EXPECT_TRUE(session.StillEditing());
    EXPECT_TRUE(FolderListing(disk.WindowsPath()).empty());

    session.boxes.Answer(IDYES);
    ASSERT_TRUE(session.SplitAndWaitForEnd());
    EXPECT_EQ(session.boxes.Last(), messages::RemovableQuestion);
    EXPECT_EQ(session.boxes.Count(), 5u);
    EXPECT_EQ(FolderListing(disk.WindowsPath()), Outputs(source, 2, "Join-data.bin.bat"));
    EXPECT_EQ(session.Inputs(), EmptyInputs());
    std::string gathered = work.File("gathered");
    GatherFiles({disk.WindowsPath()}, gathered);
    SmallDisk::EjectFloppy();
    EXPECT_EQ(Recombine(gathered, "Join-data.bin.bat", "data.bin"), bytes);
}

}  // namespace
