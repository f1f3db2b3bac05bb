// Running the split engine in-process against a recording report: the job
// record set up as the split request would, every verb the engine reports
// recorded, its questions answered as the test says, and the job pumped to
// its end. No window is made.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "test_support.h"

namespace testing_support {

// What the engine reported during one job, recorded on the test thread
// while it pumps messages. The answers to Ask come from its BoxAnswers; an
// answer of 0 leaves the question open until Cancel closes it, as the
// window's prompt watcher does.
struct ProgressLog : BoxAnswers {
    std::vector<std::string> titles;
    // Every Status and PassingStatus, and "Finished." and "Canceling..." as
    // the window shows them for those verbs.
    std::vector<std::string> statuses;
    std::vector<uint64_t> ranges;  // the steps of every Range
    uint32_t position = 0;         // the last Position, plus the Steps since
    int finished = 0;
    bool finishedSpanning = false;
    // Close requests: the user's (RequestClose) and the life cycle's closing of the job's windows.
    int closeRequests = 0;
    bool closedMainWindow = false;
    std::vector<SeenBox> boxes;  // every Ask, "caption|text" in Transcript()
    DWORD statusDelayMs = 0;     // slows every status (and so the worker)

    std::vector<std::string> Transcript() const;
};

extern ProgressLog Progress;

// Options as a first run has them, but without reminders and prompts, a
// clean job record, and the recording report installed with an empty log.
void ResetEngineState();

// Fills the record as the split request does for a job of this size.
void SetUpSplit(const std::string& source, const std::string& dest, uint32_t splitSize);
void SetUpSpan(const std::string& source, char driveLetter);

// The user's requests, handled on this thread as the progress window handles
// them: Cancel pressed, and the close box (counted in closeRequests).
void PressCancel();
void RequestClose();

// Prepares the job, starts the worker when preparation succeeds, and pumps
// messages until the job has ended. Returns what PrepareSplitJob returned.
bool RunJob(DWORD timeoutMs = 120000);

// Pumps until no job runs.
bool WaitForJobEnd(DWORD timeoutMs = 120000);

// After a test: cancels a job still running and waits for its end.
void EndLeftoverJob();

}  // namespace testing_support
