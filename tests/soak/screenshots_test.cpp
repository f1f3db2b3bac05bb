// Pictures of the program's windows as a user sees them, taken from the real
// program while it works, into build/screenshots for the documentation.
#include <gtest/gtest.h>

#include <string>

#include "program_fixture.h"
#include "resource.h"

using namespace testing_support;
using namespace soak_tests;

namespace {

using Screenshots = ProgramTest;

bool StatusStartsWith(HWND progress, const std::string& start) {
    return ControlText(progress, IDC_PROGRESS_STATUS).compare(0, start.size(), start) == 0;
}

TEST_F(Screenshots, ProgressWindowWhileItWritesPieces) {
    // Nearly 4 GB in pieces of 100 MB: the job is still writing long after
    // the picture has been taken.
    std::string source = sources.File("Holiday Video.avi");
    ASSERT_TRUE(MakeLargeFile(source, 4000000000u));
    std::string dest = FreshDest("video");
    ASSERT_TRUE(session->StartSplit(main, {source, dest, "100", 2}));
    HWND progress = session->ProgressShowing("Writing piece");
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(ControlText(progress, IDC_PROGRESS_TITLE),
              "Splitting \"Holiday Video.avi\" into 39 pieces...");
    ASSERT_TRUE(SaveScreenshot(progress, "progress_window.png"));
    EXPECT_TRUE(StatusStartsWith(progress, "Writing piece"))
        << "the job was no longer writing when the picture was taken";
    ASSERT_TRUE(Click(progress, IDCANCEL));
    TakeMainBack();
}

TEST_F(Screenshots, OptionsDialogFromTheMainWindow) {
    ASSERT_TRUE(PostClick(main, IDC_OPTIONS));
    HWND options = FindDialog(session->ProcessId(), OptionsCaption);
    ASSERT_NE(options, nullptr);
    ASSERT_TRUE(SaveScreenshot(options, "options_dialog.png"));
    ASSERT_TRUE(PostClick(options, IDCANCEL));
    EXPECT_TRUE(WaitGone(options));
}

TEST_F(Screenshots, AboutDialogFromTheMainWindow) {
    ASSERT_TRUE(PostClick(main, IDC_ABOUT));
    HWND about = FindDialog(session->ProcessId(), "About Veltra Partola 95");
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(SaveScreenshot(about, "about_dialog.png"));
    ASSERT_TRUE(PostClick(about, IDCANCEL));
    EXPECT_TRUE(WaitGone(about));
}

TEST_F(Screenshots, BackupDialogDuringASpanRequest) {
    REQUIRE_SMALL_DISKS();
    SmallDisk disk(1474560);
    ASSERT_TRUE(disk.Mounted());
    disk.MapTo('A');
    std::string source = MakeSource("Annual Report.doc", 300000);
    ASSERT_TRUE(session->SetOptionsThroughDialog(main, {{IDC_OPT_BACKUP_PROMPT, true}}));
    // Backups wanted at first; then, having typed a folder, the user
    // changes their mind and goes on without them.
    session->boxes.AnswerWith([](const SeenBox& box) {
        return box.caption == "Backup Pieces" || box.caption == "Are you sure?" ? IDYES : IDOK;
    });
    ASSERT_TRUE(session->StartSplit(main, {source, "A:\\", "", 1, true}));
    HWND dialog = FindDialog(session->ProcessId(), "Veltra Partola 95 - Backup Pieces");
    ASSERT_NE(dialog, nullptr) << ::testing::PrintToString(session->boxes.Transcript());
    ASSERT_TRUE(TypeText(dialog, IDC_BACKUP_PATH, "C:\\Backups"));
    ASSERT_TRUE(SaveScreenshot(dialog, "backup_dialog.png"));
    ASSERT_TRUE(PostClick(dialog, IDCANCEL));
    TakeMainBack();
    EXPECT_EQ(FolderListing(disk.WindowsPath()).size(), 2u);  // the piece and the join file
    SmallDisk::Unmap('A');
}

}  // namespace
