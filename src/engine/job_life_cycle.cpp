// The job's life cycle: the one phase value, the SplitWorker's thread handle,
// the job's report and its message boxes, the job's windows (which the
// clean-up closes), the one way to end a job early and its clean-up, Cancel,
// and the end of the worker announced to the interface thread by one posted
// message. Nothing here waits in a loop: Cancel only changes the phase, and
// whatever must happen after the worker has gone happens when its last
// message arrives. Every other engine file calls this one; it calls none of
// them.
#include <atomic>

#include "engine/engine_steps.h"
#include "engine/job_report.h"
#include "engine/split_engine.h"
#include "model/split_job.h"
#include "platform/file_services.h"

namespace {

// Until a window installs its report, a job shows nothing and every
// question has no answer.
const JobReportVerbs SilentVerbs{
    [](void*) {},                                             // Begin
    [](void*, const char*) {},                                // Title
    [](void*, uint64_t) {},                                   // Range
    [](void*, uint32_t) {},                                   // Position
    [](void*, const char*) {},                                // Status
    [](void*, const char*) {},                                // PassingStatus
    [](void*) {},                                             // Step
    [](void*, bool) {},                                       // Finished
    [](void*, const char*, const char*, UINT) { return 0; },  // Ask
    [](void*) {},                                             // Canceling
};

JobReport Report{&SilentVerbs, nullptr};

// Until a window opens for the job, its end goes nowhere and nothing closes.
JobWindows Windows{[]() -> HWND { return nullptr; }, [](bool) {}};

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
    Report.Canceling();
}

}  // namespace

HANDLE WorkerThread = nullptr;
DWORD WorkerThreadId = 0;

void SetJobReport(const JobReport& report) { Report = report; }

void SetJobWindows(const JobWindows& windows) { Windows = windows; }

const JobReport& JobReporter() { return Report; }

int AskUser(const char* text, const char* caption, UINT flags) {
    if (!WorkerMayGoOn()) return 0;
    int answer = Report.Ask(text, caption, flags);
    return WorkerMayGoOn() ? answer : 0;
}

void ShowError(const char* text) { AskUser(text, ErrorCaption, MB_OK | MB_ICONERROR); }

bool FailSplitJob(const char* message) {
    ShowError(message);
    return EndSplitJobEarly(false);
}

int EndSplitJob(bool closeMainWindow) {
    delete[] SplitJob.CopyBuffer;
    SplitJob.CopyBuffer = nullptr;
    CloseFile(SplitJob.SourceHandle);
    CloseFile(SplitJob.PieceHandle);
    CloseFile(SplitJob.BackupHandle);
    // The progress window brings the main window back as it closes.
    Windows.Close(closeMainWindow);
    return 0;
}

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

DWORD ReportWorkerEnd(DWORD exitCode) {
    HWND window = Windows.WorkerEndReceiver();
    if (window) PostMessageA(window, SplitWorkerEndedMessage, 0, 0);
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
    if (Options.CloseWhenDone || CloseWanted) Windows.Close(false);
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
