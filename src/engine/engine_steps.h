// What the engine's files share: the one gate through which every call into
// the progress window passes, the claim on ending a job, and the spanning
// steps the preparation and the piece writer call.
#pragma once

#include <windows.h>

#include <cstdint>

// False once the interface thread has asked the worker to stop; the worker
// then touches no file, prompt or window any more.
bool WorkerMayGoOn();

// A window call into the progress window (or its tooltip); does nothing and
// returns 0 once the worker has been asked to stop.
LRESULT ProgressCall(HWND target, UINT message, WPARAM wParam, LPARAM lParam);

// Text of a progress window control, through ProgressCall.
void ShowProgressText(int controlId, const char* text);

// A message box owned by the progress window; 0 once a stop was asked for.
int AskUser(const char* text, const char* caption, UINT flags);

// Whoever ends a job first (the worker on a failure, the interface thread on
// Cancel) claims it; the other side then leaves the job alone.
bool ClaimJobEnd();
void ResetJobEndClaim();

// The worker's ends of a job: a failure with its message (caption "Error"),
// or a prompt the user cancelled (no message). Both return false.
bool FailSplitJob(const char* message);
bool EndCancelledSplitJob();

// Spanning steps.
bool FirstFreeSpaceCheck(const char* root, uint32_t& freeBytes);
bool RunDiskCycle(const char* root);
bool CheckJoinFileRoom(const char* root);

// Completion on the worker thread; returns the worker's exit code.
DWORD CompleteSplitJob();
