// The main dialog created in this process, for what another process cannot
// hand it: the command line, a dropped file list, the tooltips, and a window
// re-created over the inputs of a failed job; the ways it closes; and the
// progress window as a job's report.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which they need
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "engine/engine_steps.h"
#include "engine/job_report.h"
#include "model/split_job.h"
#include "resource.h"
#include "runtime/start_up.h"
#include "test_support.h"
#include "ui/command_line.h"
#include "ui/main_dialog.h"
#include "ui/options_dialog.h"
#include "ui/progress_dialog.h"
#include "ui/progress_report.h"
#include "ui_driver.h"

using namespace testing_support;

namespace {

class MainDialogHere : public ::testing::Test {
protected:
    void SetUp() override {
        AppInstance = GetModuleHandleA(nullptr);
        InitCommonControls();
        SplitJob.Spanning = 0;
        ResetJob();
        Options.AlwaysOnTop = 0;
    }
    void TearDown() override {
        if (IsWindow(ProgressWindow)) DestroyWindow(ProgressWindow);
        if (MainWindow) DestroyWindow(MainWindow);
        MainWindow = nullptr;
    }
    std::string Text(int id) const { return WindowText(GetDlgItem(MainWindow, id)); }
    std::string FieldText(int id) const {
        char text[1024] = {};
        GetDlgItemTextA(MainWindow, id, text, sizeof text);
        return text;
    }
    int UnitSelection() const {
        return static_cast<int>(SendDlgItemMessageA(MainWindow, IDC_UNIT_LIST, CB_GETCURSEL, 0, 0));
    }
};

// A drop as the shell hands it: a DROPFILES block followed by the names.
HDROP MakeDrop(const std::vector<std::string>& paths) {
    std::string names;
    for (const std::string& path : paths) names += path + '\0';
    names += '\0';
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size());
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(block);
    return static_cast<HDROP>(block);
}

