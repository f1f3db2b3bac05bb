// Running the split engine in-process against the real progress dialog: the
// job record set up as the split request would, the progress window's texts,
// bar and close requests recorded, and the job pumped to its end.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// What the progress window went through during one job.
struct ProgressLog {
    std::vector<std::string> titles;    // texts of control 100
    std::vector<std::string> statuses;  // texts of control 101
    std::vector<uint32_t> rangeUppers;  // upper bound of every PBM_SETRANGE
    int position = 0;                   // bar position after the last bar message
    int closeRequests = 0;              // WM_CLOSE messages the window received
    int buttonTextChanges = 0;
    DWORD statusDelayMs = 0;     // slows every status text (and so the worker)
    std::string cancelOnStatus;  // posts a Cancel click when this status appears
};

extern ProgressLog Progress;

// Options as a first run has them, but without reminders and prompts, and a
// clean job record.
void ResetEngineState();

// Fills the record as the split request does for a job of this size.
void SetUpSplit(const std::string& source, const std::string& dest, uint32_t splitSize);
void SetUpSpan(const std::string& source, char driveLetter);

// Creates the progress dialog and starts recording it.
HWND OpenProgressWindow();

// Prepares the job, starts the worker when preparation succeeds, and pumps
// messages until the window is gone and the worker has ended. Returns what
// PrepareSplitJob returned.
bool RunJob(DWORD timeoutMs = 120000);

// Pumps until the progress window is gone and no worker runs.
bool WaitForJobEnd(DWORD timeoutMs = 120000);

// Closes the main window a closing progress window re-created, if any.
void CloseMainWindow();

// After a test: cancels a job still running, waits for its end, and closes
// the windows it left.
void EndLeftoverJob();

}  // namespace testing_support
