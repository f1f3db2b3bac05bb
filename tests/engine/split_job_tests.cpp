// Splitting into a folder with the real engine and a recording report:
// buffer and chunk sizes, progress texts and bar, the pieces' contents, the
// failures of a job, Cancel, and the completion steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>

#include "engine/split_engine.h"
#include "engine_support.h"
#include "messages.h"
#include "model/naming.h"
#include "model/split_job.h"
#include "registry_support.h"
#include "test_support.h"

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

    std::string Piece(const std::string& base, uint32_t n) {
        return ReadWholeFile(dest.File(PieceName(base, n).data()));
    }

    void ExpectInputsKept(const std::string& source, int closeRequests = 1, CALLER_LINE) {
        AT_CALLER;
        EXPECT_STREQ(SplitJob.SourcePath.data(), source.c_str());
        EXPECT_STREQ(SplitJob.DestFolder.data(), dest.Path().c_str());
        EXPECT_EQ(SplitJob.SplitSizeText.data(), std::to_string(SplitJob.SplitSize));
        EXPECT_EQ(SplitJob.CopyBuffer, nullptr);
        EXPECT_EQ(SplitJob.SourceHandle, INVALID_HANDLE_VALUE);
        EXPECT_EQ(SplitJob.PieceHandle, INVALID_HANDLE_VALUE);
        EXPECT_EQ(SplitJob.BackupHandle, INVALID_HANDLE_VALUE);
        EXPECT_EQ(ReadWholeFile(source), sourceBytes);
        EXPECT_EQ(Progress.closeRequests, closeRequests);
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

    // Answers the first box whose text starts with `text` by a close request,
    // as the close box would send it, and leaves the box open: only the
    // Cancel can close it.
    static void CancelAtBox(const std::string& text) {
        Progress.answerWith = [text](const SeenBox& box) {
            if (box.text.rfind(text, 0) != 0) return IDOK;
            RequestClose();
            return 0;
        };
    }

    TempFolder sourceDir;
    TempFolder dest;
    std::string sourceBytes;
};

TEST_F(SplitJobTest, PresetSplitShowsEveryStepAndRecombines) {
    std::string source = MakeSource(3000000, "Annual Report 1998.doc");
    SetUpSplit(source, dest.Path(), Preset144);
    Options.NoReminders = 0;
    ASSERT_TRUE(RunJob());

    EXPECT_EQ(SplitJob.BufferSize, 5242880u);
    EXPECT_EQ(SplitJob.ChunkSize, Preset144);
    EXPECT_EQ(Progress.ranges, std::vector<uint64_t>{3});
    EXPECT_EQ(Progress.position, 3u);  // a step for each block
    EXPECT_EQ(Progress.finished, 1);
    EXPECT_FALSE(Progress.finishedSpanning);
    EXPECT_EQ(Progress.titles,
              std::vector<std::string>{"Splitting \"Annual Report 1998.doc\" into 3 pieces..."});
    EXPECT_EQ(Progress.statuses,
              (std::vector<std::string>{"Initializing...", "Writing piece 1 of 3...",
                                        "Writing piece 2 of 3...", "Writing piece 3 of 3...",
                                        "Writing recombination batch file...", "Finished."}));
    ASSERT_EQ(Progress.Transcript(), std::vector<std::string>{messages::FolderReminder});

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
    EXPECT_EQ(SplitJob.SizeMode, SplitSizeMode::Specified);
    EXPECT_EQ(SplitJob.SizeUnitIndex, 1);
    EXPECT_EQ(SplitJob.PresetIndex, 2);
    EXPECT_EQ(Progress.closeRequests, 1);
}

