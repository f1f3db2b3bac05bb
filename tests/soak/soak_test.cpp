// A hundred jobs in one run of the program, as a user working through a day
// would: splits, jobs cancelled while they write, and requests the program
// refuses. Afterwards the process must hold what it held after its first job.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "program_fixture.h"
#include "resource.h"

using namespace testing_support;
using namespace soak_tests;

namespace {

enum class Job { Split, Cancel, MissingSource, SizeAboveSource };

// Ten jobs a cycle: five splits, two cancels, three refusals. The first and
// the last job of the run are splits, so both measurements follow the same
// kind of job.
constexpr Job Cycle[10] = {
    Job::Split,           Job::Cancel, Job::MissingSource, Job::Split,         Job::Split,
    Job::SizeAboveSource, Job::Cancel, Job::Split,         Job::MissingSource, Job::Split};
constexpr int JobCount = 100;

constexpr uint32_t PieceSize = 200 * 1024;  // the typed "200" KB
// Sources of 3, 5, 7 and 10 pieces.
constexpr uint32_t SplitSourceSizes[] = {550000, 1000000, 1400000, 1950000};
// Large enough that Cancel always finds the job writing: 96 pieces of 20 MB.
constexpr uint32_t CancelSourceSize = 2000000000;

// What may differ between the two measurements without any job leaking:
// - handles: Wine opens a few of its own on demand (registry keys it caches,
//   the sound device's events); a leak of one handle per job of any kind
//   would add at least 20 over the run.
// - windows: the interface thread's hidden input-method window may come and
//   go; a window left behind per job would add 20 or more.
// - private memory: heap pages kept by the allocator after a peak. A copy
//   buffer lost per split would add at least 50 x 200 KB (10 MB), per
//   cancel 20 x 20 MB.
constexpr DWORD HandleSlack = 10;
constexpr size_t WindowSlack = 2;
constexpr size_t PrivateSlack = 4 * 1024 * 1024;
constexpr size_t WorkingSetSlack = 8 * 1024 * 1024;

class SoakRun : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        if (HasFatalFailure()) return;
        for (size_t i = 0; i < std::size(SplitSourceSizes); ++i) {
            std::string name = "soak" + std::to_string(i) + ".bin";
            splitSources.push_back({sources.File(name), name,
                                    WriteRandomFile(sources.File(name), SplitSourceSizes[i],
                                                    static_cast<uint32_t>(i + 7))});
        }
        bigSource = sources.File("big.bin");
        ASSERT_TRUE(MakeLargeFile(bigSource, CancelSourceSize));
        WriteRandomFile(sources.File("small.bin"), 1000);
    }

    void RunSplit(int job, bool recombine) {
        const Source& source = splitSources[static_cast<size_t>(job) % splitSources.size()];
        std::string dest = FreshDest("out" + std::to_string(job));
        size_t boxesBefore = session->boxes.Count();
        ASSERT_TRUE(session->StartSplit(main, {source.path, dest, "200", 1}));
        HWND back = session->WaitForMainBack(main);
        ASSERT_NE(back, nullptr) << "job " << job << ": the main window did not come back";
        main = back;
        EXPECT_EQ(session->boxes.Count(), boxesBefore) << "job " << job;
        EXPECT_EQ(ControlText(main, IDC_SOURCE), "") << "job " << job;
        uint32_t pieces = (static_cast<uint32_t>(source.bytes.size()) + PieceSize - 1) / PieceSize;
        // The join file and one file per piece, nothing more.
        EXPECT_EQ(FolderListing(dest).size(), pieces + 1) << "job " << job;
        std::string joinName = "Join-" + source.name + ".bat";
        ASSERT_TRUE(FileExists(dest + "\\" + joinName)) << "job " << job;
        if (recombine) {
            // The pieces must rebuild the source exactly; the rebuilt file
            // takes the source's name in the destination folder.
            RunBatchFile(dest, joinName);
            EXPECT_TRUE(ReadWholeFile(dest + "\\" + source.name) == source.bytes)
                << "job " << job << ": the recombined file differs from " << source.name;
            ++recombined;
        }
        RemoveTree(dest);
    }

    void RunCancel(int job) {
        std::string dest = FreshDest("out" + std::to_string(job));
        ASSERT_TRUE(session->StartSplit(main, {bigSource, dest, "20", 2}));
        HWND progress = session->ProgressShowing("Writing piece");
        ASSERT_NE(progress, nullptr) << "job " << job << ": no piece was being written";
        ASSERT_TRUE(Click(progress, IDCANCEL));
        HWND back = session->WaitForMainBack(main);
        ASSERT_NE(back, nullptr) << "job " << job << ": the main window did not come back";
        main = back;
        // A cancelled job keeps its inputs and leaves its pieces, but never
        // gets as far as the join file.
        EXPECT_EQ(ControlText(main, IDC_SOURCE), bigSource) << "job " << job;
        EXPECT_EQ(ControlText(main, IDC_DEST), dest) << "job " << job;
        EXPECT_TRUE(FileExists(dest + "\\big.000")) << "job " << job;
        EXPECT_FALSE(FileExists(dest + "\\Join-big.bin.bat")) << "job " << job;
        RemoveTree(dest);
    }

    void RunRefusal(int job, const std::string& source, const std::string& message) {
        size_t boxesBefore = session->boxes.Count();
        ASSERT_TRUE(session->StartSplit(main, {source, sources.Path(), "200", 1}));
        ASSERT_TRUE(session->boxes.WaitForCount(boxesBefore + 1)) << "job " << job;
        EXPECT_EQ(session->boxes.Transcript().back(), "Error|" + message) << "job " << job;
        // The refusal leaves the same main window open and starts nothing.
        EXPECT_TRUE(IsWindow(main)) << "job " << job;
        EXPECT_EQ(FindDialog(session->ProcessId(), ProgressCaption, 0), nullptr) << "job " << job;
    }

    void RunJob(int job) {
        switch (Cycle[job % 10]) {
            case Job::Split:
                RunSplit(job, ++splits % 5 == 1);
                break;
            case Job::Cancel:
                RunCancel(job);
                break;
            case Job::MissingSource:
                RunRefusal(job, sources.File("missing.bin"), "Source file not found.");
                break;
            case Job::SizeAboveSource:
                RunRefusal(job, sources.File("small.bin"),
                           "Split size is greater than source file size.");
                break;
        }
    }

    // Figures once the program has settled after a job.
    ResourceFigures Settled() const {
        Sleep(1000);
        return MeasureProcess(session->ProcessId());
    }

    struct Source {
        std::string path;
        std::string name;
        std::string bytes;
    };
    std::vector<Source> splitSources;
    std::string bigSource;
    int splits = 0;
    int recombined = 0;
};

