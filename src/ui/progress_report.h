// The progress window's side of a job's report (engine/job_report.h): the
// worker's window calls arrive at the progress window as these messages.
#pragma once

#include <windows.h>

// The worker's window calls, one message each, sent to the progress window,
// which passes them to ServeWorkerCall. (WM_APP + 1 is the worker's last
// message, SplitWorkerEndedMessage.)
enum : UINT {
    ShowTextMessage = WM_APP + 2,  // wParam a control's id, lParam its new text
    MoveBarMessage,                // wParam the steps the bar moves by
    SetRangeMessage,               // wParam the bar's upper end (16 bits)
    SetPositionMessage,            // wParam the bar's position
    ShowCloseMessage,              // the button becomes Close, with its tip
};

// True for the messages above.
bool IsWorkerCall(UINT message);

// Makes the progress window the job's report.
void ReportToProgressWindow();

// On the interface thread, for a worker's call; nothing once the job is stopping.
LRESULT ServeWorkerCall(UINT message, WPARAM wParam, LPARAM lParam);
