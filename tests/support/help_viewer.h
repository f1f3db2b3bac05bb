// The help viewer that the program asks to show its help, seen from the
// tests: its windows, found by their class in every process, and the topic
// each shows, read from its text pane.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

constexpr char HelpViewerClass[] = "MS_WINHELP";

// The visible viewer windows.
std::vector<HWND> HelpViewerWindows();
// The text of the topic the viewer window shows; paragraphs end in "\r".
std::string ShownTopic(HWND viewer);
// The viewer window that shows the topic with this title; null when none
// does in time.
HWND WaitForTopic(const std::string& title, DWORD timeoutMs = 15000);
// Closes every viewer window and waits until they are gone.
void CloseHelpViewer();

}  // namespace testing_support
