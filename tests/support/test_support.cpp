// Real folders, files, disks and message boxes for the tests.
#include "test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace testing_support {

namespace {

std::string UniqueName(const char* stem) {
    static std::atomic<unsigned> counter{0};
    char name[64];
    snprintf(name, sizeof name, "%s%lu_%u_%lu", stem, GetCurrentProcessId(), counter++,
             GetTickCount());
    return name;
}

}  // namespace

TempFolder::TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    path_ = std::string(base) + UniqueName("pt");
    CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

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

struct BoxSearch {
    DWORD processId;
    const std::vector<HWND>* handled;
    HWND found;
};

bool IsDialogClass(HWND window) {
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    return strcmp(cls, "#32770") == 0;
}

BOOL CALLBACK CountTextControl(HWND child, LPARAM param) {
    if (GetDlgCtrlID(child) == 0xFFFF) ++*reinterpret_cast<int*>(param);
    return TRUE;
}

int CountTextControls(HWND window) {
    int count = 0;
    EnumChildWindows(window, CountTextControl, reinterpret_cast<LPARAM>(&count));
    return count;
}

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->processId || !IsWindowVisible(window) || !IsDialogClass(window)) return TRUE;
    // A message box carries its text in the static control 0xFFFF, its only
    // control of that id; dialogs whose unnamed labels all carry -1 are not boxes.
    if (!GetDlgItem(window, 0xFFFF) || CountTextControls(window) != 1) return TRUE;
    if (std::find(search->handled->begin(), search->handled->end(), window) !=
        search->handled->end())
        return TRUE;
    search->found = window;
    return FALSE;
}

int DefaultButton(HWND box) {
    for (int id : {IDOK, IDCANCEL, IDNO})
        if (GetDlgItem(box, id) && IsWindowEnabled(GetDlgItem(box, id))) return id;
    return IDOK;
}

}  // namespace

MessageBoxWatcher::MessageBoxWatcher(DWORD processId) : processId_(processId) {
    InitializeCriticalSection(&lock_);
    thread_ = CreateThread(nullptr, 0, ThreadStart, this, 0, nullptr);
}

MessageBoxWatcher::~MessageBoxWatcher() {
    stop_ = true;
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    DeleteCriticalSection(&lock_);
}

DWORD WINAPI MessageBoxWatcher::ThreadStart(void* self) {
    static_cast<MessageBoxWatcher*>(self)->Run();
    return 0;
}

void MessageBoxWatcher::Answer(int buttonId) {
    Guard guard(lock_);
    answers_.push_back(buttonId);
}

void MessageBoxWatcher::AnswerWith(std::function<int(const SeenBox&)> policy) {
    Guard guard(lock_);
    policy_ = std::move(policy);
}

std::vector<SeenBox> MessageBoxWatcher::Seen() const {
    Guard guard(lock_);
    return seen_;
}

size_t MessageBoxWatcher::Count() const {
    Guard guard(lock_);
    return seen_.size();
}

bool MessageBoxWatcher::WaitForCount(size_t n, DWORD timeoutMs) const {
    DWORD start = GetTickCount();
    while (Count() < n) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
    return true;
}

std::vector<std::string> MessageBoxWatcher::Transcript() const {
    std::vector<std::string> lines;
    for (const SeenBox& box : Seen()) lines.push_back(box.caption + "|" + box.text);
    return lines;
}

void MessageBoxWatcher::Run() {
    while (!stop_) {
        BoxSearch search{processId_, &handled_, nullptr};
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (!search.found) {
            Sleep(15);
            continue;
        }
        HWND box = search.found;
        Sleep(30);  // let the box finish its creation before it is pressed
        SeenBox seen{WindowText(box), WindowText(GetDlgItem(box, 0xFFFF)), GetWindow(box, GW_OWNER),
                     0};
        int button = DefaultButton(box);
        {
            Guard guard(lock_);
            if (policy_) {
                button = policy_(seen);
            } else if (!answers_.empty()) {
                button = answers_.front();
                answers_.pop_front();
            }
            seen.pressed = button;
            seen_.push_back(seen);
            handled_.push_back(box);
        }
        PostMessageA(GetDlgItem(box, button), BM_CLICK, 0, 0);
        // Wait until the box is gone so that it is never answered twice.
        if (!WaitWindowGone(box, 5000)) PostMessageA(box, WM_COMMAND, button, 0);
    }
}

namespace {

struct DialogSearch {
    DWORD processId;
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK FindNamedDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->processId || !IsWindowVisible(window) || !IsDialogClass(window)) return TRUE;
    if (WindowText(window) != *search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND FindDialog(DWORD processId, const std::string& caption, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        DialogSearch search{processId, &caption, nullptr};
        EnumWindows(FindNamedDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        if (GetTickCount() - start > timeoutMs) return nullptr;
        Sleep(20);
    }
}

bool WaitWindowGone(HWND window, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
    return true;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
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
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    std::string markerWindows = UnixToWindowsPath(marker);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        std::string status = ReadWholeFile(markerWindows);
        if (!status.empty() && status.back() == '\n') {
            DeleteFileA(markerWindows.c_str());
            return atoi(status.c_str());
        }
        Sleep(10);
    }
    return -1;
}

namespace {

std::string DosDevice(char driveLetter) {
    const char* prefix = getenv("WINEPREFIX");
    std::string link = std::string(prefix ? prefix : "") + "/dosdevices/";
    link += static_cast<char>(tolower(driveLetter));
    return link + ":";
}

}  // namespace

SmallDisk::SmallDisk(uint32_t bytes) {
    unixPath_ = BuildRootUnix() + "/disks/" + UniqueName("d");
    char command[1024];
    snprintf(command, sizeof command, "mkdir -p '%s' && mount -t tmpfs -o size=%lu tmpfs '%s'",
             unixPath_.c_str(), static_cast<unsigned long>(bytes), unixPath_.c_str());
    mounted_ = RunUnixCommand(command) == 0;
}

SmallDisk::~SmallDisk() {
    if (mounted_) RunUnixCommand("umount -l '" + unixPath_ + "'; rmdir '" + unixPath_ + "'");
}

std::string SmallDisk::WindowsPath() const { return UnixToWindowsPath(unixPath_); }

void SmallDisk::MapTo(char driveLetter) const {
    RunUnixCommand("ln -sfn '" + unixPath_ + "' '" + DosDevice(driveLetter) + "'");
}

void SmallDisk::Unmap(char driveLetter) {
    // A dangling link is "no disk in the drive".
    RunUnixCommand("ln -sfn /nonexistent-partola-disk '" + DosDevice(driveLetter) + "'");
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

int RunBatchFile(const std::string& folder, const std::string& batchName) {
    // The doubled quotes keep names with & intact for the interpreter.
    std::string line = "cmd.exe /c \"\"" + batchName + "\"\"";
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

FileHolder::FileHolder(const std::string& path)
    : handle_(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}

FileHolder::~FileHolder() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

}  // namespace testing_support
