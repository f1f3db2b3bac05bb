// Entry point of Veltra Partola 95: puts the job record into its start state,
// takes a source path from the command line, opens the main window and runs
// the program's one message loop. The 32-bit program starts here too, in its
// own start-up code, instead of in the C run-time's (see PartolaStartUp).
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <cstdlib>
#include <string_view>

#include "model/split_job.h"
#include "platform/file_services.h"
#include "resource.h"
#include "settings/registry_settings.h"
#include "ui/command_line.h"
#include "ui/main_dialog.h"

namespace {

void StartJobRecord() {
    SplitJob.Spanning = 0;
    ResetJob();
    ResetCopyState();
}

void StartUpInitialisation() {
    FailCriticalErrorsQuietly();
    InitCommonControls();
    LoadSettings();
    AppIcon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_APP));
}

// One loop for every window of the program; only the main window, looked up
// anew for each message since a split replaces it, gets dialog keys.
int RunMessageLoop() {
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(MainWindow, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    AppInstance = instance;
    StartJobRecord();
    std::string_view tail = CommandLineTail(GetCommandLineA());
    TakeSourceFromTail(tail);
    StartUpInitialisation();
    if (!CreateMainDialog()) {
        MessageBoxA(nullptr, "The main window could not be opened.", "Error", MB_OK | MB_ICONERROR);
        return 1;
    }
    ShowOverlongSourceTail(tail);
    if (Options.AlwaysOnTop)
        SetWindowPos(MainWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return RunMessageLoop();
}

#ifdef PARTOLA_OWN_START_UP
extern "C" {
void __main();  // runs the global constructors once
void _pei386_runtime_relocator();
}

// The entry of the 32-bit program: does what the C run-time's start-up code
// did that the program needs. That code is compiled for the Pentium Pro and
// would stop the program at once on a 486 or a Pentium; exit is the
// program's own (src/runtime), as is the rest of its C run-time.
extern "C" __attribute__((force_align_arg_pointer)) void PartolaStartUp() {
    _pei386_runtime_relocator();
    __main();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    std::string_view tail = CommandLineTail(GetCommandLineA());
    exit(WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(tail.data()), show));
}
#endif
