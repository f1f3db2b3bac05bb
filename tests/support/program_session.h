// The one way the tests drive the real program: one run of Partola95.exe,
// started with the options written to the registry first (and any command
// line tail), its main window filled and Split pressed as a user does, its
// message boxes answered, the windows that come and go during a job waited
// for, and the program closed as a user closes it (ended only when that
// fails). Also what a test needs around a job: the names of the pieces.
#pragma once

#include <windows.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "messages.h"
#include "registry_support.h"
#include "test_support.h"
#include "ui_driver.h"

namespace testing_support {

enum class Unit { Bytes = 0, KB = 1, MB = 2 };
enum class Preset { Kb720 = 0, Mb12 = 1, Mb144 = 2, Mb288 = 3 };

// What the user types and picks before pressing Split: a size typed in a
// unit, or a span (then the size is not used).
struct SplitRequest {
    std::string source;
    std::string dest;
    std::string sizeText;
    Unit unit = Unit::KB;
    bool span = false;
};

// The inputs the main window shows.
struct MainInputs {
    std::string source;
    std::string dest;
    std::string sizeText;
    int mode;  // the checked radio: IDC_SPAN, IDC_SPECIFIED or IDC_PRESET
    int unit;
    int preset;
};
bool operator==(const MainInputs& a, const MainInputs& b);
void PrintTo(const MainInputs& inputs, std::ostream* out);
// What the main window shows after a finished job: empty fields, a size in KB
// to be typed, the preset list on "1.44 MB".
MainInputs EmptyInputs();

// Writes the options before the program reads them.
struct StartOptions {
    explicit StartOptions(const OptionValues& values) { WriteAllValues(values); }
};

class ProgramSession {
public:
    // The tail is what follows the program's name on its command line.
    explicit ProgramSession(const OptionValues& options = QuietOptions,
                            const std::string& tail = "");
    // Closes the program as a user does; ends it only when it will not close.
    ~ProgramSession();
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    DWORD ProcessId() const { return program.ProcessId(); }

    // Filling the main window as a user does: each field typed and left.
    bool SetSource(const std::string& path);
    bool SetDest(const std::string& path);
    bool UseSpecified(const std::string& sizeText, Unit unit);
    bool UsePreset(Preset preset);
    bool UseSpan();
    bool Fill(const SplitRequest& request);
    MainInputs Inputs() const;
    std::string Text(int id) const { return ControlText(main, id); }

    // Clicks Split; posted, since the request may open boxes and dialogs.
    bool PressSplit() const;
    // Fills the request in and presses Split.
    bool Split(const SplitRequest& request);
    // Presses Split and gives the boxes the request answered with, as
    // "caption|text" joined by " || ", once the program has handled it;
    // empty when no box came.
    std::string SplitRefusedWith();
    // Waits until every box so far is answered and the program has handled
    // what they interrupted (when that opened another box, that one too).
    bool Settle();
    // True while the main window is the one this session knows, is shown,
    // and no progress window exists.
    bool StillEditing() const;

    // The progress window of the running job; null when none comes.
    HWND WaitForProgressWindow(DWORD timeoutMs = 30000) const;
    // The progress window once its status begins with the text; null when it
    // did not in time.
    HWND ProgressShowing(const std::string& statusStart, DWORD timeoutMs = 60000) const;
    // Waits until the job has ended, its progress window is gone and a new
    // main window stands in place of the old one; false when none came.
    bool WaitForMainWindowBack(DWORD timeoutMs = 180000);
    // Presses Split and waits for the job to end and the main window to return.
    bool SplitAndWaitForEnd(DWORD timeoutMs = 180000);
    bool SplitAndWaitForEnd(const SplitRequest& request, DWORD timeoutMs = 180000);

    // Presses a button of the main window and gives the dialog with the
    // caption that it opens; null when none came.
    HWND OpenDialog(int buttonId, const std::string& caption);
    // Opens Options from the main window, sets each box as given, optionally
    // takes a picture of the dialog, and presses OK.
    bool SetOptionsThroughDialog(const std::vector<std::pair<int, bool>>& boxes,
                                 const std::string& picture = "");

    // Closes the program as a user does (its main window's close box, or the
    // progress window's while a job runs) and gives its exit code; -1 when it
    // did not end.
    long Close();

    StartOptions options;
    ProgramUnderTest program;
    MessageBoxWatcher boxes;
    HWND main = nullptr;
};

// The 8.3 alias of an existing file, or its own name when it has none.
std::string ShortName(const std::string& path);
// The base name the pieces get: the short name of the source without the
// extension.
std::string PieceBaseName(const std::string& sourcePath);
// The names of pieces 0 to count - 1, as the program numbers them.
std::vector<std::string> PieceNames(const std::string& sourcePath, uint32_t count);
// The pieces' bytes one after the other.
std::string ConcatenatedFiles(const std::string& folder, const std::vector<std::string>& names);

std::vector<std::string> Sorted(std::vector<std::string> names);

// Makes a folder whose path is exactly that long, of nested folders in base.
std::string MakeFolderOfLength(const std::string& base, size_t length);

}  // namespace testing_support
