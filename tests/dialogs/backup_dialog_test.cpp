// The backup folder dialog: which entries OK accepts or refuses, and the
// confirmation that Cancel, Escape and the close request ask for.
#include "ui/backup_dialog.h"

#include "messages.h"
#include "model/split_job.h"
#include "registry_support.h"
#include "resource.h"
#include "test_support.h"
#include "ui/main_dialog.h"
#include "ui_driver.h"

namespace dialog_tests {

using namespace testing_support;
namespace {

using testing_support::MessageBoxWatcher;

std::string MissingDrive() {
    for (char letter = 'Y'; letter > 'D'; --letter) {
        const char root[] = {letter, ':', '\\', '\0'};
        if (GetDriveTypeA(root) == DRIVE_NO_ROOT_DIR) return std::string(1, letter) + ":";
    }
    return "";
}

std::string EditText(HWND dialog) {
    return testing_support::WindowText(GetDlgItem(dialog, IDC_BACKUP_PATH));
}

class BackupDialog : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        SplitJob.BackupEnabled = 1;
        CopyText(SplitJob.BackupFolder, "as before");
    }
    DriveResult Run(const std::function<void(HWND)>& drive) {
        return RunDriven(
            messages::BackupDialogCaption, [] { RunBackupDialog(MainWindow); }, drive);
    }
    testing_support::TempFolder folder;
};

TEST_F(BackupDialog, RefusesEntriesThatNameNoFolderAndStaysOpen) {
    const std::string file = folder.File("notes.txt");
    testing_support::WriteWholeFile(file, "not a folder");
    const std::string missingDrive = MissingDrive();
    ASSERT_FALSE(missingDrive.empty());
    const std::vector<std::pair<std::string, std::string>> refusals{
        {"", "Drive does not exist."},
        {missingDrive + "\\Safe", "Drive does not exist."},
        {"\\\\server\\share\\safe", "Drive does not exist."},
        {folder.File("missing"), "Directory not found."},
        {folder.Path() + "\\*", "Directory not found."},
        {file, "Not a directory, directory must exist."},
    };
    MessageBoxWatcher boxes;
    std::vector<std::string> expected;
    std::vector<bool> stayedOpen;
    std::vector<std::string> textAfter;
    HWND shown = nullptr;
    DriveResult run = Run([&](HWND dialog) {
        shown = dialog;
        for (const auto& [entry, message] : refusals) {
            TypeText(dialog, IDC_BACKUP_PATH, entry);
            Click(dialog, IDOK);
            boxes.WaitForAnswered(stayedOpen.size() + 1);
            testing_support::RoundTrip(dialog);
            stayedOpen.push_back(IsWindow(dialog) != FALSE);
            textAfter.push_back(EditText(dialog));
        }
        TypeText(dialog, IDC_BACKUP_PATH, folder.Path());
        Click(dialog, IDOK);
    });
    ASSERT_TRUE(run.shown && run.closed);
    for (const auto& [entry, message] : refusals) {
        expected.push_back("Error|" + message);
        EXPECT_EQ(textAfter[expected.size() - 1], entry);
    }
    EXPECT_EQ(boxes.Transcript(), expected);
    EXPECT_EQ(stayedOpen, std::vector<bool>(refusals.size(), true));
    for (const auto& box : boxes.Seen()) EXPECT_EQ(box.owner, shown);
    EXPECT_STREQ(SplitJob.BackupFolder.data(), folder.Path().c_str());
    EXPECT_EQ(SplitJob.BackupEnabled, 1u);
}

TEST_F(BackupDialog, AcceptsDrivesAndExistingFolders) {
    for (const std::string& entry : {std::string("C:"), std::string("C:\\"), std::string("c"),
                                     folder.Path(), folder.Path() + "\\"}) {
        SCOPED_TRACE(entry);
        MessageBoxWatcher boxes;
        DriveResult run = Run([&](HWND dialog) {
            TypeText(dialog, IDC_BACKUP_PATH, entry);
            Click(dialog, IDOK);
        });
        ASSERT_TRUE(run.shown && run.closed);
        EXPECT_EQ(boxes.Count(), 0u);
        EXPECT_STREQ(SplitJob.BackupFolder.data(), entry.c_str());
        EXPECT_EQ(SplitJob.BackupEnabled, 1u);
    }
}

TEST_F(BackupDialog, CancelAsksFirstAndOnlyYesTurnsBackupsOff) {
    MessageBoxWatcher boxes;
    boxes.Answer(IDNO);
    boxes.Answer(IDNO);
    boxes.Answer(IDYES);
    std::vector<std::string> textsAfterNo;
    DriveResult run = Run([&](HWND dialog) {
        TypeText(dialog, IDC_BACKUP_PATH, folder.Path());
        PostMessageA(GetDlgItem(dialog, IDC_BACKUP_PATH), WM_KEYDOWN, VK_ESCAPE, 0);
        boxes.WaitForAnswered(1);
        testing_support::RoundTrip(dialog);
        textsAfterNo.push_back(IsWindow(dialog) ? EditText(dialog) : "closed");
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        boxes.WaitForAnswered(2);
        testing_support::RoundTrip(dialog);
        textsAfterNo.push_back(IsWindow(dialog) ? EditText(dialog) : "closed");
        Click(dialog, IDCANCEL);
    });
    ASSERT_TRUE(run.shown && run.closed);
    EXPECT_EQ(boxes.Transcript(),
              (std::vector<std::string>{messages::NoBackupQuestion, messages::NoBackupQuestion,
                                        messages::NoBackupQuestion}));
    EXPECT_EQ(textsAfterNo, (std::vector<std::string>{folder.Path(), folder.Path()}));
    EXPECT_EQ(SplitJob.BackupEnabled, 0u);
    EXPECT_STREQ(SplitJob.BackupFolder.data(), "as before");
}

}  // namespace
}  // namespace dialog_tests
