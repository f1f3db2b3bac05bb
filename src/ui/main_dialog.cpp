// The main window: keeps the job's inputs in step with its fields, refreshes
// the size and piece-count labels, accepts a dropped file and starts the
// Split, Options, Help and About commands.
#include "ui/main_dialog.h"

#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <array>
#include <cstring>
#include <iterator>
#include <string>

#include "engine/split_engine.h"
#include "model/job_sizes.h"
#include "model/size_arithmetic.h"
#include "model/split_job.h"
#include "resource.h"
#include "ui/about_dialog.h"
#include "ui/folder_browser.h"
#include "ui/options_dialog.h"
#include "ui/size_fields.h"
#include "ui/split_request.h"
#include "ui/tool_tips.h"

namespace {

constexpr char HelpFile[] = "Partola95.hlp";
constexpr char SizePrefix[] = "Size: ";
constexpr char PieceCountPrefix[] = "Num Pieces: ";

constexpr ToolTip ToolTips[] = {
    {IDC_SPLIT, "Start Splitting"},
    {IDCANCEL, "Close Veltra Partola 95"},
    {IDC_OPTIONS, "Show Options Dialog"},
    {IDC_HELP_BUTTON, "Open Veltra Partola 95 Help"},
    {IDC_ABOUT, "Show About Dialog"},
    {IDC_SOURCE, "Source File Path"},
    {IDC_BROWSE_SOURCE, "Browse For Source File"},
    {IDC_DEST, "Destination Folder Path"},
    {IDC_BROWSE_DEST, "Browse For Destination Folder"},
    {IDC_SPAN, "Span Source File To Disks"},
    {IDC_SPECIFIED, "Use A Specified Split Size"},
    {IDC_SIZE_TEXT, "Specify Split Size"},
    {IDC_UNIT_LIST, "Specify Split Size Type"},
    {IDC_PRESET, "Use A Preset Split Size"},
    {IDC_PRESET_LIST, "Specify Preset Size"},
};

// A label's text: its prefix, then what the size arithmetic appends.
using LabelText = std::array<char, 2 * PathCapacity>;

// Sets a label to its prefix followed by what the size arithmetic appends.
template <typename Append>
void SetLabel(HWND window, int id, const char* prefix, Append append) {
    LabelText label{};
    size_t used = CopyText(label, prefix);
    append(label.data() + used, label.size() - used);
    SetDlgItemTextA(window, id, label.data());
}

void SetSizeLabel(HWND window, const char* path) {
    SetLabel(window, IDC_SIZE_LABEL, SizePrefix,
             [path](char* text, size_t capacity) { SizeText(path, text, capacity); });
}

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void EnableControl(HWND dialog, int id, bool enabled) {
    EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE);
}

// Which of the size field, the unit list and the preset list the mode uses.
void EnableSizeControls(HWND dialog, bool sizeField, bool presetList) {
    EnableControl(dialog, IDC_SIZE_TEXT, sizeField);
    EnableControl(dialog, IDC_UNIT_LIST, sizeField);
    EnableControl(dialog, IDC_PRESET_LIST, presetList);
}

void ReadField(HWND dialog, int id, PathText& target) { ReadPathField(dialog, id, target); }

// Fills a list with the labels of a table's rows.
template <typename Rows>
void FillList(HWND dialog, int id, const Rows& rows, int32_t selection) {
    for (const auto& row : rows)
        SendDlgItemMessageA(dialog, id, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(row.label));
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
}

// The three radios are not consecutive ids, so each is set on its own.
void CheckSizeRadio(HWND dialog, int checkedId) {
    for (int id : {IDC_SPAN, IDC_SPECIFIED, IDC_PRESET})
        CheckDlgButton(dialog, id, id == checkedId ? BST_CHECKED : BST_UNCHECKED);
}

void SelectSizeMode(HWND dialog) {
    switch (SplitJob.SizeMode) {
        case SplitSizeMode::Span:
            CheckSizeRadio(dialog, IDC_SPAN);
            EnableSizeControls(dialog, false, false);
            break;
        case SplitSizeMode::Specified:
            CheckSizeRadio(dialog, IDC_SPECIFIED);
            EnableSizeControls(dialog, true, false);
            break;
        default:
            CheckSizeRadio(dialog, IDC_PRESET);
            EnableSizeControls(dialog, false, true);
            break;
    }
}

