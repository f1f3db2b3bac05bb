// The progress window as a job's report: its title, button and tooltip, the
// bar's range and pacing, the message boxes it owns, and the prompt watcher
// that closes the worker's box at a Cancel.
#include <gtest/gtest.h>
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "engine/engine_steps.h"
#include "engine/job_report.h"
#include "model/split_job.h"
#include "resource.h"
#include "test_support.h"
#include "ui/progress_dialog.h"
#include "ui/progress_report.h"

using namespace testing_support;

namespace {

class ProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppInstance = GetModuleHandleA(nullptr);
        InitCommonControls();
        Options.AlwaysOnTop = 0;
        ResetJob();
    }
    void TearDown() override {
        if (IsWindow(ProgressWindow)) DestroyWindow(ProgressWindow);
        if (MainWindow && IsWindow(MainWindow)) DestroyWindow(MainWindow);
        MainWindow = nullptr;
    }
    static LRESULT Bar(UINT message, WPARAM wParam = 0) {
        return SendDlgItemMessageA(ProgressWindow, IDC_PROGRESS_BAR, message, wParam, 0);
    }
};

TEST_F(ProgressWindowTest, StartsWithCancelTipAndIsTopmostWhenAsked) {
    Options.AlwaysOnTop = 1;
    HWND window = CreateProgressDialog();
    ASSERT_TRUE(window);
    EXPECT_EQ(WindowText(window), "Partola 95 Progress");
    EXPECT_EQ(WindowText(GetDlgItem(window, IDCANCEL)), "&Cancel");
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(TooltipsOf(window).at(0).text, "Cancel Splitting");
    // Closed before any job: it simply goes, bringing the main window back.
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(ProgressWindow, nullptr);
    EXPECT_TRUE(MainWindow && IsWindow(MainWindow));
}

TEST_F(ProgressWindowTest, ShowsTheReportAtItsPaceAndEndsWithACloseButton) {
    HWND window = CreateProgressDialog();
    ASSERT_TRUE(window);
    const JobReport& report = JobReporter();
    report.Begin();
    // Beyond 16 bits the bar moves in proportion: 102,401 steps move it every
    // second step, 655,361 every eleventh.
    report.Range(102401);
    EXPECT_EQ(Bar(PBM_GETRANGE, FALSE), 51201);
    report.Range(655361);
    EXPECT_EQ(Bar(PBM_GETRANGE, FALSE), 59579);
    report.Range(3);
    report.Title("Splitting");
    report.PassingStatus("Writing piece 1 of 3...");
    report.Step();
    report.Step();
    // Steps may wait for the window's pace; a text the user must read shows
    // them first, and a box waits for them too.
    report.Status("Writing recombination batch file...");
    EXPECT_EQ(Bar(PBM_GETPOS), 2);
    EXPECT_EQ(WindowText(GetDlgItem(window, IDC_PROGRESS_TITLE)), "Splitting");
    MessageBoxWatcher boxes;
    EXPECT_EQ(report.Ask("Go on?", "Question", MB_OKCANCEL), IDOK);
    EXPECT_EQ(boxes.Seen().at(0).owner, window);

    report.Finished(false);  // the last move, whatever part of one the steps made
    EXPECT_EQ(Bar(PBM_GETPOS), 3);
    EXPECT_EQ(WindowText(GetDlgItem(window, IDC_PROGRESS_STATUS)), "Finished.");
    EXPECT_EQ(WindowText(GetDlgItem(window, IDCANCEL)), "Close");
    EXPECT_EQ(TooltipsOf(window).at(0).text, "Close Split Status Dialog");
    report.Finished(true);  // a spanning job's bar ends full as a range of one
    EXPECT_EQ(Bar(PBM_GETRANGE, FALSE), 1);
    EXPECT_EQ(Bar(PBM_GETPOS), 1);

    PostMessageA(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitWindowGone(window));
    EXPECT_TRUE(MainWindow && IsWindow(MainWindow));
}

// The worker's prompts close at a Cancel whatever their buttons: a Yes/No box
// has no Cancel to press, and Windows ignores IDCANCEL there.
DWORD WINAPI AskYesNo(LPVOID answer) {
    *static_cast<int*>(answer) = AskUser("Go on?", "Yes or no", MB_YESNO);
    return 0;
}

TEST_F(ProgressWindowTest, AYesNoPromptOpenAtACancelIsClosedWithItsNoButton) {
    ReportToProgressWindow();  // its prompts, with no window to own them
    ASSERT_TRUE(BeginSplitJob());
    MarkSplitJobPrepared();
    int answer = -1;
    HANDLE asker = CreateThread(nullptr, 0, AskYesNo, &answer, 0, nullptr);
    ASSERT_NE(asker, nullptr);
    HWND box = nullptr;
    for (int wait = 0; wait < 500 && !(box && IsWindowVisible(box)); ++wait, Sleep(20))
        box = FindWindowA("#32770", "Yes or no");
    ASSERT_NE(box, nullptr);
    JobReporter().Canceling();  // what the progress window does at a Cancel
    EXPECT_EQ(WaitForSingleObject(asker, 10000), WAIT_OBJECT_0);
    CloseHandle(asker);
    EXPECT_EQ(answer, IDNO);
    EndSplitJobEarly();
}

}  // namespace
