// The real program driven through its window, as a user splits: starts
// Partola95.exe with the source on its command line, fills the destination
// and the size, presses Split (and Yes to the many-pieces warning) and times
// until the main window is back. Prints, on one line: the seconds, the peak
// working set of the program and its working set while idle before the click. The options are set
// in the registry first: close when done, no reminders, no questions. Usage: window_bench
// <Partola95.exe> <source> <destination folder> <size KB, or 0 for the
//        "1.44 MB" preset> <MoreMem 0|1>
#include <windows.h>
// clang-format off
#include <psapi.h>
// clang-format on

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "resource.h"
#include "window_lists.h"

namespace {

constexpr char MainCaption[] = "Veltra Partola 95";

double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void SetOption(HKEY key, const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

bool SetOptions(DWORD moreMem) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Veltra Partola 95", 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    SetOption(key, "BackupPrompt", 0);
    SetOption(key, "DeletePrompt", 0);
    SetOption(key, "CloseWhenDone", 1);
    SetOption(key, "NoReminders", 1);
    SetOption(key, "MoreMem", moreMem);
    SetOption(key, "AlwaysOnTop", 0);
    RegCloseKey(key);
    return true;
}

// A visible dialog window of the process other than the two excepted; with a
// caption, only one with that caption. Reading a caption sends the program a
// message, so while a job runs the search goes by handle and class alone.
HWND FindWindowOf(DWORD processId, const char* caption, HWND except = nullptr,
                  HWND alsoExcept = nullptr) {
    for (HWND window : testing_support::TopWindowsOf(processId)) {
        char text[64] = {};
        GetClassNameA(window, text, sizeof text);
        if (window == except || window == alsoExcept || !IsWindowVisible(window) ||
            strcmp(text, "#32770") != 0)
            continue;
        if (caption) {
            GetWindowTextA(window, text, sizeof text);
            if (strcmp(text, caption) != 0) continue;
        }
        return window;
    }
    return nullptr;
}

HWND WaitForWindow(DWORD processId, const char* caption, HWND except, HWND alsoExcept,
                   DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowOf(processId, caption, except, alsoExcept);
        if (window || GetTickCount() - start > timeoutMs) return window;
        // Every look is a round trip to the Wine server that the program's
        // own file calls go through, so it looks only every 20 ms.
        Sleep(20);
    }
}

SIZE_T Memory(HANDLE process, bool peak) {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(process, &counters, sizeof counters);
    return peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        fprintf(stderr, "usage: window_bench <exe> <source> <folder> <size KB|0> <MoreMem>\n");
        return 2;
    }
    DWORD sizeKb = strtoul(argv[4], nullptr, 10);
    if (!SetOptions(strtoul(argv[5], nullptr, 10))) return 1;
    std::string line = std::string("\"") + argv[1] + "\" " + argv[2];
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 1;
    DWORD pid = process.dwProcessId;
    HWND main = WaitForWindow(pid, MainCaption, nullptr, nullptr, 60000);
    if (!main) return 1;
    SetDlgItemTextA(main, IDC_DEST, argv[3]);
    if (sizeKb) {
        SendDlgItemMessageA(main, IDC_SPECIFIED, BM_CLICK, 0, 0);
        SetDlgItemTextA(main, IDC_SIZE_TEXT, std::to_string(sizeKb).c_str());
        SendDlgItemMessageA(main, IDC_UNIT_LIST, CB_SETCURSEL, 1, 0);
    } else {
        SendDlgItemMessageA(main, IDC_PRESET, BM_CLICK, 0, 0);
        SendDlgItemMessageA(main, IDC_PRESET_LIST, CB_SETCURSEL, 2, 0);
    }
    Sleep(500);
    SIZE_T idle = Memory(process.hProcess, false);
    double start = Now();
    PostMessageA(GetDlgItem(main, IDC_SPLIT), BM_CLICK, 0, 0);
    // Many pieces: the program asks first; the clock starts at the answer.
    while (IsWindow(main)) {
        if (FindWindowOf(pid, "Error")) {
            fprintf(stderr, "the program refused the split\n");
            TerminateProcess(process.hProcess, 1);
            return 1;
        }
        HWND warning = FindWindowOf(pid, "Warning");
        if (warning) {
            PostMessageA(GetDlgItem(warning, IDYES), BM_CLICK, 0, 0);
            start = Now();
            while (IsWindow(warning)) Sleep(5);
        }
        Sleep(5);
    }
    // The progress window stands in for the main window; the job is over when
    // another dialog (the new main window) appears.
    HWND progress = FindWindowOf(pid, "Partola 95 Progress");
    HWND back = WaitForWindow(pid, nullptr, main, progress, 600000);
    double seconds = Now() - start;
    SIZE_T peak = Memory(process.hProcess, true);
    if (back) PostMessageA(back, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!back) return 1;
    printf("%.4f %lu %lu\n", seconds, static_cast<unsigned long>(peak),
           static_cast<unsigned long>(idle));
    return 0;
}
