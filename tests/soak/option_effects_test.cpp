// What each option does to the next split, set as a user sets it: through
// the Options dialog of the running program, then a split from its main
// window. Also the About box opened from the main window.
// windows.h must come before commctrl.h.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "program_fixture.h"
#include "registry_support.h"
#include "resource.h"

using namespace testing_support;
using namespace soak_tests;

namespace {

constexpr char LongName[] = "Quarterly Figures.data";
constexpr uint32_t SmallSourceSize = 500000;  // three pieces of 200 KB
constexpr char SplitReminder[] =
    "Veltra Partola 95|Done.\n\nTo recombine the splitted files, make sure each piece is in "
    "the\nsame directory along with the recombination batch file (named 'join.bat' or "
    "'join-source filename.bat'),\nthen run (double-click) the join file.";
constexpr char DeleteQuestion[] =
    "Veltra Partola 95|Finished splitting. Do you want to delete source file now?";
constexpr char BackupQuestion[] =
    "Backup Pieces|Do you want to backup the pieces?\nThis is usefull in case one of the disks "
    "get damaged.";

constexpr char InsertFirstDisk[] = "Veltra Partola 95|Insert disk for piece 1";

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class OptionEffects : public ProgramTest {
protected:
    void SetThroughDialog(const std::vector<std::pair<int, bool>>& boxes) {
        ASSERT_TRUE(session->SetOptionsThroughDialog(main, boxes));
    }

    // A split whose progress window stays open; returns it once finished.
    HWND SplitUntilFinished(const SplitRequest& request) {
        bool started = session->StartSplit(main, request);
        EXPECT_TRUE(started) << "the request could not be typed";
        if (!started) return nullptr;
        return session->ProgressShowing("Finished.", 120000);
    }

    void CloseFinishedWindow(HWND progress) {
        ASSERT_TRUE(Click(progress, IDCANCEL));
        TakeMainBack();
    }
};

TEST_F(OptionEffects, UseDos83GivesJoinBatWithoutRenameSoTheShortNameStays) {
    SetThroughDialog({{IDC_OPT_USE_DOS83, true}});
    EXPECT_EQ(ReadStoredValue("Use DOS 8.3").value, 1u);
    std::string source = MakeSource(LongName, SmallSourceSize);
    std::string alias = ShortName(source);
    ASSERT_NE(alias, LongName) << "this file system gives no short names";
    std::string dest = FreshDest("dos83");
    SplitUntilMainBack({source, dest, "200", 1});

    std::string join = ReadWholeFile(dest + "\\Join.bat");
    ASSERT_FALSE(join.empty());
    EXPECT_EQ(join.find("REN "), std::string::npos) << join;
    EXPECT_FALSE(FileExists(dest + "\\Join-" + LongName + ".bat"));
    RunBatchFile(dest, "Join.bat");
    EXPECT_TRUE(ReadWholeFile(dest + "\\" + alias) == bytes);
    EXPECT_FALSE(FileExists(dest + "\\" + LongName));
}

TEST_F(OptionEffects, LongJoinNameOffGivesJoinBatThatStillRenamesToTheLongName) {
    SetThroughDialog({{IDC_OPT_LONG_JOIN_NAME, false}});
    EXPECT_EQ(ReadStoredValue("UseLongJoinBatName").value, 0u);
    std::string source = MakeSource(LongName, SmallSourceSize);
    std::string alias = ShortName(source);
    std::string dest = FreshDest("short");
    SplitUntilMainBack({source, dest, "200", 1});

    std::string join = ReadWholeFile(dest + "\\Join.bat");
    EXPECT_NE(join.find("\r\nREN " + alias + " \"" + LongName + "\"\r\n"), std::string::npos)
        << join;
    EXPECT_FALSE(FileExists(dest + "\\Join-" + LongName + ".bat"));
    RunBatchFile(dest, "Join.bat");
    EXPECT_TRUE(ReadWholeFile(dest + "\\" + LongName) == bytes);
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
        std::string dest = FreshDest(expected.moreMem ? "more" : "normal");
        HWND progress = SplitUntilFinished({source, dest, "30", 2});
        ASSERT_NE(progress, nullptr) << ::testing::PrintToString(session->boxes.Transcript());
        HWND bar = GetDlgItem(progress, IDC_PROGRESS_BAR);
        LRESULT upper = 0, position = 0;
        ASSERT_TRUE(SendFromHelper(bar, PBM_GETRANGE, FALSE, 0, &upper));
        ASSERT_TRUE(SendFromHelper(bar, PBM_GETPOS, 0, 0, &position));
        EXPECT_EQ(upper, expected.upper);
        EXPECT_EQ(position, upper) << "the bar is full once the job has finished";
        CloseFinishedWindow(progress);
        EXPECT_EQ(FileSize(dest + "\\large.000"), 30u * 1048576);
        EXPECT_EQ(FileSize(dest + "\\large.002"), 1048576u);
        RemoveTree(dest);
    }
}

TEST_F(OptionEffects, CloseWhenDoneOffKeepsTheFinishedWindowOnClosesItByItself) {
    std::string source = MakeSource("close.bin", SmallSourceSize);
    SetThroughDialog({{IDC_OPT_CLOSE_WHEN_DONE, false}});
    EXPECT_EQ(ReadStoredValue("CloseWhenDone").value, 0u);
    HWND progress = SplitUntilFinished({source, FreshDest("off"), "200", 1});
    ASSERT_NE(progress, nullptr) << ::testing::PrintToString(session->boxes.Transcript());
    EXPECT_EQ(ControlText(progress, IDCANCEL), "Close");
    Sleep(500);  // it would have closed by now
    EXPECT_TRUE(IsWindow(progress));
    EXPECT_EQ(session->Main(0), nullptr) << "no main window while the progress window is open";
    CloseFinishedWindow(progress);
    EXPECT_EQ(ControlText(main, IDC_SOURCE), "");

    SetThroughDialog({{IDC_OPT_CLOSE_WHEN_DONE, true}});
    SplitUntilMainBack({source, FreshDest("on"), "200", 1});
    EXPECT_EQ(ControlText(main, IDC_SOURCE), "");
    EXPECT_TRUE(FileExists(outputs.File("on\\Join-close.bin.bat")));
}

