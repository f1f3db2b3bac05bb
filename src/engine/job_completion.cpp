// The completion steps the worker runs after the join file: the finished
// report, the sound, the question whether to delete the source and the
// reminder how to recombine.
// windows.h must come before mmsystem.h.
// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

#include "engine/engine_steps.h"
#include "engine/job_report.h"
#include "model/split_job.h"
#include "platform/file_services.h"

namespace {

constexpr char DeleteQuestion[] = "Finished splitting. Do you want to delete source file now?";
constexpr char SpanningReminder[] =
    "Done.\n\nTo recombine the splitted files, copy each piece from each disk\nalong with the "
    "recombination batch file (named 'join.bat' or 'join-source filename.bat') to a "
    "directory\non your hard disk, then run (double-click) the join file.";
constexpr char SplitReminder[] =
    "Done.\n\nTo recombine the splitted files, make sure each piece is in the\nsame directory "
    "along with the recombination batch file (named 'join.bat' or 'join-source "
    "filename.bat'),\nthen run (double-click) the join file.";

void OfferToDeleteSource() {
    if (!Options.DeletePrompt) return;
    if (AskUser(DeleteQuestion, ProductName, MB_YESNO) == IDYES)
        DeletePath(SplitJob.SourcePath.data());
}

void RemindHowToRecombine() {
    if (Options.NoReminders) return;
    AskUser(SplitJob.Spanning ? SpanningReminder : SplitReminder, ProductName,
            MB_OK | MB_ICONINFORMATION);
}

}  // namespace

DWORD CompleteSplitJob() {
    JobReporter().Finished(SplitJob.Spanning != 0);
    sndPlaySoundA("SystemDefault", 0);
    OfferToDeleteSource();
    RemindHowToRecombine();
    // With CloseWhenDone the progress window closes once the worker has gone.
    ResetJob();
    return 1;
}
