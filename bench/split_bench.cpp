// One split job with the real engine and progress window, timed from the
// worker's start to the end of its completion steps. Prints, on one line:
// the job's seconds, the peak working set, the working set of the idle
// program before the job, and the copy buffer's size.
// Usage: split_bench <source> <destination folder> <split size> <MoreMem 0|1> [slice size]
#include <windows.h>
// clang-format off
#include <commctrl.h>
#include <psapi.h>
// clang-format on

#include <cstdio>
#include <cstdlib>

#include "engine/split_engine.h"
#include "model/size_arithmetic.h"
#include "model/split_job.h"
#include "platform/file_services.h"
#include "ui/main_dialog.h"
#include "ui/progress_dialog.h"

namespace {

double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        fprintf(stderr, "usage: split_bench <source> <folder> <split size> <MoreMem 0|1>\n");
        return 2;
    }
    if (argc > 5) CopySliceBytes = static_cast<uint32_t>(strtoul(argv[5], nullptr, 10));
    AppInstance = GetModuleHandleA(nullptr);
    InitCommonControls();
    ResetJob();
    ResetCopyState();
    // No questions and no reminder: the job runs through on its own.
    Options = OptionsRecord{0, 1, 0, 0, 1, 1, static_cast<uint32_t>(atoi(argv[4]) != 0), 0};
    DirectoryEntry source{};
    if (!FindDirectoryEntry(argv[1], source)) {
        fprintf(stderr, "no source %s\n", argv[1]);
        return 1;
    }
    CopyText(SplitJob.SourcePath, argv[1]);
    CopyText(SplitJob.DestFolder, argv[2]);
    SplitJob.SourceSize = source.Size();
    SplitJob.SplitSize = static_cast<uint32_t>(strtoul(argv[3], nullptr, 10));
    SplitJob.PieceCount =
        static_cast<uint32_t>(PieceCountOf(SplitJob.SourceSize, SplitJob.SplitSize));
    CreateProgressDialog();
    Pump();
    SIZE_T idle = Memory().WorkingSetSize;
    if (!PrepareSplitJob()) return 1;
    double start = Now();
    if (!StartSplitWorker()) return 1;
    // The program's own loop: the worker's end arrives as a message.
    MSG msg;
    while (SplitWorkerActive() && GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    double seconds = Now() - start;
    Pump();
    printf("%.4f %lu %lu %lu\n", seconds, static_cast<unsigned long>(Memory().PeakWorkingSetSize),
           static_cast<unsigned long>(idle), static_cast<unsigned long>(SplitJob.ChunkSize));
    return 0;
}
