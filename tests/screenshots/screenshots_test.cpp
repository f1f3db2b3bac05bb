// Pictures of the program's windows and of its help as a user sees them,
// taken from the real program while it works, into build/screenshots for the
// documentation. No test of the program: scripts/update_screenshots.sh runs
// it (it checks no more than that each picture could be taken).
#include <gtest/gtest.h>

#include <string>

#include "help_viewer.h"
#include "program_session.h"
#include "resource.h"

using namespace testing_support;

namespace {

class Screenshots : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(session.main, nullptr); }

    // Opens the dialog from the main window, takes its picture, cancels it.
    void PictureOfDialog(int buttonId, const std::string& caption, const std::string& name) {
        HWND dialog = session.OpenDialog(buttonId, caption);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(SaveScreenshot(dialog, name));
        ASSERT_TRUE(PressButton(dialog, IDCANCEL));
        EXPECT_TRUE(WaitWindowGone(dialog));
    }

    TempFolder sources;
    ProgramSession session;
};

TEST_F(Screenshots, MainWindowWithARequestTyped) {
    // The paths a reader expects, not a test folder's.
    const std::string folder = "C:\\My Documents";
    const std::string source = folder + "\\Annual Report 1998.doc";
    bool madeFolder = CreateDirectoryA(folder.c_str(), nullptr) != 0;
    WriteRandomFile(source, 3000000);
    ASSERT_TRUE(session.Fill({source, folder, "1.44", Unit::MB}));
    ASSERT_TRUE(SaveScreenshot(session.main, "main_window"));
    DeleteFileA(source.c_str());
    if (madeFolder) RemoveDirectoryA(folder.c_str());
}

TEST_F(Screenshots, ProgressWindowWhileItWritesPieces) {
    // Nearly 4 GB in pieces of 100 MB: the job is still writing long after
    // the picture has been taken.
    std::string source = sources.File("Holiday Video.avi");
    ASSERT_TRUE(MakeLargeFile(source, 4000000000u));
    std::string dest = sources.Folder("video");
    ASSERT_TRUE(session.Split({source, dest, "100", Unit::MB}));
    HWND progress = session.ProgressShowing("Writing piece");
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(ControlText(progress, IDC_PROGRESS_TITLE),
              "Splitting \"Holiday Video.avi\" into 39 pieces...");
    ASSERT_TRUE(SaveScreenshot(progress, "progress_window"));
    EXPECT_EQ(ControlText(progress, IDC_PROGRESS_STATUS).rfind("Writing piece", 0), 0u)
        << "the job was no longer writing when the picture was taken";
    ASSERT_TRUE(PressButton(progress, IDCANCEL));
    ASSERT_TRUE(session.WaitForMainWindowBack());
}

TEST_F(Screenshots, OptionsAndAboutFromTheMainWindow) {
    PictureOfDialog(IDC_OPTIONS, messages::OptionsCaption, "options_dialog");
    PictureOfDialog(IDC_ABOUT, messages::AboutCaption, "about_dialog");
}

TEST_F(Screenshots, BackupDialogDuringASpanRequest) {
    REQUIRE_SMALL_DISKS();
    SmallDisk disk(1474560);
    ASSERT_TRUE(disk.Mounted());
    disk.Insert();
    std::string source = sources.File("Annual Report.doc");
    WriteRandomFile(source, 300000);
    ASSERT_TRUE(session.SetOptionsThroughDialog({{IDC_OPT_BACKUP_PROMPT, true}}));
    // Backups wanted at first; then, having typed a folder, the user
    // changes their mind and goes on without them.
    session.boxes.AnswerWith([](const SeenBox& box) {
        return box.caption == "Backup Pieces" || box.caption == "Are you sure?" ? IDYES : IDOK;
    });
    ASSERT_TRUE(session.Split({source, FloppyRoot(), "", Unit::KB, true}));
    HWND dialog = FindDialog(session.ProcessId(), messages::BackupDialogCaption);
    ASSERT_NE(dialog, nullptr) << ::testing::PrintToString(session.boxes.Transcript());
    ASSERT_TRUE(TypeText(dialog, IDC_BACKUP_PATH, "C:\\Backups"));
    ASSERT_TRUE(SaveScreenshot(dialog, "backup_dialog"));
    ASSERT_TRUE(PressButton(dialog, IDCANCEL));
    ASSERT_TRUE(session.WaitForMainWindowBack());
    EXPECT_EQ(FolderListing(disk.WindowsPath()).size(), 2u);  // the piece and the join file
}

TEST_F(Screenshots, HelpContentsAndTheTopicOfAnOption) {
    CloseHelpViewer();
    ASSERT_TRUE(PressButton(session.main, IDC_HELP_BUTTON));
    HWND viewer = WaitForTopic("Veltra Partola 95 Help Contents");
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(SaveScreenshot(viewer, "help_contents"));
    // The topic opens in a viewer of its own, in front of Options.
    CloseHelpViewer();
    HWND options = session.OpenDialog(IDC_OPTIONS, messages::OptionsCaption);
    ASSERT_NE(options, nullptr);
    ASSERT_TRUE(PressHelpKey(GetDlgItem(options, IDC_OPT_USE_DOS83)));
    viewer = WaitForTopic("Use DOS 8.3 format");
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(SaveScreenshot(viewer, "help_option_topic"));
    ASSERT_TRUE(PressButton(options, IDCANCEL));
    EXPECT_TRUE(WaitWindowGone(options));
    CloseHelpViewer();
}

}  // namespace