TEST_F(OptionEffects, NoRemindersOffShowsTheRecombinationReminderOnLeavesItOut) {
    std::string source = MakeSource("remind.bin", SmallSourceSize);
    SetThroughDialog({{IDC_OPT_NO_REMINDERS, false}});
    SplitUntilMainBack({source, FreshDest("reminded"), "200", 1});
    EXPECT_EQ(session->boxes.Transcript(), std::vector<std::string>{SplitReminder});

    SetThroughDialog({{IDC_OPT_NO_REMINDERS, true}});
    SplitUntilMainBack({source, FreshDest("quiet"), "200", 1});
    EXPECT_EQ(session->boxes.Count(), 1u);
    EXPECT_TRUE(FileExists(outputs.File("quiet\\Join-remind.bin.bat")));
}

TEST_F(OptionEffects, DeletePromptYesDeletesTheSourceNoKeepsIt) {
    SetThroughDialog({{IDC_OPT_DELETE_PROMPT, true}});
    EXPECT_EQ(ReadStoredValue("DeletePrompt").value, 1u);

    std::string kept = MakeSource("kept.bin", SmallSourceSize, 5);
    session->boxes.Answer(IDNO);
    SplitUntilMainBack({kept, FreshDest("kept"), "200", 1});
    EXPECT_TRUE(FileExists(kept));

    std::string deleted = MakeSource("deleted.bin", SmallSourceSize, 6);
    session->boxes.Answer(IDYES);
    std::string dest = FreshDest("deleted");
    SplitUntilMainBack({deleted, dest, "200", 1});
    EXPECT_FALSE(FileExists(deleted));
    EXPECT_EQ(session->boxes.Transcript(),
              (std::vector<std::string>{DeleteQuestion, DeleteQuestion}));
    // Only the source went: the pieces still rebuild it.
    RunBatchFile(dest, "Join-deleted.bin.bat");
    EXPECT_TRUE(ReadWholeFile(dest + "\\deleted.bin") == bytes);
}

TEST_F(OptionEffects, BackupPromptAsksForABackupFolderWhenSpanning) {
    REQUIRE_SMALL_DISKS();
    SmallDisk disk(1474560);
    ASSERT_TRUE(disk.Mounted());
    disk.MapTo('A');
    std::string source = MakeSource("span.bin", 300000);
    std::string backups = FreshDest("backups");
    SetThroughDialog({{IDC_OPT_BACKUP_PROMPT, true}});
    session->boxes.AnswerWith(
        [](const SeenBox& box) { return box.caption == "Backup Pieces" ? IDYES : IDOK; });

    ASSERT_TRUE(session->StartSplit(main, {source, "A:\\", "", 1, true}));
    HWND dialog = FindDialog(session->ProcessId(), "Veltra Partola 95 - Backup Pieces");
    ASSERT_NE(dialog, nullptr) << ::testing::PrintToString(session->boxes.Transcript());
    ASSERT_TRUE(TypeText(dialog, IDC_BACKUP_PATH, backups));
    ASSERT_TRUE(PostClick(dialog, IDOK));
    TakeMainBack();
    EXPECT_EQ(session->boxes.Transcript(),
              (std::vector<std::string>{BackupQuestion, InsertFirstDisk}));
    EXPECT_EQ(FolderListing(disk.WindowsPath()),
              (std::vector<std::string>{"Join-span.bin.bat", "span.000"}));
    EXPECT_EQ(FolderListing(backups), FolderListing(disk.WindowsPath()));
    RunBatchFile(backups, "Join-span.bin.bat");
    EXPECT_TRUE(ReadWholeFile(backups + "\\span.bin") == bytes);

    // Without the option the span goes ahead without the question.
    SetThroughDialog({{IDC_OPT_BACKUP_PROMPT, false}});
    ASSERT_TRUE(session->StartSplit(main, {source, "A:\\", "", 1, true}));
    TakeMainBack();
    // The disk prompt alone: no backup question this time.
    EXPECT_EQ(session->boxes.Transcript(),
              (std::vector<std::string>{BackupQuestion, InsertFirstDisk, InsertFirstDisk}));
    SmallDisk::Unmap('A');
}

TEST_F(OptionEffects, AboutShowsTheVersionAndClosesWithEscapeAndWithCloseTwice) {
    for (int round = 0; round < 2; ++round) {
        for (bool escape : {true, false}) {
            SCOPED_TRACE(escape ? "Escape" : "Close");
            ASSERT_TRUE(PostClick(main, IDC_ABOUT));
            HWND about = FindDialog(session->ProcessId(), "About Veltra Partola 95");
            ASSERT_NE(about, nullptr);
            EXPECT_TRUE(
                Contains(ChildTexts(about), "Veltra Partola 95 Version 3.2 - Feb 18, 1999"));
            EXPECT_FALSE(IsWindowEnabled(main)) << "About is modal";
            if (escape)
                ASSERT_TRUE(PressKey(about, VK_ESCAPE));
            else
                ASSERT_TRUE(PostClick(about, IDCANCEL));
            ASSERT_TRUE(WaitGone(about, 10000));
            EXPECT_TRUE(IsWindowEnabled(main));
        }
    }
    EXPECT_EQ(session->boxes.Count(), 0u);
}

}  // namespace
