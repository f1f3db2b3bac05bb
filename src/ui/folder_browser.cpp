// The folder browser with the display-name buffer taken from, and everything
// given back to, the shell's task allocator.
#include "ui/folder_browser.h"

#include <objbase.h>
#include <shlobj.h>

#include "ui/message_boxes.h"

FolderBrowse BrowseForFolder(HWND owner, const char* title, PathText& folder) {
    IMalloc* allocator = nullptr;
    if (FAILED(CoGetMalloc(MEMCTX_TASK, &allocator)) || !allocator)
        return FolderBrowse::NoAllocator;
    auto* displayName = static_cast<char*>(allocator->Alloc(PathCapacity));
    if (!displayName) {
        allocator->Release();
        ShowErrorBox(owner, "Out of memory.");
        return FolderBrowse::OutOfMemory;
    }
    BROWSEINFOA browse{};
    browse.hwndOwner = owner;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = title;
    FolderBrowse result = FolderBrowse::Cancelled;
    PIDLIST_ABSOLUTE picked = SHBrowseForFolderA(&browse);
    if (picked) {
        PathText path{};
        if (SHGetPathFromIDListA(picked, path.data()) && path[0] != '\0') {
            folder = path;
            result = FolderBrowse::Picked;
        }
        allocator->Free(picked);
    }
    allocator->Free(displayName);
    allocator->Release();
    return result;
}
