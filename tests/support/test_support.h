// What the tests share: fresh folders, real files, message boxes answered and
// recorded by a watcher thread, small real disks mounted for a test, and the
// command interpreter that recombines the pieces.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// A fresh, empty folder for one test; removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }  // without a trailing backslash
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void RemoveTree(const std::string& path);

// Writes size bytes of repeatable pseudo-random data; returns the bytes.
std::string WriteRandomFile(const std::string& path, uint32_t size, uint32_t seed = 1);
void WriteWholeFile(const std::string& path, const std::string& bytes);
std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
std::vector<std::string> FolderListing(const std::string& folder);  // sorted names

// One message box seen by the watcher.
struct SeenBox {
    std::string caption;
    std::string text;
    HWND owner;
    int pressed;  // the button id the watcher pressed
};

// Watches the top-level message boxes of one process (this one by default),
// records each and presses a button: the next scripted answer, or when none is
// scripted the default answer (OK, else Cancel, else No).
class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(DWORD processId = GetCurrentProcessId());
    ~MessageBoxWatcher();
    void Answer(int buttonId);                                   // queue one answer
    void AnswerWith(std::function<int(const SeenBox&)> policy);  // overrides the queue
    std::vector<SeenBox> Seen() const;
    size_t Count() const;
    // Waits until at least n boxes were seen; false on timeout.
    bool WaitForCount(size_t n, DWORD timeoutMs = 20000) const;
    // Texts of all boxes seen, in order, "caption|text" each.
    std::vector<std::string> Transcript() const;

private:
    void Run();
    static DWORD WINAPI ThreadStart(void* self);
    // Holds lock_ for the lifetime of one guard object.
    struct Guard {
        explicit Guard(CRITICAL_SECTION& section) : section_(section) {
            EnterCriticalSection(&section_);
        }
        ~Guard() { LeaveCriticalSection(&section_); }
        CRITICAL_SECTION& section_;
    };
    DWORD processId_;
    std::atomic<bool> stop_{false};
    mutable CRITICAL_SECTION lock_;
    std::deque<int> answers_;
    std::function<int(const SeenBox&)> policy_;
    std::vector<SeenBox> seen_;
    std::vector<HWND> handled_;
    HANDLE thread_ = nullptr;
};

// Finds a visible top-level dialog of the process with the given caption.
HWND FindDialog(DWORD processId, const std::string& caption, DWORD timeoutMs = 10000);
std::string WindowText(HWND window);

// Waits until the window no longer exists; false when it is still there.
bool WaitWindowGone(HWND window, DWORD timeoutMs = 10000);

// Pumps this thread's messages until the predicate holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000);

// Runs a shell command on the host (Wine starts Unix programs); returns its
// exit status, or -1 when it could not be started or timed out.
int RunUnixCommand(const std::string& command, DWORD timeoutMs = 30000);
std::string BuildRootUnix();  // from PARTOLA_BUILD_ROOT
std::string UnixToWindowsPath(const std::string& unixPath);
bool CanMount();  // root, so small disks can be mounted

#define REQUIRE_SMALL_DISKS()                                                         \
    do {                                                                              \
        if (!::testing_support::CanMount())                                           \
            GTEST_SKIP() << "skipped: mounting a small disk needs root (CI is root)"; \
    } while (0)

// A small real disk: a size-limited tmpfs mounted for one test, optionally
// mapped to a drive letter (A: and B: are removable). Unmounted afterwards.
class SmallDisk {
public:
    explicit SmallDisk(uint32_t bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool Mounted() const { return mounted_; }
    const std::string& UnixPath() const { return unixPath_; }
    std::string WindowsPath() const;     // Z:\...\disk (no trailing backslash)
    void MapTo(char driveLetter) const;  // points X: at this disk
    void MakeReadOnly() const;
    void Fill(uint32_t leaveFreeBytes) const;  // writes a filler file
    static void Unmap(char driveLetter);       // X: then names no disk

private:
    std::string unixPath_;
    bool mounted_ = false;
};

// Runs a batch file with the command interpreter in its folder and waits.
int RunBatchFile(const std::string& folder, const std::string& batchName);

// Holds a file open for writing without sharing, as another program would.
class FileHolder {
public:
    explicit FileHolder(const std::string& path);
    ~FileHolder();

private:
    HANDLE handle_;
};

}  // namespace testing_support