TEST_F(MainDialogHere, DroppedFileBecomesTheSourceWithItsUnitCountAndFolder) {
    TempFolder folder;
    std::string first = folder.File("first.bin");
    std::string second = folder.File("second.bin");
    WriteRandomFile(first, 5242880);
    WriteRandomFile(second, 10);
    SplitJob.SplitSizeText = {'1'};
    ASSERT_NE(CreateMainDialog(), nullptr);
    ASSERT_EQ(UnitSelection(), 1);  // KB

    SendMessageA(MainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({first, second})), 0);
    EXPECT_EQ(FieldText(IDC_SOURCE), first);
    EXPECT_STREQ(SplitJob.SourcePath.data(), first.c_str());
    EXPECT_EQ(Text(IDC_SIZE_LABEL), "Size: 5.00 MB (5242880 bytes)");
    EXPECT_EQ(UnitSelection(), 2);  // MB suggested, and counted with
    EXPECT_EQ(SplitJob.SizeUnitIndex, 2);
    EXPECT_EQ(Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: 5");
    EXPECT_EQ(FieldText(IDC_DEST), folder.Path());
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(MainWindow, IDC_SPLIT)));
    EXPECT_FALSE(GetWindowLongA(MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(MainDialogHere, DropKeepsAFilledDestinationAndAMissingFileKeepsTheUnit) {
    TempFolder folder;
    SplitJob.DestFolder = {'D', ':', '\\'};
    ASSERT_NE(CreateMainDialog(), nullptr);
    std::string missing = folder.File("gone.bin");
    SendMessageA(MainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({missing})), 0);
    EXPECT_EQ(FieldText(IDC_SOURCE), missing);
    EXPECT_EQ(Text(IDC_SIZE_LABEL), "Size: ");
    EXPECT_EQ(UnitSelection(), 1);
    EXPECT_EQ(FieldText(IDC_DEST), "D:\\");
}

// The source the program starts with, from its whole command line.
TEST_F(MainDialogHere, CommandLineTailIsTheSourceUnlessEmptyOrAnOption) {
    const std::string overlong = "C:\\" + std::string(300, 'a') + " more";
    const std::pair<std::string, std::string> rows[] = {
        {"\"C:\\Program Files\\Partola95.exe\"", ""},
        {"\"C:\\Program Files\\Partola95.exe\" C:\\data.bin", "C:\\data.bin"},
        {"  Partola95.exe\tC:\\data.bin  ", "C:\\data.bin  "},
        {"\"Partola95.exe\"C:\\data.bin", "C:\\data.bin"},
        {"\"C:\\Partola 95\\Partola95\tC:\\data.bin", "C:\\data.bin"},
        // A quoted path keeps its quotation marks: it names no file.
        {"Partola95.exe \"C:\\with blank.bin\"", "\"C:\\with blank.bin\""},
        {"Partola95.exe /x", ""},
        // Cut, it would name another file; whole, Split refuses it.
        {"Partola95.exe " + overlong, overlong},
    };
    for (const auto& [line, source] : rows) {
        SCOPED_TRACE(line);
        SplitJob.Spanning = 0;
        ResetJob();
        std::string_view tail = CommandLineTail(line);
        TakeSourceFromTail(tail);
        ASSERT_NE(CreateMainDialog(), nullptr);
        ShowOverlongSourceTail(tail);
        EXPECT_EQ(FieldText(IDC_SOURCE), source);
        EXPECT_EQ(Text(IDC_SIZE_LABEL), "Size: ");  // none of these files exists
        DestroyWindow(MainWindow);
        MainWindow = nullptr;
    }
}

// The Close button and the close box end the program with exit code 0 (the
// Escape key, which goes through the program's message loop, is tested on
// the running program).
TEST_F(MainDialogHere, CloseButtonAndCloseBoxEndTheProgramWithExitCodeZero) {
    for (auto [message, wParam] :
         {std::pair{WM_COMMAND, WPARAM{IDCANCEL}}, std::pair{WM_SYSCOMMAND, WPARAM{SC_CLOSE}}}) {
        SCOPED_TRACE(message);
        ASSERT_NE(CreateMainDialog(), nullptr);
        HWND window = MainWindow;
        SendMessageA(window, message, wParam, 0);
        EXPECT_FALSE(IsWindow(window));
        MSG quit{};
        ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(quit.wParam, 0u);
        MainWindow = nullptr;
    }
}

TEST_F(MainDialogHere, RecreatedWindowShowsTheJobsInputsWithoutRefreshingThem) {
    TempFolder folder;
    std::string source = folder.File("kept.bin");
    WriteRandomFile(source, 2048);
    CopyText(SplitJob.SourcePath, source);
    CopyText(SplitJob.DestFolder, "A:\\");
    CopyText(SplitJob.SplitSizeText, "1,5");  // would be refused if it were read
    SplitJob.SourceSize = 2048;
    SplitJob.SizeMode = SplitSizeMode::Span;
    SplitJob.SizeUnitIndex = 0;
    SplitJob.PresetIndex = 3;
    MainWindow = reinterpret_cast<HWND>(static_cast<intptr_t>(0x1234));  // the old, gone window
    MessageBoxWatcher watcher;
    ASSERT_NE(CreateMainDialog(), nullptr);
    EXPECT_EQ(FieldText(IDC_SOURCE), source);
    EXPECT_EQ(FieldText(IDC_DEST), "A:\\");
    EXPECT_EQ(FieldText(IDC_SIZE_TEXT), "1,5");
    EXPECT_EQ(Text(IDC_SIZE_LABEL), "Size: 2.00 KB (2048 bytes)");
    EXPECT_EQ(Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: ");
    EXPECT_EQ(IsDlgButtonChecked(MainWindow, IDC_SPAN), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(MainWindow, IDC_SPECIFIED), BST_UNCHECKED);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(MainWindow, IDC_SIZE_TEXT)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(MainWindow, IDC_PRESET_LIST)));
    EXPECT_EQ(UnitSelection(), 0);
    EXPECT_EQ(SendDlgItemMessageA(MainWindow, IDC_PRESET_LIST, CB_GETCURSEL, 0, 0), 3);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(MainWindow, IDC_SPLIT)));
    EXPECT_EQ(SplitJob.SizeMode, SplitSizeMode::Span);
    EXPECT_STREQ(SplitJob.SplitSizeText.data(), "1,5");
    EXPECT_EQ(watcher.Count(), 0u);
}

// Every control a user works (each button, field and list; no label or
// frame) has one tip of its own, named by its window, which the tooltip
// shows whenever the mouse rests on it.
TEST_F(MainDialogHere, EveryControlAUserWorksHasATipOfItsOwn) {
    ASSERT_NE(CreateMainDialog(), nullptr);
    HWND tooltip = TooltipOf(MainWindow);
    ASSERT_NE(tooltip, nullptr);
    EXPECT_TRUE(GetWindowLongA(tooltip, GWL_STYLE) & TTS_ALWAYSTIP);
    std::vector<int> worked, tipped;
    for (HWND control : ChildrenOf(MainWindow)) {
        char windowClass[32] = {};
        GetClassNameA(control, windowClass, sizeof windowClass);
        LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
        bool frame = lstrcmpiA(windowClass, "Button") == 0 && type == BS_GROUPBOX;
        if (lstrcmpiA(windowClass, "Static") != 0 && !frame)
            worked.push_back(GetDlgCtrlID(control));
    }
    for (const Tool& tool : TooltipsOf(MainWindow)) {
        EXPECT_TRUE(tool.byWindow) << tool.text;
        EXPECT_FALSE(tool.text.empty()) << tool.controlId;
        tipped.push_back(tool.controlId);
    }
    std::sort(worked.begin(), worked.end());
    std::sort(tipped.begin(), tipped.end());
    EXPECT_EQ(tipped, worked);
}

