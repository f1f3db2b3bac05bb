// Placeholder until this dialog is built; replaced by its real implementation.
#include "ui/progress_dialog.h"

HWND CreateProgressDialog() { return nullptr; }
