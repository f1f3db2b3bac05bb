// What a job tells the window that shows it, as verbs: the engine reports,
// the window decides how. The progress window implements this record (a test
// may record it instead); the engine reaches it only through JobReporter().
// Verbs are called on the thread that runs the job's step: the interface
// thread while a job is prepared or ended, the worker while it writes.
#pragma once

#include <windows.h>

#include <cstdint>

// The captions of the program's message boxes: its errors, its warnings, and
// the engine's questions and reminders.
constexpr char ErrorCaption[] = "Error";
constexpr char WarningCaption[] = "Warning";
constexpr char ProductName[] = "Veltra Partola 95";

struct JobReport {
    // A new job: its first step and passing status show at once.
    void (*Begin)();
    // The title line.
    void (*Title)(const char* text);
    // The bar's range for a job of that many steps; where the window's range
    // cannot hold them, the bar moves in proportion and still ends full.
    void (*Range)(uint64_t steps);
    // The bar's position.
    void (*Position)(uint32_t position);
    // A status the user must read: shown at once, after what waits.
    void (*Status)(const char* text);
    // A status that may be passed over when a newer one follows at once.
    void (*PassingStatus)(const char* text);
    // One more step of the bar, shown with the next report.
    void (*Step)();
    // The job has finished: the bar full (a spanning job's as a range of
    // one), "Finished.", and the button turned into Close with its tip.
    void (*Finished)(bool spanning);
    // A message box owned by the window; its answer.
    int (*Ask)(const char* text, const char* caption, UINT flags);
    // Cancel was pressed while the worker runs: "Canceling..." shows and the
    // message box the worker has open, if any, closes.
    void (*Canceling)();
    // The window closes (it brings the main window back), and the main
    // window that came back with it too when asked.
    void (*Close)(bool closeMainWindow);
    // The worker's last act: one posted message that brings the interface
    // thread to SplitWorkerEnded.
    void (*WorkerEnded)();
};

// The record the engine reports to from now on; the progress window installs
// its own as it opens.
void SetJobReport(const JobReport& report);
const JobReport& JobReporter();
