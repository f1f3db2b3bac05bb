// The help viewer's windows and topics.
#include "help_viewer.h"

#include <algorithm>
#include <cstring>

#include "test_support.h"

namespace testing_support {

namespace {

constexpr int ViewerTextPane = 0x701;

}  // namespace

std::vector<HWND> HelpViewerWindows() {
    std::vector<HWND> viewers;
    for (HWND window : TopWindowsOf(EveryProcess)) {
        char name[64] = "";
        GetClassNameA(window, name, sizeof name);
        if (IsWindowVisible(window) && strcmp(name, HelpViewerClass) == 0)
            viewers.push_back(window);
    }
    return viewers;
}

std::string ShownTopic(HWND viewer) {
    // Read with the W message, which Wine carries across processes.
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

HWND WaitForTopic(const std::string& title, DWORD timeoutMs) {
    HWND shown = nullptr;
    WaitUntil(
        [&] {
            for (HWND viewer : HelpViewerWindows())
                if (ShownTopic(viewer).rfind(title + "\r", 0) == 0) shown = viewer;
            return shown != nullptr;
        },
        timeoutMs);
    return shown;
}

void CloseHelpViewer() {
    for (HWND viewer : HelpViewerWindows()) PostMessageA(viewer, WM_CLOSE, 0, 0);
    WaitUntil([] { return HelpViewerWindows().empty(); }, 10000);
}

}  // namespace testing_support
