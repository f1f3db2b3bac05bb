// Splitting into a folder with the real engine and the real progress window:
// buffer and chunk sizes, progress texts and bar, the pieces' contents, the
// failures of a job, Cancel, and the completion steps.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/engine_steps.h"
#include "engine/job_report.h"
#include "engine/split_engine.h"
#include "engine_support.h"
#include "messages.h"
#include "model/split_job.h"
#include "resource.h"
#include "test_support.h"
#include "ui/progress_dialog.h"
#include "ui/progress_report.h"

using namespace testing_support;

namespace {

constexpr uint32_t Preset144 = 1457264;

class SplitJobTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override { EndLeftoverJob(); }

    // A source of the given size in its own folder, and an empty destination.
    std::string MakeSource(uint32_t size, const std::string& name = "report.bin") {
        CreateDirectoryA(sourceDir.File("in").c_str(), nullptr);
        std::string path = sourceDir.File("in") + "\\" + name;
        sourceBytes = WriteRandomFile(path, size, size);
        return path;
    }

    std::string Piece(const std::string& base, int n) {
        char ext[8];
        snprintf(ext, sizeof ext, ".%03d", n);
        return ReadWholeFile(dest.File(base + ext));
    }

    void ExpectInputsKept(const std::string& source, int closeRequests = 1, CALLER_LINE) {
        AT_CALLER;
        EXPECT_STREQ(SplitJob.SourcePath.data(), source.c_str());
        EXPECT_STREQ(SplitJob.DestFolder.data(), dest.Path().c_str());
        EXPECT_EQ(SplitJob.SplitSizeText.data(), std::to_string(SplitJob.SplitSize));
        EXPECT_EQ(SplitJob.JobRunning, 0);
        EXPECT_EQ(SplitJob.CopyBuffer, nullptr);
        EXPECT_EQ(SplitJob.SourceHandle, INVALID_HANDLE_VALUE);
        EXPECT_EQ(SplitJob.PieceHandle, INVALID_HANDLE_VALUE);
        EXPECT_EQ(SplitJob.BackupHandle, INVALID_HANDLE_VALUE);
        EXPECT_EQ(ReadWholeFile(source), sourceBytes);
        EXPECT_EQ(Progress.closeRequests, closeRequests);
    }

    // The statuses seen are the listed ones in their order, some passed over,
    // and always the last `kept` of them.
    static void ExpectStatusesInOrder(const std::vector<std::string>& all, size_t kept,
                                      CALLER_LINE) {
        AT_CALLER;
        const std::vector<std::string>& seen = Progress.statuses;
        size_t at = 0;
        for (const std::string& text : seen) {
            while (at < all.size() && all[at] != text) ++at;
            ASSERT_LT(at, all.size()) << "out of order or unknown: " << text;
        }
        ASSERT_GE(seen.size(), kept);
        EXPECT_TRUE(std::equal(all.end() - kept, all.end(), seen.end() - kept));
    }

    // A job started right after the last one ended runs through.
    void ExpectNextJobRuns(const std::string& source, CALLER_LINE) {
        AT_CALLER;
        Progress = ProgressLog{};
        std::string folder = sourceDir.File("next");
        CreateDirectoryA(folder.c_str(), nullptr);
        SetUpSplit(source, folder, 700000);
        ASSERT_TRUE(RunJob());
        EXPECT_EQ(Progress.statuses.back(), "Finished.");
        EXPECT_EQ(Recombine(folder, "Join-report.bin.bat", "report.bin"), sourceBytes);
    }

    // Answers the first box whose text starts with `text` by a close request
    // to the progress window, as the close box would send it, and presses
    // nothing in the box: only the Cancel can close it.
    static void CancelAtBox(MessageBoxWatcher& boxes, const std::string& text) {
        boxes.AnswerWith([text](const SeenBox& box) {
            if (box.text.rfind(text, 0) != 0) return IDOK;
            PostMessageA(ProgressWindow, WM_CLOSE, 0, 0);
            return 0;
        });
    }

    TempFolder sourceDir;
    TempFolder dest;
    std::string sourceBytes;
};