enum class SourceArrival { Typed, Browsed, Dropped };

// A new source from the browser or a drop suggests the unit that suits it.
void SuggestUnitFor(HWND dialog, const char* path) {
    if (path[0] == '\0' || SplitJob.SourceSize == 0) return;
    SplitJob.SizeUnitIndex = SuggestedUnit(SplitJob.SourceSize);
    SendDlgItemMessageA(dialog, IDC_UNIT_LIST, CB_SETCURSEL,
                        static_cast<WPARAM>(SplitJob.SizeUnitIndex), 0);
}

// What every new source in the source field does: the field's text becomes
// SourcePath, its size and the piece count are shown, a browsed or dropped
// one suggests its unit, and while the destination is empty and the pieces do
// not go to disks its folder becomes the destination. A typed or dropped
// source suggests a folder only when it is a drive path; a browsed one, a
// network path too.
void TakeNewSource(HWND dialog, SourceArrival arrival) {
    ReadField(dialog, IDC_SOURCE, SplitJob.SourcePath);
    const char* path = SplitJob.SourcePath.data();
    ShowSourceSize(path);
    if (arrival != SourceArrival::Typed) SuggestUnitFor(dialog, path);
    RecountPieces();
    ReadField(dialog, IDC_DEST, SplitJob.DestFolder);
    bool suggests = arrival == SourceArrival::Browsed || path[1] == ':';
    if (SplitJob.DestFolder[0] == '\0' && suggests && !IsChecked(dialog, IDC_SPAN))
        DefaultDestination(path);
}

void InitMainDialog(HWND dialog) {
    DragAcceptFiles(dialog, TRUE);
    LimitPathField(dialog, IDC_SOURCE);
    LimitPathField(dialog, IDC_DEST);
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(AppIcon));
    SetDlgItemTextA(dialog, IDC_SOURCE, SplitJob.SourcePath.data());
    SetDlgItemTextA(dialog, IDC_DEST, SplitJob.DestFolder.data());
    SetDlgItemTextA(dialog, IDC_SIZE_TEXT, SplitJob.SplitSizeText.data());
    // The labels of the dialog being created: MainWindow does not name it yet.
    SetSizeLabel(dialog, SplitJob.SourcePath.data());
    SetDlgItemTextA(dialog, IDC_PIECE_COUNT_LABEL, PieceCountPrefix);
    SelectSizeMode(dialog);
    FillList(dialog, IDC_UNIT_LIST, SizeUnits, SplitJob.SizeUnitIndex);
    FillList(dialog, IDC_PRESET_LIST, Presets, SplitJob.PresetIndex);
    UpdateSplitButton(dialog);
    AddTooltips(dialog, ToolTips);
}

void SourceFieldLeft(HWND dialog) {
    // Leaving the field while the window goes away is no edit of the user's.
    if (!IsWindowVisible(dialog)) return;
    TakeNewSource(dialog, SourceArrival::Typed);
}

void SourceFieldChanged(HWND dialog, WORD notification) {
    if (notification == EN_KILLFOCUS) SourceFieldLeft(dialog);
    UpdateSplitButton(dialog);
}

// MainWindow names the dialog only once its creation has returned: until then
// the dialog is being filled from the job record, not edited by the user.
bool IsCreated(HWND dialog) { return dialog == MainWindow; }

void SizeFieldChanged(HWND dialog, WORD notification) {
    // The dialog's own filling at creation refreshes nothing but the Split button.
    if (notification == EN_CHANGE && SplitJob.SourceSize > 0 && IsCreated(dialog)) RecountPieces();
    UpdateSplitButton(dialog);
}

// The lists refresh the count when their selection changes. Focus and
// drop-down notifications are left alone: with an invalid size text each of
// them would raise the size message, whose closing gives the focus back to
// the list and so raises it again without end.
void ListChanged(WORD notification) {
    if (notification == CBN_SELCHANGE) RecountPieces();
}

