// The split engine: preparation on the interface thread, the piece writer on
// the SplitWorker thread, disk spanning, completion and the one clean-up.
#pragma once

#include <windows.h>

#include <cstdint>

// Readies a validated job (names, buffer, progress texts and range, the first
// free-space check when spanning). False when the job has already been ended.
bool PrepareSplitJob();

// The SplitWorker's start routine. 1 after a completed job, 0 when it ended early.
DWORD WINAPI RunSplitJob(LPVOID);

// Starts the SplitWorker thread for a prepared job (WorkerThread, WorkerThreadId).
// When the thread cannot be started the job is ended with a message; false then.
bool StartSplitWorker();

// The one clean-up of a job that ends early; callable from either thread.
// Returns 0, which callers pass on as their own failure result.
int EndSplitJob(bool closeMainWindow);

// The progress window's Cancel, on the interface thread: stops the worker
// cooperatively, waits for it while still serving its window calls, then
// runs EndSplitJob once.
void CancelSplitJob();

// True from the worker's start until its thread has ended, completion steps
// included. No new job may start while it holds.
bool SplitWorkerActive();

// Waits, still serving this thread's messages (the worker's window calls
// among them), until the SplitWorker thread has ended, then closes its
// handle. Returns at once when no worker thread is held.
void WaitForSplitWorker();

// Bytes reckoned for the join file on the last disk of a spanning job from
// PieceCount, SourceTitle and UseDos83 alone (13 a piece name); the room check
// asks for the larger of this, 512 and the exact size of the file.
uint32_t JoinFileEstimate();
