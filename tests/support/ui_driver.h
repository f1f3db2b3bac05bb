// Drives the real program from a test as a user would: starts Partola95.exe,
// finds its windows, types into fields, clicks buttons, reads labels and waits
// for it to end. Input is sent from a helper thread, so that a message box the
// program raises never blocks the test: a MessageBoxWatcher answers it.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

namespace testing_support {

// Partola95.exe of this build: beside the folder that holds the test program;
// or the program PARTOLA_PROGRAM names (a Windows path), as release.sh
// starts the programs it packs.
std::string ProgramPath();

// One run of the program, in a job object that ends it should this test
// process end first; ended (if it still runs) when the object goes.
class ProgramUnderTest {
public:
    // The tail is what follows the program name on the command line; without
    // one the command line is the quoted program path alone.
    explicit ProgramUnderTest(const std::string& tail = "");
    ~ProgramUnderTest();
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    DWORD ProcessId() const { return processId_; }
    // The "Veltra Partola 95" window; null when it does not appear in time.
    HWND MainWindow(DWORD timeoutMs = 10000) const;
    // True once the process has ended; its exit code goes to exitCode.
    bool WaitForExit(DWORD& exitCode, DWORD timeoutMs = 10000) const;

private:
    HANDLE job_ = nullptr;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// Sends a message from a helper thread and waits for its answer. Returns
// false when the window did not answer in time (the helper is left to finish).
bool SendFromHelper(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                    LRESULT* result = nullptr, DWORD timeoutMs = 20000);

// Moves the focus into a field and replaces its text, as typing does (the
// field reports the change).
bool TypeText(HWND dialog, int id, const std::string& text);
// What the dialog hears when the user leaves a field.
bool LeaveField(HWND dialog, int id);
// A click: the button takes the focus and the dialog hears it clicked; the
// call returns once the dialog has handled it.
bool Click(HWND dialog, int id);
// A click that may open a modal window: what the dialog hears from the click,
// posted, so that nothing waits for the window it opens. (A posted BM_CLICK
// goes through the button's capture, which a window being activated at that
// moment takes, swallowing the click.)
bool PressButton(HWND dialog, int id);
// F1 pressed while the control has the focus, as the dialog manager reports
// it (WM_KEYF1, which the window procedure turns into WM_HELP); posted.
bool PressHelpKey(HWND control);
// Returns once the window's thread has handled everything sent before: a
// round trip through its message loop, or through the modal loop it runs.
bool RoundTrip(HWND window);
// Selects a list entry and tells the dialog, as a user's pick does.
bool SelectListEntry(HWND dialog, int id, int index);
// Presses a key in the dialog as its keyboard handling sees it (Escape...).
bool PressKey(HWND dialog, UINT virtualKey);

std::string ControlText(HWND dialog, int id);
bool IsControlEnabled(HWND dialog, int id);
bool IsButtonChecked(HWND dialog, int id);
int ListSelection(HWND dialog, int id);
int ListCount(HWND dialog, int id);
std::string ListEntryText(HWND dialog, int id, int index);

bool IsTopmost(HWND window);

// The dialog of this program's template, made without showing it (so that
// it takes no focus from another test's windows) and without a procedure of
// its own; null when it cannot be made.
HWND CreateHiddenDialog(int templateId);

// Opens a modal dialog of this process with open() on this thread; once the
// dialog with the caption is shown, drive(dialog) runs on a helper thread.
// Returns whether the dialog appeared and was closed again.
struct DriveResult {
    bool shown = false;
    bool closed = false;
};
DriveResult RunDriven(const std::string& caption, const std::function<void()>& open,
                      const std::function<void(HWND)>& drive);

// For the dialogs run in this process: sets AppInstance, the common controls
// and a stand-in MainWindow that records the help requests passed on to it.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    static HELPINFO lastHelp;  // the last help request the main window received

private:
    static LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace testing_support
