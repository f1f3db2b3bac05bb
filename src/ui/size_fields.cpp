// The split-size group of the main dialog: its text, the checked kind of
// size and the two lists' selections, handed to the model as values.
#include "ui/size_fields.h"

#include "model/job_sizes.h"
#include "model/size_arithmetic.h"
#include "model/split_job.h"
#include "resource.h"
#include "ui/main_dialog.h"
#include "ui/message_boxes.h"

namespace {

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

SplitSizeMode CheckedSizeMode() {
    if (IsChecked(MainWindow, IDC_SPAN)) return SplitSizeMode::Span;
    if (IsChecked(MainWindow, IDC_SPECIFIED)) return SplitSizeMode::Specified;
    if (IsChecked(MainWindow, IDC_PRESET)) return SplitSizeMode::Preset;
    return SplitSizeMode::Specified;
}

// The list's selected entry; CB_ERR (-1) when none is.
int32_t SelectedEntry(int listId) {
    return static_cast<int32_t>(SendDlgItemMessageA(MainWindow, listId, CB_GETCURSEL, 0, 0));
}

bool FieldIsEmpty(HWND dialog, int id) { return GetWindowTextLengthA(GetDlgItem(dialog, id)) == 0; }

}  // namespace

bool ReadSplitSize() {
    SizeTextBuffer text{};
    GetDlgItemTextA(MainWindow, IDC_SIZE_TEXT, text.data(), static_cast<int>(text.size()));
    SizeError error = StoreSplitSize(text.data(), CheckedSizeMode(), SelectedEntry(IDC_UNIT_LIST),
                                     SelectedEntry(IDC_PRESET_LIST));
    if (error == SizeError::None) return true;
    ShowErrorBox(MainWindow, SizeErrorText(error));
    return false;
}

bool SplitInputsComplete(HWND dialog) {
    if (FieldIsEmpty(dialog, IDC_SOURCE)) return false;
    if (IsChecked(dialog, IDC_SPECIFIED) && FieldIsEmpty(dialog, IDC_SIZE_TEXT)) return false;
    if (IsChecked(dialog, IDC_SPAN) && FieldIsEmpty(dialog, IDC_DEST)) return false;
    return true;
}
