// The only home of the kernel32 file and disk calls: directory entries with
// their 8.3 aliases, drive types, free space, and synchronous file access.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/text_and_path.h"

struct DirectoryEntry {
    PathText OwnName;     // cFileName
    PathText ShortAlias;  // cAlternateFileName; empty when the own name is 8.3
    uint32_t Attributes;  // FILE_ATTRIBUTE_* flags
    uint32_t SizeLow;     // the size's low 32 bits
    uint32_t SizeHigh;    // non-zero for an entry of 4 GiB or more
    bool IsFolder() const { return (Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    uint64_t Size() const { return uint64_t{SizeHigh} << 32 | SizeLow; }
};

// First match of the path taken as a search pattern. False when nothing
// matches (a drive root and a path ending in a backslash match nothing).
bool FindDirectoryEntry(const char* path, DirectoryEntry& entry);

// Hands every entry that matches the pattern to visit, with the caller's
// context, in the order the folder lists them, until visit returns false. One
// scan of the folder. (A plain function: the 32-bit program is built without
// the C++ library's exception machinery, which std::function would bring.)
using EntryVisitor = bool (*)(const DirectoryEntry& entry, void* context);
void VisitDirectoryEntries(const char* pattern, EntryVisitor visit, void* context);

// The path made absolute against the current folder (GetFullPathNameA); false
// when it cannot be, or would not fit 259 characters.
bool FullPathOf(const char* path, PathText& full);

// Once at start-up: an empty or unreadable drive fails the call that asked
// it (our own messages follow) instead of raising the system's critical-error
// box ("Abort, Retry, Ignore" on Windows 95) on top of ours.
void FailCriticalErrorsQuietly();

// GetDriveTypeA on a root text such as "A:\" (passed as it is).
UINT DriveType(const char* root);

// The bytes of the drive whose root is given that the caller may still write
// (per-user quotas deducted), from the 64-bit query, capped at 4,294,967,295.
// Where the system lacks that query (the first Windows 95), the free clusters
// times the cluster size. A failed query counts as no free space.
uint32_t FreeBytesOfDrive(const char* root);

// GetDiskFreeSpaceExA's signature.
using FreeSpaceQuery = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

// FreeBytesOfDrive with the 64-bit query given (null where the system has none).
uint32_t FreeBytesFromQuery(FreeSpaceQuery query, const char* root);

// Free clusters times the cluster size from the 32-bit query, multiplied
// without wrapping and capped at 4,294,967,295; 0 when the query fails.
uint32_t FreeBytesByClusters(const char* root);

// GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, sequential scan.
HANDLE OpenSourceFile(const char* path);

// GENERIC_WRITE, no sharing, CREATE_ALWAYS, sequential scan.
HANDLE CreateOutputFile(const char* path);

enum class IoResult { Ok, OutOfMemory, Failed };

// One synchronous read; count receives the bytes read (0 at end of file).
IoResult ReadBlock(HANDLE file, void* buffer, uint32_t size, uint32_t& count);

// One synchronous write; count receives the bytes written. A write that
// reports fewer bytes than it was given is returned as it is: the caller
// decides (the piece writer treats it as a failure).
IoResult WriteBlock(HANDLE file, const void* buffer, uint32_t size, uint32_t& count);

// Closes the handle when it is open and marks it not open.
void CloseFile(HANDLE& file);

// Deletes a file; the result is not examined by the program.
void DeletePath(const char* path);