TEST_F(SoakRun, HundredMixedJobsLeaveHandlesWindowsAndMemoryAsAfterTheFirst) {
    ResourceFigures atStart = MeasureProcess(session->ProcessId());

    ResourceFigures afterFirst, afterFirstCycle;
    for (int job = 0; job < JobCount; ++job) {
        RunJob(job);
        if (HasFatalFailure()) FAIL() << "stopped at job " << job;
        if (job == 0) afterFirst = Settled();
        if (job == 9) afterFirstCycle = Settled();
    }
    ResourceFigures afterAll = Settled();

    printf("%s\n%s\n%s\n%s\n", FiguresLine("at start", atStart).c_str(),
           FiguresLine("after job 1", afterFirst).c_str(),
           FiguresLine("after jobs 1-10", afterFirstCycle).c_str(),
           FiguresLine("after jobs 1-100", afterAll).c_str());
    printf("splits %d (recombined and compared: %d), cancels %d, refusals %d\n", splits, recombined,
           JobCount / 10 * 2, JobCount / 10 * 3);
    if (afterFirst.gdiObjects == 0 && afterFirst.userObjects == 0)
        printf(
            "GDI and USER object counts: this system answers 0 for every process; the "
            "count of the process's windows stands in for the USER objects\n");

    EXPECT_EQ(recombined, 10);
    ASSERT_GT(afterFirst.handles, 0u) << "the handle count could not be read";
    EXPECT_LE(afterAll.handles, afterFirst.handles + HandleSlack);
    EXPECT_LE(afterAll.windows, afterFirst.windows + WindowSlack);
    EXPECT_LE(afterAll.gdiObjects, afterFirst.gdiObjects + 10);
    EXPECT_LE(afterAll.userObjects, afterFirst.userObjects + 10);
    ASSERT_GT(afterFirst.privateBytes, 0u) << "the memory figures could not be read";
    EXPECT_LE(afterAll.privateBytes, afterFirst.privateBytes + PrivateSlack);
    EXPECT_LE(afterAll.workingSet, afterFirst.workingSet + WorkingSetSlack);

    // The program is still in working order: it closes normally.
    ASSERT_TRUE(Click(main, IDCANCEL));
    DWORD code = 1;
    EXPECT_TRUE(session->program.WaitForExit(code));
    EXPECT_EQ(code, 0u);
}

}  // namespace
