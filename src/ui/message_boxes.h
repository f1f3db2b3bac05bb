// The program's message boxes: every one is shown here, with the captions of
// engine/job_report.h.
#pragma once

#include <windows.h>

#include "engine/job_report.h"

// The one call of MessageBoxA; its answer.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT flags);
// An error: caption "Error", OK, the error icon.
void ShowErrorBox(HWND owner, const char* text);
// A Yes/No question with the icon; true for Yes.
bool AskYesNo(HWND owner, const char* text, const char* caption, UINT icon);
