// The help as a user meets it in the running program: the Help button opens
// the viewer at the contents, and context help on each option of the Options
// dialog (F1, as the keyboard sends it) opens that option's topic, with no
// error box. (Under Wine the topic opens in the viewer's window: its viewer
// shows no pop-ups for a program.) The viewer is found by its window class and read from its text
// pane; pictures of it go into build/screenshots.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "program_session.h"
#include "resource.h"
#include "ui/options_dialog.h"

using namespace testing_support;

namespace {

constexpr char ViewerClass[] = "MS_WINHELP";
constexpr char HelpTitle[] = "Veltra Partola 95 Help";
constexpr int ViewerTextPane = 0x701;

struct TopWindow {
    HWND window;
    DWORD process;
    std::string className;
    bool visible;
};

BOOL CALLBACK Collect(HWND window, LPARAM param) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    reinterpret_cast<std::vector<TopWindow>*>(param)->push_back(
        {window, process, name, IsWindowVisible(window) != FALSE});
    return TRUE;
}

std::vector<TopWindow> TopWindows() {
    std::vector<TopWindow> windows;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> ViewerWindows() {
    std::vector<HWND> viewers;
    for (const TopWindow& top : TopWindows())
        if (top.visible && top.className == ViewerClass) viewers.push_back(top.window);
    return viewers;
}

// "caption|text" of every box the viewer's process shows: its complaints
// (a hidden viewer window tells that process even when none is shown).
std::vector<std::string> ViewerBoxes() {
    std::vector<TopWindow> windows = TopWindows();
    std::vector<std::string> boxes;
    for (const TopWindow& box : windows) {
        bool ofViewer = std::any_of(windows.begin(), windows.end(), [&](const TopWindow& top) {
            return top.className == ViewerClass && top.process == box.process;
        });
        if (ofViewer && box.visible && box.className == "#32770")
            boxes.push_back(WindowText(box.window) + "|" +
                            WindowText(GetDlgItem(box.window, 0xFFFF)));
    }
    return boxes;
}

// The topic a viewer window shows: the text of its rich edit pane (read with
// the W message, which Wine carries across processes).
std::string ShownTopic(HWND viewer) {
    HWND pane = GetDlgItem(viewer, ViewerTextPane);
    std::wstring text(static_cast<size_t>(SendMessageW(pane, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    SendMessageW(pane, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    char ansi[8192] = "";
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
    // Paragraphs end in "\r" alone, whichever way the pane reports them.
    std::string topic = ansi;
    topic.erase(std::remove(topic.begin(), topic.end(), '\n'), topic.end());
    return topic;
}

bool IsPopup(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & WS_POPUP) != 0; }

// What the viewer shows, for a failure's message.
std::string ViewerState() {
    std::string state;
    for (HWND viewer : ViewerWindows())
        state += (IsPopup(viewer) ? "\n pop-up \"" : "\n window \"") + WindowText(viewer) +
                 "\": " + ShownTopic(viewer).substr(0, 60);
    return state.empty() ? "no viewer window" : state;
}

// The viewer window that shows the topic with this title; null when none
// does in time.
HWND WaitForTopic(const std::string& title, DWORD timeoutMs = 15000) {
    HWND shown = nullptr;
    WaitUntil(
        [&] {
            for (HWND viewer : ViewerWindows())
                if (ShownTopic(viewer).rfind(title + "\r", 0) == 0) shown = viewer;
            return shown != nullptr;
        },
        timeoutMs);
    return shown;
}

void CloseViewer() {
    for (HWND viewer : ViewerWindows()) PostMessageA(viewer, WM_CLOSE, 0, 0);
    WaitUntil([] { return ViewerWindows().empty(); }, 10000);
}

std::string WithoutAccelerators(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    return text;
}

class HelpViewer : public ::testing::Test {
protected:
    void SetUp() override {
        CloseViewer();
        ASSERT_NE(session.main, nullptr);
    }
    void TearDown() override {
        EXPECT_EQ(ViewerBoxes(), std::vector<std::string>{});
        EXPECT_EQ(session.boxes.Transcript(), std::vector<std::string>{});
        CloseViewer();
        EXPECT_EQ(session.Close(), 0);
    }

    ProgramSession session;
};

TEST_F(HelpViewer, HelpButtonOpensTheContents) {
    ASSERT_TRUE(PressButton(session.main, IDC_HELP_BUTTON));
    HWND viewer = WaitForTopic("Veltra Partola 95 Help Contents");
    ASSERT_NE(viewer, nullptr) << ViewerState();
    EXPECT_EQ(WindowText(viewer), HelpTitle);
    std::string topic = ShownTopic(viewer);
    for (const char* group :
         {"Getting started", "Splitting", "Recombining", "Options", "Reference"})
        EXPECT_NE(topic.find(std::string("\r") + group + "\r"), std::string::npos) << group;
    EXPECT_TRUE(SaveScreenshot(viewer, "help_contents"));
}

TEST_F(HelpViewer, ContextHelpOnEveryOptionOpensItsTopic) {
    HWND options = session.OpenDialog(IDC_OPTIONS, messages::OptionsCaption);
    ASSERT_NE(options, nullptr);
    for (const OptionControl& row : OptionControls) {
        HWND control = GetDlgItem(options, row.controlId);
        std::string title = WithoutAccelerators(WindowText(control));
        ASSERT_TRUE(PressHelpKey(control));
        HWND viewer = WaitForTopic(title);
        ASSERT_NE(viewer, nullptr)
            << "context id " << row.helpId << ", \"" << title << "\": " << ViewerState();
        EXPECT_EQ(WindowText(viewer), HelpTitle);
        if (row.controlId == IDC_OPT_USE_DOS83) {
            EXPECT_TRUE(SaveScreenshot(viewer, "help_option_topic"));
        }
    }
    ASSERT_TRUE(PressButton(options, IDCANCEL));
    EXPECT_TRUE(WaitWindowGone(options));
}

}  // namespace
