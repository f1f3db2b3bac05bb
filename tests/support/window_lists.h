// The one lister of windows for the tests and the benchmark: the top-level
// windows of one process, or of every process, in the order the system gives
// them (topmost first), and the child windows of a window (theirs too).
// Header-only, so that the benchmark, which links none of the test support,
// lists them the same way.
#pragma once

#include <windows.h>

#include <vector>

namespace testing_support {

namespace window_lists_detail {

struct Listing {
    DWORD processId;  // 0: every process
    std::vector<HWND> windows;
};

inline BOOL CALLBACK Add(HWND window, LPARAM param) {
    auto* listing = reinterpret_cast<Listing*>(param);
    DWORD owner = 0;
    if (listing->processId != 0) GetWindowThreadProcessId(window, &owner);
    if (owner == listing->processId) listing->windows.push_back(window);
    return TRUE;
}

}  // namespace window_lists_detail

inline constexpr DWORD EveryProcess = 0;

inline std::vector<HWND> TopWindowsOf(DWORD processId) {
    window_lists_detail::Listing listing{processId, {}};
    EnumWindows(window_lists_detail::Add, reinterpret_cast<LPARAM>(&listing));
    return listing.windows;
}

inline std::vector<HWND> ChildrenOf(HWND window) {
    window_lists_detail::Listing listing{EveryProcess, {}};
    EnumChildWindows(window, window_lists_detail::Add, reinterpret_cast<LPARAM>(&listing));
    return listing.windows;
}

}  // namespace testing_support
