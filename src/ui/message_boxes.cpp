// The program's message boxes, shown through one call.
#include "ui/message_boxes.h"

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT flags) {
    return MessageBoxA(owner, text, caption, flags);
}

void ShowErrorBox(HWND owner, const char* text) {
    ShowMessageBox(owner, text, ErrorCaption, MB_OK | MB_ICONERROR);
}

bool AskYesNo(HWND owner, const char* text, const char* caption, UINT icon) {
    return ShowMessageBox(owner, text, caption, MB_YESNO | icon) == IDYES;
}
