// Engine test helpers: the engine reports to a recording JobReport, and the
// worker's end arrives at a message-only window of the test thread, as it
// does at the progress window; everything else is the real program.
#include "engine_support.h"

#include "engine/engine_steps.h"
#include "engine/job_report.h"
#include "engine/split_engine.h"
#include "model/split_job.h"
#include "registry_support.h"

namespace testing_support {

ProgressLog Progress;

namespace {

constexpr UINT RecordMessage = WM_APP + 2;

HANDLE CancelEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
HWND JobWindow = nullptr;

// Every verb is recorded on the test thread, as the window carries out the
// worker's calls on its own thread.
void OnTestThread(const std::function<void()>& record) {
    SendMessageA(JobWindow, RecordMessage, 0, reinterpret_cast<LPARAM>(&record));
}

// As the window, which shows nothing more once the job is stopping.
void RecordText(std::vector<std::string>& texts, const char* text) {
    Sleep(Progress.statusDelayMs);
    OnTestThread([&] {
        if (WorkerMayGoOn()) texts.push_back(text);
    });
}

int DefaultAnswer(UINT flags) {
    UINT type = flags & MB_TYPEMASK;
    if (type == MB_OK || type == MB_OKCANCEL) return IDOK;
    return type == MB_YESNO ? IDNO : IDCANCEL;
}

int RecordAsk(void*, const char* text, const char* caption, UINT flags) {
    SeenBox box{caption, text, nullptr, DefaultAnswer(flags)};
    OnTestThread([&] {
        box.pressed = Progress.AnswerTo(box);
        Progress.boxes.push_back(box);
    });
    if (box.pressed) return box.pressed;
    WaitForSingleObject(CancelEvent, 60000);
    return IDCANCEL;
}

const JobReportVerbs RecordingVerbs{
    [](void*) {},  // Begin
    [](void*, const char* text) { RecordText(Progress.titles, text); },
    [](void*, uint64_t steps) { OnTestThread([=] { Progress.ranges.push_back(steps); }); },
    [](void*, uint32_t position) { OnTestThread([=] { Progress.position = position; }); },
    [](void*, const char* text) { RecordText(Progress.statuses, text); },
    [](void*, const char* text) { RecordText(Progress.statuses, text); },
    [](void*) { OnTestThread([] { ++Progress.position; }); },
    [](void*, bool spanning) {
        RecordText(Progress.statuses, "Finished.");
        OnTestThread([=] {
            ++Progress.finished;
            Progress.finishedSpanning = spanning;
        });
    },
    RecordAsk,
    [](void*) {  // Canceling, on the test thread
        Progress.statuses.push_back("Canceling...");
        SetEvent(CancelEvent);
    },
};

const JobWindows RecordedWindows{
    [] { return JobWindow; },
    [](bool closeMainWindow) {  // on the test thread
        ++Progress.closeRequests;
        Progress.closedMainWindow = closeMainWindow;
    },
};

LRESULT CALLBACK JobWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case RecordMessage:
            (*reinterpret_cast<const std::function<void()>*>(lParam))();
            return 0;
        case SplitWorkerEndedMessage:
            SplitWorkerEnded();
            return 0;
        case WM_CLOSE:  // the close box; WM_COMMAND is Cancel pressed
            ++Progress.closeRequests;
            [[fallthrough]];
        case WM_COMMAND:
            ProgressWindowMayClose();
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

std::vector<std::string> ProgressLog::Transcript() const {
    std::vector<std::string> lines;
    for (const SeenBox& box : boxes) lines.push_back(box.Line());
    return lines;
}

void ResetEngineState() {
    if (!JobWindow) {
        WNDCLASSA type{};
        type.lpfnWndProc = JobWindowProc;
        type.hInstance = GetModuleHandleA(nullptr);
        type.lpszClassName = "RecordedJob";
        RegisterClassA(&type);
        JobWindow = CreateWindowA("RecordedJob", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  type.hInstance, nullptr);
    }
    SetJobReport({&RecordingVerbs, nullptr});
    SetJobWindows(RecordedWindows);
    ResetEvent(CancelEvent);
    SetOptions(QuietOptions);
    SplitJob.Spanning = 0;
    SplitJob.BackupEnabled = 0;
    ResetJob();
    ResetCopyState();
    Progress = ProgressLog{};
}

void SetUpSplit(const std::string& source, const std::string& dest, uint32_t splitSize) {
    CopyText(SplitJob.SourcePath, source);
    CopyText(SplitJob.DestFolder, dest);
    CopyText(SplitJob.SplitSizeText, std::to_string(splitSize));
    SplitJob.SizeUnitIndex = 0;
    SplitJob.SourceSize = FileSize64(source);
    SplitJob.SplitSize = splitSize;
    // The ceiling even for a source smaller than one piece, which the tests
    // of the engine alone split into one piece.
    SplitJob.PieceCount = static_cast<uint32_t>((SplitJob.SourceSize + splitSize - 1) / splitSize);
    SplitJob.Spanning = 0;
    SplitJob.SizeMode = SplitSizeMode::Specified;
}

void SetUpSpan(const std::string& source, char driveLetter) {
    char root[] = "X:\\";
    root[0] = driveLetter;
    SetUpSplit(source, root, 1);
    SplitJob.SplitSize = 0;
    SplitJob.PieceCount = 0;
    SplitJob.Spanning = 1;
    SplitJob.SizeMode = SplitSizeMode::Span;
}

void PressCancel() { PostMessageA(JobWindow, WM_COMMAND, IDCANCEL, 0); }

void RequestClose() { PostMessageA(JobWindow, WM_CLOSE, 0, 0); }

bool WaitForJobEnd(DWORD timeoutMs) {
    return WaitUntil([] { return !SplitWorkerActive(); }, timeoutMs);
}

bool RunJob(DWORD timeoutMs) {
    ResetEvent(CancelEvent);
    bool prepared = PrepareSplitJob();
    if (prepared) StartSplitWorker();
    WaitForJobEnd(timeoutMs);
    return prepared;
}

void EndLeftoverJob() {
    if (SplitWorkerActive()) {
        PressCancel();
        WaitForJobEnd(60000);
    }
}

}  // namespace testing_support
