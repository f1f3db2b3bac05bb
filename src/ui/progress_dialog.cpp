// The progress window: title, status line and bar written by the split
// engine, and one button that cancels the running job or, once the job has
// finished, closes the window. Closing it always brings the main window back.
#include "ui/progress_dialog.h"

#include <windows.h>

#include "engine/split_engine.h"
#include "model/split_job.h"
#include "resource.h"
#include "ui/main_dialog.h"
#include "ui/progress_report.h"
#include "ui/tool_tips.h"

namespace {

// The button becomes "Close", with the tip "Close Split Status Dialog", once
// the job has finished (progress_report.cpp).
constexpr ToolTip ProgressTools[] = {{IDCANCEL, "Cancel Splitting"}};

BOOL InitProgressDialog(HWND dialog) {
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(AppIcon));
    if (Options.AlwaysOnTop)
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ProgressTooltip = AddTooltips(dialog, ProgressTools);
    return TRUE;
}

// The close request: Cancel while the job runs, else back to the main window.
void CloseProgressDialog(HWND dialog) {
    if (!ProgressWindowMayClose()) return;
    MainWindow = CreateMainDialog();
    DestroyWindow(dialog);
}

// Where the worker's last message goes: the progress window while it is
// open, else the main window it brought back.
HWND WorkerEndReceiver() {
    HWND window = ProgressWindow;
    return window && IsWindow(window) ? window : MainWindow;
}

// The life cycle's close: the progress window (it brings the main window
// back), and that main window too when asked.
void CloseJobWindows(bool closeMainWindow) {
    if (ProgressWindow) SendMessageA(ProgressWindow, WM_CLOSE, 0, 0);
    if (closeMainWindow && MainWindow) SendMessageA(MainWindow, WM_CLOSE, 0, 0);
}

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return InitProgressDialog(dialog);
        case WM_COMMAND:
            if (LOWORD(wParam) != IDCANCEL) return FALSE;
            // While the job runs this is Cancel; else the close request.
            if (ProgressWindowMayClose()) SendMessageA(dialog, WM_CLOSE, 0, 0);
            return TRUE;
        case WM_CLOSE:
            CloseProgressDialog(dialog);
            return TRUE;
        case SplitWorkerEndedMessage:
            SplitWorkerEnded();
            return TRUE;
        case WM_DESTROY:
            if (ProgressWindow == dialog) ProgressWindow = nullptr;
            ProgressTooltip = nullptr;
            return FALSE;
        default:
            if (!IsWorkerCall(message)) return FALSE;
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, ServeWorkerCall(message, wParam, lParam));
            return TRUE;
    }
}

}  // namespace

HWND ProgressWindow = nullptr;
HWND ProgressTooltip = nullptr;

HWND CreateProgressDialog() {
    ReportToProgressWindow();
    SetJobWindows({WorkerEndReceiver, CloseJobWindows});
    ProgressWindow = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr,
                                        ProgressDialogProc, 0);
    return ProgressWindow;
}
