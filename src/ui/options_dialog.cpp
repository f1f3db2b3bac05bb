// The Options dialog: the options as check boxes. Only OK changes
// anything: it takes the boxes into Options, applies the always-on-top choice
// to the main window, warns about the two conflicting naming options and
// saves them all to the registry. Context help is served by the owner.
#include "ui/options_dialog.h"

#include <array>
#include <cstdint>
#include <iterator>

#include "settings/registry_settings.h"
#include "ui/main_dialog.h"
#include "ui/message_boxes.h"

namespace {

constexpr size_t ControlCount = std::size(OptionControls);

constexpr std::array<DWORD, 2 * ControlCount + 2> PairsOfTable() {
    std::array<DWORD, 2 * ControlCount + 2> pairs{};
    for (size_t i = 0; i < ControlCount; ++i) {
        pairs[2 * i] = static_cast<DWORD>(OptionControls[i].controlId);
        pairs[2 * i + 1] = OptionControls[i].helpId;
    }
    return pairs;
}

constexpr std::array<DWORD, 2 * ControlCount + 2> HelpPairs = PairsOfTable();

constexpr char NamingConflictText[] =
    "The \"Use DOS 8.3 format\" and \"Use source filename with join filename\" options "
    "conflict.\nDOS 8.3 filenames will be used.";

void ShowOptions(HWND dialog) {
    for (const OptionControl& box : OptionControls)
        if (box.field && Options.*box.field)
            SendDlgItemMessageA(dialog, box.controlId, BM_SETCHECK, BST_CHECKED, 0);
}

void ReadOptions(HWND dialog) {
    for (const OptionControl& box : OptionControls)
        if (box.field)
            Options.*box.field =
                SendDlgItemMessageA(dialog, box.controlId, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1
                                                                                             : 0;
}

void ApplyAlwaysOnTop() {
    SetWindowPos(MainWindow, Options.AlwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
}

// Both stay set: the 8.3 name wins when the join file is named.
void WarnOfNamingConflict(HWND dialog) {
    if (Options.UseDos83 && Options.UseLongJoinBatName)
        ShowMessageBox(dialog, NamingConflictText, WarningCaption, MB_ICONWARNING | MB_OK);
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

const DWORD* OptionHelpPairs() { return HelpPairs.data(); }

DWORD OptionHelpContext(int controlId) {
    for (const OptionControl& control : OptionControls)
        if (control.controlId == controlId) return control.helpId;
    return 0;
}
