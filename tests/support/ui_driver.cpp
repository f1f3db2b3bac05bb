// Starting the real program and working its windows from another process.
#include "ui_driver.h"

#include <commctrl.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "model/split_job.h"
#include "test_support.h"
#include "ui/main_dialog.h"

namespace testing_support {

namespace {

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::wstring Wide(const std::string& text) {
    int count = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], count);
    wide.resize(static_cast<size_t>(count > 0 ? count - 1 : 0));
    return wide;
}

std::string Narrow(const wchar_t* wide) {
    char text[4096] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

HANDLE OpenNul(DWORD access) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileA("NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                       0, nullptr);
}

// The test runner reads this process's output through a pipe; a child that
// inherited it would keep the runner waiting after the test ends.
void KeepOwnStandardHandles() {
    for (DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        HANDLE handle = GetStdHandle(which);
        if (handle && handle != INVALID_HANDLE_VALUE)
            SetHandleInformation(handle, HANDLE_FLAG_INHERIT, 0);
    }
}

// The main window is the one that holds the source field.
bool IsMainWindow(HWND window) {
    return IsWindowVisible(window) && WindowText(window) == "Veltra Partola 95" &&
           GetDlgItem(window, 103);
}

// What a helper thread and the waiting test share; whoever leaves last frees it.
struct PendingSend {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::shared_ptr<void> payload;  // what lParam points to
    LRESULT result = 0;
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ~PendingSend() { CloseHandle(done); }
};

DWORD WINAPI SendPending(LPVOID param) {
    std::unique_ptr<std::shared_ptr<PendingSend>> owned(
        static_cast<std::shared_ptr<PendingSend>*>(param));
    PendingSend& pending = **owned;
    pending.result = SendMessageW(pending.window, pending.message, pending.wParam, pending.lParam);
    SetEvent(pending.done);
    return 0;
}

// The helper keeps the payload alive until the window has answered, even when
// the test stopped waiting for it.
bool SendWithPayload(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                     std::shared_ptr<void> payload, LRESULT* result, DWORD timeoutMs) {
    auto pending = std::make_shared<PendingSend>();
    pending->window = window;
    pending->message = message;
    pending->wParam = wParam;
    pending->lParam = lParam;
    pending->payload = std::move(payload);
    // A plain Win32 thread whose handle is closed here, once. With detached
    // std::threads a send now and then never came back: the test waited on
    // the event while no helper thread was left in the process.
    auto* owned = new std::shared_ptr<PendingSend>(pending);
    HANDLE helper = CreateThread(nullptr, 0, SendPending, owned, 0, nullptr);
    if (!helper) {
        delete owned;
        return false;
    }
    CloseHandle(helper);
    if (WaitForSingleObject(pending->done, timeoutMs) != WAIT_OBJECT_0) return false;
    if (result) *result = pending->result;
    return true;
}

}  // namespace

std::string ProgramPath() {
    const char* other = getenv("PARTOLA_PROGRAM");
    if (other && *other) return other;
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return FolderOf(FolderOf(self)) + "\\Partola95.exe";
}

ProgramUnderTest::ProgramUnderTest(const std::string& tail) {
    std::string line = "\"" + ProgramPath() + "\"";
    if (!tail.empty()) line += " " + tail;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    KeepOwnStandardHandles();
    HANDLE input = OpenNul(GENERIC_READ);
    HANDLE output = OpenNul(GENERIC_WRITE);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process{};
    job_ = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job_)
        SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    if (CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                       nullptr, &startup, &process)) {
        process_ = process.hProcess;
        processId_ = process.dwProcessId;
        if (job_) AssignProcessToJobObject(job_, process_);
        ResumeThread(process.hThread);
        CloseHandle(process.hThread);
    }
    CloseHandle(input);
    CloseHandle(output);
}

ProgramUnderTest::~ProgramUnderTest() {
    if (process_) {
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(process_);
    }
    if (job_) CloseHandle(job_);
}

HWND ProgramUnderTest::MainWindow(DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FindWindowOf(processId_, IsMainWindow);
            return found || !process_ || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
        },
        timeoutMs);
    return found;
}

bool ProgramUnderTest::WaitForExit(DWORD& exitCode, DWORD timeoutMs) const {
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(process_, &exitCode) != 0;
}

bool SendFromHelper(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result,
                    DWORD timeoutMs) {
    return SendWithPayload(window, message, wParam, lParam, nullptr, result, timeoutMs);
}

bool TypeText(HWND dialog, int id, const std::string& text) {
    // A user clicks into a field before typing: the focus moves there first.
    HWND field = GetDlgItem(dialog, id);
    if (!SendFromHelper(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE)) return false;
    auto wide = std::make_shared<std::wstring>(Wide(text));
    return SendWithPayload(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide->c_str()), wide,
                           nullptr, 20000);
}

