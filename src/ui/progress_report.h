// The progress window's side of a job's report (engine/job_report.h): the
// worker's window calls and its last message arrive at the progress window
// as these two messages.
#pragma once

#include <windows.h>

// Posted by the worker as its last act, to the progress window (or, when
// that is gone, the main window); the window passes it to SplitWorkerEnded.
constexpr UINT SplitWorkerEndedMessage = WM_APP + 1;
// Sent by the worker to the progress window for each of its window calls;
// the window passes it to ServeWorkerCall.
constexpr UINT WorkerCallMessage = WM_APP + 2;

// Makes the progress window the job's report.
void ReportToProgressWindow();

// On the interface thread, for WorkerCallMessage.
LRESULT ServeWorkerCall(LPARAM call);
