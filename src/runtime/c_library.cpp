// The C library functions the 32-bit program calls, and those the compiler
// calls on its own for copies and comparisons, in place of MSVCRT.DLL's: that
// DLL came after the first Windows 95. Built without the compiler turning
// these loops back into calls of themselves (see CMakeLists.txt).
// (No C header: MinGW's wchar.h defines wmemcmp and wmemset inline when
// optimising, and calls that are not inlined come here.)
#include <cstddef>

extern "C" {

void* memcpy(void* target, const void* source, size_t count) {
    // Whole words first: a 486 and a Pentium copy four bytes a step.
    void* to = target;
    size_t words = count / 4, bytes = count % 4;
    __asm__ __volatile__("rep movsl\n\tmov %3, %%ecx\n\trep movsb"
                         : "+D"(to), "+S"(source), "+c"(words)
                         : "r"(bytes)
                         : "memory");
    return target;
}

void* memmove(void* target, const void* source, size_t count) {
    auto* to = static_cast<unsigned char*>(target);
    auto* from = static_cast<const unsigned char*>(source);
    if (to <= from || to >= from + count) return memcpy(target, source, count);
    // Overlapping with the target above: from the end down.
    while (count > 0) {
        --count;
        to[count] = from[count];
    }
    return target;
}

void* memset(void* target, int value, size_t count) {
    void* to = target;
    __asm__ __volatile__("rep stosb" : "+D"(to), "+c"(count) : "a"(value) : "memory");
    return target;
}

int memcmp(const void* one, const void* other, size_t count) {
    auto* a = static_cast<const unsigned char*>(one);
    auto* b = static_cast<const unsigned char*>(other);
    for (size_t at = 0; at < count; ++at)
        if (a[at] != b[at]) return a[at] < b[at] ? -1 : 1;
    return 0;
}

void* memchr(const void* block, int value, size_t count) {
    auto* at = static_cast<const unsigned char*>(block);
    for (; count > 0; --count, ++at)
        if (*at == static_cast<unsigned char>(value)) return const_cast<unsigned char*>(at);
    return nullptr;
}

size_t strlen(const char* text) {
    const char* end = text;
    while (*end) ++end;
    return static_cast<size_t>(end - text);
}

size_t strnlen(const char* text, size_t most) {
    size_t length = 0;
    while (length < most && text[length]) ++length;
    return length;
}

int strcmp(const char* one, const char* other) {
    auto* a = reinterpret_cast<const unsigned char*>(one);
    auto* b = reinterpret_cast<const unsigned char*>(other);
    for (; *a && *a == *b; ++a, ++b) {
    }
    return *a == *b ? 0 : (*a < *b ? -1 : 1);
}

int wmemcmp(const wchar_t* one, const wchar_t* other, size_t count) {
    for (size_t at = 0; at < count; ++at)
        if (one[at] != other[at]) return one[at] < other[at] ? -1 : 1;
    return 0;
}

wchar_t* wmemset(wchar_t* target, wchar_t value, size_t count) {
    for (size_t at = 0; at < count; ++at) target[at] = value;
    return target;
}

}  // extern "C"
