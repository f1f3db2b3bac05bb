// Fixed-size texts and the folder, title and drive root of a path.
#include "base/text_and_path.h"

#include <cstdarg>
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

namespace {

// Where formatted characters go: up to the last byte, which the terminator
// keeps.
struct TextSink {
    char* at;
    char* end;
    void Put(char c) {
        if (at < end) *at++ = c;
    }
    void Put(char c, size_t count) {
        for (; count > 0; --count) Put(c);
    }
};

struct Conversion {
    bool left = false, zeros = false;
    size_t width = 0;
    int precision = -1;  // none
    int size = 0;        // 'h', 'l', 'L' (ll), 'z' or 0
    char type = 0;
};

size_t ReadCount(const char*& at, va_list& arguments) {
    if (*at == '*') {
        ++at;
        int count = va_arg(arguments, int);
        return count < 0 ? 0 : static_cast<size_t>(count);
    }
    size_t count = 0;
    for (; *at >= '0' && *at <= '9'; ++at) count = count * 10 + static_cast<size_t>(*at - '0');
    return count;
}

// The conversion after a '%'; at is left on its type letter.
Conversion ReadConversion(const char*& at, va_list& arguments) {
    Conversion c;
    for (;; ++at) {
        if (*at == '-') {
            c.left = true;
        } else if (*at == '0') {
            c.zeros = true;
        } else {
            break;
        }
    }
    c.width = ReadCount(at, arguments);
    if (*at == '.') {
        ++at;
        c.precision = static_cast<int>(ReadCount(at, arguments));
    }
    if (*at == 'h' || *at == 'z') {
        c.size = *at++;
    } else if (*at == 'l') {
        c.size = *++at == 'l' ? (++at, 'L') : 'l';
    }
    c.type = *at;
    return c;
}

uint64_t UnsignedArgument(int size, va_list& arguments) {
    switch (size) {
        case 'L':
            return va_arg(arguments, unsigned long long);
        case 'l':
            return va_arg(arguments, unsigned long);
        case 'z':
            return va_arg(arguments, size_t);
        case 'h':
            return static_cast<unsigned short>(va_arg(arguments, unsigned));
        default:
            return va_arg(arguments, unsigned);
    }
}

int64_t SignedArgument(int size, va_list& arguments) {
    switch (size) {
        case 'L':
            return va_arg(arguments, long long);
        case 'l':
            return va_arg(arguments, long);
        case 'z':
            return static_cast<int64_t>(va_arg(arguments, size_t));
        case 'h':
            return static_cast<short>(va_arg(arguments, int));
        default:
            return va_arg(arguments, int);
    }
}

// The text padded to the width: blanks on the left, or on the right with
// the - flag.
void PutField(TextSink& out, const Conversion& c, std::string_view text) {
    size_t pad = c.width > text.size() ? c.width - text.size() : 0;
    if (!c.left) out.Put(' ', pad);
    for (char ch : text) out.Put(ch);
    if (c.left) out.Put(' ', pad);
}

void PutNumber(TextSink& out, const Conversion& c, va_list& arguments) {
    bool negative = false;
    uint64_t value;
    if (c.type == 'd' || c.type == 'i') {
        int64_t number = SignedArgument(c.size, arguments);
        negative = number < 0;
        value = negative ? 0 - static_cast<uint64_t>(number) : static_cast<uint64_t>(number);
    } else {
        value = UnsignedArgument(c.size, arguments);
    }
    const char* digitSet = c.type == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
    unsigned base = c.type == 'x' || c.type == 'X' ? 16 : 10;
    char text[48];
    size_t at = sizeof text;
    size_t least = c.precision < 0 ? 1 : static_cast<size_t>(c.precision);
    for (size_t count = 0; value != 0 || count < least; ++count, value /= base)
        text[--at] = digitSet[value % base];
    size_t length = sizeof text - at + (negative ? 1 : 0);
    // Zeros pad between the sign and the digits, unless a precision is given.
    if (c.zeros && !c.left && c.precision < 0)
        for (; length < c.width && at > 1; ++length) text[--at] = '0';
    if (negative) text[--at] = '-';
    PutField(out, c, std::string_view(text + at, sizeof text - at));
}

}  // namespace

void FormatTextList(char* target, size_t capacity, const char* format, va_list arguments) {
    if (capacity == 0) return;
    TextSink out{target, target + capacity - 1};
    va_list rest;
    va_copy(rest, arguments);
    for (const char* at = format; *at; ++at) {
        if (*at != '%') {
            out.Put(*at);
            continue;
        }
        const char* start = at++;
        Conversion c = ReadConversion(at, rest);
        switch (c.type) {
            case 'd':
            case 'i':
            case 'u':
            case 'x':
            case 'X':
                PutNumber(out, c, rest);
                break;
            case 'c': {
                char letter = static_cast<char>(va_arg(rest, int));
                PutField(out, c, std::string_view(&letter, 1));
                break;
            }
            case 's': {
                const char* text = va_arg(rest, const char*);
                if (!text) text = "(null)";
                size_t length = c.precision < 0 ? strlen(text)
                                                : strnlen(text, static_cast<size_t>(c.precision));
                PutField(out, c, std::string_view(text, length));
                break;
            }
            case '%':
                out.Put('%');
                break;
            default:  // unknown, or the format's end
                for (; start < at; ++start) out.Put(*start);
                if (!*at)
                    --at;
                else
                    out.Put(*at);
                break;
        }
    }
    va_end(rest);
    *out.at = '\0';
}

void FormatText(char* target, size_t capacity, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    FormatTextList(target, capacity, format, arguments);
    va_end(arguments);
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
