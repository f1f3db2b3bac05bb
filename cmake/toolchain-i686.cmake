# Cross-compiling for 32-bit Windows with MinGW-w64 (win32 thread model: no POSIX threading runtime, whose imports older Windows lack).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The 32-bit program runs on the processors Windows 95 ran on: a 486 (Windows
# emulates the FPU on a 486SX), a Pentium, a Pentium MMX, a K6. The compiler's
# default, the Pentium Pro, would use cmov and fcomi, which these lack.
set(CMAKE_C_FLAGS_INIT "-march=i486 -mtune=pentium")
set(CMAKE_CXX_FLAGS_INIT "-march=i486 -mtune=pentium")
