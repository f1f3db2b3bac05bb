// The main dialog's split-size group read into the job record: the controls'
// values go to the model's conversions (model/size_arithmetic.h), and a
// refusal shows its message here.
#pragma once

#include <windows.h>

#include <cstddef>

// Reads the split-size controls of MainWindow into SplitSizeText,
// SizeUnitIndex, PresetIndex, SizeMode, Spanning and SplitSize. A typed size
// that the text cannot stand for shows one message box and gives false.
bool ReadSplitSize();

// True when the dialog's fields hold what a split of the chosen kind needs.
bool SplitInputsComplete(HWND dialog);
