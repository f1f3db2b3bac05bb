// Forced into every source of the 32-bit program: the C++ library's string
// members are then compiled into our own objects, for the 486, instead of
// coming precompiled for the Pentium Pro from the library archive.
#pragma once

#include <bits/c++config.h>

#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE 0
