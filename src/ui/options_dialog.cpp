// The Options dialog: the eight options as check boxes. Only OK changes
// anything: it takes the boxes into Options, applies the always-on-top choice
// to the main window, warns about the two conflicting naming options and
// saves all eight to the registry. Context help is served by the owner.
#include "ui/options_dialog.h"

#include <array>
#include <cstdint>

#include "model/split_job.h"
#include "resource.h"
#include "settings/registry_settings.h"

namespace {

struct OptionBox {
    int id;
    uint32_t OptionsRecord::*field;
};

// In the order the boxes stand.
constexpr std::array<OptionBox, 8> OptionBoxes{{
    {IDC_OPT_USE_DOS83, &OptionsRecord::UseDos83},
    {IDC_OPT_LONG_JOIN_NAME, &OptionsRecord::UseLongJoinBatName},
    {IDC_OPT_BACKUP_PROMPT, &OptionsRecord::BackupPrompt},
    {IDC_OPT_DELETE_PROMPT, &OptionsRecord::DeletePrompt},
    {IDC_OPT_CLOSE_WHEN_DONE, &OptionsRecord::CloseWhenDone},
    {IDC_OPT_NO_REMINDERS, &OptionsRecord::NoReminders},
    {IDC_OPT_MORE_MEM, &OptionsRecord::MoreMem},
    {IDC_OPT_ALWAYS_ON_TOP, &OptionsRecord::AlwaysOnTop},
}};

constexpr char NamingConflictText[] =
    "The \"Use DOS 8.3 format\" and \"Use source filename with join filename\" options "
    "conflict.\nDOS 8.3 filenames will be used.";

void ShowOptions(HWND dialog) {
    for (const OptionBox& box : OptionBoxes)
        if (Options.*box.field) SendDlgItemMessageA(dialog, box.id, BM_SETCHECK, BST_CHECKED, 0);
}

void ReadOptions(HWND dialog) {
    for (const OptionBox& box : OptionBoxes)
        Options.*box.field =
            SendDlgItemMessageA(dialog, box.id, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void ApplyAlwaysOnTop() {
    SetWindowPos(MainWindow, Options.AlwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
}

// Both stay set: the 8.3 name wins when the join file is named.
void WarnOfNamingConflict(HWND dialog) {
    if (Options.UseDos83 && Options.UseLongJoinBatName)
        MessageBoxA(dialog, NamingConflictText, "Warning", MB_ICONWARNING | MB_OK);
}

// Ends the dialog with IDOK so that the topmost state can be applied once more
// when the dialog has gone (see RunOptionsDialog).
void AcceptOptions(HWND dialog) {
    ReadOptions(dialog);
    ApplyAlwaysOnTop();
    WarnOfNamingConflict(dialog);
    SaveSettings();
    EndDialog(dialog, IDOK);
}

// The check boxes toggle themselves; nothing changes before OK.
INT_PTR OnOptionsCommand(HWND dialog, int id) {
    if (id == IDOK) {
        AcceptOptions(dialog);
        return TRUE;
    }
    if (id == IDCANCEL) {
        SendMessageA(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            ShowOptions(dialog);
            return TRUE;
        case WM_COMMAND:
            return OnOptionsCommand(dialog, LOWORD(wParam));
        case WM_CLOSE:
            EndDialog(dialog, 0);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

// While the dialog is open, some window managers (Wine's among them) raise
// only the owned dialog into the topmost band and leave the main window as it
// was; applying the state again after an OK makes it hold everywhere.
void RunOptionsDialog(HWND owner) {
    if (DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_OPTIONS), owner, OptionsDialogProc, 0) ==
        IDOK)
        ApplyAlwaysOnTop();
}
