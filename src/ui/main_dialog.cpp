// Placeholder until this dialog is built; replaced by its real implementation.
#include "ui/main_dialog.h"

HWND CreateMainDialog() { return nullptr; }