TEST_F(SplitJobTest, LargePiecesTakeSeveralBlocksAndAnExactMultipleMakesNoEmptyPiece) {
    std::string source = MakeSource(20971520);
    SetUpSplit(source, dest.Path(), 10485760);
    // An older piece of the same name is replaced.
    WriteWholeFile(dest.File("report.000"), std::string(11000000, 'x'));
    ASSERT_TRUE(RunJob());
    EXPECT_EQ(SplitJob.ChunkSize, 5242880u);
    EXPECT_EQ(Progress.ranges, std::vector<uint64_t>{5});
    EXPECT_EQ(SplitJob.PieceIndex, 1);
    EXPECT_EQ(FolderListing(dest.Path()),
              (std::vector<std::string>{"Join-report.bin.bat", "report.000", "report.001"}));
    EXPECT_EQ(Piece("report", 0), sourceBytes.substr(0, 10485760));
    EXPECT_EQ(Recombine(dest.Path(), "Join-report.bin.bat", "report.bin"), sourceBytes);
    EXPECT_TRUE(Progress.boxes.empty());
}

TEST_F(SplitJobTest, MoreMemUsesTheLargeBufferButNeverMoreThanAPiece) {
    std::string source = MakeSource(3000000);
    SetUpSplit(source, dest.Path(), Preset144);
    Options.MoreMem = 1;
    ASSERT_TRUE(RunJob());
    EXPECT_EQ(SplitJob.BufferSize, 20971520u);
    EXPECT_EQ(SplitJob.ChunkSize, Preset144);
    EXPECT_EQ(Recombine(dest.Path(), "Join-report.bin.bat", "report.bin"), sourceBytes);
}

TEST_F(SplitJobTest, SourceHeldByAnotherProgramEndsTheJobBeforeAnyPiece) {
    std::string source = MakeSource(300000);
    SetUpSplit(source, dest.Path(), 100000);
    {
        FileHolder holder(source);
        EXPECT_TRUE(RunJob());  // the source is measured before, opened by the worker
    }
    EXPECT_EQ(Progress.Transcript(), std::vector<std::string>{messages::SourceInUse});
    EXPECT_TRUE(FolderListing(dest.Path()).empty());
    ExpectInputsKept(source);
}

TEST_F(SplitJobTest, SourceShorterThanMeasuredStopsWithReadPastEof) {
    std::string source = MakeSource(250000);
    SetUpSplit(source, dest.Path(), 100000);
    SplitJob.SourceSize = 400000;  // the file shrank after it was measured
    SplitJob.PieceCount = 4;
    RunJob();
    EXPECT_EQ(Progress.Transcript(), std::vector<std::string>{messages::ReadPastEof});
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
    ASSERT_TRUE(RunJob());
    EXPECT_EQ(Progress.Transcript(),
              std::vector<std::string>{
                  "Error|Error creating backup of destination file. Backups have been disabled."});
    EXPECT_EQ(SplitJob.BackupEnabled, 0u);
    EXPECT_EQ(Recombine(dest.Path(), "Join-report.bin.bat", "report.bin"), sourceBytes);
}

// The delete question after each of three jobs: No keeps the source, Yes
// removes it and nothing else, and a source someone else removed first gives
// no message.
TEST_F(SplitJobTest, DeleteQuestionNoKeepsYesRemovesOnlyTheSourceAGoneSourceGivesNoMessage) {
    std::string source = MakeSource(300000);
    Options.DeletePrompt = 1;
    const std::function<int(const SeenBox&)> answers[] = {[](const SeenBox&) { return IDNO; },
                                                          [](const SeenBox&) { return IDYES; },
                                                          [&](const SeenBox&) {
                                                              DeleteFileA(source.c_str());
                                                              return IDYES;
                                                          }};
    for (size_t job = 0; job < std::size(answers); ++job) {
        SCOPED_TRACE(job);
        if (job == 2) sourceBytes = WriteRandomFile(source, 300000, 300000);
        Progress = ProgressLog{};
        SetUpSplit(source, dest.Path(), 100000);
        Progress.answerWith = answers[job];
        ASSERT_TRUE(RunJob());
        EXPECT_EQ(Progress.Transcript(), std::vector<std::string>{messages::DeleteQuestion});
        EXPECT_EQ(FileExists(source), job == 0);
        EXPECT_EQ(FolderListing(dest.Path()).size(), 4u);
        EXPECT_EQ(Recombine(dest.Path(), "Join-report.bin.bat", "report.bin"), sourceBytes);
        DeleteFileA(dest.File("report.bin").c_str());
    }
}

