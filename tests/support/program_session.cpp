// Whole jobs of the real program, driven from the test.
#include "program_session.h"

#include <algorithm>
#include <cstdio>

#include "model/naming.h"
#include "resource.h"

namespace testing_support {

namespace {

int CheckedSizeRadio(HWND window) {
    for (int id : {IDC_SPAN, IDC_SPECIFIED, IDC_PRESET})
        if (IsButtonChecked(window, id)) return id;
    return 0;
}

// A box of the process not answered yet, shown or still being made (a shown
// dialog that is no box waits for the user: the main window, the progress
// window, Options, the backup dialog).
bool IsUnansweredBox(HWND window, const MessageBoxWatcher& boxes) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return strcmp(name, "#32770") == 0 && !boxes.Handled(window) &&
           !(IsWindowVisible(window) && !GetDlgItem(window, 0xFFFF));
}

// Every top-level window of the process, for the message of a wait that
// timed out.
std::string DescribeWindows(DWORD processId) {
    std::string described;
    for (HWND window : TopWindowsOf(processId)) {
        char name[64] = {}, title[128] = {};
        GetClassNameA(window, name, sizeof name);
        GetWindowTextA(window, title, sizeof title);
        described += std::string("  ") + name + " \"" + title + "\"" +
                     (IsWindowVisible(window) ? "" : " (hidden)") + "\n";
    }
    return described;
}

}  // namespace

bool operator==(const MainInputs& a, const MainInputs& b) {
    return a.source == b.source && a.dest == b.dest && a.sizeText == b.sizeText &&
           a.mode == b.mode && a.unit == b.unit && a.preset == b.preset;
}

void PrintTo(const MainInputs& inputs, std::ostream* out) {
    *out << "{source \"" << inputs.source << "\", dest \"" << inputs.dest << "\", size \""
         << inputs.sizeText << "\", radio " << inputs.mode << ", unit " << inputs.unit
         << ", preset " << inputs.preset << "}";
}

MainInputs EmptyInputs() { return MainInputs{"", "", "", IDC_SPECIFIED, 1, 2}; }

ProgramSession::ProgramSession(const OptionValues& values, const std::string& tail)
    : options(values), program(tail), boxes(program.ProcessId()) {
    main = program.MainWindow();
}

ProgramSession::~ProgramSession() { Close(); }

long ProgramSession::Close() {
    DWORD code = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (program.WaitForExit(code, 0)) return static_cast<long>(code);
        HWND window = program.MainWindow(0);
        if (!window) window = FindDialog(ProcessId(), messages::ProgressCaption, 0);
        if (window) PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (program.WaitForExit(code, 5000)) return static_cast<long>(code);
    }
    return -1;  // the program is ended when it goes
}

bool ProgramSession::SetSource(const std::string& path) {
    return TypeText(main, IDC_SOURCE, path) && LeaveField(main, IDC_SOURCE);
}

bool ProgramSession::SetDest(const std::string& path) {
    return TypeText(main, IDC_DEST, path) && LeaveField(main, IDC_DEST);
}

bool ProgramSession::UseSpecified(const std::string& sizeText, Unit unit) {
    return Click(main, IDC_SPECIFIED) &&
           SelectListEntry(main, IDC_UNIT_LIST, static_cast<int>(unit)) &&
           TypeText(main, IDC_SIZE_TEXT, sizeText) && LeaveField(main, IDC_SIZE_TEXT);
}

bool ProgramSession::UsePreset(Preset preset) {
    return Click(main, IDC_PRESET) &&
           SelectListEntry(main, IDC_PRESET_LIST, static_cast<int>(preset));
}

bool ProgramSession::UseSpan() { return Click(main, IDC_SPAN); }

bool ProgramSession::Fill(const SplitRequest& request) {
    if (!main || !SetSource(request.source)) return false;
    bool sized = request.span ? UseSpan() : UseSpecified(request.sizeText, request.unit);
    return sized && SetDest(request.dest);
}

MainInputs ProgramSession::Inputs() const {
    return MainInputs{Text(IDC_SOURCE),
                      Text(IDC_DEST),
                      Text(IDC_SIZE_TEXT),
                      CheckedSizeRadio(main),
                      ListSelection(main, IDC_UNIT_LIST),
                      ListSelection(main, IDC_PRESET_LIST)};
}

bool ProgramSession::PressSplit() const { return PressButton(main, IDC_SPLIT); }

bool ProgramSession::Split(const SplitRequest& request) { return Fill(request) && PressSplit(); }

bool ProgramSession::Settle() {
    // Once the boxes are gone, a round trip through the program's thread
    // returns either after it finished what they interrupted, or from the
    // next box, which then already exists (shown or not).
    for (;;) {
        size_t seen = boxes.Count();
        if (!boxes.WaitForAnswered(seen) || !RoundTrip(main)) return false;
        bool found = FindWindowOf(ProcessId(), [this](HWND window) {
                         return IsUnansweredBox(window, boxes);
                     }) != nullptr;
        if (!found && boxes.Count() == seen) return true;
        if (found && !WaitUntil([&] { return boxes.Count() > seen; })) return false;
    }
}

