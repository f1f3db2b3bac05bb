// Splits one large file with the real engine and progress window, several
// times per piece size, and prints the throughput next to a plain file copy
// of the same file. Usage: split_bench <work folder> [megabytes] [runs]
#include <windows.h>
// clang-format off
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/split_engine.h"
#include "model/split_job.h"
#include "resource.h"
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

void ClearFolder(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileA((folder + "\\" + data.cFileName).c_str());
    } while (FindNextFileA(search, &data));
    FindClose(search);
}

bool MakeSource(const std::string& path, uint32_t size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::vector<char> block(1 << 20);
    uint32_t state = 12345;
    for (char& c : block) c = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
    for (uint32_t done = 0; done < size; done += static_cast<uint32_t>(block.size())) {
        DWORD written = 0;
        WriteFile(file, block.data(), std::min<uint32_t>(size - done, block.size()), &written,
                  nullptr);
    }
    CloseHandle(file);
    return true;
}

// The moment the status line reads "Finished.": the pieces and the join file
// are written and closed; what follows (the sound, the questions) is not copying.
double FinishedAt = 0;
WNDPROC StatusProc = nullptr;

LRESULT CALLBACK WatchStatus(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT && lParam &&
        strcmp(reinterpret_cast<const char*>(lParam), "Finished.") == 0)
        FinishedAt = Now();
    return CallWindowProcA(StatusProc, window, message, wParam, lParam);
}

void WatchForFinished() {
    FinishedAt = 0;
    HWND status = GetDlgItem(ProgressWindow, IDC_PROGRESS_STATUS);
    StatusProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchStatus)));
}

// One job from the worker's start to "Finished.".
double TimeSplit(const std::string& source, const std::string& dest, uint32_t splitSize,
                 uint32_t sourceSize) {
    // As the Split button does: the main window that the last job's end
    // brought back goes before the next job starts.
    if (MainWindow && IsWindow(MainWindow)) DestroyWindow(MainWindow);
    Pump();
    ClearFolder(dest);
    ResetJob();
    ResetCopyState();
    SplitJob.Spanning = 0;
    SplitJob.BackupEnabled = 0;
    CopyText(SplitJob.SourcePath, source);
    CopyText(SplitJob.DestFolder, dest);
    SplitJob.SourceSize = sourceSize;
    SplitJob.SplitSize = splitSize;
    SplitJob.PieceCount = (sourceSize + splitSize - 1) / splitSize;
    CreateProgressDialog();
    WatchForFinished();
    if (!PrepareSplitJob()) return -1;
    double start = Now();
    if (!StartSplitWorker()) return -1;
    while (SplitWorkerActive()) {
        Pump();
        MsgWaitForMultipleObjects(1, &WorkerThread, FALSE, 50, QS_ALLINPUT);
    }
    Pump();
    return FinishedAt > 0 ? FinishedAt - start : -1;
}

double TimeCopy(const std::string& source, const std::string& target) {
    DeleteFileA(target.c_str());
    double start = Now();
    CopyFileA(source.c_str(), target.c_str(), FALSE);
    double seconds = Now() - start;
    DeleteFileA(target.c_str());
    return seconds;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: split_bench <work folder> [megabytes] [runs]\n");
        return 2;
    }
    std::string work = argv[1];
    uint32_t megabytes = argc > 2 ? static_cast<uint32_t>(atoi(argv[2])) : 200;
    int runs = argc > 3 ? atoi(argv[3]) : 3;
    uint32_t size = megabytes * 1048576u;
    AppInstance = GetModuleHandleA(nullptr);
    InitCommonControls();
    Options = OptionsRecord{0, 1, 0, 0, 1, 1, 0, 0};
    std::string source = work + "\\source.bin";
    std::string dest = work + "\\pieces";
    CreateDirectoryA(dest.c_str(), nullptr);
    if (!MakeSource(source, size)) {
        fprintf(stderr, "cannot write %s\n", source.c_str());
        return 1;
    }
    struct Case {
        const char* name;
        uint32_t splitSize;
        uint32_t moreMem;
    } cases[] = {{"100 MiB pieces, MoreMem", 104857600, 1},
                 {"100 MiB pieces", 104857600, 0},
                 {"10 MiB pieces, MoreMem", 10485760, 1},
                 {"1.44 MB preset", 1457664, 0},
                 {"10 MiB pieces", 10485760, 0}};
    std::vector<double> copy;
    std::vector<std::vector<double>> split(std::size(cases));
    for (int run = 0; run < runs; ++run) {
        copy.push_back(TimeCopy(source, work + "\\copy.bin"));
        for (size_t c = 0; c < std::size(cases); ++c) {
            Options.MoreMem = cases[c].moreMem;
            split[c].push_back(TimeSplit(source, dest, cases[c].splitSize, size));
        }
    }
    double copyMedian = Median(copy);
    printf("%u MB source, median of %d runs\n", megabytes, runs);
    printf("  %-26s %7.1f MB/s\n", "CopyFileA", megabytes / copyMedian);
    for (size_t c = 0; c < std::size(cases); ++c) {
        double seconds = Median(split[c]);
        printf("  %-26s %7.1f MB/s  (%.2f x copy time)\n", cases[c].name, megabytes / seconds,
               seconds / copyMedian);
    }
    ClearFolder(dest);
    RemoveDirectoryA(dest.c_str());
    DeleteFileA(source.c_str());
    return 0;
}
