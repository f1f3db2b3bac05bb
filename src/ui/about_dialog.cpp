// Placeholder until this dialog is built; replaced by its real implementation.
#include "ui/about_dialog.h"

void RunAboutDialog(HWND) {}
