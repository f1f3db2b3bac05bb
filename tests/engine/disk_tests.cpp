// Jobs on real small disks: spanning removable disks swapped between the
// prompts, a destination that fills up, and folders where nothing can be
// created.
#include <gtest/gtest.h>

#include "engine/split_engine.h"
#include "engine_support.h"
#include "messages.h"
#include "model/naming.h"
#include "model/split_job.h"
#include "platform/file_services.h"
#include "test_support.h"

using namespace testing_support;

namespace {

class DiskTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngineState(); }
    void TearDown() override {
        EndLeftoverJob();
        SmallDisk::EjectFloppy();
    }
    std::string MakeSource(uint32_t size) {
        std::string path = work.File("Annual Report 1998.doc");
        sourceBytes = WriteRandomFile(path, size, 7);
        return path;
    }
    // Collects every file of the disks into one folder, as the user would.
    std::string GatherAndRecombine(const std::vector<const SmallDisk*>& disks) {
        std::string folder = work.File("joined");
        GatherFiles(disks, folder);
        return Recombine(folder, "Join-Annual Report 1998.doc.bat", "Annual Report 1998.doc");
    }
    TempFolder work;
    std::string sourceBytes;
};

TEST_F(DiskTest, SpansThreeFloppiesSwappedAtEachPrompt) {
    REQUIRE_SMALL_DISKS();
    SmallDisk d1(1474560), d2(1474560), d3(1474560);
    d1.Insert();
    uint32_t perDisk = FreeBytesOfDrive(FloppyRoot().c_str());
    std::string source = MakeSource(3000000);
    SetUpSpan(source, FloppyLetter());
    Options.MoreMem = 1;
    Options.NoReminders = 0;
    const SmallDisk* order[] = {&d1, &d2, &d3};
    Progress.answerWith = [&](const SeenBox& box) {
        for (int n = 1; n <= 3; ++n)
            if (box.text == "Insert disk for piece " + std::to_string(n)) order[n - 1]->Insert();
        return IDOK;
    };
    ASSERT_TRUE(RunJob());

    EXPECT_EQ(SplitJob.BufferSize, 102400u);
    EXPECT_EQ(SplitJob.ChunkSize, 102400u);
    EXPECT_EQ(Progress.ranges, std::vector<uint64_t>{3000000u / 102400 + 1});
    EXPECT_TRUE(Progress.finishedSpanning);  // the bar ends full as a range of one
    EXPECT_EQ(SplitJob.PieceIndex, 2);
    EXPECT_EQ(Progress.titles[0], "Spanning \"Annual Report 1998.doc\" to disks...");
    std::vector<std::string> statuses{"Initializing...",
                                      "Waiting for disk 1...",
                                      "Writing piece 1 to disk...",
                                      "Waiting for disk 2...",
                                      "Writing piece 2 to disk...",
                                      "Waiting for disk 3...",
                                      "Writing piece 3 to disk...",
                                      "Writing recombination batch file...",
                                      "Finished."};
    EXPECT_EQ(Progress.statuses, statuses);
    EXPECT_EQ(Progress.Transcript(),
              (std::vector<std::string>{messages::DiskPrompt(1), messages::DiskPrompt(2),
                                        messages::DiskPrompt(3), messages::SpanReminder}));
    EXPECT_EQ(FileSize64(d1.WindowsPath() + "\\" + PieceName(0).data()), perDisk);
    EXPECT_EQ(FileSize64(d3.WindowsPath() + "\\" + PieceName(2).data()), 3000000u - 2 * perDisk);
    EXPECT_TRUE(FileExists(d3.WindowsPath() + "\\Join-Annual Report 1998.doc.bat"));
    EXPECT_EQ(GatherAndRecombine({&d1, &d2, &d3}), sourceBytes);
}

TEST_F(DiskTest, LastDiskTooFullForTheJoinFileAsksForAnother) {
    REQUIRE_SMALL_DISKS();
    SmallDisk d1(1474560), extra(1474560);
    d1.Insert();
    // The whole source fits, leaving less than 512 bytes for the join file.
    std::string source = MakeSource(FreeBytesOfDrive(FloppyRoot().c_str()) - 300);
    SetUpSpan(source, FloppyLetter());
    Progress.answerWith = [&](const SeenBox& box) {
        if (box.text.find("join file") != std::string::npos) extra.Insert();
        return IDOK;
    };
    ASSERT_TRUE(RunJob());
    EXPECT_EQ(SplitJob.PieceCount, 0u);  // reset after the job
    EXPECT_EQ(Progress.Transcript(),
              (std::vector<std::string>{messages::DiskPrompt(1), messages::NoRoomForJoin}));
    EXPECT_EQ(FolderListing(extra.WindowsPath()),
              std::vector<std::string>{"Join-Annual Report 1998.doc.bat"});
    EXPECT_EQ(GatherAndRecombine({&d1, &extra}), sourceBytes);
}

