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

// After a job that finished: no box, the main window empty for the next job,
// the settings as they were.
void ExpectFinished(const ProgramSession& session, CALLER_LINE) {
    AT_CALLER;
    EXPECT_EQ(session.boxes.Transcript(), NoBoxes);
    EXPECT_EQ(session.Inputs(), EmptyInputs());
    EXPECT_EQ(StoredDwords(), AsStored(QuietOptions));
}

// Two jobs of one program: a preset into a folder, and a size typed in KB (a
// fraction: 100.5 KB is 102,912 bytes) with no destination, which puts the
// pieces beside the source. (What each unit and preset gives is the size
// arithmetic's test.)
TEST(FinishedSplit, PresetAndTypedSizesGivePiecesAndJoinFileThatRebuildTheSource) {
    TempFolder work;
    std::string report = work.File("Annual Report 1998.doc");
    std::string reportBytes = WriteRandomFile(report, 3000000, 3);
    std::string out = work.Folder("out");
    ProgramSession session;
    ASSERT_NE(session.main, nullptr);
    ASSERT_TRUE(session.SetSource(report));
    ASSERT_TRUE(session.SetDest(out));
    ASSERT_TRUE(session.UsePreset(Preset::Mb144));
    EXPECT_EQ(session.Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: 3");
    ASSERT_TRUE(session.SplitAndWaitForEnd());
    ExpectFinished(session);
    const std::string join = "Join-Annual Report 1998.doc.bat";
    EXPECT_EQ(FolderListing(out), Outputs(report, 3, join));
    EXPECT_EQ(ReadWholeFile(report), reportBytes);
    EXPECT_EQ(Recombine(out, join, "Annual Report 1998.doc"), reportBytes);

    SourceInFolder given("report.txt", 500000, 5);
    ASSERT_TRUE(session.SetSource(given.source));
    // The main window suggests the source's folder; the user clears it.
    ASSERT_EQ(session.Text(IDC_DEST), given.folder);
    ASSERT_TRUE(session.SetDest(""));
    ASSERT_TRUE(session.UseSpecified("100.5", Unit::KB));
    EXPECT_EQ(session.Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: 5");
    ASSERT_TRUE(session.SplitAndWaitForEnd());
    ExpectFinished(session);
    std::vector<std::string> expected = Outputs(given.source, 5, "Join-report.txt.bat");
    expected.push_back("report.txt");
    EXPECT_EQ(FolderListing(given.folder), Sorted(expected));
    std::vector<std::string> pieces = PieceNames(given.source, 5);
    for (size_t n = 0; n < 4; ++n)
        EXPECT_EQ(FileSize64(given.folder + "\\" + pieces[n]), 102912u) << pieces[n];
    EXPECT_EQ(FileSize64(given.folder + "\\" + pieces[4]), 500000u - 4 * 102912u);
    // The user moves the source away before rebuilding it from the pieces.
    ASSERT_TRUE(DeleteFileA(given.source.c_str()));
    EXPECT_EQ(Recombine(given.folder, "Join-report.txt.bat", "report.txt"), given.bytes);
}

// What is set in Options reaches the next split of the running program (what
// each option does in detail is the engine's and the join file's tests): 8.3
// names give Join.bat, which rebuilds the file under its 8.3 name; the delete
// question and the reminder come; the progress window stays open. About, too,
// opens from the main window, which waits while it is open.
TEST(FinishedSplit, OptionsSetInTheRunningProgramApplyToTheNextSplit) {
    TempFolder work;
    std::string source = work.File("Quarterly Figures.data");
    std::string bytes = WriteRandomFile(source, 500000, 3);
    std::string alias = ShortName(source);
    ASSERT_NE(alias, "Quarterly Figures.data") << "this file system gives no short names";
    std::string out = work.Folder("out");
    ProgramSession session;
    ASSERT_NE(session.main, nullptr);
    HWND about = session.OpenDialog(IDC_ABOUT, messages::AboutCaption);
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(IsWindowEnabled(session.main)) << "About is modal";
    ASSERT_TRUE(PressButton(about, IDCANCEL));
    ASSERT_TRUE(WaitWindowGone(about));
    EXPECT_TRUE(IsWindowEnabled(session.main));

    ASSERT_TRUE(session.SetOptionsThroughDialog({{IDC_OPT_USE_DOS83, true},
                                                 {IDC_OPT_LONG_JOIN_NAME, false},
                                                 {IDC_OPT_DELETE_PROMPT, true},
                                                 {IDC_OPT_CLOSE_WHEN_DONE, false},
                                                 {IDC_OPT_NO_REMINDERS, false}}));
    EXPECT_EQ(StoredDwords(), AsStored({1, 0, 0, 1, 0, 0, 0, 0}));
    session.boxes.Answer(IDNO);  // keeps the source
    ASSERT_TRUE(session.Split({source, out, "200"}));
    HWND progress = session.ProgressShowing("Finished.", 120000);
    ASSERT_NE(progress, nullptr) << ::testing::PrintToString(session.boxes.Transcript());
    EXPECT_EQ(ControlText(progress, IDCANCEL), "Close");
    EXPECT_EQ(session.program.MainWindow(0), nullptr)
        << "no main window beside the progress window";
    ASSERT_TRUE(PressButton(progress, IDCANCEL));
    ASSERT_TRUE(session.WaitForMainWindowBack());
    EXPECT_EQ(session.boxes.Transcript(),
              (std::vector<std::string>{messages::DeleteQuestion, messages::FolderReminder}));
    EXPECT_EQ(FolderListing(out), Outputs(source, 3, "Join.bat"));
    EXPECT_EQ(ReadWholeFile(source), bytes);
    EXPECT_EQ(Recombine(out, "Join.bat", alias), bytes);
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
    GatherFiles({&disk}, gathered);
    SmallDisk::EjectFloppy();
    EXPECT_EQ(Recombine(gathered, "Join-data.bin.bat", "data.bin"), bytes);
}

}  // namespace
