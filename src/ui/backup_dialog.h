// The backup folder dialog of a spanning job.
#pragma once

#include <windows.h>

// Modal (template 2); sets BackupFolder, or clears BackupEnabled when the user
// goes on without backups.
void RunBackupDialog(HWND owner);
