// The main window: source, destination and split size, the two labels, and
// the Split, Options, Help and About commands.
#pragma once

#include <windows.h>

// Creates the modeless main dialog (template 1) into MainWindow.
HWND CreateMainDialog();

// The pairs of control id and help context id handed to the help viewer,
// ended by a pair of zeros. Every entry is a control of the Options dialog,
// whose help requests come to its owner, the main window.
extern const DWORD ContextHelpTable[];

// Label 100 of MainWindow: "Size: " and the size text of the path.
void ShowSourceSize(const char* path);
// Label 99 of MainWindow: "Num Pieces: " and the piece-count text.
void ShowPieceCount();
// Enables the dialog's Split button exactly while its inputs are complete.
void UpdateSplitButton(HWND dialog);
// Writes the folder part of a source path into the destination field.
void DefaultDestination(const char* path);
