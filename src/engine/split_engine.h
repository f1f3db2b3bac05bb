// The split engine, one file for each part: job_preparation.cpp
// (PrepareSplitJob, on the interface thread); piece_writer.cpp
// (StartSplitWorker and RunSplitJob, the SplitWorker thread's start routine,
// which writes the pieces and hands over to the join file writer);
// disk_spanning.cpp; job_completion.cpp (the completion steps);
// job_life_cycle.cpp (the job's phase, its reports, Cancel, and EndSplitJob,
// the one clean-up). The engine shows nothing itself: it tells the job's
// JobReport (job_report.h) what happens.
#pragma once

#include <windows.h>

#include <cstdint>

// Shown by the Split request, and by the preparation when the source has gone
// since.
constexpr char SourceNotFound[] = "Source file not found.";

// Readies a validated job (names, buffer, progress texts and range, the first
// free-space check when spanning). False when the job has already been ended
// or another job has not ended yet.
bool PrepareSplitJob();

// Bytes moved by one read and its writes inside a block: small enough to stay
// in the processor's cache. The benchmark varies it; the program never does.
extern uint32_t CopySliceBytes;

// The SplitWorker's start routine, in piece_writer.cpp. 1 after a completed
// job, 0 when it ended early.
DWORD WINAPI RunSplitJob(LPVOID);

// The SplitWorker thread while it runs (its handle is closed when its end has
// been handled), and its id.
extern HANDLE WorkerThread;
extern DWORD WorkerThreadId;

// Starts the SplitWorker thread for a prepared job (WorkerThread, WorkerThreadId).
// When the thread cannot be started the job is ended with a message; false then.
bool StartSplitWorker();

// False once the job is stopping; the worker then touches no file, prompt or
// window any more.
bool WorkerMayGoOn();

// True from the start of a job's preparation until its worker has ended and
// its end has been handled. No new job may start while it holds.
bool SplitWorkerActive();

// Posted by the worker as its last act to the window that JobWindows names;
// that window passes it to SplitWorkerEnded.
constexpr UINT SplitWorkerEndedMessage = WM_APP + 1;

// The job's windows, as the life cycle needs them: given once, as the job's
// window opens.
struct JobWindows {
    // The window that receives SplitWorkerEndedMessage: the job's window
    // while it is open, else the one it brought back.
    HWND (*WorkerEndReceiver)();
    // Closes the job's window (it brings the main window back), and the main
    // window that came back with it too when asked.
    void (*Close)(bool closeMainWindow);
};
void SetJobWindows(const JobWindows& windows);

// On the interface thread, when SplitWorkerEndedMessage has arrived: closes
// the worker's thread handle; after an early end runs EndSplitJob, after
// completion closes the progress window when asked to.
void SplitWorkerEnded();

// The progress window's button or close box. While the job runs this is
// Cancel: "Canceling..." shows, the worker stops and the window closes when
// it has gone. During the completion steps the close waits for their end.
// True when the window may close now.
bool ProgressWindowMayClose();

// Bytes reckoned for the join file on the last disk of a spanning job from
// PieceCount, SourceTitle and UseDos83 alone (13 a piece name); the room check
// asks for the larger of this, 512 and the exact size of the file.
uint32_t JoinFileEstimate();
