// Placeholder until this dialog is built; replaced by its real implementation.
#include "ui/options_dialog.h"

void RunOptionsDialog(HWND) {}
