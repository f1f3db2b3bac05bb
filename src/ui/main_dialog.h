// The main window: source, destination and split size, the two labels, and
// the Split, Options, Help and About commands.
#pragma once

#include <windows.h>

#include "base/text_and_path.h"

// The program's instance and icon, set at start-up, and the main window while
// it is open (a split replaces it).
extern HINSTANCE AppInstance;
extern HICON AppIcon;
extern HWND MainWindow;

// Creates the modeless main dialog (template 1) into MainWindow.
HWND CreateMainDialog();

// Label 100 of MainWindow: "Size: " and the size text of the path.
void ShowSourceSize(const char* path);
// Label 99 of MainWindow: "Num Pieces: " and the piece-count text of the
// stored sizes. Shows no message.
void ShowPieceCount();
// Reads the split size (a size that cannot be read shows its message first,
// and the count stays with the last good one), then shows the count.
void RecountPieces();
// Enables the dialog's Split button exactly while its inputs are complete.
void UpdateSplitButton(HWND dialog);
// Writes the folder part of a source path into the destination field.
void DefaultDestination(const char* path);

// Limits a path field of the dialog to 259 characters, the most a path may have.
void LimitPathField(HWND dialog, int id);
// Reads a path field into text; false, and text empty, when the field holds
// more than 259 characters (dropped or passed on the command line), which the
// buffer would cut into the path of another file.
bool ReadPathField(HWND dialog, int id, PathText& text);
