// The few C and C++ run-time functions the 32-bit program needs, in place of
// the library archive's, which are compiled for the Pentium Pro and would
// bring the exception machinery and MinGW's own printf along, and of
// MSVCRT.DLL's, which the first Windows 95 lacks. Memory comes from the
// process heap. The program is built without exceptions: a request the
// library cannot meet ends the program, as an exception that nobody catches
// did.
#include <bits/functexcept.h>
#include <windows.h>

#include <cstdarg>
#include <cstdlib>
#include <new>

#include "base/text_and_path.h"

namespace {

// One box, then the end, with the exit code of abort().
[[noreturn]] void EndProgram(const char* what) {
    MessageBoxA(nullptr, what, "Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    ExitProcess(3);
}

void* HeapBlock(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size ? size : 1); }

void* Allocate(size_t size) {
    void* block = HeapBlock(size);
    if (!block) EndProgram("Out of memory.");
    return block;
}

void Release(void* block) {
    if (block) HeapFree(GetProcessHeap(), 0, block);
}

// What atexit registered (the global destructors, through __main), run last
// first by exit.
struct ExitFunction {
    void(__cdecl* function)(void);
    ExitFunction* next;
};
ExitFunction* ExitFunctions = nullptr;

}  // namespace

extern "C" {
extern const char __RUNTIME_PSEUDO_RELOC_LIST__, __RUNTIME_PSEUDO_RELOC_LIST_END__;

// The linker asks for the fix-ups of data imported from DLLs without
// __declspec(dllimport): a list of three-word entries after a three-word
// header. The program has none; should it ever, it stops here at its start
// rather than run on with wrong addresses.
void _pei386_runtime_relocator() {
    if (&__RUNTIME_PSEUDO_RELOC_LIST_END__ - &__RUNTIME_PSEUDO_RELOC_LIST__ > 3 * 4)
        EndProgram("The program was linked with run-time relocations it cannot apply.");
}

// The C run-time's start-up code held atexit, with which __main registers the
// global destructors.
int __cdecl atexit(void(__cdecl* function)(void)) {
    auto* entry = static_cast<ExitFunction*>(HeapBlock(sizeof(ExitFunction)));
    if (!entry) return -1;
    *entry = ExitFunction{function, ExitFunctions};
    ExitFunctions = entry;
    return 0;
}

void __cdecl exit(int code) {
    while (ExitFunctions) {
        ExitFunction* entry = ExitFunctions;
        ExitFunctions = entry->next;
        entry->function();
        Release(entry);
    }
    ExitProcess(static_cast<UINT>(code));
}
}

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return HeapBlock(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return HeapBlock(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, size_t) noexcept { Release(block); }
void operator delete[](void* block, size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }

namespace std {

const nothrow_t nothrow{};

void __throw_bad_alloc() { EndProgram("Out of memory."); }
void __throw_bad_array_new_length() { EndProgram("Out of memory."); }
void __throw_length_error(const char* what) { EndProgram(what); }
void __throw_logic_error(const char* what) { EndProgram(what); }
void __throw_out_of_range(const char* what) { EndProgram(what); }
void __throw_out_of_range_fmt(const char* format, ...) {
    // The library's formats take %s and %zu.
    char what[512];
    va_list arguments;
    va_start(arguments, format);
    FormatTextList(what, sizeof what, format, arguments);
    va_end(arguments);
    EndProgram(what);
}
void __throw_invalid_argument(const char* what) { EndProgram(what); }

}  // namespace std
