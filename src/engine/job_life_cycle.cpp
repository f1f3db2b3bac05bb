// The job's life cycle: the one phase value, the SplitWorker's thread handle,
// the one way to end a job early, Cancel, and the end of the worker announced
// to the interface thread by one posted message. Nothing here waits in a loop:
// Cancel only changes the phase, and whatever must happen after the worker
// has gone happens when its last message arrives.
#include <atomic>

#include "engine/engine_steps.h"
#include "engine/split_engine.h"
#include "model/split_job.h"
#include "resource.h"

namespace {

constexpr char StartFailed[] =
    "Unable to start the split: the system could not create its worker thread. Close other "
    "programs and try again.";

enum class JobPhase {
    Idle,       // no job; the progress window may close
    Preparing,  // PrepareSplitJob runs on the interface thread
    Running,    // prepared; the worker (once started) writes the pieces
    Stopping,   // ended early (Cancel, a failure or a cancelled prompt); the worker stops
    Finishing,  // the join file is written; the worker runs the completion steps
};

std::atomic<JobPhase> Phase{JobPhase::Idle};

// A close request that arrived while the worker ran its completion steps;
// it is carried out once the worker has gone.
bool CloseWanted = false;

bool Move(JobPhase from, JobPhase to) {
    if (!Phase.compare_exchange_strong(from, to)) return false;
    SplitJob.JobRunning = to == JobPhase::Running ? 1 : 0;
    return true;
}

void CancelSplitJob() {
    if (!WorkerThread) {
        EndSplitJobEarly(false);
        return;
    }
    if (!Move(JobPhase::Running, JobPhase::Stopping)) return;
    SetDlgItemTextA(ProgressWindow, IDC_PROGRESS_STATUS, "Canceling...");
    CloseOpenPrompt();
}

// Where the worker's last message goes: the progress window while it is
// open, else the main window it brought back.
HWND CurrentWindow() {
    HWND window = ProgressWindow;
    if (window && IsWindow(window)) return window;
    return MainWindow;
}

}  // namespace

bool BeginSplitJob() {
    if (WorkerThread) return false;
    CloseWanted = false;
    return Move(JobPhase::Idle, JobPhase::Preparing);
}

void MarkSplitJobPrepared() { Move(JobPhase::Preparing, JobPhase::Running); }

bool WorkerMayGoOn() { return Phase.load() != JobPhase::Stopping; }

bool SplitWorkerActive() { return Phase.load() != JobPhase::Idle || WorkerThread; }

bool EndSplitJobEarly(bool closeMainWindow) {
    // On the interface thread, before any worker runs: the clean-up at once.
    // (The worker is started suspended, so it always finds WorkerThread set.)
    if (Move(JobPhase::Preparing, JobPhase::Idle) ||
        (!WorkerThread && Move(JobPhase::Running, JobPhase::Idle)))
        return EndSplitJob(closeMainWindow);
    // On the worker: it stops, and its last message runs the clean-up.
    Move(JobPhase::Running, JobPhase::Stopping);
    return false;
}

bool EnterCompletion() { return Move(JobPhase::Running, JobPhase::Finishing); }

bool StartSplitWorker() {
    WorkerThread =
        CreateThread(nullptr, 0, RunSplitJob, nullptr, CREATE_SUSPENDED, &WorkerThreadId);
    if (WorkerThread) {
        ResumeThread(WorkerThread);
        return true;
    }
    return FailSplitJob(StartFailed);
}

DWORD ReportWorkerEnd(DWORD exitCode) {
    PostMessageA(CurrentWindow(), SplitWorkerEndedMessage, 0, 0);
    return exitCode;
}

void SplitWorkerEnded() {
    HANDLE thread = WorkerThread;
    if (!thread) return;
    // The message was the worker's last act: its thread is on its way out and
    // touches nothing of the job any more. It is not waited for: its exit may
    // itself need this thread (the system tidies its windows away).
    CloseHandle(thread);
    WorkerThread = nullptr;
    WorkerThreadId = 0;
    if (Move(JobPhase::Stopping, JobPhase::Idle) || Move(JobPhase::Running, JobPhase::Idle)) {
        EndSplitJob(false);
        return;
    }
    if (!Move(JobPhase::Finishing, JobPhase::Idle)) return;
    if ((Options.CloseWhenDone || CloseWanted) && ProgressWindow)
        SendMessageA(ProgressWindow, WM_CLOSE, 0, 0);
}

bool ProgressWindowMayClose() {
    switch (Phase.load()) {
        case JobPhase::Running:
            CancelSplitJob();
            return false;
        case JobPhase::Stopping:
            return false;
        case JobPhase::Finishing:
            CloseWanted = true;
            return false;
        default:
            return true;
    }
}