// The help the Options dialog's controls give: every check box and their
// group have a topic of their own, the table names no control the dialog
// lacks, and the pairs handed to the viewer end with two zeros.
TEST(ContextHelp, EveryOptionsControlHasATopicOfItsOwn) {
    HWND options = CreateHiddenDialog(IDD_OPTIONS);
    ASSERT_NE(options, nullptr);
    std::vector<DWORD> controls;
    for (HWND control : ChildrenOf(options)) controls.push_back(GetDlgCtrlID(control));
    std::vector<DWORD> named, topics;
    const DWORD* pairs = OptionHelpPairs();
    size_t i = 0;
    for (; i < 64 && (pairs[i] || pairs[i + 1]); i += 2) {
        named.push_back(pairs[i]);
        topics.push_back(pairs[i + 1]);
        EXPECT_NE(std::find(controls.begin(), controls.end(), pairs[i]), controls.end())
            << "no control " << pairs[i] << " in Options";
        EXPECT_NE(pairs[i + 1], 0u);
        EXPECT_EQ(OptionHelpContext(static_cast<int>(pairs[i])), pairs[i + 1]);
    }
    ASSERT_LT(i, 64u) << "the table does not end with two zeros";
    for (DWORD id : controls)
        EXPECT_EQ(std::count(named.begin(), named.end(), id), id == IDOK || id == IDCANCEL ? 0 : 1)
            << id;
    std::sort(topics.begin(), topics.end());
    EXPECT_EQ(std::adjacent_find(topics.begin(), topics.end()), topics.end()) << "a topic twice";
    DestroyWindow(options);
}

TEST_F(MainDialogHere, ProgressWindowStartsWithCancelTipAndIsTopmostWhenAsked) {
    Options.AlwaysOnTop = 1;
    HWND window = CreateProgressDialog();
    ASSERT_TRUE(window);
    EXPECT_EQ(WindowText(window), "Partola 95 Progress");
    EXPECT_EQ(WindowText(GetDlgItem(window, IDCANCEL)), "&Cancel");
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(TooltipsOf(window).at(0).text, "Cancel Splitting");
    // Closed before any job: it simply goes, bringing the main window back.
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(ProgressWindow, nullptr);
    EXPECT_TRUE(MainWindow && IsWindow(MainWindow));
}

TEST_F(MainDialogHere, ProgressWindowShowsTheReportAtItsPaceAndEndsWithACloseButton) {
    HWND window = CreateProgressDialog();
    ASSERT_TRUE(window);
    const JobReport& report = JobReporter();
    HWND bar = GetDlgItem(window, IDC_PROGRESS_BAR);
    report.Begin();
    // Beyond 16 bits the bar moves in proportion: 102,401 steps move it every
    // second step, 655,361 every eleventh.
    report.Range(102401);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 51201);
    report.Range(655361);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 59579);
    report.Range(3);
    report.Title("Splitting");
    report.PassingStatus("Writing piece 1 of 3...");
    report.Step();
    report.Step();
    // Steps may wait for the window's pace; a text the user must read shows
    // them first, and a box waits for them too.
    report.Status("Writing recombination batch file...");
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 2);
    EXPECT_EQ(WindowText(GetDlgItem(window, IDC_PROGRESS_TITLE)), "Splitting");
    MessageBoxWatcher boxes;
    EXPECT_EQ(report.Ask("Go on?", "Question", MB_OKCANCEL), IDOK);
    EXPECT_EQ(boxes.Seen().at(0).owner, window);

    report.Finished(false);  // the last move, whatever part of one the steps made
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 3);
    EXPECT_EQ(WindowText(GetDlgItem(window, IDC_PROGRESS_STATUS)), "Finished.");
    EXPECT_EQ(WindowText(GetDlgItem(window, IDCANCEL)), "Close");
    EXPECT_EQ(TooltipsOf(window).at(0).text, "Close Split Status Dialog");
    report.Finished(true);  // a spanning job's bar ends full as a range of one
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 1);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 1);

    PostMessageA(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitWindowGone(window));
    EXPECT_TRUE(MainWindow && IsWindow(MainWindow));
}

// The worker's prompts close at a Cancel whatever their buttons: a Yes/No box
// has no Cancel to press, and Windows ignores IDCANCEL there.
DWORD WINAPI AskYesNo(LPVOID answer) {
    *static_cast<int*>(answer) = AskUser("Go on?", "Yes or no", MB_YESNO);
    return 0;
}

TEST_F(MainDialogHere, AYesNoPromptOpenAtACancelIsClosedWithItsNoButton) {
    ReportToProgressWindow();  // its prompts, with no window to own them
    ASSERT_TRUE(BeginSplitJob());
    MarkSplitJobPrepared();
    int answer = -1;
    HANDLE asker = CreateThread(nullptr, 0, AskYesNo, &answer, 0, nullptr);
    ASSERT_NE(asker, nullptr);
    HWND box = nullptr;
    for (int wait = 0; wait < 500 && !(box && IsWindowVisible(box)); ++wait, Sleep(20))
        box = FindWindowA("#32770", "Yes or no");
    ASSERT_NE(box, nullptr);
    JobReporter().Canceling();  // what the progress window does at a Cancel
    EXPECT_EQ(WaitForSingleObject(asker, 10000), WAIT_OBJECT_0);
    CloseHandle(asker);
    EXPECT_EQ(answer, IDNO);
    EndSplitJobEarly();
}

}  // namespace
