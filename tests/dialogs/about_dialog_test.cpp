// The About box: what it shows, its tooltips, its two links and how it closes.
#include "ui/about_dialog.h"

#include <commctrl.h>

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

struct AboutView {
    std::vector<std::string> texts;  // every child's text
    bool iconShown = false;
    bool addressesReadOnly = false;
    std::vector<std::string> tips;
    bool focusOnClose = false;
    std::vector<std::string> cutOff;  // static texts wider than their control
};

// A left-aligned static text that does not fit its control in the font the
// dialog gave it: its text and widths; empty for any other control.
std::string CutOff(HWND child) {
    char windowClass[16] = {};
    GetClassNameA(child, windowClass, sizeof windowClass);
    LONG type = GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK;
    std::string text = WindowText(child);
    if (lstrcmpiA(windowClass, "Static") != 0 || text.empty() ||
        (type != SS_LEFT && type != SS_LEFTNOWORDWRAP))
        return "";
    HDC dc = GetDC(child);
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, font);
    ReleaseDC(child, dc);
    RECT client{};
    GetClientRect(child, &client);
    if (extent.cx <= client.right) return "";
    return text + " (" + std::to_string(extent.cx) + " of " + std::to_string(client.right) +
           " pixels)";
}

AboutView Look(HWND dialog) {
    AboutView view;
    for (HWND child : ChildrenOf(dialog)) {
        view.texts.push_back(WindowText(child));
        std::string cut = CutOff(child);
        if (!cut.empty()) view.cutOff.push_back(cut);
    }
    view.iconShown = SendDlgItemMessageA(dialog, IDC_ABOUT_ICON, STM_GETIMAGE, IMAGE_ICON, 0) != 0;
    view.addressesReadOnly =
        (GetWindowLongA(GetDlgItem(dialog, IDC_ABOUT_URL), GWL_STYLE) & ES_READONLY) &&
        (GetWindowLongA(GetDlgItem(dialog, IDC_ABOUT_ADDRESS), GWL_STYLE) & ES_READONLY);
    for (const Tool& tool : TooltipsOf(dialog)) view.tips.push_back(tool.text);
    // The focus arrives once the shown dialog has been activated.
    view.focusOnClose = WaitUntil(
        [dialog] {
            GUITHREADINFO thread{};
            thread.cbSize = sizeof thread;
            GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread);
            return thread.hwndFocus == GetDlgItem(dialog, IDCANCEL);
        },
        5000);
    return view;
}

bool Shows(const AboutView& view, const std::string& text) {
    return std::find(view.texts.begin(), view.texts.end(), text) != view.texts.end();
}

class AboutDialog : public DialogTest {
protected:
    DriveResult Run(const std::function<void(HWND)>& drive) {
        return RunDriven(
            messages::AboutCaption, [] { RunAboutDialog(MainWindow); }, drive);
    }
};

TEST_F(AboutDialog, ShowsItselfAlikeEachTimeAndClosesWithEscapeAndWithClose) {
    for (bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "closed with Escape" : "closed with Close");
        AboutView view;
        DriveResult run = Run([&](HWND dialog) {
            view = Look(dialog);
            if (escape)
                PostMessageA(GetDlgItem(dialog, IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0);
            else
                Click(dialog, IDCANCEL);
        });
        ASSERT_TRUE(run.shown && run.closed);
        EXPECT_TRUE(Shows(view, "Veltra Partola 95 Version 3.2 - Feb 18, 1999"));
        EXPECT_TRUE(Shows(view, "http://www.partola.example/"));
        EXPECT_TRUE(Shows(view, "support@partola.example"));
        EXPECT_EQ(view.cutOff, std::vector<std::string>{});
        EXPECT_TRUE(view.iconShown);
        EXPECT_TRUE(view.addressesReadOnly);
        EXPECT_TRUE(view.focusOnClose);
        EXPECT_EQ(view.tips, (std::vector<std::string>{"Goto Veltra Partola 95 Homepage",
                                                       "Email For Support", "Close About Dialog"}));
    }
}

// Points a URL scheme's "open" command at the command interpreter, which
// writes the link it is given into a file; the original command comes back
// afterwards.
class LinkRecorder {
public:
    LinkRecorder(const std::string& log) {
        for (const char* scheme : {"http", "mailto"}) {
            std::string key = std::string(scheme) + "\\shell\\open\\command";
            char previous[1024] = {};
            LONG size = sizeof previous;
            bool had =
                RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), previous, &size) == ERROR_SUCCESS;
            saved_.push_back({key, had, previous});
            std::string command = "cmd.exe /c echo %1>>\"" + log + "\"";
            RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, command.c_str(),
                         static_cast<DWORD>(command.size()));
        }
    }
    ~LinkRecorder() {
        for (const Saved& saved : saved_) {
            if (saved.had)
                RegSetValueA(HKEY_CLASSES_ROOT, saved.key.c_str(), REG_SZ, saved.command.c_str(),
                             static_cast<DWORD>(saved.command.size()));
            else
                RegDeleteKeyA(HKEY_CLASSES_ROOT, saved.key.c_str());
        }
    }

private:
    struct Saved {
        std::string key;
        bool had;
        std::string command;
    };
    std::vector<Saved> saved_;
};

TEST_F(AboutDialog, HomepageAndEmailOpenTheirLinksAndLeaveTheDialogOpen) {
    TempFolder folder;
    const std::string log = folder.File("links.txt");
    LinkRecorder recorder(log);
    auto linesLogged = [&] {
        std::string all = ReadWholeFile(log);
        return std::count(all.begin(), all.end(), '\n');
    };
    bool openAfterLinks = false;
    DriveResult run = Run([&](HWND dialog) {
        Click(dialog, IDC_ABOUT_HOMEPAGE);
        WaitUntil([&] { return linesLogged() >= 1; });
        Click(dialog, IDC_ABOUT_EMAIL);
        WaitUntil([&] { return linesLogged() >= 2; });
        RoundTrip(dialog);
        openAfterLinks = IsWindow(dialog) && IsWindowVisible(dialog);
        Click(dialog, IDCANCEL);
    });
    ASSERT_TRUE(run.shown && run.closed);
    EXPECT_TRUE(openAfterLinks);
    EXPECT_EQ(ReadWholeFile(log),
              "http://www.partola.example/\r\nmailto:support@partola.example\r\n");
}

}  // namespace
}  // namespace dialog_tests
