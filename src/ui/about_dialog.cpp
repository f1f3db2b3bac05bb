// The About box: name, version, icon, the homepage and support addresses, and
// buttons that hand them to the user's browser and mail program.
#include "ui/about_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include "model/split_job.h"
#include "resource.h"

namespace {

constexpr char HomepageUrl[] = "http://www.partola.example/";
constexpr char SupportAddress[] = "support@partola.example";
constexpr char SupportLink[] = "mailto:support@partola.example";

struct AboutTool {
    int id;
    const char* tip;
};

constexpr AboutTool AboutTools[] = {
    {IDC_ABOUT_HOMEPAGE, "Goto Veltra Partola 95 Homepage"},
    {IDC_ABOUT_EMAIL, "Email For Support"},
    {IDCANCEL, "Close About Dialog"},
};

// The tooltip window is owned by the dialog and goes with it.
void AddTooltips(HWND dialog) {
    HWND tooltip =
        CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, AppInstance, nullptr);
    for (const AboutTool& tool : AboutTools) {
        TTTOOLINFOA info{};
        info.cbSize = TTTOOLINFOA_V1_SIZE;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = dialog;
        info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, tool.id));
        info.hinst = AppInstance;
        info.lpszText = const_cast<char*>(tool.tip);
        SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }
}

// Returns FALSE: the focus is placed on Close here.
INT_PTR InitAboutDialog(HWND dialog) {
    AboutIcon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_APP));
    SendDlgItemMessageA(dialog, IDC_ABOUT_ICON, STM_SETIMAGE, IMAGE_ICON,
                        reinterpret_cast<LPARAM>(AboutIcon));
    SetDlgItemTextA(dialog, IDC_ABOUT_URL, HomepageUrl);
    SetDlgItemTextA(dialog, IDC_ABOUT_ADDRESS, SupportAddress);
    AddTooltips(dialog);
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

void RunAboutDialog(HWND owner) {
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialogProc, 0);
}
