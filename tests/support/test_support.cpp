// Real folders, files, disks, pictures and message boxes for the tests.
#include "test_support.h"

#include <algorithm>
#include <atomic>
// after windows.h, which test_support.h includes
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace testing_support {

namespace {

// Unique on this machine: the disks and status files of both architectures'
// runs share the build root, and their two Wine prefixes hand out the same
// process ids, so the architecture is part of the name.
std::string UniqueName(const char* stem) {
    static std::atomic<unsigned> counter{0};
    char name[64];
    snprintf(name, sizeof name, "%s%u_%lu_%u_%lu", stem, static_cast<unsigned>(sizeof(void*) * 8),
             GetCurrentProcessId(), counter++, GetTickCount());
    return name;
}

class Guard {
public:
    explicit Guard(CRITICAL_SECTION& section) : section_(section) {
        EnterCriticalSection(&section_);
    }
    ~Guard() { LeaveCriticalSection(&section_); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

private:
    CRITICAL_SECTION& section_;
};

}  // namespace

TempFolder::TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    path_ = std::string(base) + UniqueName("pt");
    CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::string TempFolder::Folder(const std::string& name) const {
    std::string folder = File(name);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &data));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

std::string WriteRandomFile(const std::string& path, uint32_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    uint32_t state = seed * 2654435761u + 1;
    for (uint32_t i = 0; i < size; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        bytes[i] = static_cast<char>(state >> 24);
    }
    WriteWholeFile(path, bytes);
    return bytes;
}

bool MakeLargeFile(const std::string& path, uint64_t size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    bool made = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return made;
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

uint64_t FileSize64(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return ~0ull;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::vector<std::string> FolderListing(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

bool WaitWindowGone(HWND window, DWORD timeoutMs) {
    return WaitUntil([window] { return !IsWindow(window); }, timeoutMs);
}

std::string WindowText(HWND window) {
    // The wide call: reading another process's texts with the A call returned
    // UTF-16 bytes under Wine.
    wchar_t wide[2048] = {};
    GetWindowTextW(window, wide, 2048);
    char text[4096] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

namespace {

bool HasClass(HWND window, const std::string& windowClass) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return windowClass.empty() || lstrcmpiA(name, windowClass.c_str()) == 0;
}

BOOL CALLBACK CountTextControl(HWND child, LPARAM param) {
    if (GetDlgCtrlID(child) == 0xFFFF) ++*reinterpret_cast<int*>(param);
    return TRUE;
}

// A message box carries its text in the static control 0xFFFF, its only
// control of that id; dialogs whose unnamed labels all carry -1 are not boxes.
bool IsMessageBox(HWND window) {
    if (!IsWindowVisible(window) || !HasClass(window, "#32770") || !GetDlgItem(window, 0xFFFF))
        return false;
    int count = 0;
    EnumChildWindows(window, CountTextControl, reinterpret_cast<LPARAM>(&count));
    return count == 1;
}

int DefaultButton(HWND box) {
    for (int id : {IDOK, IDCANCEL, IDNO})
        if (GetDlgItem(box, id) && IsWindowEnabled(GetDlgItem(box, id))) return id;
    return IDOK;
}

}  // namespace

HWND FindWindowOf(DWORD processId, const std::function<bool(HWND)>& wanted) {
    for (HWND window : TopWindowsOf(processId))
        if (wanted(window)) return window;
    return nullptr;
}

HWND FindTopWindow(DWORD processId, const std::string& windowClass, const std::string& title,
                   DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FindWindowOf(processId, [&](HWND window) {
                return IsWindowVisible(window) && HasClass(window, windowClass) &&
                       WindowText(window) == title;
            });
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

HWND FindDialog(DWORD processId, const std::string& caption, DWORD timeoutMs) {
    return FindTopWindow(processId, "#32770", caption, timeoutMs);
}

MessageBoxWatcher::MessageBoxWatcher(DWORD processId)
    : processId_(processId), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    InitializeCriticalSection(&lock_);
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

MessageBoxWatcher::~MessageBoxWatcher() {
    SetEvent(stop_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(stop_);
    DeleteCriticalSection(&lock_);
}

int BoxAnswers::AnswerTo(const SeenBox& box) {
    if (answerWith) return answerWith(box);
    if (answers.empty()) return box.pressed;
    int answer = answers.front();
    answers.pop_front();
    return answer;
}

void MessageBoxWatcher::Answer(int buttonId) {
    Guard guard(lock_);
    answers_.answers.push_back(buttonId);
}

void MessageBoxWatcher::AnswerWith(std::function<int(const SeenBox&)> policy) {
    Guard guard(lock_);
    answers_.answerWith = std::move(policy);
}

std::vector<SeenBox> MessageBoxWatcher::Seen() const {
    Guard guard(lock_);
    return seen_;
}

size_t MessageBoxWatcher::Count() const {
    Guard guard(lock_);
    return seen_.size();
}

bool MessageBoxWatcher::WaitForAnswered(size_t n, DWORD timeoutMs) const {
    return WaitUntil(
        [&] {
            Guard guard(lock_);
            return seen_.size() >= n && !current_;
        },
        timeoutMs);
}

std::vector<std::string> MessageBoxWatcher::Transcript() const {
    std::vector<std::string> lines;
    for (const SeenBox& box : Seen()) lines.push_back(box.Line());
    return lines;
}

std::string MessageBoxWatcher::Last() const {
    Guard guard(lock_);
    return seen_.empty() ? std::string() : seen_.back().Line();
}

bool MessageBoxWatcher::Handled(HWND window) const {
    Guard guard(lock_);
    return std::find(handled_.begin(), handled_.end(), window) != handled_.end();
}

DWORD WINAPI MessageBoxWatcher::Run(LPVOID self) {
    static_cast<MessageBoxWatcher*>(self)->Watch();
    return 0;
}

void MessageBoxWatcher::Watch() {
    while (WaitForSingleObject(stop_, 10) == WAIT_TIMEOUT) {
        HWND box = FindWindowOf(
            processId_, [this](HWND window) { return IsMessageBox(window) && !Handled(window); });
        if (!box) continue;
        {
            Guard guard(lock_);
            current_ = box;
        }
        // Let the box finish its creation before it is answered.
        if (WaitForSingleObject(stop_, 30) != WAIT_TIMEOUT) break;
        SeenBox seen{WindowText(box), WindowText(GetDlgItem(box, 0xFFFF)), GetWindow(box, GW_OWNER),
                     DefaultButton(box)};
        {
            Guard guard(lock_);
            seen.pressed = answers_.AnswerTo(seen);
            seen_.push_back(seen);
            handled_.push_back(box);
        }
        // What the box hears from a click, posted to it directly: a posted
        // BM_CLICK goes through the button's capture, which a window being
        // activated at that moment takes, swallowing the click.
        HWND button = GetDlgItem(box, seen.pressed);
        for (int attempt = 0; attempt < 10 && IsWindow(box); ++attempt) {
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(seen.pressed, BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
            // Wait until the box is gone so that it is never answered twice.
            WaitUntil([box] { return !IsWindow(box); }, 2000);
        }
        Guard guard(lock_);
        current_ = nullptr;
    }
}

std::string BuildRootUnix() {
    const char* root = getenv("PARTOLA_BUILD_ROOT");
    return root ? root : "";
}

std::string UnixToWindowsPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool CanMount() {
    const char* can = getenv("PARTOLA_CAN_MOUNT");
    return can && strcmp(can, "1") == 0 && !BuildRootUnix().empty();
}

int RunUnixCommand(const std::string& command, DWORD timeoutMs) {
    // Wine starts a Unix program but gives no process to wait on: the command
    // leaves its status in a marker file, which is polled.
    std::string marker = BuildRootUnix() + "/" + UniqueName("unixcmd") + ".status";
    std::string script = "{ " + command + " ; } >/dev/null 2>&1; echo $? > '" + marker + "'";
    std::string line = "Z:\\bin\\sh -c \"";
    for (char c : script) {
        if (c == '"' || c == '\\') line += '\\';
        line += c;
    }
    line += "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    // Wine returns no process handle for a Unix program, and its thread handle
    // is a left-over value that may name another handle of this process
    // (closing it closed the desktop of the 32-bit tests' main thread, and no
    // thread started later reached a window): neither is closed.
    std::string markerWindows = UnixToWindowsPath(marker);
    std::string status;
    if (!WaitUntil(
            [&] {
                status = ReadWholeFile(markerWindows);
                return !status.empty() && status.back() == '\n';
            },
            timeoutMs))
        return -1;
    DeleteFileA(markerWindows.c_str());
    return atoi(status.c_str());
}

const char* Architecture() { return sizeof(void*) == 8 ? "x86_64" : "i686"; }

char FloppyLetter() { return 'A'; }

std::string FloppyRoot() { return std::string(1, FloppyLetter()) + ":\\"; }

namespace {

// Where the drive's link points while no disk is in it (a dangling link).
constexpr char NoDisk[] = "/nonexistent-partola-disk";

std::string FloppyLink() {
    const char* prefix = getenv("WINEPREFIX");
    return std::string(prefix ? prefix : "") + "/dosdevices/" +
           static_cast<char>(tolower(FloppyLetter())) + ":";
}

}  // namespace

SmallDisk::SmallDisk(uint64_t bytes) {
    unixPath_ = BuildRootUnix() + "/disks/" + UniqueName("d");
    char command[1024];
    snprintf(command, sizeof command, "mkdir -p '%s' && mount -t tmpfs -o size=%llu tmpfs '%s'",
             unixPath_.c_str(), static_cast<unsigned long long>(bytes), unixPath_.c_str());
    mounted_ = RunUnixCommand(command) == 0;
}

SmallDisk::~SmallDisk() {
    // Taken out of the drive only when it is the disk in it: suites that never
    // insert their disk run beside those that do.
    RunUnixCommand("[ \"$(readlink '" + FloppyLink() + "')\" = '" + unixPath_ + "' ] && ln -sfn " +
                   NoDisk + " '" + FloppyLink() + "'");
    if (mounted_) RunUnixCommand("umount -l '" + unixPath_ + "'; rmdir '" + unixPath_ + "'");
}

std::string SmallDisk::WindowsPath() const { return UnixToWindowsPath(unixPath_); }

void SmallDisk::Insert() const {
    RunUnixCommand("ln -sfn '" + unixPath_ + "' '" + FloppyLink() + "'");
}

void SmallDisk::EjectFloppy() {
    // A dangling link is "no disk in the drive".
    RunUnixCommand(std::string("ln -sfn ") + NoDisk + " '" + FloppyLink() + "'");
}

void SmallDisk::MakeReadOnly() const { RunUnixCommand("mount -o remount,ro '" + unixPath_ + "'"); }

void SmallDisk::Fill(uint32_t leaveFreeBytes) const {
    // Fill with a file, then give back what is to stay free.
    char command[1024];
    snprintf(command, sizeof command,
             "dd if=/dev/zero of='%s/filler' bs=4096 2>/dev/null; "
             "avail=$(df -B1 --output=avail '%s' | tail -1); "
             "size=$(stat -c %%s '%s/filler'); "
             "truncate -s $((size + avail - %lu)) '%s/filler'",
             unixPath_.c_str(), unixPath_.c_str(), unixPath_.c_str(),
             static_cast<unsigned long>(leaveFreeBytes), unixPath_.c_str());
    RunUnixCommand(command);
}

void GatherFiles(const std::vector<const SmallDisk*>& disks, const std::string& into) {
    CreateDirectoryA(into.c_str(), nullptr);
    for (const SmallDisk* disk : disks)
        for (const std::string& name : FolderListing(disk->WindowsPath()))
            CopyFileA((disk->WindowsPath() + "\\" + name).c_str(), (into + "\\" + name).c_str(),
                      FALSE);
}

int RunBatchFile(const std::string& folder, const std::string& batchName,
                 const std::string& logName) {
    // The outer quotes keep names with & intact for the interpreter.
    std::string line = "cmd.exe /c \"\"" + batchName + "\"" +
                       (logName.empty() ? "" : " > \"" + logName + "\" 2>&1") + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        folder.c_str(), &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<int>(code);
}

std::string Recombine(const std::string& folder, const std::string& joinName,
                      const std::string& rebuiltName) {
    RunBatchFile(folder, joinName);
    return ReadWholeFile(folder + "\\" + rebuiltName);
}

FileHolder::FileHolder(const std::string& path)
    : handle_(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}

FileHolder::~FileHolder() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

bool SaveScreenshot(HWND window, const std::string& name) {
    RECT frame{};
    if (!GetWindowRect(window, &frame)) return false;
    // The window finishes painting before the screen is read: the repaint is
    // sent, so it is done when the call returns.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    Sleep(50);  // the display server shows what was drawn
    std::string folder = BuildRootUnix() + "/screenshots";
    char command[2048];
    snprintf(command, sizeof command,
             "mkdir -p '%s' && import -window root -crop %ldx%ld+%ld+%ld +repage '%s/%s-%s.png'",
             folder.c_str(), frame.right - frame.left, frame.bottom - frame.top, frame.left,
             frame.top, folder.c_str(), name.c_str(), Architecture());
    return RunUnixCommand(command) == 0;
}

HWND TooltipOf(HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return FindWindowOf(owner, [window](HWND candidate) {
        char windowClass[64] = {};
        GetClassNameA(candidate, windowClass, sizeof windowClass);
        return GetWindow(candidate, GW_OWNER) == window &&
               strcmp(windowClass, TOOLTIPS_CLASSA) == 0;
    });
}

std::vector<Tool> TooltipsOf(HWND window) {
    std::vector<Tool> tools;
    HWND tooltip = TooltipOf(window);
    if (!tooltip) return tools;
    auto count = SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        TTTOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.lpszText = text;
        if (!SendMessageA(tooltip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&tool))) break;
        bool byWindow = (tool.uFlags & TTF_IDISHWND) != 0;
        int id = byWindow ? GetDlgCtrlID(reinterpret_cast<HWND>(tool.uId)) : 0;
        tools.push_back({id, byWindow, text});
    }
    return tools;
}

}  // namespace testing_support
