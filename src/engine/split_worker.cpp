// The SplitWorker thread's life: its start, the cooperative Cancel from the
// progress window, and the wait for its end that never blocks the window
// calls it makes meanwhile.
#include <cstring>

#include "engine/engine_steps.h"
#include "engine/split_engine.h"
#include "model/split_job.h"
#include "resource.h"

namespace {

constexpr char StartFailed[] =
    "Unable to start the split: the system could not create its worker thread. Close other "
    "programs and try again.";

constexpr char Canceling[] = "Canceling...";

// Set while the interface thread waits inside CancelSplitJob.
bool CancelInProgress = false;

// Serves this thread's messages until the thread handle is signalled. A quit
// message taken meanwhile is put back for the program's own loop.
void PumpUntilEnded(HANDLE thread) {
    bool quit = false;
    int exitCode = 0;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                exitCode = static_cast<int>(msg.wParam);
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        // The queue is empty here, so any input wakes the wait (the Ex form,
        // which could also wake for input left behind, is missing on Windows 95).
        if (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0)
            break;
    }
    if (quit) PostQuitMessage(exitCode);
}

void ShowCanceling() {
    char status[40] = {};
    GetDlgItemTextA(ProgressWindow, IDC_PROGRESS_STATUS, status, sizeof status);
    if (strcmp(status, Canceling) != 0)
        SetDlgItemTextA(ProgressWindow, IDC_PROGRESS_STATUS, Canceling);
}

}  // namespace

bool StartSplitWorker() {
    WorkerThread = CreateThread(nullptr, 0, RunSplitJob, nullptr, 0, &WorkerThreadId);
    if (WorkerThread) return true;
    MessageBoxA(ProgressWindow, StartFailed, "Error", MB_OK | MB_ICONERROR);
    ClaimJobEnd();
    return EndSplitJob(false);
}

void WaitForSplitWorker() {
    HANDLE thread = WorkerThread;
    if (!thread) return;
    if (GetCurrentThreadId() == WorkerThreadId) return;
    PumpUntilEnded(thread);
    if (WorkerThread == thread) {
        CloseHandle(thread);
        WorkerThread = nullptr;
    }
}

bool SplitWorkerActive() {
    if (!WorkerThread) return false;
    if (WaitForSingleObject(WorkerThread, 0) != WAIT_OBJECT_0) return true;
    CloseHandle(WorkerThread);
    WorkerThread = nullptr;
    return false;
}

void CancelSplitJob() {
    // A second Cancel while the first waits, or a job the worker is already
    // ending itself, needs nothing more.
    if (CancelInProgress || !ClaimJobEnd()) return;
    CancelInProgress = true;
    WorkerStopRequested = true;
    ShowCanceling();
    WaitForSplitWorker();
    // A status the worker sent just before it saw the stop was served while
    // waiting; the window keeps saying what is happening.
    ShowCanceling();
    EndSplitJob(false);
    CancelInProgress = false;
}
