// Placeholder until this dialog is built; replaced by its real implementation.
#include "ui/backup_dialog.h"

void RunBackupDialog(HWND) {}
