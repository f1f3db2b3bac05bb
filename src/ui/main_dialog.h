// The main window: source, destination and split size, the two labels, and
// the Split, Options, Help and About commands.
#pragma once

#include <windows.h>

// Creates the modeless main dialog (template 1) into MainWindow.
HWND CreateMainDialog();
