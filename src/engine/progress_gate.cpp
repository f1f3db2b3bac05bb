// The one way the engine reaches the progress window, and the claim that
// decides which thread ends a job. A cancelled worker stops at the gate.
#include <atomic>

#include "engine/engine_steps.h"
#include "engine/split_engine.h"
#include "model/split_job.h"

namespace {

// 0 while nobody ends the job; set once by the first side that does.
std::atomic<bool> JobEndClaimed{false};

}  // namespace

bool WorkerMayGoOn() { return !WorkerStopRequested.load(); }

LRESULT ProgressCall(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!WorkerMayGoOn() || !target) return 0;
    return SendMessageA(target, message, wParam, lParam);
}

void ShowProgressText(int controlId, const char* text) {
    if (!WorkerMayGoOn() || !ProgressWindow) return;
    ProgressCall(GetDlgItem(ProgressWindow, controlId), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(text));
}

int AskUser(const char* text, const char* caption, UINT flags) {
    if (!WorkerMayGoOn()) return 0;
    return MessageBoxA(ProgressWindow, text, caption, flags);
}

bool ClaimJobEnd() { return !JobEndClaimed.exchange(true); }

void ResetJobEndClaim() { JobEndClaimed = false; }

bool FailSplitJob(const char* message) {
    if (!ClaimJobEnd()) return false;
    AskUser(message, "Error", MB_OK | MB_ICONERROR);
    EndSplitJob(false);
    return false;
}

bool EndCancelledSplitJob() {
    if (ClaimJobEnd()) EndSplitJob(false);
    return false;
}
