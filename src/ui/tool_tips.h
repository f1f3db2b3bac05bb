// Tooltips of a dialog's controls, all made one way: a tooltip window owned
// by the dialog, and one tool per control that is the control's own window,
// subclassed so that the tooltip sees the mouse over it.
#pragma once

// windows.h must come before commctrl.h.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstddef>

struct ToolTip {
    int controlId;
    const char* text;
};

// Creates the dialog's tooltip window with one tool per entry, in order; the
// window goes with the dialog. Null when it cannot be created.
HWND AddTooltips(HWND dialog, const ToolTip* tips, size_t count);

template <size_t N>
HWND AddTooltips(HWND dialog, const ToolTip (&tips)[N]) {
    return AddTooltips(dialog, tips, N);
}

// The record that names the tool of a control of the dialog, carrying text:
// what TTM_ADDTOOLA adds, and what TTM_UPDATETIPTEXTA gives a tool as its new
// text. It has the size of the first Windows 95 record, which every later
// tooltip control also takes.
TTTOOLINFOA ToolRecord(HWND dialog, int controlId, const char* text);
