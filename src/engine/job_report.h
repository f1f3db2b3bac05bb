// What a job tells the window that shows it, as verbs: the engine reports,
// the window decides how. The progress window gives its verbs and its own
// record as their receiver (a test may record them instead); the engine
// reaches them only through JobReporter().
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

// Each verb gets the receiver its report was made with.
struct JobReportVerbs {
    // A new job: its first step and passing status show at once.
    void (*Begin)(void* receiver);
    // The title line.
    void (*Title)(void* receiver, const char* text);
    // The bar's range for a job of that many steps; where the window's range
    // cannot hold them, the bar moves in proportion and still ends full.
    void (*Range)(void* receiver, uint64_t steps);
    // The bar's position.
    void (*Position)(void* receiver, uint32_t position);
    // A status the user must read: shown at once, after what waits.
    void (*Status)(void* receiver, const char* text);
    // A status that may be passed over when a newer one follows at once.
    void (*PassingStatus)(void* receiver, const char* text);
    // One more step of the bar, shown with the next report.
    void (*Step)(void* receiver);
    // The job has finished: the bar full (a spanning job's as a range of
    // one), "Finished.", and the button turned into Close with its tip.
    void (*Finished)(void* receiver, bool spanning);
    // A message box owned by the window; its answer.
    int (*Ask)(void* receiver, const char* text, const char* caption, UINT flags);
    // Cancel was pressed while the worker runs: "Canceling..." shows and the
    // message box the worker has open, if any, closes.
    void (*Canceling)(void* receiver);
};

// A report: its verbs and the receiver they act on (the window's own record).
struct JobReport {
    const JobReportVerbs* verbs;
    void* receiver;

    void Begin() const { verbs->Begin(receiver); }
    void Title(const char* text) const { verbs->Title(receiver, text); }
    void Range(uint64_t steps) const { verbs->Range(receiver, steps); }
    void Position(uint32_t position) const { verbs->Position(receiver, position); }
    void Status(const char* text) const { verbs->Status(receiver, text); }
    void PassingStatus(const char* text) const { verbs->PassingStatus(receiver, text); }
    void Step() const { verbs->Step(receiver); }
    void Finished(bool spanning) const { verbs->Finished(receiver, spanning); }
    int Ask(const char* text, const char* caption, UINT flags) const {
        return verbs->Ask(receiver, text, caption, flags);
    }
    void Canceling() const { verbs->Canceling(receiver); }
};

// The report the engine reports to from now on; the progress window installs
// its own as it opens.
void SetJobReport(const JobReport& report);
const JobReport& JobReporter();
