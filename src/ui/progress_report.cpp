// The progress window's side of the job's report: its controls, its tooltip
// and the message boxes it owns. Window calls are carried out on the
// interface thread, which does nothing more once the job is stopping, and
// they go at the window's pace: progress steps and piece statuses that come
// faster than the window can show them are added up and sent together.
// windows.h must come before commctrl.h.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "ui/progress_report.h"

#include <atomic>
#include <cstring>

#include "engine/job_report.h"
#include "engine/split_engine.h"
#include "model/split_job.h"
#include "resource.h"
#include "ui/message_boxes.h"
#include "ui/progress_dialog.h"
#include "ui/tool_tips.h"

namespace {

// At most 25 reports a second: more than the eye follows, and few enough
// that the worker does not wait for a window busy painting.
constexpr DWORD ReportInterval = 40;

constexpr char CloseTip[] = "Close Split Status Dialog";

constexpr uint64_t LargestRange = 0xFFFF;

// The report's pace, the receiver of its verbs: what has not been shown yet.
// Only the thread that runs the job's steps touches it.
struct ReportPace {
    DWORD lastReport = 0;
    uint32_t pendingSteps = 0;
    // The bar moves once for every stepsPerMove steps; stepsSinceMove counts
    // the steps toward the next move.
    uint32_t stepsPerMove = 1;
    uint32_t stepsSinceMove = 0;
    char pendingStatus[200] = {};
};
ReportPace Pace;

// The message box the worker has open, so that Cancel can close it.
std::atomic<HWND> OpenPrompt{nullptr};

// Closes a message box with a button it has: Cancel, else No (a Yes/No box
// ignores IDCANCEL on Windows), else OK.
bool HasButton(HWND box, int id) {
    HWND button = GetDlgItem(box, id);
    return button && (GetWindowLongA(button, GWL_STYLE) & WS_VISIBLE);
}

void CloseBox(HWND box) {
    int button = HasButton(box, IDCANCEL) ? IDCANCEL : HasButton(box, IDNO) ? IDNO : IDOK;
    PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
}

bool IsMessageBox(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return strcmp(name, "#32770") == 0;
}

// Notes the message box as it is created (not any other window of the
// thread, such as an input method's); a prompt that opens after a Cancel is
// closed as soon as it is shown, when its buttons are there.
LRESULT CALLBACK WatchPrompt(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && !OpenPrompt.load()) {
        auto* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
        if (!(create->lpcs->style & WS_CHILD) && IsMessageBox(window)) OpenPrompt = window;
    } else if (code == HCBT_ACTIVATE && window == OpenPrompt.load() && !WorkerMayGoOn()) {
        CloseBox(window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A window call of the worker's, carried out on the interface thread; 0 once
// the job is stopping.
LRESULT ProgressCall(UINT message, WPARAM wParam, LPARAM lParam = 0) {
    HWND window = ProgressWindow;
    if (!WorkerMayGoOn() || !window) return 0;
    return SendMessageA(window, message, wParam, lParam);
}

void SendText(int controlId, const char* text) {
    ProgressCall(ShowTextMessage, static_cast<WPARAM>(controlId), reinterpret_cast<LPARAM>(text));
}

ReportPace& PaceOf(void* receiver) { return *static_cast<ReportPace*>(receiver); }

// Sends the steps and the status that wait; done before every prompt and
// text the user must see, so nothing shows out of order.
void ShowPendingProgress(ReportPace& pace) {
    pace.lastReport = GetTickCount();
    if (pace.pendingStatus[0]) {
        SendText(IDC_PROGRESS_STATUS, pace.pendingStatus);
        pace.pendingStatus[0] = '\0';
    }
    if (pace.pendingSteps) {
        ProgressCall(MoveBarMessage, pace.pendingSteps);
        pace.pendingSteps = 0;
    }
}

void ReportWhenDue(ReportPace& pace) {
    if (GetTickCount() - pace.lastReport >= ReportInterval) ShowPendingProgress(pace);
}

// A new job reports its first step at once.
void ResetProgressPacing(void* receiver) {
    ReportPace& pace = PaceOf(receiver);
    pace.lastReport = GetTickCount() - ReportInterval;
    pace.pendingSteps = 0;
    pace.pendingStatus[0] = '\0';
}

// One more step of the bar, shown with the next report.
void StepProgressBar(void* receiver) {
    ReportPace& pace = PaceOf(receiver);
    if (++pace.stepsSinceMove >= pace.stepsPerMove) {
        pace.stepsSinceMove = 0;
        ++pace.pendingSteps;
    }
    ReportWhenDue(pace);
}

// The job's last step: the bar moves once more, whatever part of a move the
// steps so far had made, and shows at once.
void FinishProgressBar(ReportPace& pace) {
    pace.stepsSinceMove = 0;
    ++pace.pendingSteps;
    ShowPendingProgress(pace);
}

// A status that may be passed over when a newer one follows at once.
void ShowPassingStatus(void* receiver, const char* text) {
    ReportPace& pace = PaceOf(receiver);
    CopyText(pace.pendingStatus, sizeof pace.pendingStatus, text);
    ReportWhenDue(pace);
}

// A text the user must see, in order (title, disk statuses, the last steps).
void ShowProgressText(ReportPace& pace, int controlId, const char* text) {
    ShowPendingProgress(pace);
    SendText(controlId, text);
}

void ShowTitle(void* receiver, const char* text) {
    ShowProgressText(PaceOf(receiver), IDC_PROGRESS_TITLE, text);
}

void ShowStatus(void* receiver, const char* text) {
    ShowProgressText(PaceOf(receiver), IDC_PROGRESS_STATUS, text);
}

// The range message carries 16 bits: beyond 65,535 steps, the bar moves once
// for every so many steps (the fewest that bring the range under 65,536), so
// that it still runs from empty to full.
void SetRange(void* receiver, uint64_t steps) {
    ReportPace& pace = PaceOf(receiver);
    pace.stepsPerMove =
        steps > LargestRange ? static_cast<uint32_t>((steps - 1) / LargestRange + 1) : 1;
    pace.stepsSinceMove = 0;
    auto upper = static_cast<WORD>((steps + pace.stepsPerMove - 1) / pace.stepsPerMove);
    ProgressCall(SetRangeMessage, upper);
}

void SetPosition(void*, uint32_t position) { ProgressCall(SetPositionMessage, position); }

void FillProgressBar(void* receiver, bool spanning) {
    if (spanning) {
        ShowPendingProgress(PaceOf(receiver));
        SetRange(receiver, 1);
        SetPosition(receiver, 1);
    } else {
        FinishProgressBar(PaceOf(receiver));
    }
}

// On the interface thread.
void ShowCloseButton() {
    SetDlgItemTextA(ProgressWindow, IDCANCEL, "Close");
    TTTOOLINFOA tool = ToolRecord(ProgressWindow, IDCANCEL, CloseTip);
    if (ProgressTooltip)
        SendMessageA(ProgressTooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void ShowFinished(void* receiver, bool spanning) {
    FillProgressBar(receiver, spanning);
    ShowStatus(receiver, "Finished.");
    ProgressCall(ShowCloseMessage, 0);
}

int AskUser(void* receiver, const char* text, const char* caption, UINT flags) {
    ShowPendingProgress(PaceOf(receiver));
    OpenPrompt = nullptr;
    HHOOK hook = SetWindowsHookExA(WH_CBT, WatchPrompt, nullptr, GetCurrentThreadId());
    int answer = ShowMessageBox(ProgressWindow, text, caption, flags);
    if (hook) UnhookWindowsHookEx(hook);
    OpenPrompt = nullptr;
    return answer;
}

// Closes the message box the worker has open, if any (after a Cancel).
void CloseOpenPrompt() {
    HWND box = OpenPrompt.load();
    if (box) CloseBox(box);
}

void ShowCanceling(void*) {
    SetDlgItemTextA(ProgressWindow, IDC_PROGRESS_STATUS, "Canceling...");
    CloseOpenPrompt();
}

const JobReportVerbs ProgressVerbs{
    ResetProgressPacing,  // Begin
    ShowTitle,            // Title
    SetRange,             // Range
    SetPosition,          // Position
    ShowStatus,           // Status
    ShowPassingStatus,    // PassingStatus
    StepProgressBar,      // Step
    ShowFinished,         // Finished
    AskUser,              // Ask
    ShowCanceling,        // Canceling
};

}  // namespace

void ReportToProgressWindow() { SetJobReport({&ProgressVerbs, &Pace}); }

bool IsWorkerCall(UINT message) {
    return message >= ShowTextMessage && message <= ShowCloseMessage;
}

LRESULT ServeWorkerCall(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = ProgressWindow;
    if (!WorkerMayGoOn() || !window) return 0;
    switch (message) {
        case ShowTextMessage:
            return SendDlgItemMessageA(window, static_cast<int>(wParam), WM_SETTEXT, 0, lParam);
        case MoveBarMessage:
            return SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_DELTAPOS, wParam, 0);
        case SetRangeMessage:
            return SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_SETRANGE, 0,
                                       MAKELPARAM(0, static_cast<WORD>(wParam)));
        case SetPositionMessage:
            return SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_SETPOS, wParam, 0);
        default:
            ShowCloseButton();
            return 0;
    }
}