TEST_F(SplitJobTest, PresetSplitShowsEveryStepAndRecombines) {
    std::string source = MakeSource(3000000, "Annual Report 1998.doc");
    SetUpSplit(source, dest.Path(), Preset144);
    Options.NoReminders = 0;
    MessageBoxWatcher boxes;
    HWND window = OpenProgressWindow();
    ASSERT_TRUE(RunJob());

    EXPECT_EQ(SplitJob.BufferSize, 5242880u);
    EXPECT_EQ(SplitJob.ChunkSize, Preset144);
    EXPECT_EQ(Progress.rangeUppers, std::vector<uint32_t>{3});
    EXPECT_EQ(Progress.position, 3);
    ASSERT_EQ(Progress.titles.size(), 1u);
    EXPECT_EQ(Progress.titles[0], "Splitting \"Annual Report 1998.doc\" into 3 pieces...");
    // Piece statuses faster than the window's pace may be passed over; the
    // last one and the texts after it always show.
    ExpectStatusesInOrder(
        {"Initializing...", "Writing piece 1 of 3...", "Writing piece 2 of 3...",
         "Writing piece 3 of 3...", "Writing recombination batch file...", "Finished."},
        3);
    EXPECT_EQ(Progress.statuses.front(), "Initializing...");
    ASSERT_EQ(boxes.Transcript(), std::vector<std::string>{messages::FolderReminder});
    EXPECT_EQ(boxes.Seen()[0].owner, window);

    // Pieces named after the 8.3 alias, consecutive slices, the last one the rest.
    std::string base = SplitJob.SourceBaseName.data();
    EXPECT_EQ(Piece(base, 0), sourceBytes.substr(0, Preset144));
    EXPECT_EQ(Piece(base, 1), sourceBytes.substr(Preset144, Preset144));
    EXPECT_EQ(Piece(base, 2).size(), 85472u);
    EXPECT_FALSE(FileExists(dest.File(base + ".003")));
    EXPECT_EQ(Recombine(dest.Path(), "Join-Annual Report 1998.doc.bat", "Annual Report 1998.doc"),
              sourceBytes);

    // The job's inputs are reset for the main window that comes back.
    EXPECT_STREQ(SplitJob.SourcePath.data(), "");
    EXPECT_STREQ(SplitJob.DestFolder.data(), "");
    EXPECT_STREQ(SplitJob.SplitSizeText.data(), "");
    EXPECT_EQ(SplitJob.SizeMode, 1);
    EXPECT_EQ(SplitJob.SizeUnitIndex, 1);
    EXPECT_EQ(SplitJob.PresetIndex, 2);
    EXPECT_EQ(Progress.closeRequests, 1);
}

