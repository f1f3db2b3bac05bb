// The shell's folder browser, as both the main window and the backup dialog
// use it: rooted at the desktop, with the shell's task allocator.
#pragma once

#include <windows.h>

#include "model/split_job.h"

enum class FolderBrowse { Picked, Cancelled, NoAllocator, OutOfMemory };

// Picked: folder holds the chosen folder's file-system path. A choice without
// one (a virtual folder) counts as Cancelled. OutOfMemory has already shown
// "Out of memory." owned by the owner; NoAllocator shows nothing.
FolderBrowse BrowseForFolder(HWND owner, const char* title, PathText& folder);
