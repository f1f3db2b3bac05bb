// The About box.
#pragma once

#include <windows.h>

// The icon the box shows, loaded as it opens.
extern HICON AboutIcon;

void RunAboutDialog(HWND owner);
