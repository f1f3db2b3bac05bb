// The progress window that stands in for the main window while a job runs.
#pragma once

#include <windows.h>

// Creates the modeless progress dialog (template 3) into ProgressWindow.
HWND CreateProgressDialog();
