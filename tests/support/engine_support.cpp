// Engine test helpers: the progress window is subclassed to record what the
// engine sends it; everything else is the real program.
#include "engine_support.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "engine/split_engine.h"
#include "model/split_job.h"
#include "resource.h"
#include "test_support.h"
#include "ui/progress_dialog.h"

namespace testing_support {

ProgressLog Progress;

namespace {

WNDPROC OriginalDialogProc = nullptr;
WNDPROC OriginalStaticProc = nullptr;
WNDPROC OriginalBarProc = nullptr;
WNDPROC OriginalButtonProc = nullptr;

LRESULT CALLBACK RecordStatic(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT) {
        std::string text = reinterpret_cast<const char*>(lParam);
        if (GetDlgCtrlID(window) == IDC_PROGRESS_TITLE) {
            Progress.titles.push_back(text);
        } else {
            Progress.statuses.push_back(text);
            if (Progress.statusDelayMs) Sleep(Progress.statusDelayMs);
            if (!Progress.cancelOnStatus.empty() && text == Progress.cancelOnStatus)
                PostMessageA(GetDlgItem(GetParent(window), IDCANCEL), BM_CLICK, 0, 0);
        }
    }
    return CallWindowProcA(OriginalStaticProc, window, message, wParam, lParam);
}

LRESULT CALLBACK RecordBar(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = CallWindowProcA(OriginalBarProc, window, message, wParam, lParam);
    if (message == PBM_SETRANGE) Progress.rangeUppers.push_back(HIWORD(lParam));
    if (message == PBM_SETRANGE || message == PBM_SETPOS || message == PBM_DELTAPOS)
        Progress.position =
            static_cast<int>(CallWindowProcA(OriginalBarProc, window, PBM_GETPOS, 0, 0));
    return result;
}

LRESULT CALLBACK RecordButton(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT) ++Progress.buttonTextChanges;
    return CallWindowProcA(OriginalButtonProc, window, message, wParam, lParam);
}

LRESULT CALLBACK RecordDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) ++Progress.closeRequests;
    return CallWindowProcA(OriginalDialogProc, window, message, wParam, lParam);
}

WNDPROC Subclass(HWND window, WNDPROC proc) {
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

}  // namespace

void ResetEngineState() {
    AppInstance = GetModuleHandleA(nullptr);
    InitCommonControls();
    Options = OptionsRecord{0, 1, 0, 0, 1, 1, 0, 0};
    SplitJob.Spanning = 0;
    SplitJob.BackupEnabled = 0;
    ResetJob();
    ResetCopyState();
    Progress = ProgressLog{};
}

void SetUpSplit(const std::string& source, const std::string& dest, uint32_t splitSize) {
    CopyText(SplitJob.SourcePath, source);
    CopyText(SplitJob.DestFolder, dest);
    // The size as typed in bytes: the main window that a job's end brings back
    // shows it, and would complain about a text that is no number.
    CopyText(SplitJob.SplitSizeText, std::to_string(splitSize));
    SplitJob.SizeUnitIndex = 0;
    SplitJob.SourceSize = FileSize64(source);
    SplitJob.SplitSize = splitSize;
    // The ceiling even for a source smaller than one piece, which the tests
    // of the engine alone split into one piece.
    SplitJob.PieceCount = static_cast<uint32_t>((SplitJob.SourceSize + splitSize - 1) / splitSize);
    SplitJob.Spanning = 0;
    SplitJob.SizeMode = 1;
}

void SetUpSpan(const std::string& source, char driveLetter) {
    char root[] = "X:\\";
    root[0] = driveLetter;
    SetUpSplit(source, root, 1);
    SplitJob.SplitSize = 0;
    SplitJob.PieceCount = 0;
    SplitJob.Spanning = 1;
    SplitJob.SizeMode = 0;
}

HWND OpenProgressWindow() {
    // As the Split button does: the main window that the last job's end
    // brought back goes when the next job starts (its fields would otherwise
    // be read back into the job record as the focus leaves them).
    if (MainWindow && IsWindow(MainWindow)) DestroyWindow(MainWindow);
    HWND window = CreateProgressDialog();
    if (!window) return nullptr;
    OriginalDialogProc = Subclass(window, RecordDialog);
    OriginalStaticProc = Subclass(GetDlgItem(window, IDC_PROGRESS_STATUS), RecordStatic);
    Subclass(GetDlgItem(window, IDC_PROGRESS_TITLE), RecordStatic);
    OriginalBarProc = Subclass(GetDlgItem(window, IDC_PROGRESS_BAR), RecordBar);
    OriginalButtonProc = Subclass(GetDlgItem(window, IDCANCEL), RecordButton);
    return window;
}

bool WaitForJobEnd(DWORD timeoutMs) {
    return WaitUntil([] { return !IsWindow(ProgressWindow) && !SplitWorkerActive(); }, timeoutMs);
}

bool RunJob(DWORD timeoutMs) {
    if (!ProgressWindow) OpenProgressWindow();
    bool prepared = PrepareSplitJob();
    if (prepared) StartSplitWorker();
    WaitForJobEnd(timeoutMs);
    return prepared;
}

void CloseMainWindow() {
    if (MainWindow && IsWindow(MainWindow)) DestroyWindow(MainWindow);
    MainWindow = nullptr;
}

void EndLeftoverJob() {
    if (SplitWorkerActive() && ProgressWindow) {
        PostMessageA(ProgressWindow, WM_CLOSE, 0, 0);
        WaitUntil([] { return !SplitWorkerActive(); }, 60000);
    }
    if (IsWindow(ProgressWindow)) DestroyWindow(ProgressWindow);
    CloseMainWindow();
}

}  // namespace testing_support
