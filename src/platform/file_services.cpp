// kernel32 file and disk services with the flags and answers the logic
// relies on.
#include "platform/file_services.h"

namespace {

DirectoryEntry EntryOf(const WIN32_FIND_DATAA& data) {
    DirectoryEntry entry{};
    CopyText(entry.OwnName, data.cFileName);
    CopyText(entry.ShortAlias, data.cAlternateFileName);
    entry.Attributes = data.dwFileAttributes;
    entry.SizeLow = data.nFileSizeLow;
    entry.SizeHigh = data.nFileSizeHigh;
    return entry;
}

}  // namespace

bool FindDirectoryEntry(const char* path, DirectoryEntry& entry) {
    WIN32_FIND_DATAA data{};
    HANDLE search = FindFirstFileA(path, &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    entry = EntryOf(data);
    return true;
}

void VisitDirectoryEntries(const char* pattern, EntryVisitor visit, void* context) {
    WIN32_FIND_DATAA data{};
    HANDLE search = FindFirstFileA(pattern, &data);
    if (search == INVALID_HANDLE_VALUE) return;
    while (visit(EntryOf(data), context) && FindNextFileA(search, &data)) {
    }
    FindClose(search);
}

bool FullPathOf(const char* path, PathText& full) {
    char* namePart = nullptr;
    DWORD length = GetFullPathNameA(path, PathCapacity, full.data(), &namePart);
    return length > 0 && length < PathCapacity;
}

void FailCriticalErrorsQuietly() { SetErrorMode(SEM_FAILCRITICALERRORS); }

UINT DriveType(const char* root) { return GetDriveTypeA(root); }

namespace {

uint32_t CappedCount(uint64_t bytes) {
    return bytes > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(bytes);
}

// The very first Windows 95 has no GetDiskFreeSpaceExA, and a program that
// imported it would not start there: it is looked up when needed.
FreeSpaceQuery FindFreeSpaceQuery() {
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    FARPROC query = kernel ? GetProcAddress(kernel, "GetDiskFreeSpaceExA") : nullptr;
    return reinterpret_cast<FreeSpaceQuery>(reinterpret_cast<void*>(query));
}

}  // namespace

uint32_t FreeBytesByClusters(const char* root) {
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &totalClusters))
        return 0;
    // Multiplied in 64 bits: the 32-bit product wraps on a large disk and
    // would make it look nearly full.
    return CappedCount(uint64_t{sectorsPerCluster} * bytesPerSector * freeClusters);
}

uint32_t FreeBytesOfDrive(const char* root) {
    return FreeBytesFromQuery(FindFreeSpaceQuery(), root);
}

uint32_t FreeBytesFromQuery(FreeSpaceQuery query, const char* root) {
    if (!query) return FreeBytesByClusters(root);
    // What this user may still write: less than the disk's free space where
    // per-user quotas or reserved blocks hold part of it back.
    // Windows 95 OSR2 and NT 4.0 allow only the last pointer to be null: all
    // three get a variable.
    ULARGE_INTEGER availableToCaller{}, total{}, free{};
    if (!query(root, &availableToCaller, &total, &free)) return 0;
    return CappedCount(availableToCaller.QuadPart);
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
