// kernel32 file and disk services with the flags and answers the logic
// relies on.
#include "platform/file_services.h"

bool FindDirectoryEntry(const char* path, DirectoryEntry& entry) {
    WIN32_FIND_DATAA data{};
    HANDLE search = FindFirstFileA(path, &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    CopyText(entry.OwnName, data.cFileName);
    CopyText(entry.ShortAlias, data.cAlternateFileName);
    entry.Attributes = data.dwFileAttributes;
    entry.SizeLow = data.nFileSizeLow;
    entry.SizeHigh = data.nFileSizeHigh;
    return true;
}

bool FullPathOf(const char* path, PathText& full) {
    char* namePart = nullptr;
    DWORD length = GetFullPathNameA(path, PathCapacity, full.data(), &namePart);
    return length > 0 && length < PathCapacity;
}

UINT DriveType(const char* root) { return GetDriveTypeA(root); }

uint32_t FreeBytesOfDrive(const char* root) {
    // Free clusters times cluster size, as the 32-bit query counts it, but
    // from the 64-bit query so that a large disk is not misread as nearly full.
    ULARGE_INTEGER free{};
    if (!GetDiskFreeSpaceExA(root, nullptr, nullptr, &free)) return 0;
    return free.QuadPart > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(free.QuadPart);
}

HANDLE OpenSourceFile(const char* path) {
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

HANDLE CreateOutputFile(const char* path) {
    return CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_SEQUENTIAL_SCAN,
                       nullptr);
}

static IoResult FailureKind() {
    return GetLastError() == ERROR_NOT_ENOUGH_MEMORY ? IoResult::OutOfMemory : IoResult::Failed;
}

IoResult ReadBlock(HANDLE file, void* buffer, uint32_t size, uint32_t& count) {
    DWORD done = 0;
    BOOL ok = ReadFile(file, buffer, size, &done, nullptr);
    count = done;
    return ok ? IoResult::Ok : FailureKind();
}

IoResult WriteBlock(HANDLE file, const void* buffer, uint32_t size, uint32_t& count) {
    DWORD done = 0;
    BOOL ok = WriteFile(file, buffer, size, &done, nullptr);
    count = done;
    return ok ? IoResult::Ok : FailureKind();
}

void CloseFile(HANDLE& file) {
    if (file != INVALID_HANDLE_VALUE && file != nullptr) CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
}

void DeletePath(const char* path) { DeleteFileA(path); }
