// Entry point of Veltra Partola 95: puts the job record into its start state,
// takes a source path from the command line, opens the main window and runs
// the program's one message loop. The 32-bit program comes here from its own
// start-up code (runtime/start_up.cpp) instead of the C run-time's.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <string_view>

#include "model/split_job.h"
#include "platform/file_services.h"
#include "resource.h"
#include "runtime/start_up.h"
#include "settings/registry_settings.h"
#include "ui/command_line.h"
#include "ui/main_dialog.h"
#include "ui/message_boxes.h"

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
        ShowErrorBox(nullptr, "The main window could not be opened.");
        return 1;
    }
    ShowOverlongSourceTail(tail);
    if (Options.AlwaysOnTop)
        SetWindowPos(MainWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return RunMessageLoop();
}
