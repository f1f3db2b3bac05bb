// Whole jobs of the real program, driven from the test.
#include "e2e_support.h"

#include <algorithm>
#include <cstdio>

#include "resource.h"

namespace testing_support {

namespace {

// Waits, without pumping, until the condition holds; false on timeout.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
    return true;
}

int CheckedSizeRadio(HWND window) {
    for (int id : {IDC_SPAN, IDC_SPECIFIED, IDC_PRESET})
        if (IsButtonChecked(window, id)) return id;
    return 0;
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

ProgramSession::ProgramSession(const OptionValues& values)
    : options(values), boxes(program.ProcessId()) {
    main = program.MainWindow();
}

ProgramSession::~ProgramSession() {
    // A program ended from outside while its window is the active one can
    // leave the next program's first focus change waiting.
    HWND window = program.MainWindow(2000);
    if (window) PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = 0;
    program.WaitForExit(code, 5000);
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

MainInputs ProgramSession::Inputs() const {
    return MainInputs{ControlText(main, IDC_SOURCE),      ControlText(main, IDC_DEST),
                      ControlText(main, IDC_SIZE_TEXT),   CheckedSizeRadio(main),
                      ListSelection(main, IDC_UNIT_LIST), ListSelection(main, IDC_PRESET_LIST)};
}

void ProgramSession::PressSplit() const {
    PostMessageW(GetDlgItem(main, IDC_SPLIT), BM_CLICK, 0, 0);
}

size_t ProgramSession::SettledBoxCount() const {
    size_t seen = 0;
    do {
        seen = boxes.Count();
        ControlText(main, IDC_SOURCE);  // the program has handled what came before
        Sleep(250);
    } while (boxes.Count() != seen);
    return seen;
}

std::string ProgramSession::SplitRefusedWith() {
    size_t before = SettledBoxCount();
    PressSplit();
    if (!boxes.WaitForCount(before + 1, 60000)) return "";
    // Let a box that would follow the first one show itself too.
    SettledBoxCount();
    std::vector<std::string> lines = boxes.Transcript();
    std::string all;
    for (size_t i = before; i < lines.size(); ++i) all += (i > before ? " || " : "") + lines[i];
    return all;
}

bool ProgramSession::StillEditing() const {
    return IsWindow(main) && IsWindowVisible(main) &&
           !FindDialog(program.ProcessId(), ProgressCaption, 0);
}

HWND ProgramSession::WaitForProgressWindow(DWORD timeoutMs) const {
    return FindDialog(program.ProcessId(), ProgressCaption, timeoutMs);
}

bool ProgramSession::WaitForMainWindowBack(DWORD timeoutMs) {
    HWND old = main;
    if (!WaitUntil([old] { return !IsWindow(old); }, timeoutMs)) return false;
    main = program.MainWindow(timeoutMs);
    return main != nullptr;
}

bool ProgramSession::SplitAndWaitForEnd(DWORD timeoutMs) {
    PressSplit();
    return WaitForMainWindowBack(timeoutMs);
}

std::string ProgramSession::LastBox() const {
    std::vector<std::string> lines = boxes.Transcript();
    return lines.empty() ? std::string() : lines.back();
}

std::string PieceBaseName(const std::string& sourcePath) {
    WIN32_FIND_DATAA entry{};
    HANDLE search = FindFirstFileA(sourcePath.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return "";
    FindClose(search);
    std::string name = entry.cAlternateFileName[0] ? entry.cAlternateFileName : entry.cFileName;
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::vector<std::string> PieceNames(const std::string& sourcePath, uint32_t count) {
    std::string base = PieceBaseName(sourcePath);
    std::vector<std::string> names;
    for (uint32_t n = 0; n < count; ++n) {
        char extension[16];
        snprintf(extension, sizeof extension, ".%03lu", static_cast<unsigned long>(n));
        names.push_back(base + extension);
    }
    return names;
}

std::string ConcatenatedFiles(const std::string& folder, const std::vector<std::string>& names) {
    std::string all;
    for (const std::string& name : names) all += ReadWholeFile(folder + "\\" + name);
    return all;
}

uint64_t FileSizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return ~0ull;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string MakeFolder(const TempFolder& work, const std::string& name) {
    std::string folder = work.File(name);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
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

void GatherFiles(const std::vector<std::string>& folders, const std::string& into) {
    CreateDirectoryA(into.c_str(), nullptr);
    for (const std::string& folder : folders)
        for (const std::string& name : FolderListing(folder))
            CopyFileA((folder + "\\" + name).c_str(), (into + "\\" + name).c_str(), FALSE);
}

SparseFile::SparseFile(const std::string& name, uint64_t size) : name_(name) {
    char folder[64];
    snprintf(folder, sizeof folder, "/sparse%lu_%lu", GetCurrentProcessId(), GetTickCount());
    unixFolder_ = BuildRootUnix() + folder;
    char command[1024];
    snprintf(command, sizeof command, "mkdir -p '%s' && truncate -s %llu '%s/%s'",
             unixFolder_.c_str(), static_cast<unsigned long long>(size), unixFolder_.c_str(),
             name.c_str());
    made_ = RunUnixCommand(command) == 0;
}

SparseFile::~SparseFile() { RunUnixCommand("rm -rf '" + unixFolder_ + "'"); }

std::string SparseFile::FolderPath() const { return UnixToWindowsPath(unixFolder_); }

std::string SparseFile::Path() const { return FolderPath() + "\\" + name_; }

}  // namespace testing_support
