// What the tests share: fresh folders, real files, message boxes answered and
// recorded by a watcher thread, the one wait for a condition, small real disks
// mounted for a test, pictures of windows, and the command interpreter that
// recombines the pieces. Only plain Win32 threads, critical sections and
// events: the toolchain's threading variant has no std::thread or std::mutex.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "window_lists.h"

// A check helper that ends its parameters with CALLER_LINE and starts with
// AT_CALLER reports its failures with the line that called it, as Wine's
// tests do with their helper_(__FILE__, __LINE__, ...) macros: the default
// arguments take the caller's file and line.
#define CALLER_LINE const char *callerFile = __builtin_FILE(), int callerLine = __builtin_LINE()
#define AT_CALLER ::testing::ScopedTrace callerTrace(callerFile, callerLine, "called from here")

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
    std::string Folder(const std::string& name) const;  // a new folder in it; its path

private:
    std::string path_;
};

void RemoveTree(const std::string& path);

// Writes size bytes of repeatable pseudo-random data; returns the bytes.
std::string WriteRandomFile(const std::string& path, uint32_t size, uint32_t seed = 1);
// A file of the given size without writing its bytes: the file system keeps
// it sparse, and it reads as zeros.
bool MakeLargeFile(const std::string& path, uint64_t size);
void WriteWholeFile(const std::string& path, const std::string& bytes);
std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
uint64_t FileSize64(const std::string& path);                       // ~0 when there is no such file
std::vector<std::string> FolderListing(const std::string& folder);  // sorted names

// Waits until the condition holds, handling this thread's messages meanwhile
// (a thread with windows keeps them working); false on timeout.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000);
bool WaitWindowGone(HWND window, DWORD timeoutMs = 20000);

// One message box seen by the watcher.
struct SeenBox {
    std::string caption;
    std::string text;
    HWND owner;
    int pressed;  // the button id the watcher pressed
    std::string Line() const { return caption + "|" + text; }
};

// How a test answers the boxes it meets: the policy's answer when there is a
// policy, else the next queued answer, else the box's default (OK, else
// Cancel, else No), which the caller puts into box.pressed.
struct BoxAnswers {
    std::function<int(const SeenBox&)> answerWith;
    std::deque<int> answers;
    int AnswerTo(const SeenBox& box);
};

// Watches the top-level message boxes of one process (this one by default),
// records each and presses the button that BoxAnswers gives.
class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(DWORD processId = GetCurrentProcessId());
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;
    void Answer(int buttonId);                                   // queue one answer
    void AnswerWith(std::function<int(const SeenBox&)> policy);  // overrides the queue
    std::vector<SeenBox> Seen() const;
    size_t Count() const;
    // Waits until at least n boxes were seen and answered, and the last of
    // them is gone; false on timeout.
    bool WaitForAnswered(size_t n, DWORD timeoutMs = 30000) const;
    // Texts of all boxes seen, in order, "caption|text" each.
    std::vector<std::string> Transcript() const;
    std::string Last() const;  // "caption|text" of the last box, empty when none
    // True when the window is a box the watcher has already answered.
    bool Handled(HWND window) const;

private:
    static DWORD WINAPI Run(LPVOID self);
    void Watch();
    DWORD processId_;
    HANDLE stop_;
    HANDLE thread_;
    mutable CRITICAL_SECTION lock_;
    BoxAnswers answers_;
    std::vector<SeenBox> seen_;
    std::vector<HWND> handled_;
    HWND current_ = nullptr;  // the box being answered
};

// The first top-level window of the process that is wanted; null when none.
HWND FindWindowOf(DWORD processId, const std::function<bool(HWND)>& wanted);
// The first visible top-level window of the process with that class (empty:
// any) and that title; null when none appears in time.
HWND FindTopWindow(DWORD processId, const std::string& windowClass, const std::string& title,
                   DWORD timeoutMs = 20000);
// The same for a dialog (class #32770).
HWND FindDialog(DWORD processId, const std::string& caption, DWORD timeoutMs = 20000);
std::string WindowText(HWND window);

// One tool of a window's tooltip: the id of the control it names (when it is
// named by its window, TTF_IDISHWND) and its text.
struct Tool {
    int controlId;
    bool byWindow;
    std::string text;
};
// The tooltip window that the window owns; null when it owns none.
HWND TooltipOf(HWND window);
// The tools of that tooltip, in order; none when there is no tooltip.
std::vector<Tool> TooltipsOf(HWND window);

// Runs a shell command on the host (Wine starts Unix programs); returns its
// exit status, or -1 when it could not be started or timed out.
int RunUnixCommand(const std::string& command, DWORD timeoutMs = 30000);
std::string BuildRootUnix();  // from PARTOLA_BUILD_ROOT
std::string UnixToWindowsPath(const std::string& unixPath);
bool CanMount();  // the test run found that it can mount small disks

#define REQUIRE_SMALL_DISKS()                                                           \
    do {                                                                                \
        if (!::testing_support::CanMount())                                             \
            GTEST_SKIP() << "skipped: this machine cannot mount a small disk (CI can)"; \
    } while (0)

// The removable drive the tests put their small disks into: A: (each
// architecture's tests have a Wine prefix, and so a drive A:, of their own).
char FloppyLetter();
std::string FloppyRoot();

// A small real disk: a size-limited tmpfs mounted for one test, optionally
// put into the floppy drive. Unmounted (and the drive emptied) afterwards.
class SmallDisk {
public:
    explicit SmallDisk(uint64_t bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool Mounted() const { return mounted_; }
    const std::string& UnixPath() const { return unixPath_; }
    std::string WindowsPath() const;  // Z:\...\disk (no trailing backslash)
    void Insert() const;              // this disk is now in the floppy drive
    void MakeReadOnly() const;
    void Fill(uint32_t leaveFreeBytes) const;  // writes a filler file
    static void EjectFloppy();                 // the floppy drive then holds no disk

private:
    std::string unixPath_;
    bool mounted_ = false;
};

// Copies every file of the disks into one new folder, as a user gathers the
// disks of a span before recombining.
void GatherFiles(const std::vector<const SmallDisk*>& disks, const std::string& into);

// Runs a batch file with the command interpreter in its folder and waits;
// with a log name, what it shows and its errors go to that file.
int RunBatchFile(const std::string& folder, const std::string& batchName,
                 const std::string& logName = "");
// Runs the join file in the folder and returns the bytes of the rebuilt file.
std::string Recombine(const std::string& folder, const std::string& joinName,
                      const std::string& rebuiltName);

// Holds a file open for writing without sharing, as another program would.
class FileHolder {
public:
    explicit FileHolder(const std::string& path);
    ~FileHolder();
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;

private:
    HANDLE handle_;
};

// Writes a picture of the window as the screen shows it into
// build/screenshots/<name>-<architecture>.png, so that the two architectures'
// runs never overwrite each other's pictures.
bool SaveScreenshot(HWND window, const std::string& name);
const char* Architecture();  // "x86_64" or "i686"

}  // namespace testing_support
