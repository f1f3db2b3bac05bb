// One run of the real program driven through whole jobs as a user would:
// the request typed into the main window, Split pressed, the progress window
// watched and answered, the main window found again when the job is over,
// the Options dialog set through its check boxes, and the process's resource
// figures read from outside.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "test_support.h"
#include "ui_driver.h"

namespace soak_tests {

constexpr char ProgressCaption[] = "Partola 95 Progress";
constexpr char OptionsCaption[] = "Options";
constexpr char ProductName[] = "Veltra Partola 95";

// What the user types and picks before pressing Split.
struct SplitRequest {
    std::string source;
    std::string dest;
    std::string sizeText;  // empty when spanning
    int unitIndex = 1;     // 0 bytes, 1 KB, 2 MB
    bool span = false;
};

// The process's resources as seen from outside.
struct ResourceFigures {
    DWORD handles = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    size_t windows = 0;  // its top-level windows and all their children
    size_t privateBytes = 0;
    size_t workingSet = 0;
};

ResourceFigures MeasureProcess(DWORD processId);
std::string FiguresLine(const char* label, const ResourceFigures& figures);

// A click that may open a modal window: posted, so nothing waits for it.
bool PostClick(HWND dialog, int id);

// Waits until the window is gone.
bool WaitGone(HWND window, DWORD timeoutMs = 30000);

// Every static text of a dialog, in child order.
std::vector<std::string> ChildTexts(HWND dialog);

// A file of the given size without writing its bytes (the file system
// leaves it sparse, and it reads as zeros).
bool MakeLargeFile(const std::string& path, uint32_t size);

// A file's size; 0 when missing.
uint32_t FileSize(const std::string& path);

// The 8.3 alias of an existing file, or its own name when it has none.
std::string ShortName(const std::string& path);

class ProgramSession {
public:
    ProgramSession();
    DWORD ProcessId() const { return program.ProcessId(); }

    // The main window as it is now (re-created after every job).
    HWND Main(DWORD timeoutMs = 10000) const { return program.MainWindow(timeoutMs); }

    // Types the request into the main window and presses Split.
    bool StartSplit(HWND main, const SplitRequest& request);

    // After a job began: waits until its progress window has gone and a new
    // main window stands in place of the old one. Null on timeout.
    HWND WaitForMainBack(HWND oldMain, DWORD timeoutMs = 60000) const;

    // The running job's progress window once its status begins with the
    // text; null when it did not in time.
    HWND ProgressShowing(const std::string& statusStart, DWORD timeoutMs = 30000) const;

    // Opens Options with the main window's button, sets each box as given,
    // optionally takes a picture of the dialog, and presses OK.
    bool SetOptionsThroughDialog(HWND main, const std::vector<std::pair<int, bool>>& boxes,
                                 const std::string& picture = "");

    testing_support::ProgramUnderTest program;
    testing_support::MessageBoxWatcher boxes;
};

// Writes a picture of the window into build/screenshots/<name>.
bool SaveScreenshot(HWND window, const std::string& name);

}  // namespace soak_tests
