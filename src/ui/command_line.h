// The source path the program may be started with: the command line's tail
// (runtime/start_up.h finds it).
#pragma once

#include <string_view>

// Before the main window opens: the tail, verbatim, is the source path,
// unless it is empty, starts with "/" or is longer than a path may be.
void TakeSourceFromTail(std::string_view tail);

// Once the main window is open: a tail longer than a path may have is not
// cut into the path of another file; the source field shows it whole, and
// Split refuses it.
void ShowOverlongSourceTail(std::string_view tail);
