// Jobs that do not finish, as the user sees them: Cancel pressed while a piece
// is being written, the progress window's close box, a destination that fills
// up. Each time the main window comes
// back with the job's inputs and the program goes on working. (What the job
// leaves behind in detail is the engine tests' concern.)
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "messages.h"
#include "program_session.h"
#include "resource.h"

using namespace testing_support;

namespace {

constexpr uint64_t BigSourceBytes = 1ull << 30;
constexpr uint64_t BigPieceBytes = 512ull << 20;

class InterruptedJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        out = work.Folder("out");
        ASSERT_NE(session.main, nullptr);
    }

    // Starts a split of a 1 GB source into 512 MB pieces and, once the first
    // piece has its first bytes, stops it the way the test says.
    void StopWhileTheFirstPieceIsWritten(const std::function<void(HWND)>& stop) {
        std::string big = work.File("big.bin");
        ASSERT_TRUE(MakeLargeFile(big, BigSourceBytes));
        ASSERT_TRUE(session.SetSource(big));
        ASSERT_TRUE(session.SetDest(out));
        ASSERT_TRUE(session.UseSpecified("512", Unit::MB));
        ASSERT_EQ(ControlText(session.main, IDC_PIECE_COUNT_LABEL), "Num Pieces: 2");
        session.PressSplit();
        HWND progress = session.WaitForProgressWindow();
        ASSERT_NE(progress, nullptr);
        std::string piece = out + "\\big.000";
        ASSERT_TRUE(WaitUntil([&] { return FileSize64(piece) + 1 > 1; }, 60000))
            << "the first piece never grew";
        stop(progress);
        ASSERT_TRUE(session.WaitForMainWindowBack());

        EXPECT_EQ(session.boxes.Count(), 0u);
        EXPECT_EQ(session.Inputs(), (MainInputs{big, out, "512", IDC_SPECIFIED, 2, 2}));
        // The unfinished piece stays; nothing after it was written.
        uint64_t written = FileSize64(piece);
        EXPECT_GT(written, 0u);
        EXPECT_LT(written, BigPieceBytes);
        EXPECT_EQ(FolderListing(out), std::vector<std::string>{"big.000"});
        EXPECT_EQ(FileSize64(big), BigSourceBytes);
        DeleteFileA(piece.c_str());
    }

    // A small job after the stopped one, in the same program, finishes.
    void SecondJobSucceeds() {
        std::string source = work.File("small.bin");
        std::string bytes = WriteRandomFile(source, 10000, 31);
        std::string second = work.Folder("second");
        ASSERT_TRUE(session.SetSource(source));
        ASSERT_TRUE(session.SetDest(second));
        ASSERT_TRUE(session.UseSpecified("4", Unit::KB));
        ASSERT_TRUE(session.SplitAndWaitForEnd());
        EXPECT_EQ(session.boxes.Count(), 0u);
        EXPECT_EQ(FolderListing(second),
                  (std::vector<std::string>{"Join-small.bin.bat", "small.000", "small.001",
                                            "small.002"}));
        EXPECT_EQ(session.Inputs(), EmptyInputs());
        EXPECT_EQ(Recombine(second, "Join-small.bin.bat", "small.bin"), bytes);
    }

    TempFolder work;
    std::string out;
    ProgramSession session;
};

// One program: a job stopped by Cancel, one by the close box, one that fills
// its destination; then the same inputs succeed somewhere with room.
TEST_F(InterruptedJobTest, StoppedAndFailedJobsBringBackTheInputsAndTheNextJobRuns) {
    StopWhileTheFirstPieceIsWritten([](HWND progress) { PressButton(progress, IDCANCEL); });
    StopWhileTheFirstPieceIsWritten(
        [](HWND progress) { PostMessageW(progress, WM_SYSCOMMAND, SC_CLOSE, 0); });
    SecondJobSucceeds();

    REQUIRE_SMALL_DISKS();
    SmallDisk disk(1048576);
    ASSERT_TRUE(disk.Mounted());
    std::string source = work.File("data.bin");
    WriteRandomFile(source, 3000000, 33);
    ASSERT_TRUE(session.SetSource(source));
    ASSERT_TRUE(session.SetDest(disk.WindowsPath()));
    ASSERT_TRUE(session.UsePreset(Preset::Mb144));
    ASSERT_TRUE(session.SplitAndWaitForEnd());

    EXPECT_EQ(session.boxes.Transcript(), std::vector<std::string>{messages::WriteFailed});
    EXPECT_EQ(session.Inputs(), (MainInputs{source, disk.WindowsPath(), "", IDC_PRESET, 1, 2}));
    // What was written stays; no join file.
    EXPECT_EQ(FolderListing(disk.WindowsPath()), std::vector<std::string>{"data.000"});

    // Somewhere with room the same inputs succeed.
    ASSERT_TRUE(session.SetDest(out));
    ASSERT_TRUE(session.SplitAndWaitForEnd());
    EXPECT_EQ(session.boxes.Count(), 1u);
    EXPECT_EQ(FolderListing(out).size(), 4u);
}

}  // namespace