void BrowseForSource(HWND dialog) {
    PathText path{};
    OPENFILENAMEA open{};
    // The record of Windows 95 and NT 4.0, whose dialogs refuse the longer one.
    open.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    open.hwndOwner = dialog;
    open.lpstrFilter = "All Files\0*.*\0";
    open.lpstrFile = path.data();
    open.nMaxFile = static_cast<DWORD>(path.size());
    open.lpstrTitle = "Choose Source File";
    open.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_LONGNAMES;
    if (GetOpenFileNameA(&open)) {
        SetDlgItemTextA(dialog, IDC_SOURCE, path.data());
        LPARAM end = static_cast<LPARAM>(strlen(path.data()));
        SendDlgItemMessageA(dialog, IDC_SOURCE, EM_SETSEL, static_cast<WPARAM>(end), end);
        TakeNewSource(dialog, SourceArrival::Browsed);
    }
    UpdateSplitButton(dialog);
}

void BrowseForDestination(HWND dialog) {
    PathText folder{};
    // The job record is not written here: the Split button reads the field.
    if (BrowseForFolder(dialog, "Choose destination folder", folder) == FolderBrowse::Picked)
        SetDlgItemTextA(dialog, IDC_DEST, folder.data());
}

void SpecifiedClicked(HWND dialog) {
    if (IsChecked(dialog, IDC_SPECIFIED)) EnableSizeControls(dialog, true, false);
    RecountPieces();
    UpdateSplitButton(dialog);
}

void SpanClicked(HWND dialog) {
    if (IsChecked(dialog, IDC_SPAN)) EnableSizeControls(dialog, false, false);
    UpdateSplitButton(dialog);
    // A span destination is a drive root; anything longer is dropped.
    ReadField(dialog, IDC_DEST, SplitJob.DestFolder);
    if (View(SplitJob.DestFolder).size() > DriveRootLength) {
        SplitJob.DestFolder[0] = '\0';
        SetDlgItemTextA(dialog, IDC_DEST, "");
    }
    RecountPieces();
}

void PresetClicked(HWND dialog) {
    if (IsChecked(dialog, IDC_PRESET)) EnableSizeControls(dialog, false, true);
    RecountPieces();
    UpdateSplitButton(dialog);
}

// The help file beside the program: the viewer looks for a bare name only in
// the current and the system folders, which need not hold it. A path that does
// not fit leaves the bare name.
PathText HelpFilePath() {
    PathText program{}, folder{}, path{};
    DWORD length = GetModuleFileNameA(nullptr, program.data(), static_cast<DWORD>(program.size()));
    bool inFolder = length > 0 && length < program.size() && FolderOf(View(program), folder);
    if (!inFolder || !PathInFolder(View(folder), HelpFile, path)) CopyText(path, HelpFile);
    return path;
}

void ShowHelpContents(HWND dialog) { WinHelpA(dialog, HelpFilePath().data(), HELP_FINDER, 0); }

// A viewer that does not know HELP_WM_HELP refuses it; the control's topic is
// then asked for by its context id. Wine's viewer (8.0) refuses HELP_WM_HELP
// and accepts HELP_CONTEXTPOPUP without showing anything, so the topic opens
// in the viewer's window with HELP_CONTEXT, which every viewer serves.
void ShowContextHelp(const HELPINFO* help) {
    HWND control = static_cast<HWND>(help->hItemHandle);
    PathText helpFile = HelpFilePath();
    if (WinHelpA(control, helpFile.data(), HELP_WM_HELP,
                 reinterpret_cast<ULONG_PTR>(OptionHelpPairs())))
        return;
    DWORD context = OptionHelpContext(help->iCtrlId);
    if (context != 0) WinHelpA(control, helpFile.data(), HELP_CONTEXT, context);
}

void RaiseWindow(HWND dialog) {
    constexpr UINT keep = SWP_NOMOVE | SWP_NOSIZE;
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, keep);
    SetWindowPos(dialog, HWND_NOTOPMOST, 0, 0, 0, 0, keep);
}

