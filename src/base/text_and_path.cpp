// Fixed-size texts and the folder, title and drive root of a path.
#include "base/text_and_path.h"

#include <cstdarg>
#include <cstdio>
#include <string>

size_t CopyText(char* target, size_t capacity, std::string_view text) {
    if (capacity == 0) return 0;
    size_t count = text.size() < capacity ? text.size() : capacity - 1;
    if (count > 0) std::memmove(target, text.data(), count);
    target[count] = '\0';
    return count;
}

size_t AppendText(char* target, size_t capacity, std::string_view text) {
    if (capacity == 0) return 0;
    size_t used = strnlen(target, capacity - 1);
    return used + CopyText(target + used, capacity - used, text);
}

void FormatText(char* target, size_t capacity, const char* format, ...) {
    if (capacity == 0) return;
    va_list arguments;
    va_start(arguments, format);
    // _vsnprintf leaves a text that fills the buffer unterminated.
    _vsnprintf(target, capacity - 1, format, arguments);
    va_end(arguments);
    target[capacity - 1] = '\0';
}

void DecimalText(char* target, size_t capacity, uint64_t value) {
    char digits[24];
    size_t at = sizeof digits;
    digits[--at] = '\0';
    do {
        digits[--at] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    CopyText(target, capacity, std::string_view(digits + at));
}

PathText FolderPrefix(std::string_view folder) {
    PathText prefix{};
    CopyText(prefix, folder);
    // An empty folder is the current folder, not the root of the current drive.
    if (!folder.empty() && folder.back() != '\\') AppendText(prefix, "\\");
    return prefix;
}

bool PathInFolder(std::string_view folder, std::string_view name, PathText& path) {
    std::string full(View(FolderPrefix(folder)));
    full += name;
    CopyText(path, full);
    return full.size() < PathCapacity;
}

std::string_view TitleOf(std::string_view path) {
    size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool FolderOf(std::string_view path, PathText& folder) {
    size_t slash = path.rfind('\\');
    if (slash == std::string_view::npos) return false;
    std::string_view cut = path.substr(0, slash);
    CopyText(folder, cut);
    // "C:" alone is the drive's current folder, and a share has no folder
    // without its backslash.
    if (cut.size() < DriveRootLength || IsShareRoot(cut)) AppendText(folder, "\\");
    return true;
}

bool IsShareRoot(std::string_view path) {
    if (path.substr(0, 2) != "\\\\") return false;
    size_t serverEnd = path.find('\\', 2);
    if (serverEnd == std::string_view::npos || serverEnd == 2) return false;
    std::string_view share = path.substr(serverEnd + 1);
    if (!share.empty() && share.back() == '\\') share.remove_suffix(1);
    return !share.empty() && share.find('\\') == std::string_view::npos;
}

PathText DriveRoot(std::string_view path) {
    PathText root{};
    const char letter[] = {path.empty() ? '\0' : path[0], ':', '\\', '\0'};
    CopyText(root, letter);
    return root;
}
