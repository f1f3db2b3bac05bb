// One run of the real program driven through whole jobs: options written to
// the registry before it starts, its fields filled and Split pressed as a user
// does, its message boxes answered, and the windows that come and go during a
// job waited for. Also what a test needs around a job: the names of the
// pieces, the files of several disks gathered into one folder, big sparse
// sources.
#pragma once

#include <windows.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "registry_support.h"
#include "test_support.h"
#include "ui_driver.h"

namespace testing_support {

// A first run's options, but the progress window closes itself after a job
// and no reminder is shown, so a finished job brings the main window back.
constexpr OptionValues QuietOptions{0, 1, 0, 0, 1, 1, 0, 0};
// The same with the backup question before every span.
constexpr OptionValues QuietOptionsWithBackups{0, 1, 1, 0, 1, 1, 0, 0};

constexpr char ProgressCaption[] = "Partola 95 Progress";
constexpr char BackupDialogCaption[] = "Veltra Partola 95 - Backup Pieces";

enum class Unit { Bytes = 0, KB = 1, MB = 2 };
enum class Preset { Kb720 = 0, Mb12 = 1, Mb144 = 2, Mb288 = 3 };

// Writes the options before the program reads them.
struct StartOptions {
    explicit StartOptions(const OptionValues& values) { WriteAllValues(values); }
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

class ProgramSession {
public:
    explicit ProgramSession(const OptionValues& options = QuietOptions);
    // Closes the program as a user does, through its main window.
    ~ProgramSession();
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    // Filling the main window as a user does: each field typed and left.
    bool SetSource(const std::string& path);
    bool SetDest(const std::string& path);
    bool UseSpecified(const std::string& sizeText, Unit unit);
    bool UsePreset(Preset preset);
    bool UseSpan();
    MainInputs Inputs() const;

    // Clicks Split; posted, since the request may open boxes and dialogs.
    void PressSplit() const;
    // Presses Split and waits for the one box the request answers with while
    // the main window stays; gives "caption|text", empty when none came.
    std::string SplitRefusedWith();
    // True while the main window is the one this session knows, is shown,
    // and no progress window exists.
    bool StillEditing() const;

    // The progress window of the running job; null when none comes.
    HWND WaitForProgressWindow(DWORD timeoutMs = 20000) const;
    // Waits until the main window was replaced by a new one (the job ended,
    // its progress window closed); false when none came in time.
    bool WaitForMainWindowBack(DWORD timeoutMs = 180000);
    // Presses Split and waits for the job to end and the main window to return.
    bool SplitAndWaitForEnd(DWORD timeoutMs = 180000);

    std::string LastBox() const;  // "caption|text" of the last box seen
    // The number of boxes seen once no new one has come for a moment.
    size_t SettledBoxCount() const;

    StartOptions options;
    ProgramUnderTest program;
    MessageBoxWatcher boxes;
    HWND main = nullptr;
};

// The base name the pieces get: the 8.3 alias of the source (or its own
// name) without the extension.
std::string PieceBaseName(const std::string& sourcePath);
// The names of pieces 0 to count - 1, as the program numbers them.
std::vector<std::string> PieceNames(const std::string& sourcePath, uint32_t count);
// The pieces' bytes one after the other.
std::string ConcatenatedFiles(const std::string& folder, const std::vector<std::string>& names);
uint64_t FileSizeOf(const std::string& path);  // ~0 when there is no such file

// A new folder of that name in the work folder; its path.
std::string MakeFolder(const TempFolder& work, const std::string& name);
std::vector<std::string> Sorted(std::vector<std::string> names);

// Makes a folder whose path is exactly that long, of nested folders in base.
std::string MakeFolderOfLength(const std::string& base, size_t length);

// Copies every file of the folders into one, as a user gathers the disks.
void GatherFiles(const std::vector<std::string>& folders, const std::string& into);

// A sparse file of the given size made by the host's truncate, under the
// build root; removed with its folder when the object goes.
class SparseFile {
public:
    SparseFile(const std::string& name, uint64_t size);
    ~SparseFile();
    SparseFile(const SparseFile&) = delete;
    SparseFile& operator=(const SparseFile&) = delete;
    bool Made() const { return made_; }
    std::string FolderPath() const;  // Windows path of its folder
    std::string Path() const;        // Windows path of the file

private:
    std::string unixFolder_;
    std::string name_;
    bool made_ = false;
};

}  // namespace testing_support