TEST_F(SplitJobTest, LargePiecesTakeSeveralBlocksAndAnExactMultipleMakesNoEmptyPiece) {
    std::string source = MakeSource(20971520);
    SetUpSplit(source, dest.Path(), 10485760);
    // An older piece of the same name is replaced.
    WriteWholeFile(dest.File("report.000"), std::string(11000000, 'x'));
    MessageBoxWatcher boxes;
    ASSERT_TRUE(RunJob());
    EXPECT_EQ(SplitJob.ChunkSize, 5242880u);
    EXPECT_EQ(Progress.rangeUppers, std::vector<uint32_t>{5});
    EXPECT_EQ(SplitJob.PieceIndex, 1);
    EXPECT_EQ(FolderListing(dest.Path()),
              (std::vector<std::string>{"Join-report.bin.bat", "report.000", "report.001"}));
    EXPECT_EQ(Piece("report", 0), sourceBytes.substr(0, 10485760));
    EXPECT_EQ(Recombine(dest.Path(), "Join-report.bin.bat", "report.bin"), sourceBytes);
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(SplitJobTest, MoreMemUsesTheLargeBufferButNeverMoreThanAPiece) {
    std::string source = MakeSource(3000000);
    SetUpSplit(source, dest.Path(), Preset144);
    Options.MoreMem = 1;
    MessageBoxWatcher boxes;
    ASSERT_TRUE(RunJob());
    EXPECT_EQ(SplitJob.BufferSize, 20971520u);
    EXPECT_EQ(SplitJob.ChunkSize, Preset144);
    EXPECT_EQ(Recombine(dest.Path(), "Join-report.bin.bat", "report.bin"), sourceBytes);
}

TEST_F(SplitJobTest, SourceHeldByAnotherProgramEndsTheJobBeforeAnyPiece) {
    std::string source = MakeSource(300000);
    SetUpSplit(source, dest.Path(), 100000);
    MessageBoxWatcher boxes;
    {
        FileHolder holder(source);
        EXPECT_TRUE(RunJob());  // the source is measured before, opened by the worker
    }
    EXPECT_EQ(boxes.Transcript(), std::vector<std::string>{messages::SourceInUse});
    EXPECT_TRUE(FolderListing(dest.Path()).empty());
    ExpectInputsKept(source);
}

TEST_F(SplitJobTest, SourceShorterThanMeasuredStopsWithReadPastEof) {
    std::string source = MakeSource(250000);
    SetUpSplit(source, dest.Path(), 100000);
    SplitJob.SourceSize = 400000;  // the file shrank after it was measured
    SplitJob.PieceCount = 4;
    MessageBoxWatcher boxes;
    RunJob();
    EXPECT_EQ(boxes.Transcript(), std::vector<std::string>{messages::ReadPastEof});
    EXPECT_EQ(Piece("report", 0), sourceBytes.substr(0, 100000));
    EXPECT_EQ(Piece("report", 2), sourceBytes.substr(200000));
    EXPECT_FALSE(FileExists(dest.File("Join-report.bin.bat")));
    SplitJob.SourceSize = 250000;
    ExpectInputsKept(source);
}

TEST_F(SplitJobTest, BackupFolderThatCannotBeCreatedTurnsBackupsOffAndTheJobFinishes) {
    std::string source = MakeSource(300000);
    SetUpSplit(source, dest.Path(), 100000);
    SplitJob.BackupEnabled = 1;
    CopyText(SplitJob.BackupFolder, dest.File("missing\\folder"));
    MessageBoxWatcher boxes;
    ASSERT_TRUE(RunJob());
    EXPECT_EQ(boxes.Transcript(),
              std::vector<std::string>{
                  "Error|Error creating backup of destination file. Backups have been disabled."});
    EXPECT_EQ(SplitJob.BackupEnabled, 0u);
    EXPECT_EQ(Recombine(dest.Path(), "Join-report.bin.bat", "report.bin"), sourceBytes);
}

TEST_F(SplitJobTest, DeleteQuestionYesRemovesOnlyTheSource) {
    std::string source = MakeSource(300000);
    SetUpSplit(source, dest.Path(), 100000);
    Options.DeletePrompt = 1;
    MessageBoxWatcher boxes;
    boxes.Answer(IDYES);
    ASSERT_TRUE(RunJob());
    EXPECT_EQ(boxes.Transcript(), std::vector<std::string>{messages::DeleteQuestion});
    EXPECT_FALSE(FileExists(source));
    EXPECT_EQ(FolderListing(dest.Path()).size(), 4u);
    EXPECT_EQ(Recombine(dest.Path(), "Join-report.bin.bat", "report.bin"), sourceBytes);
}

TEST_F(SplitJobTest, DeleteQuestionNoKeepsTheSourceAndAGoneSourceGivesNoMessage) {
    std::string source = MakeSource(300000);
    SetUpSplit(source, dest.Path(), 100000);
    Options.DeletePrompt = 1;
    {
        MessageBoxWatcher boxes;
        boxes.Answer(IDNO);
        ASSERT_TRUE(RunJob());
        EXPECT_EQ(boxes.Transcript(), std::vector<std::string>{messages::DeleteQuestion});
        EXPECT_EQ(ReadWholeFile(source), sourceBytes);
    }
    Progress = ProgressLog{};
    SetUpSplit(source, dest.Path(), 100000);
    MessageBoxWatcher boxes;
    boxes.AnswerWith([&](const SeenBox&) {
        DeleteFileA(source.c_str());  // someone else removes it first
        return IDYES;
    });
    ASSERT_TRUE(RunJob());
    EXPECT_EQ(boxes.Transcript(), std::vector<std::string>{messages::DeleteQuestion});
    EXPECT_FALSE(FileExists(source));
}

TEST_F(SplitJobTest, WithoutCloseWhenDoneTheWindowWaitsWithACloseButton) {
    std::string source = MakeSource(300000);
    SetUpSplit(source, dest.Path(), 100000);
    Options.CloseWhenDone = 0;
    MessageBoxWatcher boxes;
    HWND window = OpenProgressWindow();
    ASSERT_TRUE(PrepareSplitJob());
    ASSERT_TRUE(StartSplitWorker());
    ASSERT_TRUE(WaitUntil([] { return !SplitWorkerActive(); }));
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(WindowText(GetDlgItem(window, IDC_PROGRESS_STATUS)), "Finished.");
    EXPECT_EQ(WindowText(GetDlgItem(window, IDCANCEL)), "Close");
    EXPECT_EQ(TooltipsOf(window).at(0).text, "Close Split Status Dialog");
    EXPECT_EQ(Progress.closeRequests, 0);

    PostMessageA(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitForJobEnd());
    EXPECT_EQ(Progress.closeRequests, 1);
    EXPECT_EQ(Recombine(dest.Path(), "Join-report.bin.bat", "report.bin"), sourceBytes);
}

TEST_F(SplitJobTest, ProgressWindowStartsWithCancelTipAndIsTopmostWhenAsked) {
    Options.AlwaysOnTop = 1;
    HWND window = OpenProgressWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(WindowText(window), "Partola 95 Progress");
    EXPECT_EQ(WindowText(GetDlgItem(window, IDCANCEL)), "&Cancel");
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(TooltipsOf(window).at(0).text, "Cancel Splitting");
    // Closed before any job: it simply goes, bringing the main window back.
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(ProgressWindow, nullptr);
}

TEST_F(SplitJobTest, VanishedSourceEndsThePreparationWithAMessage) {
    std::string source = MakeSource(300000);
    SetUpSplit(source, dest.Path(), 100000);
    DeleteFileA(source.c_str());
    MessageBoxWatcher boxes;
    EXPECT_FALSE(RunJob());
    EXPECT_EQ(boxes.Transcript(), std::vector<std::string>{messages::SourceNotFound});
    EXPECT_EQ(Progress.closeRequests, 1);
    EXPECT_FALSE(SplitWorkerActive());
}

// Cancel while pieces are being written: the worker stops by itself, the
// clean-up runs once on this thread, nothing leaks and nothing is deleted.
class CancelTest : public SplitJobTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CancelTest, StopsTheWorkerAndCleansUpOnceOnTheInterfaceThread) {
    std::string source = MakeSource(4000000);
    SetUpSplit(source, dest.Path(), 10000);  // 400 pieces
    MessageBoxWatcher boxes;
    DWORD handlesBefore = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    HWND window = OpenProgressWindow();
    Progress.statusDelayMs = 20;
    ASSERT_TRUE(PrepareSplitJob());
    ASSERT_TRUE(StartSplitWorker());
    ASSERT_TRUE(WaitUntil([] {
        return Progress.statuses.size() >= 3;  // pieces on their way, reported at the window's pace
    }));
    if (std::string(GetParam()) == "button") {
        PostMessageA(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
        PostMessageA(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);  // an impatient user
    } else {
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    ASSERT_TRUE(WaitForJobEnd());

    EXPECT_EQ(Progress.statuses.back(), "Canceling...");
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_FALSE(SplitWorkerActive());
    EXPECT_EQ(WorkerThread, nullptr);
    DWORD handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_LE(handlesAfter, handlesBefore);
    // The pieces written so far stay; no join file.
    std::vector<std::string> files = FolderListing(dest.Path());
    EXPECT_GE(files.size(), 3u);
    EXPECT_LT(files.size(), 400u);
    EXPECT_FALSE(FileExists(dest.File("Join-report.bin.bat")));
    EXPECT_EQ(Piece("report", 0), sourceBytes.substr(0, 10000));
    // The clean-up sends one close request; the close box sent its own before.
    bool closeBox = std::string(GetParam()) == "closebox";
    ExpectInputsKept(source, closeBox ? 2 : 1);
    ExpectNextJobRuns(source);
}

INSTANTIATE_TEST_SUITE_P(ButtonAndCloseBox, CancelTest, ::testing::Values("button", "closebox"));

// Cancel while the worker waits in a prompt closes the prompt; the job ends
// once, with nothing shown or written after it.
TEST_F(SplitJobTest, CancelWhileTheRetryPromptIsOpenClosesItAndEndsTheJobOnce) {
    std::string source = MakeSource(300000);
    SetUpSplit(source, dest.Path(), 100000);
    CreateDirectoryA(dest.File("report.001").c_str(), nullptr);  // the second piece cannot be made
    MessageBoxWatcher boxes;
    CancelAtBox(boxes, "Error creating destination file.");
    RunJob();
    EXPECT_EQ(
        boxes.Transcript(),
        std::vector<std::string>{"Error|Error creating destination file.\nDrive may be full."});
    EXPECT_EQ(Progress.statuses.back(), "Canceling...");
    EXPECT_EQ(Piece("report", 0), sourceBytes.substr(0, 100000));
    EXPECT_FALSE(FileExists(dest.File("Join-report.bin.bat")));
    ExpectInputsKept(source, 2);  // the close box's request and the clean-up's
    ExpectNextJobRuns(source);
}

TEST_F(SplitJobTest, CancelWhileTheJoinFileIsWrittenEndsWithoutAnotherPrompt) {
    std::string source = MakeSource(300000);
    SetUpSplit(source, dest.Path(), 100000);
    Options.NoReminders = 0;
    SplitJob.BackupEnabled = 1;
    CopyText(SplitJob.BackupFolder, sourceDir.File("backup"));
    CreateDirectoryA(SplitJob.BackupFolder.data(), nullptr);
    // The backup join file cannot be made: the join file writer asks.
    CreateDirectoryA(sourceDir.File("backup\\Join-report.bin.bat").c_str(), nullptr);
    MessageBoxWatcher boxes;
    CancelAtBox(boxes, "Error creating backup of join file.");
    RunJob();
    // No reminder and no second message: the job ended as cancelled.
    EXPECT_EQ(boxes.Transcript(),
              std::vector<std::string>{
                  "Error|Error creating backup of join file. Backups have been disabled."});
    EXPECT_EQ(Progress.statuses.back(), "Canceling...");
    EXPECT_EQ(Progress.buttonTextChanges, 0);
    // What was written stays: the pieces, their backups and the join file.
    EXPECT_EQ(Recombine(dest.Path(), "Join-report.bin.bat", "report.bin"), sourceBytes);
    EXPECT_EQ(FolderListing(sourceDir.File("backup")).size(), 4u);
    SplitJob.BackupEnabled = 0;
    ExpectInputsKept(source, 2);
    ExpectNextJobRuns(source);
}

// A close request while the worker runs its completion steps waits for their
// end: the reminder still has its window, and the next job can start at once.
TEST_F(SplitJobTest, CloseRequestDuringCompletionClosesTheWindowWhenTheStepsAreDone) {
    std::string source = MakeSource(300000);
    SetUpSplit(source, dest.Path(), 100000);
    Options.CloseWhenDone = 0;
    Options.DeletePrompt = 1;
    Options.NoReminders = 0;
    MessageBoxWatcher boxes;
    boxes.AnswerWith([](const SeenBox& box) {
        if (box.text.rfind("Finished splitting.", 0) != 0) return IDOK;
        PostMessageA(ProgressWindow, WM_CLOSE, 0, 0);
        return IDNO;
    });
    HWND window = OpenProgressWindow();
    ASSERT_TRUE(RunJob());
    EXPECT_EQ(boxes.Transcript(),
              (std::vector<std::string>{messages::DeleteQuestion, messages::FolderReminder}));
    EXPECT_EQ(boxes.Seen()[1].owner, window);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Progress.closeRequests, 2);  // the user's, carried out after the steps
    EXPECT_TRUE(MainWindow && IsWindow(MainWindow));
    EXPECT_STREQ(SplitJob.SourcePath.data(), "");  // finished, not cancelled
    EXPECT_EQ(ReadWholeFile(source), sourceBytes);
    Options = OptionsRecord{0, 1, 0, 0, 1, 1, 0, 0};
    ExpectNextJobRuns(source);
}

// The worker's prompts close at a Cancel whatever their buttons: a Yes/No box
// has no Cancel to press, and Windows ignores IDCANCEL there.
DWORD WINAPI AskYesNo(LPVOID answer) {
    *static_cast<int*>(answer) = AskUser("Go on?", "Yes or no", MB_YESNO);
    return 0;
}

TEST_F(SplitJobTest, AYesNoPromptOpenAtACancelIsClosedWithItsNoButton) {
    ReportToProgressWindow();  // its prompts, with no window to own them
    ASSERT_TRUE(BeginSplitJob());
    MarkSplitJobPrepared();
    int answer = -1;
    HANDLE asker = CreateThread(nullptr, 0, AskYesNo, &answer, 0, nullptr);
    ASSERT_NE(asker, nullptr);
    HWND box = nullptr;
    for (int wait = 0; wait < 500 && !(box && IsWindowVisible(box)); ++wait, Sleep(20))
        box = FindWindowA("#32770", "Yes or no");
    ASSERT_NE(box, nullptr);
    JobReporter().Canceling();  // what the progress window does at a Cancel
    EXPECT_EQ(WaitForSingleObject(asker, 10000), WAIT_OBJECT_0);
    CloseHandle(asker);
    EXPECT_EQ(answer, IDNO);
    EndSplitJobEarly();
}

}  // namespace