std::string ProgramSession::SplitRefusedWith() {
    Settle();
    size_t before = boxes.Count();
    PressSplit();
    if (!WaitUntil([&] { return boxes.Count() > before; }, 60000)) return "";
    Settle();
    std::vector<std::string> lines = boxes.Transcript();
    std::string all;
    for (size_t i = before; i < lines.size(); ++i) all += (i > before ? " || " : "") + lines[i];
    return all;
}

bool ProgramSession::StillEditing() const {
    return IsWindow(main) && IsWindowVisible(main) &&
           !FindDialog(ProcessId(), messages::ProgressCaption, 0);
}

HWND ProgramSession::WaitForProgressWindow(DWORD timeoutMs) const {
    return FindDialog(ProcessId(), messages::ProgressCaption, timeoutMs);
}

HWND ProgramSession::ProgressShowing(const std::string& statusStart, DWORD timeoutMs) const {
    HWND progress = WaitForProgressWindow(timeoutMs);
    bool showing =
        progress && WaitUntil(
                        [&] {
                            return !IsWindow(progress) ||
                                   ControlText(progress, IDC_PROGRESS_STATUS)
                                           .compare(0, statusStart.size(), statusStart) == 0;
                        },
                        timeoutMs);
    return showing && IsWindow(progress) ? progress : nullptr;
}

bool ProgramSession::WaitForMainWindowBack(DWORD timeoutMs) {
    HWND old = main;
    HWND back = nullptr;
    bool ended = WaitUntil(
        [&] {
            if (IsWindow(old) || FindDialog(ProcessId(), messages::ProgressCaption, 0))
                return false;
            back = program.MainWindow(0);
            return back != nullptr;
        },
        timeoutMs);
    if (ended) {
        main = back;
        return true;
    }
    std::string seen;
    for (const std::string& box : boxes.Transcript()) seen += "  " + box + "\n";
    fprintf(stderr, "The main window did not come back. Boxes seen:\n%sWindows of the program:\n%s",
            seen.c_str(), DescribeWindows(ProcessId()).c_str());
    return false;
}

bool ProgramSession::SplitAndWaitForEnd(DWORD timeoutMs) {
    return PressSplit() && WaitForMainWindowBack(timeoutMs);
}

bool ProgramSession::SplitAndWaitForEnd(const SplitRequest& request, DWORD timeoutMs) {
    return Fill(request) && SplitAndWaitForEnd(timeoutMs);
}

HWND ProgramSession::OpenDialog(int buttonId, const std::string& caption) {
    return PressButton(main, buttonId) ? FindDialog(ProcessId(), caption) : nullptr;
}

bool ProgramSession::SetOptionsThroughDialog(const std::vector<std::pair<int, bool>>& settings,
                                             const std::string& picture) {
    HWND dialog = OpenDialog(IDC_OPTIONS, messages::OptionsCaption);
    if (!dialog) return false;
    for (const auto& setting : settings) {
        if (IsButtonChecked(dialog, setting.first) != setting.second) Click(dialog, setting.first);
        if (IsButtonChecked(dialog, setting.first) != setting.second) return false;
    }
    if (!picture.empty()) SaveScreenshot(dialog, picture);
    return PressButton(dialog, IDOK) && WaitWindowGone(dialog);
}

std::string ShortName(const std::string& path) {
    WIN32_FIND_DATAA entry{};
    HANDLE search = FindFirstFileA(path.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return "";
    FindClose(search);
    return entry.cAlternateFileName[0] ? entry.cAlternateFileName : entry.cFileName;
}

std::string PieceBaseName(const std::string& sourcePath) {
    std::string name = ShortName(sourcePath);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::vector<std::string> PieceNames(const std::string& sourcePath, uint32_t count) {
    std::string base = PieceBaseName(sourcePath);
    std::vector<std::string> names;
    for (uint32_t n = 0; n < count; ++n) names.push_back(PieceName(base, n).data());
    return names;
}

std::string ConcatenatedFiles(const std::string& folder, const std::vector<std::string>& names) {
    std::string all;
    for (const std::string& name : names) all += ReadWholeFile(folder + "\\" + name);
    return all;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

std::string MakeFolderOfLength(const std::string& base, size_t length) {
    std::string path = base;
    CreateDirectoryA(path.c_str(), nullptr);
    while (path.size() < length) {
        size_t part = std::min<size_t>(60, length - path.size() - 1);
        if (length - path.size() - 1 - part == 1) --part;  // never leave a one-character step
        path += "\\" + std::string(part, 'p');
        CreateDirectoryA(path.c_str(), nullptr);
    }
    return path;
}

}  // namespace testing_support
