// Many jobs in one run of the program, as a user working through a day
// would: splits, jobs cancelled while they write, and requests the program
// refuses. After a first round of every kind of job, which lets the system
// open what it opens once, two more rounds must leave the process holding
// what it held: no handle, window or memory lost per job.
// windows.h must come before psapi.h.
// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on
#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "program_session.h"
#include "resource.h"

using namespace testing_support;

namespace {

enum class Job { Split, Cancel, MissingSource, SizeAboveSource };

// A round of five jobs, each kind at least once. Each round ends with a
// split, so both measurements follow the same kind of job.
constexpr Job Round[] = {Job::Split, Job::Cancel, Job::MissingSource, Job::SizeAboveSource,
                         Job::Split};
constexpr int RoundLength = static_cast<int>(std::size(Round));
constexpr int JobCount = 3 * RoundLength;

constexpr uint32_t PieceSize = 200 * 1024;  // the typed "200" KB
// Sources of 3, 5, 7 and 10 pieces.
constexpr uint32_t SplitSourceSizes[] = {550000, 1000000, 1400000, 1950000};
// Large enough that Cancel always finds the job writing: 96 pieces of 20 MB.
constexpr uint32_t CancelSourceSize = 2000000000;

// What may differ between the measurements after the first and the last
// round without any job leaking (the first round has made every kind of job
// once, and Wine has opened what it opens on demand: registry keys it caches,
// the sound device's events). Measured here: no handle and no window more,
// and some 4 KB of private memory over ninety jobs.
// - handles: one lost per job of any kind would add at least 2;
// - windows: the interface thread's hidden input-method window may come and
//   go; one left behind per job of any kind would add at least 2;
// - private memory: heap pages the allocator keeps. A copy buffer lost per
//   split would add 4 x 200 KB, per cancel 2 x 20 MB.
constexpr DWORD HandleSlack = 1;
constexpr size_t WindowSlack = 1;
constexpr size_t PrivateSlack = 512 * 1024;
constexpr size_t WorkingSetSlack = 8 * 1024 * 1024;

// The process's resources as seen from outside. (Wine answers the GDI and
// USER object counts with 0 for every process: its windows stand in for them.)
struct ResourceFigures {
    DWORD handles = 0;
    size_t windows = 0;  // its top-level windows and all their children
    size_t privateBytes = 0;
    size_t workingSet = 0;
};

// One entry of the system's handle table (information class 16).
struct SystemHandleEntry {
    ULONG ownerProcessId;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};

// Counts the process's handles in the system's handle table. Wine answers
// the per-process count with 0, but lists every process's handles here.
DWORD CountHandlesInSystemTable(DWORD processId) {
    using QueryFunction = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    constexpr ULONG SystemHandleInformation = 16;
    std::vector<char> buffer(1 << 20);
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        LONG status = query(SystemHandleInformation, buffer.data(),
                            static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) break;
        if (attempt == 7) return 0;
        buffer.resize(needed > buffer.size() ? needed + 65536 : buffer.size() * 2);
    }
    ULONG count = *reinterpret_cast<ULONG*>(buffer.data());
    auto* entries = reinterpret_cast<SystemHandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    DWORD owned = 0;
    for (ULONG i = 0; i < count; ++i)
        if (entries[i].ownerProcessId == processId) ++owned;
    return owned;
}

ResourceFigures MeasureProcess(DWORD processId) {
    ResourceFigures figures;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) return figures;
    if (!GetProcessHandleCount(process, &figures.handles) || figures.handles == 0)
        figures.handles = CountHandlesInSystemTable(processId);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, &memory, sizeof memory)) {
        figures.privateBytes = memory.PagefileUsage;
        figures.workingSet = memory.WorkingSetSize;
    }
    CloseHandle(process);
    for (HWND window : TopWindowsOf(processId)) figures.windows += 1 + ChildrenOf(window).size();
    return figures;
}

void PrintFigures(const char* label, const ResourceFigures& figures) {
    printf("%-22s handles %4lu  windows %3u  private %7lu KB  working set %7lu KB\n", label,
           static_cast<unsigned long>(figures.handles), static_cast<unsigned>(figures.windows),
           static_cast<unsigned long>(figures.privateBytes / 1024),
           static_cast<unsigned long>(figures.workingSet / 1024));
}

class SoakRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(session.main, nullptr);
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
        std::string dest = outputs.Folder("out" + std::to_string(job));
        size_t boxesBefore = session.boxes.Count();
        ASSERT_TRUE(session.SplitAndWaitForEnd({source.path, dest, "200"}))
            << "job " << job << ": the main window did not come back";
        EXPECT_EQ(session.boxes.Count(), boxesBefore) << "job " << job;
        EXPECT_EQ(session.Text(IDC_SOURCE), "") << "job " << job;
        uint32_t pieces = (static_cast<uint32_t>(source.bytes.size()) + PieceSize - 1) / PieceSize;
        // The join file and one file per piece, nothing more.
        EXPECT_EQ(FolderListing(dest).size(), pieces + 1) << "job " << job;
        std::string joinName = "Join-" + source.name + ".bat";
        ASSERT_TRUE(FileExists(dest + "\\" + joinName)) << "job " << job;
        if (recombine) {
            // The pieces must rebuild the source exactly; the rebuilt file
            // takes the source's name in the destination folder.
            EXPECT_TRUE(Recombine(dest, joinName, source.name) == source.bytes)
                << "job " << job << ": the recombined file differs from " << source.name;
            ++recombined;
        }
        RemoveTree(dest);
    }

    void RunCancel(int job) {
        std::string dest = outputs.Folder("out" + std::to_string(job));
        ASSERT_TRUE(session.Split({bigSource, dest, "20", Unit::MB}));
        HWND progress = session.ProgressShowing("Writing piece");
        ASSERT_NE(progress, nullptr) << "job " << job << ": no piece was being written";
        ASSERT_TRUE(PressButton(progress, IDCANCEL));
        ASSERT_TRUE(session.WaitForMainWindowBack())
            << "job " << job << ": the main window did not come back";
        // A cancelled job keeps its inputs and leaves its pieces, but never
        // gets as far as the join file.
        EXPECT_EQ(session.Text(IDC_SOURCE), bigSource) << "job " << job;
        EXPECT_EQ(session.Text(IDC_DEST), dest) << "job " << job;
        EXPECT_TRUE(FileExists(dest + "\\big.000")) << "job " << job;
        EXPECT_FALSE(FileExists(dest + "\\Join-big.bin.bat")) << "job " << job;
        RemoveTree(dest);
    }

    void RunRefusal(int job, const std::string& source, const std::string& message) {
        ASSERT_TRUE(session.Fill({source, sources.Path(), "200"})) << "job " << job;
        EXPECT_EQ(session.SplitRefusedWith(), message) << "job " << job;
        // The refusal leaves the same main window open and starts nothing.
        EXPECT_TRUE(session.StillEditing()) << "job " << job;
    }

    void RunJob(int job) {
        switch (Round[job % RoundLength]) {
            case Job::Split:
                // The first and the last split are rebuilt and compared: the
                // pieces are as exact after many jobs as after one.
                ++splits;
                RunSplit(job, job == 0 || job == JobCount - 1);
                break;
            case Job::Cancel:
                RunCancel(job);
                break;
            case Job::MissingSource:
                RunRefusal(job, sources.File("missing.bin"), messages::SourceNotFound);
                break;
            case Job::SizeAboveSource:
                RunRefusal(job, sources.File("small.bin"), messages::SizeAboveSource);
                break;
        }
    }

    // Figures once the program has handled everything the job left.
    ResourceFigures Settled() {
        session.Settle();
        return MeasureProcess(session.ProcessId());
    }

    struct Source {
        std::string path;
        std::string name;
        std::string bytes;
    };
    TempFolder sources;
    TempFolder outputs;
    ProgramSession session;
    std::vector<Source> splitSources;
    std::string bigSource;
    int splits = 0;
    int recombined = 0;
};

TEST_F(SoakRun, RoundsOfMixedJobsLeaveHandlesWindowsAndMemoryAsAfterTheFirstRound) {
    ResourceFigures atStart = MeasureProcess(session.ProcessId());

    ResourceFigures afterFirstRound;
    for (int job = 0; job < JobCount; ++job) {
        RunJob(job);
        if (HasFatalFailure()) FAIL() << "stopped at job " << job;
        if (job == RoundLength - 1) afterFirstRound = Settled();
    }
    ResourceFigures afterAll = Settled();

    PrintFigures("at start", atStart);
    PrintFigures("after the first round", afterFirstRound);
    PrintFigures("after every round", afterAll);
    printf("jobs %d, splits %d (recombined and compared: %d)\n", JobCount, splits, recombined);

    EXPECT_EQ(recombined, 2);
    ASSERT_GT(afterFirstRound.handles, 0u) << "the handle count could not be read";
    EXPECT_LE(afterAll.handles, afterFirstRound.handles + HandleSlack);
    EXPECT_LE(afterAll.windows, afterFirstRound.windows + WindowSlack);
    ASSERT_GT(afterFirstRound.privateBytes, 0u) << "the memory figures could not be read";
    EXPECT_LE(afterAll.privateBytes, afterFirstRound.privateBytes + PrivateSlack);
    EXPECT_LE(afterAll.workingSet, afterFirstRound.workingSet + WorkingSetSlack);

    // The program is still in working order: it closes normally.
    EXPECT_EQ(session.Close(), 0);
}

}  // namespace
