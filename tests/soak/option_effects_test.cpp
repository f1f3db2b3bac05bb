// What each option does to the next split, set as a user sets it: through
// the Options dialog of the running program, then a split from its main
// window. Also that the main window waits while About is open.
// windows.h must come before commctrl.h.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program_session.h"
#include "resource.h"

using namespace testing_support;

namespace {

constexpr char LongName[] = "Quarterly Figures.data";
constexpr uint32_t SmallSourceSize = 500000;  // three pieces of 200 KB
class OptionEffects : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(session.main, nullptr); }

    void SetThroughDialog(const std::vector<std::pair<int, bool>>& boxes) {
        ASSERT_TRUE(session.SetOptionsThroughDialog(boxes));
    }

    // A source of random bytes in the sources folder; its bytes are kept.
    std::string MakeSource(const std::string& name, uint32_t size, uint32_t seed = 3) {
        std::string path = sources.File(name);
        bytes = WriteRandomFile(path, size, seed);
        return path;
    }

    // A split that the progress window closes by itself after.
    void SplitUntilMainBack(const SplitRequest& request) {
        ASSERT_TRUE(session.SplitAndWaitForEnd(request))
            << "the main window did not come back; boxes seen: "
            << ::testing::PrintToString(session.boxes.Transcript());
    }

    // A split whose progress window stays open; returns it once finished.
    HWND SplitUntilFinished(const SplitRequest& request) {
        bool started = session.Split(request);
        EXPECT_TRUE(started) << "the request could not be typed";
        return started ? session.ProgressShowing("Finished.", 120000) : nullptr;
    }

    void CloseFinishedWindow(HWND progress) {
        ASSERT_TRUE(PressButton(progress, IDCANCEL));
        ASSERT_TRUE(session.WaitForMainWindowBack());
    }

    TempFolder sources;
    TempFolder outputs;
    std::string bytes;  // of the last source made
    ProgramSession session;
};

TEST_F(OptionEffects, UseDos83GivesJoinBatWithoutRenameSoTheShortNameStays) {
    SetThroughDialog({{IDC_OPT_USE_DOS83, true}});
    EXPECT_EQ(ReadStoredValue("Use DOS 8.3").value, 1u);
    std::string source = MakeSource(LongName, SmallSourceSize);
    std::string alias = ShortName(source);
    ASSERT_NE(alias, LongName) << "this file system gives no short names";
    std::string dest = outputs.Folder("dos83");
    SplitUntilMainBack({source, dest, "200"});

    std::string join = ReadWholeFile(dest + "\\Join.bat");
    ASSERT_FALSE(join.empty());
    EXPECT_EQ(join.find("REN "), std::string::npos) << join;
    EXPECT_FALSE(FileExists(dest + "\\Join-" + LongName + ".bat"));
    EXPECT_TRUE(Recombine(dest, "Join.bat", alias) == bytes);
    EXPECT_FALSE(FileExists(dest + "\\" + LongName));
}

TEST_F(OptionEffects, LongJoinNameOffGivesJoinBatThatStillRenamesToTheLongName) {
    SetThroughDialog({{IDC_OPT_LONG_JOIN_NAME, false}});
    EXPECT_EQ(ReadStoredValue("UseLongJoinBatName").value, 0u);
    std::string source = MakeSource(LongName, SmallSourceSize);
    std::string alias = ShortName(source);
    std::string dest = outputs.Folder("short");
    SplitUntilMainBack({source, dest, "200"});

    std::string join = ReadWholeFile(dest + "\\Join.bat");
    // The file is rebuilt under the intermediate name, one only the join file
    // makes, and renamed from there.
    std::string intermediate = alias.substr(0, alias.rfind('.')) + ".00_";
    EXPECT_NE(join.find("\r\nREN " + intermediate + " \"" + LongName + "\"\r\n"), std::string::npos)
        << join;
    EXPECT_FALSE(FileExists(dest + "\\Join-" + LongName + ".bat"));
    EXPECT_TRUE(Recombine(dest, "Join.bat", LongName) == bytes);
}

