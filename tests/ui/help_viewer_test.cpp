// The help as a user meets it in the running program: the Help button opens
// the viewer at the contents, and context help on an option of the Options
// dialog (F1, as the keyboard sends it) opens that option's topic, with no
// error box. (Under Wine the topic opens in the viewer's window: its viewer
// shows no pop-ups for a program.) Which topic each option's context id names
// is the help file's test.
#include "help_viewer.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "program_session.h"
#include "resource.h"

using namespace testing_support;

namespace {

constexpr char HelpTitle[] = "Veltra Partola 95 Help";

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// "caption|text" of every box the viewer's processes show: their complaints
// (a hidden viewer window tells such a process even when none is shown).
std::vector<std::string> ViewerBoxes() {
    std::vector<HWND> windows = TopWindowsOf(EveryProcess);
    std::set<DWORD> viewers;
    for (HWND window : windows) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (ClassOf(window) == HelpViewerClass) viewers.insert(process);
    }
    std::vector<std::string> boxes;
    for (HWND window : windows) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (viewers.count(process) && IsWindowVisible(window) && ClassOf(window) == "#32770")
            boxes.push_back(WindowText(window) + "|" + WindowText(GetDlgItem(window, 0xFFFF)));
    }
    return boxes;
}

// What the viewer shows, for a failure's message.
std::string ViewerState() {
    std::string state;
    for (HWND viewer : HelpViewerWindows()) {
        bool popup = (GetWindowLongA(viewer, GWL_STYLE) & WS_POPUP) != 0;
        state += (popup ? "\n pop-up \"" : "\n window \"") + WindowText(viewer) +
                 "\": " + ShownTopic(viewer).substr(0, 60);
    }
    return state.empty() ? "no viewer window" : state;
}

std::string WithoutAccelerators(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    return text;
}

TEST(HelpViewer, HelpButtonOpensTheContentsAndF1OnAnOptionItsTopic) {
    CloseHelpViewer();
    ProgramSession session;
    ASSERT_NE(session.main, nullptr);
    ASSERT_TRUE(PressButton(session.main, IDC_HELP_BUTTON));
    HWND viewer = WaitForTopic("Veltra Partola 95 Help Contents");
    ASSERT_NE(viewer, nullptr) << ViewerState();
    EXPECT_EQ(WindowText(viewer), HelpTitle);
    std::string topic = ShownTopic(viewer);
    for (const char* group :
         {"Getting started", "Splitting", "Recombining", "Options", "Reference"})
        EXPECT_NE(topic.find(std::string("\r") + group + "\r"), std::string::npos) << group;

    HWND options = session.OpenDialog(IDC_OPTIONS, messages::OptionsCaption);
    ASSERT_NE(options, nullptr);
    HWND control = GetDlgItem(options, IDC_OPT_USE_DOS83);
    ASSERT_TRUE(PressHelpKey(control));
    viewer = WaitForTopic(WithoutAccelerators(WindowText(control)));
    ASSERT_NE(viewer, nullptr) << ViewerState();
    EXPECT_EQ(WindowText(viewer), HelpTitle);
    ASSERT_TRUE(PressButton(options, IDCANCEL));
    EXPECT_TRUE(WaitWindowGone(options));

    EXPECT_EQ(ViewerBoxes(), std::vector<std::string>{});
    EXPECT_EQ(session.boxes.Transcript(), std::vector<std::string>{});
    CloseHelpViewer();
    EXPECT_EQ(session.Close(), 0);
}

}  // namespace
