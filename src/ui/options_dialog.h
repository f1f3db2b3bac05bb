// The Options dialog: the eight options as check boxes.
#pragma once

#include <windows.h>

void RunOptionsDialog(HWND owner);
