// The two ways a job ends: EndSplitJob, the one clean-up of a job that ends
// early (run by the life cycle), and the completion steps the worker runs
// after the join file.
// windows.h must come before commctrl.h.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
// clang-format on

#include "engine/engine_steps.h"
#include "engine/split_engine.h"
#include "model/split_job.h"
#include "platform/file_services.h"
#include "resource.h"
#include "ui/tool_tips.h"

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
constexpr char CloseTip[] = "Close Split Status Dialog";

void FillProgressBar() {
    if (SplitJob.Spanning) {
        ShowPendingProgress();
        ProgressCall(IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 1));
        ProgressCall(IDC_PROGRESS_BAR, PBM_SETPOS, 1, 0);
    } else {
        FinishProgressBar();
    }
}

void TurnButtonIntoClose() {
    ProgressCall(IDCANCEL, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Close"));
    TTTOOLINFOA tool = ToolRecord(ProgressWindow, IDCANCEL, CloseTip);
    ProgressCall(ToolTipControl, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

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

int EndSplitJob(bool closeMainWindow) {
    delete[] SplitJob.CopyBuffer;
    SplitJob.CopyBuffer = nullptr;
    CloseFile(SplitJob.SourceHandle);
    CloseFile(SplitJob.PieceHandle);
    CloseFile(SplitJob.BackupHandle);
    // The progress window brings the main window back as it closes.
    if (ProgressWindow) SendMessageA(ProgressWindow, WM_CLOSE, 0, 0);
    if (closeMainWindow && MainWindow) SendMessageA(MainWindow, WM_CLOSE, 0, 0);
    return 0;
}

DWORD CompleteSplitJob() {
    FillProgressBar();
    ShowProgressText(IDC_PROGRESS_STATUS, "Finished.");
    TurnButtonIntoClose();
    sndPlaySoundA("SystemDefault", 0);
    OfferToDeleteSource();
    RemindHowToRecombine();
    // With CloseWhenDone the progress window closes once the worker has gone.
    ResetJob();
    return 1;
}
