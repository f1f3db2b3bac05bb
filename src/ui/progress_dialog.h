// The progress window that stands in for the main window while a job runs.
#pragma once

#include <windows.h>

// The progress window while it is open, and its tooltip.
extern HWND ProgressWindow;
extern HWND ProgressTooltip;

// Creates the modeless progress dialog (template 3) into ProgressWindow.
HWND CreateProgressDialog();
