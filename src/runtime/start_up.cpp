// The program's start-up: the command line's tail for WinMain and, in the
// 32-bit program, its own entry point in place of the C run-time's.
#include "runtime/start_up.h"

#include <windows.h>

#include <cstdlib>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string_view CommandLineTail(std::string_view line) {
    size_t at = 0;
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (at < line.size() && line[at] == '"') {
        ++at;
        while (at < line.size() && line[at] != '"' && line[at] != '\t') ++at;
    } else {
        while (at < line.size() && !IsBlank(line[at])) ++at;
    }
    if (at < line.size() && line[at] == '"') ++at;
    while (at < line.size() && IsBlank(line[at])) ++at;
    return line.substr(at);
}

#ifdef PARTOLA_OWN_START_UP
extern "C" {
void __main();  // runs the global constructors once
void _pei386_runtime_relocator();
}

// The entry of the 32-bit program: does what the C run-time's start-up code
// did that the program needs. That code is compiled for the Pentium Pro and
// would stop the program at once on a 486 or a Pentium; exit is the
// program's own (src/runtime), as is the rest of its C run-time.
extern "C" __attribute__((force_align_arg_pointer)) void PartolaStartUp() {
    _pei386_runtime_relocator();
    __main();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    std::string_view tail = CommandLineTail(GetCommandLineA());
    exit(WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(tail.data()), show));
}
#endif