TEST_F(OptionEffects, MoreMemUsesTheLargerBufferAsTheProgressRangeShows) {
    // Pieces of 30 MB from 61 MB: the bar has one step per buffer load, so
    // its range is 61 MB / buffer + 1: 13 with 5 MB buffers, 4 with 20 MB.
    constexpr uint32_t Size = 61 * 1048576;
    std::string source = sources.File("large.bin");
    ASSERT_TRUE(MakeLargeFile(source, Size));
    SetThroughDialog({{IDC_OPT_CLOSE_WHEN_DONE, false}});

    struct Case {
        bool moreMem;
        LRESULT upper;
    };
    for (Case expected : {Case{false, 13}, Case{true, 4}}) {
        SCOPED_TRACE(expected.moreMem ? "MoreMem on" : "MoreMem off");
        SetThroughDialog({{IDC_OPT_MORE_MEM, expected.moreMem}});
        std::string dest = outputs.Folder(expected.moreMem ? "more" : "normal");
        HWND progress = SplitUntilFinished({source, dest, "30", Unit::MB});
        ASSERT_NE(progress, nullptr) << ::testing::PrintToString(session.boxes.Transcript());
        HWND bar = GetDlgItem(progress, IDC_PROGRESS_BAR);
        LRESULT upper = 0, position = 0;
        ASSERT_TRUE(SendFromHelper(bar, PBM_GETRANGE, FALSE, 0, &upper));
        ASSERT_TRUE(SendFromHelper(bar, PBM_GETPOS, 0, 0, &position));
        EXPECT_EQ(upper, expected.upper);
        EXPECT_EQ(position, upper) << "the bar is full once the job has finished";
        CloseFinishedWindow(progress);
        EXPECT_EQ(FileSize64(dest + "\\large.000"), 30u * 1048576);
        EXPECT_EQ(FileSize64(dest + "\\large.002"), 1048576u);
        RemoveTree(dest);
    }
}

TEST_F(OptionEffects, CloseWhenDoneOffKeepsTheFinishedWindowOnClosesItByItself) {
    std::string source = MakeSource("close.bin", SmallSourceSize);
    SetThroughDialog({{IDC_OPT_CLOSE_WHEN_DONE, false}});
    EXPECT_EQ(ReadStoredValue("CloseWhenDone").value, 0u);
    HWND progress = SplitUntilFinished({source, outputs.Folder("off"), "200"});
    ASSERT_NE(progress, nullptr) << ::testing::PrintToString(session.boxes.Transcript());
    EXPECT_EQ(ControlText(progress, IDCANCEL), "Close");
    EXPECT_EQ(session.program.MainWindow(0), nullptr)
        << "no main window while the progress window is open";
    CloseFinishedWindow(progress);
    EXPECT_EQ(session.Text(IDC_SOURCE), "");

    SetThroughDialog({{IDC_OPT_CLOSE_WHEN_DONE, true}});
    SplitUntilMainBack({source, outputs.Folder("on"), "200"});
    EXPECT_EQ(session.Text(IDC_SOURCE), "");
    EXPECT_TRUE(FileExists(outputs.File("on\\Join-close.bin.bat")));
}

TEST_F(OptionEffects, NoRemindersOffShowsTheRecombinationReminderOnLeavesItOut) {
    std::string source = MakeSource("remind.bin", SmallSourceSize);
    SetThroughDialog({{IDC_OPT_NO_REMINDERS, false}});
    SplitUntilMainBack({source, outputs.Folder("reminded"), "200"});
    EXPECT_EQ(session.boxes.Transcript(), std::vector<std::string>{messages::FolderReminder});

    SetThroughDialog({{IDC_OPT_NO_REMINDERS, true}});
    SplitUntilMainBack({source, outputs.Folder("quiet"), "200"});
    EXPECT_EQ(session.boxes.Count(), 1u);
    EXPECT_TRUE(FileExists(outputs.File("quiet\\Join-remind.bin.bat")));
}