TEST_F(SplitJobTest, WithoutCloseWhenDoneTheWindowStaysUntilTheUserClosesIt) {
    std::string source = MakeSource(300000);
    SetUpSplit(source, dest.Path(), 100000);
    Options.CloseWhenDone = 0;
    ASSERT_TRUE(RunJob());
    EXPECT_EQ(Progress.finished, 1);
    EXPECT_EQ(Progress.closeRequests, 0);
    EXPECT_TRUE(ProgressWindowMayClose());
    EXPECT_EQ(Recombine(dest.Path(), "Join-report.bin.bat", "report.bin"), sourceBytes);
}

TEST_F(SplitJobTest, VanishedSourceEndsThePreparationWithAMessage) {
    std::string source = MakeSource(300000);
    SetUpSplit(source, dest.Path(), 100000);
    DeleteFileA(source.c_str());
    EXPECT_FALSE(RunJob());
    EXPECT_EQ(Progress.Transcript(), std::vector<std::string>{messages::SourceNotFound});
    EXPECT_EQ(Progress.closeRequests, 1);
    EXPECT_FALSE(SplitWorkerActive());
}

// Cancel while pieces are being written: the worker stops by itself, the
// clean-up runs once on this thread, nothing leaks and nothing is deleted.
class CancelTest : public SplitJobTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CancelTest, StopsTheWorkerAndCleansUpOnceOnTheInterfaceThread) {
    std::string source = MakeSource(4000000);
    SetUpSplit(source, dest.Path(), 10000);  // 400 pieces
    DWORD handlesBefore = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    Progress.statusDelayMs = 20;
    ASSERT_TRUE(PrepareSplitJob());
    ASSERT_TRUE(StartSplitWorker());
    ASSERT_TRUE(WaitUntil([] { return Progress.statuses.size() >= 5; }));  // 3 pieces written
    if (std::string(GetParam()) == "button") {
        PressCancel();
        PressCancel();  // an impatient user
    } else {
        RequestClose();
    }
    ASSERT_TRUE(WaitForJobEnd());

    EXPECT_EQ(Progress.statuses.back(), "Canceling...");
    EXPECT_TRUE(Progress.boxes.empty());
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
    CancelAtBox("Error creating destination file.");
    RunJob();
    EXPECT_EQ(
        Progress.Transcript(),
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
    CancelAtBox("Error creating backup of join file.");
    RunJob();
    // No reminder and no second message: the job ended as cancelled.
    EXPECT_EQ(Progress.Transcript(),
              std::vector<std::string>{
                  "Error|Error creating backup of join file. Backups have been disabled."});
    EXPECT_EQ(Progress.statuses.back(), "Canceling...");
    EXPECT_EQ(Progress.finished, 0);
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
    Progress.answerWith = [](const SeenBox& box) {
        if (box.text.rfind("Finished splitting.", 0) != 0) return IDOK;
        RequestClose();
        return IDNO;
    };
    ASSERT_TRUE(RunJob());
    EXPECT_EQ(Progress.Transcript(),
              (std::vector<std::string>{messages::DeleteQuestion, messages::FolderReminder}));
    EXPECT_EQ(Progress.closeRequests, 2);  // the user's, carried out after the steps
    EXPECT_FALSE(Progress.closedMainWindow);
    EXPECT_STREQ(SplitJob.SourcePath.data(), "");  // finished, not cancelled
    EXPECT_EQ(ReadWholeFile(source), sourceBytes);
    SetOptions(QuietOptions);
    ExpectNextJobRuns(source);
}

}  // namespace