TEST_F(DiskTest, LongNameWithoutAliasGetsRoomForItsWholeJoinFile) {
    REQUIRE_SMALL_DISKS();
    // 24 pieces of a source whose name has no 8.3 alias, so the pieces and the
    // join file take the 184-character name: a join file of 9 KB where 13
    // bytes a piece reckon 450. The last piece leaves 4 KB on its disk.
    SmallDisk disk(8192), extra(65536);
    disk.Insert();
    std::string name = std::string(180, 'f') + ".dat";
    std::string source = work.File(name);
    sourceBytes = WriteRandomFile(source, 23 * 8192 + 3000, 5);
    SetUpSpan(source, FloppyLetter());
    Options.UseDos83 = 1;
    ASSERT_TRUE(PrepareSplitJob());
    // Wine gives every long name an alias; the names a volume without aliases
    // gives are set after the preparation, before the first piece.
    ASSERT_STRNE(SplitJob.SourceFileName.data(), name.c_str());
    CopyText(SplitJob.SourceFileName, name);
    CopyText(SplitJob.SourceBaseName, name.substr(0, 180));

    // Each disk's piece is taken off before the next disk, as a new floppy.
    std::string joined = work.File("j");
    CreateDirectoryA(joined.c_str(), nullptr);
    auto takeOff = [&](const SmallDisk& from) {
        for (const std::string& file : FolderListing(from.WindowsPath())) {
            std::string path = from.WindowsPath() + "\\" + file;
            CopyFileA(path.c_str(), (joined + "\\" + file).c_str(), FALSE);
            // Under load Wine's delete was once seen not to free the disk yet.
            for (int attempt = 0; attempt < 100 && FileExists(path); ++attempt) {
                DeleteFileA(path.c_str());
                if (FileExists(path)) Sleep(20);
            }
        }
    };
    Progress.answerWith = [&](const SeenBox& box) {
        if (box.text.find("join file") != std::string::npos)
            extra.Insert();
        else
            takeOff(disk);
        return IDOK;
    };
    ASSERT_TRUE(StartSplitWorker());
    ASSERT_TRUE(WaitForJobEnd());

    std::vector<std::string> expected;
    for (int piece = 1; piece <= 24; ++piece) expected.push_back(messages::DiskPrompt(piece));
    expected.push_back(messages::NoRoomForJoin);
    EXPECT_EQ(Progress.Transcript(), expected);
    EXPECT_EQ(FolderListing(extra.WindowsPath()), std::vector<std::string>{"Join.bat"});
    takeOff(disk);
    takeOff(extra);
    EXPECT_EQ(Recombine(joined, "Join.bat", name), sourceBytes);
}

// Cancel at the second disk, by the prompt's Cancel or by the close box while
// the prompt is open: the first piece stays, no join file, the job ends once,
// and the next job runs.
TEST_F(DiskTest, CancelAtTheSecondDiskKeepsTheFirstPieceAndWritesNoJoinFile) {
    REQUIRE_SMALL_DISKS();
    std::string source = MakeSource(2000000);
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "the prompt's Cancel");
        SmallDisk d1(1474560);
        d1.Insert();
        Progress = ProgressLog{};
        SetUpSpan(source, FloppyLetter());
        Progress.answerWith = [closeBox](const SeenBox& box) {
            if (box.text != "Insert disk for piece 2") return IDOK;
            if (!closeBox) return IDCANCEL;
            RequestClose();
            return 0;  // nothing pressed: only the Cancel can close the prompt
        };
        RunJob();
        EXPECT_EQ(Progress.Transcript(),
                  (std::vector<std::string>{messages::DiskPrompt(1), messages::DiskPrompt(2)}));
        EXPECT_EQ(FolderListing(d1.WindowsPath()).size(), 1u);
        EXPECT_EQ(ReadWholeFile(source), sourceBytes);
        EXPECT_EQ(Progress.closeRequests, closeBox ? 2 : 1);
        EXPECT_EQ(Progress.statuses.back(), closeBox ? "Canceling..." : "Waiting for disk 2...");
        EXPECT_EQ(SplitJob.CopyBuffer, nullptr);
        EXPECT_STREQ(SplitJob.DestFolder.data(), FloppyRoot().c_str());
    }
    TempFolder folder;
    Progress = ProgressLog{};
    SetUpSplit(source, folder.Path(), 700000);
    ASSERT_TRUE(RunJob());
    EXPECT_EQ(Recombine(folder.Path(), "Join-Annual Report 1998.doc.bat", "Annual Report 1998.doc"),
              sourceBytes);
}

TEST_F(DiskTest, FullDiskForAPieceOffersRetryThenReportsTheFreeBytes) {
    REQUIRE_SMALL_DISKS();
    SmallDisk d1(1474560), full(1474560);
    d1.Insert();
    full.Fill(0);
    std::string source = MakeSource(100000);
    SetUpSpan(source, FloppyLetter());
    int retries = 0;
    Progress.answerWith = [&](const SeenBox& box) {
        if (box.caption == "Veltra Partola 95") {
            full.Insert();
            return IDOK;
        }
        return box.caption == "Error" && retries++ == 0 ? IDRETRY : IDCANCEL;
    };
    RunJob();
    std::vector<std::string> seen = Progress.Transcript();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[1], "Error|Not enough free space on disk. At least 2K is needed.");
    EXPECT_EQ(seen[2], seen[1]);
    EXPECT_EQ(seen[3], "Info|BytesFree: " + std::to_string(FreeBytesOfDrive(FloppyRoot().c_str())));
    EXPECT_TRUE(FolderListing(d1.WindowsPath()).empty());
}

