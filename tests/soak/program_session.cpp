// Driving whole jobs of the real program, and reading its resource figures.
#include "program_session.h"

#include <psapi.h>

#include <cstdio>

#include "resource.h"

using namespace testing_support;

namespace soak_tests {

namespace {

BOOL CALLBACK CountChild(HWND, LPARAM param) {
    ++*reinterpret_cast<size_t*>(param);
    return TRUE;
}

struct WindowCount {
    DWORD processId;
    size_t count;
};

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param) {
    auto* tally = reinterpret_cast<WindowCount*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != tally->processId) return TRUE;
    ++tally->count;
    EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&tally->count));
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
    return TRUE;
}

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

bool IsStatic(HWND window) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpiA(name, "Static") == 0;
}

}  // namespace

ResourceFigures MeasureProcess(DWORD processId) {
    ResourceFigures figures;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) return figures;
    if (!GetProcessHandleCount(process, &figures.handles) || figures.handles == 0)
        figures.handles = CountHandlesInSystemTable(processId);
    figures.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    figures.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, &memory, sizeof memory)) {
        figures.privateBytes = memory.PagefileUsage;
        figures.workingSet = memory.WorkingSetSize;
    }
    CloseHandle(process);
    WindowCount tally{processId, 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&tally));
    figures.windows = tally.count;
    return figures;
}

std::string FiguresLine(const char* label, const ResourceFigures& figures) {
    char line[300];
    snprintf(line, sizeof line,
             "%-22s handles %4lu  GDI %4lu  USER %4lu  windows %3u  private %7lu KB  "
             "working set %7lu KB",
             label, static_cast<unsigned long>(figures.handles),
             static_cast<unsigned long>(figures.gdiObjects),
             static_cast<unsigned long>(figures.userObjects),
             static_cast<unsigned>(figures.windows),
             static_cast<unsigned long>(figures.privateBytes / 1024),
             static_cast<unsigned long>(figures.workingSet / 1024));
    return line;
}

bool PostClick(HWND dialog, int id) {
    // What the dialog hears from a click, posted to it directly: a posted
    // BM_CLICK goes through the button's capture, and a window being
    // activated at that moment takes the capture and swallows the click.
    HWND button = GetDlgItem(dialog, id);
    return button && PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                  reinterpret_cast<LPARAM>(button));
}

bool WaitGone(HWND window, DWORD timeoutMs) { return WaitWindowGone(window, timeoutMs); }

std::vector<std::string> ChildTexts(HWND dialog) {
    std::vector<HWND> children;
    EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&children));
    std::vector<std::string> texts;
    for (HWND child : children)
        if (IsStatic(child)) texts.push_back(WindowText(child));
    return texts;
}

bool MakeLargeFile(const std::string& path, uint32_t size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER end{};
    end.QuadPart = size;
    bool made = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return made;
}

uint32_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return data.nFileSizeLow;
}

std::string ShortName(const std::string& path) {
    WIN32_FIND_DATAA entry{};
    HANDLE search = FindFirstFileA(path.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return "";
    FindClose(search);
    return entry.cAlternateFileName[0] ? entry.cAlternateFileName : entry.cFileName;
}

ProgramSession::ProgramSession() : boxes(program.ProcessId()) {}

bool ProgramSession::StartSplit(HWND main, const SplitRequest& request) {
    if (!main || !TypeText(main, IDC_SOURCE, request.source) || !LeaveField(main, IDC_SOURCE))
        return false;
    if (request.span) {
        if (!Click(main, IDC_SPAN)) return false;
    } else if (!Click(main, IDC_SPECIFIED) || !TypeText(main, IDC_SIZE_TEXT, request.sizeText) ||
               !SelectListEntry(main, IDC_UNIT_LIST, request.unitIndex)) {
        return false;
    }
    if (!TypeText(main, IDC_DEST, request.dest)) return false;
    // Split may open a question or the backup dialog: nothing may wait on it.
    return PostClick(main, IDC_SPLIT);
}

HWND ProgramSession::WaitForMainBack(HWND oldMain, DWORD timeoutMs) const {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (!IsWindow(oldMain) && !FindDialog(ProcessId(), ProgressCaption, 0)) {
            HWND main = Main(0);
            if (main) return main;
        }
        Sleep(20);
    }
    return nullptr;
}

HWND ProgramSession::ProgressShowing(const std::string& statusStart, DWORD timeoutMs) const {
    DWORD start = GetTickCount();
    HWND progress = FindDialog(ProcessId(), ProgressCaption, timeoutMs);
    while (progress && GetTickCount() - start < timeoutMs) {
        if (!IsWindow(progress)) return nullptr;
        if (ControlText(progress, IDC_PROGRESS_STATUS)
                .compare(0, statusStart.size(), statusStart) == 0)
            return progress;
        Sleep(5);
    }
    return nullptr;
}

bool ProgramSession::SetOptionsThroughDialog(HWND main,
                                             const std::vector<std::pair<int, bool>>& settings,
                                             const std::string& picture) {
    if (!PostClick(main, IDC_OPTIONS)) return false;
    HWND dialog = FindDialog(ProcessId(), OptionsCaption);
    if (!dialog) return false;
    for (const auto& setting : settings) {
        if (IsButtonChecked(dialog, setting.first) != setting.second) Click(dialog, setting.first);
        if (IsButtonChecked(dialog, setting.first) != setting.second) return false;
    }
    if (!picture.empty()) SaveScreenshot(dialog, picture);
    return PostClick(dialog, IDOK) && WaitGone(dialog);
}

bool SaveScreenshot(HWND window, const std::string& name) {
    // Only the 64-bit run's pictures go into the documentation; the 32-bit
    // run writes its own beside them.
    std::string file = name;
    if (sizeof(void*) == 4) file.insert(file.find_last_of('.'), "_i686");
    return SaveWindowPicture(window, BuildRootUnix() + "/screenshots/" + file);
}

}  // namespace soak_tests
