// What the program's start-up shares with WinMain: the command line's tail.
#pragma once

#include <string_view>

// The text after the program name, found the way the C run-time's start-up
// code finds it: a quoted name ends at the next quotation mark, tab or end; a
// bare name at the next blank.
std::string_view CommandLineTail(std::string_view line);