TEST_F(DiskTest, TooLittleSpaceAtPreparationEndsTheJobBeforeTheWorker) {
    REQUIRE_SMALL_DISKS();
    SmallDisk full(1474560);
    full.Insert();
    full.Fill(0);
    std::string source = MakeSource(100000);
    SetUpSpan(source, FloppyLetter());
    Progress.answers = {IDOK, IDCANCEL};
    EXPECT_FALSE(RunJob());
    std::string text =
        "Veltra Partola 95|You need at least 2KB of free disk space. Free space on disk or "
        "insert another.";
    EXPECT_EQ(Progress.Transcript(), (std::vector<std::string>{text, text}));
    EXPECT_EQ(Progress.closeRequests, 1);
}

TEST_F(DiskTest, SmallFirstDiskSetsTheChunkAndARangeBeyond16Bits) {
    REQUIRE_SMALL_DISKS();
    SmallDisk small(1474560);
    small.Insert();
    small.Fill(8192);
    ASSERT_EQ(FreeBytesOfDrive(FloppyRoot().c_str()), 8192u);
    std::string source = MakeSource(1000);
    // Ranges beyond 16 bits, which the window's bar shows in proportion.
    for (auto [recorded, steps] :
         {std::pair{838860800ull, 102401ull}, {5368709120ull, 655361ull}}) {
        SCOPED_TRACE(recorded);
        Progress = ProgressLog{};
        SetUpSpan(source, FloppyLetter());
        SplitJob.SourceSize = recorded;  // preparation only reads the recorded size
        ASSERT_TRUE(PrepareSplitJob());
        EXPECT_EQ(SplitJob.ChunkSize, 8192u);
        EXPECT_EQ(Progress.ranges, std::vector<uint64_t>{steps});
        // Cancel before any worker ran: the clean-up alone ends the job.
        PressCancel();
        ASSERT_TRUE(WaitForJobEnd());
        EXPECT_EQ(SplitJob.CopyBuffer, nullptr);
        EXPECT_EQ(Progress.closeRequests, 1);
    }
}

TEST_F(DiskTest, FolderSplitOnAFullingDiskStopsWithTheWriteError) {
    REQUIRE_SMALL_DISKS();
    SmallDisk disk(1048576);
    std::string source = MakeSource(3000000);
    SetUpSplit(source, disk.WindowsPath(), 1500000);
    RunJob();
    EXPECT_EQ(Progress.Transcript(), std::vector<std::string>{messages::WriteFailed});
    std::vector<std::string> files = FolderListing(disk.WindowsPath());
    ASSERT_EQ(files.size(), 1u);  // the unfinished piece stays
    std::string piece = ReadWholeFile(disk.WindowsPath() + "\\" + files[0]);
    EXPECT_EQ(piece, sourceBytes.substr(0, piece.size()));
    EXPECT_EQ(ReadWholeFile(source), sourceBytes);
}

TEST_F(DiskTest, ReadOnlyDestinationOffersRetryAndCancelEndsWithoutAnotherMessage) {
    REQUIRE_SMALL_DISKS();
    SmallDisk disk(1048576);
    disk.MakeReadOnly();
    std::string source = MakeSource(300000);
    SetUpSplit(source, disk.WindowsPath(), 100000);
    Progress.answers = {IDRETRY, IDCANCEL};
    RunJob();
    std::string text = "Error|Error creating destination file.\nDrive may be full.";
    EXPECT_EQ(Progress.Transcript(), (std::vector<std::string>{text, text}));
    EXPECT_EQ(Progress.closeRequests, 1);
    EXPECT_EQ(ReadWholeFile(source), sourceBytes);
}

TEST_F(DiskTest, BackupDiskThatFillsTurnsBackupsOffAndEveryPieceStaysExact) {
    REQUIRE_SMALL_DISKS();
    SmallDisk backup(262144);
    TempFolder dest;
    std::string source = MakeSource(1000000);
    SetUpSplit(source, dest.Path(), 200000);
    SplitJob.BackupEnabled = 1;
    CopyText(SplitJob.BackupFolder, backup.WindowsPath());
    ASSERT_TRUE(RunJob());
    EXPECT_EQ(Progress.Transcript(),
              std::vector<std::string>{
                  "Error|Error writing to destination backup file. Backups have been disabled."});
    EXPECT_FALSE(FileExists(backup.WindowsPath() + "\\Join-Annual Report 1998.doc.bat"));
    EXPECT_EQ(Recombine(dest.Path(), "Join-Annual Report 1998.doc.bat", "Annual Report 1998.doc"),
              sourceBytes);
}

}  // namespace
