// The command line's tail: what follows the program's name, the source path
// the program may be started with.
#pragma once

#include <string_view>

// The text after the program name, found the way the C run-time's start-up
// code finds it: a quoted name ends at the next quotation mark, tab or end; a
// bare name at the next blank.
std::string_view CommandLineTail(std::string_view line);

// Before the main window opens: the tail, verbatim, is the source path,
// unless it is empty, starts with "/" or is longer than a path may be.
void TakeSourceFromTail(std::string_view tail);

// Once the main window is open: a tail longer than a path may have is not
// cut into the path of another file; the source field shows it whole, and
// Split refuses it.
void ShowOverlongSourceTail(std::string_view tail);
