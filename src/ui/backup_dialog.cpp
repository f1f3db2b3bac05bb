// The backup folder dialog: OK accepts an existing folder (or a bare drive)
// into BackupFolder, Cancel turns backups off after a confirmation, Browse
// picks the folder with the shell's folder browser.
#include "ui/backup_dialog.h"

#include <objbase.h>
#include <shlobj.h>

#include <string_view>

#include "model/split_job.h"
#include "platform/file_services.h"
#include "resource.h"
#include "ui/folder_browser.h"
#include "ui/main_dialog.h"
#include "ui/message_boxes.h"

namespace {

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Only a drive letter names a drive: an empty entry or a network path
// (\\server\share) has none, and neither may reach the platform's query,
// which takes an empty root for the current drive.
bool DriveExists(const PathText& folder) {
    if (!IsDriveLetter(folder[0])) return false;
    return DriveType(DriveRoot(View(folder)).data()) != DRIVE_NO_ROOT_DIR;
}

// Looks the folder up without its trailing backslashes, which would match
// nothing; a wildcard would match some other entry, so it names no folder.
bool FindFolderEntry(const PathText& folder, DirectoryEntry& entry) {
    std::string_view path = View(folder);
    if (path.find_first_of("*?") != std::string_view::npos) return false;
    while (path.size() > DriveRootLength && path.back() == '\\') path.remove_suffix(1);
    PathText lookup{};
    CopyText(lookup, path);
    return FindDirectoryEntry(lookup.data(), entry);
}

// Drives such as "D", "D:" and "D:\" need only the drive test.
bool FolderAccepted(HWND dialog, const PathText& folder) {
    if (!DriveExists(folder)) {
        ShowErrorBox(dialog, "Drive does not exist.");
        return false;
    }
    if (View(folder).size() <= DriveRootLength) return true;
    DirectoryEntry entry{};
    if (!FindFolderEntry(folder, entry)) {
        ShowErrorBox(dialog, "Directory not found.");
        return false;
    }
    if (!entry.IsFolder()) {
        ShowErrorBox(dialog, "Not a directory, directory must exist.");
        return false;
    }
    return true;
}

void AcceptBackupFolder(HWND dialog) {
    GetDlgItemTextA(dialog, IDC_BACKUP_PATH, SplitJob.BackupFolder.data(),
                    static_cast<int>(SplitJob.BackupFolder.size()));
    if (FolderAccepted(dialog, SplitJob.BackupFolder)) EndDialog(dialog, 0);
}

void ConfirmNoBackups(HWND dialog) {
    if (!AskYesNo(dialog, "Are you sure you want to continue without backing up the pieces?",
                  "Are you sure?", MB_ICONQUESTION))
        return;
    SplitJob.BackupEnabled = 0;
    EndDialog(dialog, 0);
}

// A choice without a file-system path (a virtual folder such as the Control
// Panel) leaves the entry as it was.
void BrowseBackupFolder(HWND dialog) {
    PathText folder{};
    switch (BrowseForFolder(dialog, "Choose backup folder", folder)) {
        case FolderBrowse::Picked:
            SplitJob.BackupFolder = folder;
            SetDlgItemTextA(dialog, IDC_BACKUP_PATH, SplitJob.BackupFolder.data());
            break;
        case FolderBrowse::OutOfMemory:
            // The dialog manager turns the close into Cancel, which asks first.
            SendMessageA(dialog, WM_CLOSE, 0, 0);
            break;
        default:
            break;
    }
}

INT_PTR CALLBACK BackupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    // The focus is left where the dialog manager puts it.
    if (message == WM_INITDIALOG) LimitPathField(dialog, IDC_BACKUP_PATH);
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK:
            AcceptBackupFolder(dialog);
            return TRUE;
        case IDCANCEL:
            ConfirmNoBackups(dialog);
            return TRUE;
        case IDC_BROWSE_BACKUP:
            BrowseBackupFolder(dialog);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

void RunBackupDialog(HWND owner) {
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_BACKUP), owner, BackupDialogProc, 0);
}
