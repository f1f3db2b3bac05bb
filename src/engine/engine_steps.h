// What the engine's files share: the job's life-cycle steps and reports (the
// root every other engine file calls), the spanning steps the preparation and
// the piece writer call, and the completion steps.
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/job_report.h"

struct JoinFileContent;

// Life cycle (job_life_cycle.cpp), the only place that knows the job's phase.

// Starts preparing a job; false while another job has not ended.
bool BeginSplitJob();
// The preparation is done: the job runs (JobRunning set).
void MarkSplitJobPrepared();
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

// Reports (job_life_cycle.cpp), through the job's JobReport.

// A message box of the report; 0 once the job is stopping, and for an answer
// given after the job began to stop.
int AskUser(const char* text, const char* caption, UINT flags);
// An error message (ErrorCaption, OK, the error icon) through AskUser.
void ShowError(const char* text);
// Reports a failure (caption "Error") and ends the job early; false.
bool FailSplitJob(const char* message);
// The one clean-up of a job that ends early. Returns 0, which callers pass on
// as their own failure result.
int EndSplitJob(bool closeMainWindow);

// Spanning steps.
bool FirstFreeSpaceCheck(const char* root, uint32_t& freeBytes);
bool RunDiskCycle(const char* root);
bool CheckJoinFileRoom(const char* root);

// What the job's join file is written from: its names, pieces, size and
// options (piece_writer.cpp).
JoinFileContent JobJoinFileContent();

// Completion on the worker thread; returns the worker's exit code.
DWORD CompleteSplitJob();