TEST_F(OptionEffects, DeletePromptYesDeletesTheSourceNoKeepsIt) {
    SetThroughDialog({{IDC_OPT_DELETE_PROMPT, true}});
    EXPECT_EQ(ReadStoredValue("DeletePrompt").value, 1u);

    std::string kept = MakeSource("kept.bin", SmallSourceSize, 5);
    session.boxes.Answer(IDNO);
    SplitUntilMainBack({kept, outputs.Folder("kept"), "200"});
    EXPECT_TRUE(FileExists(kept));

    std::string deleted = MakeSource("deleted.bin", SmallSourceSize, 6);
    session.boxes.Answer(IDYES);
    SplitUntilMainBack({deleted, outputs.Folder("deleted"), "200"});
    EXPECT_FALSE(FileExists(deleted));
    EXPECT_EQ(session.boxes.Transcript(),
              (std::vector<std::string>{messages::DeleteQuestion, messages::DeleteQuestion}));
}

TEST_F(OptionEffects, BackupPromptAsksForABackupFolderWhenSpanning) {
    REQUIRE_SMALL_DISKS();
    SmallDisk disk(1474560);
    ASSERT_TRUE(disk.Mounted());
    disk.Insert();
    std::string source = MakeSource("span.bin", 300000);
    std::string backups = outputs.Folder("backups");
    SetThroughDialog({{IDC_OPT_BACKUP_PROMPT, true}});
    session.boxes.AnswerWith(
        [](const SeenBox& box) { return box.caption == "Backup Pieces" ? IDYES : IDOK; });

    ASSERT_TRUE(session.Split({source, FloppyRoot(), "", Unit::KB, true}));
    HWND dialog = FindDialog(session.ProcessId(), messages::BackupDialogCaption);
    ASSERT_NE(dialog, nullptr) << ::testing::PrintToString(session.boxes.Transcript());
    ASSERT_TRUE(TypeText(dialog, IDC_BACKUP_PATH, backups));
    ASSERT_TRUE(PressButton(dialog, IDOK));
    ASSERT_TRUE(session.WaitForMainWindowBack());
    EXPECT_EQ(session.boxes.Transcript(),
              (std::vector<std::string>{messages::BackupQuestion, messages::DiskPrompt(1)}));
    EXPECT_EQ(FolderListing(disk.WindowsPath()),
              (std::vector<std::string>{"Join-span.bin.bat", "span.000"}));
    EXPECT_EQ(FolderListing(backups), FolderListing(disk.WindowsPath()));
    EXPECT_TRUE(Recombine(backups, "Join-span.bin.bat", "span.bin") == bytes);

    // Without the option the span goes ahead without the question.
    SetThroughDialog({{IDC_OPT_BACKUP_PROMPT, false}});
    ASSERT_TRUE(session.SplitAndWaitForEnd({source, FloppyRoot(), "", Unit::KB, true}));
    // The disk prompt alone: no backup question this time.
    EXPECT_EQ(session.boxes.Transcript(),
              (std::vector<std::string>{messages::BackupQuestion, messages::DiskPrompt(1),
                                        messages::DiskPrompt(1)}));
}

TEST_F(OptionEffects, MainWindowWaitsWhileAboutIsOpen) {
    HWND about = session.OpenDialog(IDC_ABOUT, messages::AboutCaption);
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(IsWindowEnabled(session.main)) << "About is modal";
    ASSERT_TRUE(PressButton(about, IDCANCEL));
    ASSERT_TRUE(WaitWindowGone(about));
    EXPECT_TRUE(IsWindowEnabled(session.main));
    EXPECT_EQ(session.boxes.Count(), 0u);
}

}  // namespace
