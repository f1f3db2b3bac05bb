// The few C++ run-time functions the 32-bit program needs, in place of the
// library archive's, which are compiled for the Pentium Pro and would bring
// the exception machinery and MinGW's own printf along. The program is built
// without exceptions: a request the library cannot meet ends the program,
// as an exception that nobody catches did.
#include <bits/functexcept.h>
#include <windows.h>

#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void EndProgram(const char* what) {
    MessageBoxA(nullptr, what, "Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    abort();
}

void* Allocate(size_t size) {
    void* block = malloc(size ? size : 1);
    if (!block) EndProgram("Out of memory.");
    return block;
}

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
// global destructors; MSVCRT.DLL runs what _onexit registered when exit ends
// the program.
int __cdecl atexit(void(__cdecl* function)(void)) {
    return _onexit(reinterpret_cast<_onexit_t>(function)) ? 0 : -1;
}
}

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return malloc(size ? size : 1); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return malloc(size ? size : 1);
}
void operator delete(void* block) noexcept { free(block); }
void operator delete[](void* block) noexcept { free(block); }
void operator delete(void* block, size_t) noexcept { free(block); }
void operator delete[](void* block, size_t) noexcept { free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { free(block); }

namespace std {

void __throw_bad_alloc() { EndProgram("Out of memory."); }
void __throw_bad_array_new_length() { EndProgram("Out of memory."); }
void __throw_length_error(const char* what) { EndProgram(what); }
void __throw_logic_error(const char* what) { EndProgram(what); }
void __throw_out_of_range(const char* what) { EndProgram(what); }
void __throw_out_of_range_fmt(const char* what, ...) { EndProgram(what); }
void __throw_invalid_argument(const char* what) { EndProgram(what); }

}  // namespace std
