// Helpers of the dialog tests.
#include "dialog_driver.h"

#include <commctrl.h>

#include "test_support.h"
#include "ui_driver.h"

namespace dialog_tests {

namespace {

constexpr std::array<uint32_t OptionsRecord::*, 8> Fields{
    &OptionsRecord::UseDos83,     &OptionsRecord::UseLongJoinBatName, &OptionsRecord::BackupPrompt,
    &OptionsRecord::DeletePrompt, &OptionsRecord::CloseWhenDone,      &OptionsRecord::NoReminders,
    &OptionsRecord::MoreMem,      &OptionsRecord::AlwaysOnTop};

}  // namespace

OptionValues CurrentOptions() {
    OptionValues values{};
    for (size_t i = 0; i < Fields.size(); ++i) values[i] = Options.*Fields[i];
    return values;
}

void SetOptions(const OptionValues& values) {
    for (size_t i = 0; i < Fields.size(); ++i) Options.*Fields[i] = values[i];
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
    HWND dialog = testing_support::FindDialog(GetCurrentProcessId(), *run->caption);
    run->result.shown = dialog != nullptr;
    if (!dialog) return 0;
    (*run->drive)(dialog);
    run->result.closed = WaitClosed(dialog);
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

void Click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool IsChecked(HWND dialog, int id) {
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool WaitClosed(HWND dialog, DWORD timeoutMs) {
    return testing_support::WaitWindowGone(dialog, timeoutMs);
}

void SetEditText(HWND dialog, int id, const std::string& text) {
    SendDlgItemMessageA(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool IsTopmost(HWND window) { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

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

}  // namespace dialog_tests
