// Fixed-size texts and the path arithmetic every layer shares: copying with
// truncation, the text a buffer holds, and the folder, title and drive root of
// a path. The ground floor: plain text work, no system calls, no job state and
// nothing else of the program, so that every other folder may use it.
#pragma once

#include <array>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

constexpr size_t PathCapacity = 260;   // 259 characters and the terminator
constexpr size_t DriveRootLength = 3;  // "C:\"; a longer path names a folder

using PathText = std::array<char, PathCapacity>;

// Copies text into a fixed-size buffer, truncating at its capacity and always
// terminating it. Returns the number of characters stored.
size_t CopyText(char* target, size_t capacity, std::string_view text);

template <size_t N>
size_t CopyText(std::array<char, N>& target, std::string_view text) {
    return CopyText(target.data(), N, text);
}

// Appends text behind what the buffer already holds, truncating at capacity.
size_t AppendText(char* target, size_t capacity, std::string_view text);

template <size_t N>
size_t AppendText(std::array<char, N>& target, std::string_view text) {
    return AppendText(target.data(), N, text);
}

// printf-style formatting into a fixed-size buffer, truncating at capacity
// and always terminating it, by the program itself (the 32-bit program has no
// C run-time): %d, %i, %u, %x, %X, %c, %s and %%, with the flags - and 0, a
// width, a precision and the sizes h, l, ll and z. An unknown conversion is
// copied as it stands.
void FormatText(char* target, size_t capacity, const char* format, ...)
    __attribute__((format(gnu_printf, 3, 4)));
void FormatTextList(char* target, size_t capacity, const char* format, va_list arguments);

// The letter in upper case, a to z only, as the C locale has it.
constexpr char UpperCaseAscii(char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

// The decimal digits of a byte count.
void DecimalText(char* target, size_t capacity, uint64_t value);

// The text a fixed buffer holds, up to its terminator or its end.
template <size_t N>
std::string_view View(const std::array<char, N>& text) {
    return std::string_view(text.data(), strnlen(text.data(), N));
}

// The folder followed by one backslash, unless it already ends in one.
PathText FolderPrefix(std::string_view folder);

// FolderPrefix(folder) + name into path; false when that does not fit 259
// characters (path is then truncated and must not be used).
bool PathInFolder(std::string_view folder, std::string_view name, PathText& path);

// The text of the path after its last backslash, or the whole path.
std::string_view TitleOf(std::string_view path);

// The path cut at its last backslash. A drive (C:\name.zip gives C:\) and a
// network share (\\server\share\name.zip gives \\server\share\) keep their
// root's backslash. False, and folder left alone, when there is no backslash.
bool FolderOf(std::string_view path, PathText& folder);

// True for the root of a network share, \\server\share, with or without its
// trailing backslash: a folder that, like a drive root, has no directory entry.
bool IsShareRoot(std::string_view path);

// "X:\" with X the path's first character: the root of the drive a drive path
// (or a span destination such as "A:\") names, as the drive queries take it.
PathText DriveRoot(std::string_view path);
