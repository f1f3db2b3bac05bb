// What the engine's files share: the job's life-cycle steps, the one gate
// through which every window call and message box of a job passes, and the
// spanning steps the preparation and the piece writer call.
#pragma once

#include <windows.h>

#include <cstdint>

// Life cycle (job_life_cycle.cpp), the only place that knows the job's phase.

// Starts preparing a job; false while another job has not ended.
bool BeginSplitJob();
// The preparation is done: the job runs (JobRunning set).
void MarkSplitJobPrepared();
// False once the job is stopping; the worker then touches no file, prompt or
// window any more.
bool WorkerMayGoOn();
// The one way to end a job early (a failure, a cancelled prompt). Before a
// worker runs the clean-up happens at once; on the worker the job stops and
// the clean-up follows on the interface thread when the worker has gone.
// Returns false, which callers pass on as their own result.
bool EndSplitJobEarly(bool closeMainWindow = false);
// The join file is written: the job can now only finish. False when it was
// cancelled first.
bool EnterCompletion();
// The worker's last act: tells the interface thread that it has ended.
DWORD ReportWorkerEnd(DWORD exitCode);

// The gate (progress_gate.cpp).

// The control id that stands for the progress window's tooltip.
constexpr int ToolTipControl = 0;
// A window call to a control of the progress window, carried out on the
// interface thread; 0 once the job is stopping.
LRESULT ProgressCall(int control, UINT message, WPARAM wParam, LPARAM lParam);
// A text the user must see, in order (title, disk statuses, the last steps).
void ShowProgressText(int controlId, const char* text);
// A status that may be passed over when a newer one follows at once.
void ShowPassingStatus(const char* text);
// Sets the bar's range for a job of that many steps. The range message
// carries 16 bits: beyond 65,535 steps, the bar moves once for every so many
// steps (the fewest that bring the range under 65,536), so that it still runs
// from empty to full.
void SetProgressSteps(uint64_t steps);
// One more step of the bar, shown with the next report.
void StepProgressBar();
// The job's last step: the bar moves once more, whatever part of a move the
// steps so far had made, and shows at once.
void FinishProgressBar();
// Sends the steps and the status that wait; done before every prompt and
// text the user must see, so nothing shows out of order.
void ShowPendingProgress();
// A new job reports its first step at once.
void ResetProgressPacing();
// The captions of the engine's message boxes: its errors, and its questions
// and reminders.
constexpr char ErrorCaption[] = "Error";
constexpr char ProductName[] = "Veltra Partola 95";
// A message box owned by the progress window; 0 once the job is stopping.
int AskUser(const char* text, const char* caption, UINT flags);
// An error message (ErrorCaption, OK, the error icon) through AskUser.
void ShowError(const char* text);
// Closes the message box the worker has open, if any (after a Cancel).
void CloseOpenPrompt();
// Reports a failure (caption "Error") and ends the job early; false.
bool FailSplitJob(const char* message);

// Spanning steps.
bool FirstFreeSpaceCheck(const char* root, uint32_t& freeBytes);
bool RunDiskCycle(const char* root);
bool CheckJoinFileRoom(const char* root);

// Completion on the worker thread; returns the worker's exit code.
DWORD CompleteSplitJob();
