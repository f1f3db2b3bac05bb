// The About box: name, version, icon, the homepage and support addresses, and
// buttons that hand them to the user's browser and mail program.
#include "ui/about_dialog.h"

#include <shellapi.h>

#include "model/split_job.h"
#include "resource.h"
#include "ui/main_dialog.h"
#include "ui/tool_tips.h"

namespace {

constexpr char HomepageUrl[] = "http://www.partola.example/";
constexpr char SupportAddress[] = "support@partola.example";
constexpr char SupportLink[] = "mailto:support@partola.example";

constexpr ToolTip AboutTools[] = {
    {IDC_ABOUT_HOMEPAGE, "Goto Veltra Partola 95 Homepage"},
    {IDC_ABOUT_EMAIL, "Email For Support"},
    {IDCANCEL, "Close About Dialog"},
};

// Returns FALSE: the focus is placed on Close here.
INT_PTR InitAboutDialog(HWND dialog) {
    AboutIcon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_APP));
    SendDlgItemMessageA(dialog, IDC_ABOUT_ICON, STM_SETIMAGE, IMAGE_ICON,
                        reinterpret_cast<LPARAM>(AboutIcon));
    SetDlgItemTextA(dialog, IDC_ABOUT_URL, HomepageUrl);
    SetDlgItemTextA(dialog, IDC_ABOUT_ADDRESS, SupportAddress);
    AddTooltips(dialog, AboutTools);
    SetFocus(GetDlgItem(dialog, IDCANCEL));
    return FALSE;
}

// The browser or mail program is shown normally; a failure leaves the
// dialog as it was.
void OpenLink(const char* link) {
    ShellExecuteA(GetDesktopWindow(), "open", link, nullptr, nullptr, SW_SHOWNORMAL);
}

INT_PTR OnAboutCommand(HWND dialog, int id) {
    switch (id) {
        case IDCANCEL:
            SendMessageA(dialog, WM_CLOSE, 0, 0);
            return TRUE;
        case IDC_ABOUT_HOMEPAGE:
            OpenLink(HomepageUrl);
            return TRUE;
        case IDC_ABOUT_EMAIL:
            OpenLink(SupportLink);
            return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return InitAboutDialog(dialog);
        case WM_COMMAND:
            return OnAboutCommand(dialog, LOWORD(wParam));
        case WM_CLOSE:
            EndDialog(dialog, 0);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

HICON AboutIcon = nullptr;

void RunAboutDialog(HWND owner) {
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialogProc, 0);
}