bool LeaveField(HWND dialog, int id) {
    return SendFromHelper(dialog, WM_COMMAND, MAKEWPARAM(id, EN_KILLFOCUS),
                          reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool Click(HWND dialog, int id) { return SendFromHelper(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool PressButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    return button && PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                  reinterpret_cast<LPARAM>(button));
}

bool PressHelpKey(HWND control) {
    constexpr UINT KeyF1 = 0x004D;  // WM_KEYF1
    return control && PostMessageW(control, KeyF1, 0, 0);
}

bool RoundTrip(HWND window) { return SendFromHelper(window, WM_NULL, 0, 0); }

bool SelectListEntry(HWND dialog, int id, int index) {
    HWND list = GetDlgItem(dialog, id);
    return SendFromHelper(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0) &&
           SendFromHelper(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(list));
}

bool PressKey(HWND dialog, UINT virtualKey) {
    // Posted, so that it passes through the program's own message loop.
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND target = dialog;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) && info.hwndFocus)
        target = info.hwndFocus;
    return PostMessageW(target, WM_KEYDOWN, virtualKey, 1) &&
           PostMessageW(target, WM_KEYUP, virtualKey, 0xC0000001);
}

std::string ControlText(HWND dialog, int id) {
    // GetWindowText does not ask a control of another process for its text:
    // an edit field would read as empty. WM_GETTEXT does.
    auto text = std::make_shared<std::array<wchar_t, 1024>>();
    text->fill(L'\0');
    if (!SendWithPayload(GetDlgItem(dialog, id), WM_GETTEXT, text->size(),
                         reinterpret_cast<LPARAM>(text->data()), text, nullptr, 20000))
        return "";
    return Narrow(text->data());
}

bool IsControlEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)); }

bool IsButtonChecked(HWND dialog, int id) {
    LRESULT state = 0;
    SendFromHelper(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, &state);
    return state == BST_CHECKED;
}

int ListSelection(HWND dialog, int id) {
    LRESULT selection = CB_ERR;
    SendFromHelper(GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0, &selection);
    return static_cast<int>(selection);
}

int ListCount(HWND dialog, int id) {
    LRESULT count = 0;
    SendFromHelper(GetDlgItem(dialog, id), CB_GETCOUNT, 0, 0, &count);
    return static_cast<int>(count);
}

std::string ListEntryText(HWND dialog, int id, int index) {
    // The wide message: the narrow one returned UTF-16 bytes across processes.
    auto entry = std::make_shared<std::array<wchar_t, 512>>();
    entry->fill(L'\0');
    if (!SendWithPayload(GetDlgItem(dialog, id), CB_GETLBTEXT, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(entry->data()), entry, nullptr, 20000))
        return "";
    return Narrow(entry->data());
}

bool IsTopmost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

namespace {

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

HWND CreateHiddenDialog(int templateId) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(templateId), RT_DIALOG);
    const auto* stored = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    if (!stored) return nullptr;
    std::vector<BYTE> copy(stored, stored + SizeofResource(module, found));
    // The style follows the version, signature, help id and extended style of
    // an extended template; it opens a plain one.
    bool extended = copy.size() > 16 && copy[2] == 0xFF && copy[3] == 0xFF;
    DWORD style = 0;
    memcpy(&style, &copy[extended ? 12 : 0], sizeof style);
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    memcpy(&copy[extended ? 12 : 0], &style, sizeof style);
    return CreateDialogIndirectParamA(module, reinterpret_cast<LPCDLGTEMPLATEA>(copy.data()),
                                      nullptr, PlainDialog, 0);
}

namespace {

struct Drive {
    const std::string* caption;
    const std::function<void(HWND)>* drive;
    HANDLE opened;  // set once open() has returned
    DriveResult result;
};

DWORD WINAPI DriveDialog(LPVOID param) {
    auto* run = static_cast<Drive*>(param);
    HWND dialog = FindDialog(GetCurrentProcessId(), *run->caption);
    run->result.shown = dialog != nullptr;
    if (!dialog) return 0;
    (*run->drive)(dialog);
    run->result.closed = WaitWindowGone(dialog, 10000);
    // Never leave the test thread stuck in a dialog that would not close.
    while (IsWindow(dialog) && WaitForSingleObject(run->opened, 50) == WAIT_TIMEOUT)
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

DriveResult RunDriven(const std::string& caption, const std::function<void()>& open,
                      const std::function<void(HWND)>& drive) {
    Drive run{&caption, &drive, CreateEventA(nullptr, TRUE, FALSE, nullptr), DriveResult{}};
    HANDLE driver = CreateThread(nullptr, 0, DriveDialog, &run, 0, nullptr);
    open();
    SetEvent(run.opened);
    WaitForSingleObject(driver, INFINITE);
    CloseHandle(driver);
    CloseHandle(run.opened);
    return run.result;
}

HELPINFO DialogTest::lastHelp;

LRESULT CALLBACK DialogTest::StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HELP) {
        lastHelp = *reinterpret_cast<HELPINFO*>(lParam);
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void DialogTest::SetUp() {
    AppInstance = GetModuleHandleA(nullptr);
    InitCommonControls();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = StandInProc;
    windowClass.hInstance = AppInstance;
    windowClass.lpszClassName = "PartolaStandInMain";
    RegisterClassA(&windowClass);
    MainWindow = CreateWindowExA(0, windowClass.lpszClassName, "Stand-in main window",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 400, 200, 100, nullptr,
                                 nullptr, AppInstance, nullptr);
    lastHelp = HELPINFO{};
}

void DialogTest::TearDown() {
    DestroyWindow(MainWindow);
    MainWindow = nullptr;
}

}  // namespace testing_support