// A dropped path is shown whole, however long: a longer one than a path may
// have is refused at Split, never cut into the path of another file.
void FileDropped(HWND dialog, HDROP drop) {
    std::string path(DragQueryFileA(drop, 0, nullptr, 0), '\0');
    UINT length = DragQueryFileA(drop, 0, path.data(), static_cast<UINT>(path.size() + 1));
    DragFinish(drop);
    if (length == 0) return;
    SetDlgItemTextA(dialog, IDC_SOURCE, path.c_str());
    TakeNewSource(dialog, SourceArrival::Dropped);
    UpdateSplitButton(dialog);
    if (!Options.AlwaysOnTop) RaiseWindow(dialog);
}

void CloseMainDialog(HWND dialog) {
    DestroyWindow(dialog);
    PostQuitMessage(0);
}

BOOL MainCommand(HWND dialog, WORD id, WORD notification) {
    switch (id) {
        case IDC_SOURCE:
            SourceFieldChanged(dialog, notification);
            return TRUE;
        case IDC_DEST:
            UpdateSplitButton(dialog);
            return TRUE;
        case IDC_SIZE_TEXT:
            SizeFieldChanged(dialog, notification);
            return TRUE;
        case IDC_UNIT_LIST:
        case IDC_PRESET_LIST:
            ListChanged(notification);
            return TRUE;
        default:
            break;
    }
    if (notification != BN_CLICKED) return FALSE;
    switch (id) {
        case IDC_BROWSE_SOURCE:
            BrowseForSource(dialog);
            return TRUE;
        case IDC_BROWSE_DEST:
            BrowseForDestination(dialog);
            return TRUE;
        case IDC_OPTIONS:
            RunOptionsDialog(MainWindow);
            return TRUE;
        case IDC_SPECIFIED:
            SpecifiedClicked(dialog);
            return TRUE;
        case IDC_SPAN:
            SpanClicked(dialog);
            return TRUE;
        case IDC_PRESET:
            PresetClicked(dialog);
            return TRUE;
        case IDC_SPLIT:
            RequestSplit();
            return TRUE;
        case IDCANCEL:
            SendMessageA(dialog, WM_CLOSE, 0, 0);
            return TRUE;
        case IDC_HELP_BUTTON:
            ShowHelpContents(dialog);
            return TRUE;
        case IDC_ABOUT:
            RunAboutDialog(MainWindow);
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            InitMainDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            return MainCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        case WM_DROPFILES:
            FileDropped(dialog, reinterpret_cast<HDROP>(wParam));
            return TRUE;
        case WM_HELP:
            ShowContextHelp(reinterpret_cast<const HELPINFO*>(lParam));
            return TRUE;
        case WM_CLOSE:
            CloseMainDialog(dialog);
            return TRUE;
        case SplitWorkerEndedMessage:
            SplitWorkerEnded();
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

HINSTANCE AppInstance = nullptr;
HICON AppIcon = nullptr;
HWND MainWindow = nullptr;

HWND CreateMainDialog() {
    MainWindow =
        CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    return MainWindow;
}

void LimitPathField(HWND dialog, int id) {
    SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, PathCapacity - 1, 0);
}

bool ReadPathField(HWND dialog, int id, PathText& text) {
    GetDlgItemTextA(dialog, id, text.data(), static_cast<int>(text.size()));
    if (GetWindowTextLengthA(GetDlgItem(dialog, id)) < static_cast<int>(PathCapacity)) return true;
    text[0] = '\0';
    return false;
}

void ShowSourceSize(const char* path) { SetSizeLabel(MainWindow, path); }

void ShowPieceCount() {
    SetLabel(MainWindow, IDC_PIECE_COUNT_LABEL, PieceCountPrefix, PieceCountText);
}

void RecountPieces() {
    ReadSplitSize();
    ShowPieceCount();
}

void UpdateSplitButton(HWND dialog) {
    EnableControl(dialog, IDC_SPLIT, SplitInputsComplete(dialog));
}

void DefaultDestination(const char* path) {
    PathText folder{};
    if (FolderOf(path, folder)) SetDlgItemTextA(MainWindow, IDC_DEST, folder.data());
}
