// The real program driven from this test as a user would: its command line,
// its fields and labels, the Split button, the destination it suggests, the
// size messages and the ways to close it.
#include <gtest/gtest.h>

#include <string>

#include "resource.h"
#include "test_support.h"
#include "ui_driver.h"

using namespace testing_support;

namespace {

constexpr char InvalidCharacterMessage[] =
    "Error|Invalid character(s) found in split size.\n"
    "Characters other than digits or decimal points (.) are invalid.";

// One running program and its main window.
class MainWindowRun {
public:
    explicit MainWindowRun(const std::string& tail = "") : program(tail) {
        window = program.MainWindow();
    }
    std::string Text(int id) const { return ControlText(window, id); }
    bool Enabled(int id) const { return IsControlEnabled(window, id); }
    // Closes it the way the test says and gives the exit code, or -1.
    long ExitCodeAfter(bool closed) const {
        DWORD code = 0;
        if (!closed || !program.WaitForExit(code)) return -1;
        return static_cast<long>(code);
    }

    ProgramUnderTest program;
    HWND window = nullptr;
};

// A source file of the given size in a fresh folder.
struct SourceFile {
    SourceFile(const std::string& name, uint32_t size) : path(folder.File(name)) {
        WriteRandomFile(path, size);
    }
    TempFolder folder;
    std::string path;
};

void ExpectStartState(const MainWindowRun& run) {
    EXPECT_EQ(run.Text(IDC_DEST), "");
    EXPECT_EQ(run.Text(IDC_SIZE_TEXT), "");
    EXPECT_EQ(run.Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: ");
    EXPECT_TRUE(IsButtonChecked(run.window, IDC_SPECIFIED));
    EXPECT_FALSE(IsButtonChecked(run.window, IDC_SPAN));
    EXPECT_FALSE(IsButtonChecked(run.window, IDC_PRESET));
    EXPECT_TRUE(run.Enabled(IDC_SIZE_TEXT));
    EXPECT_TRUE(run.Enabled(IDC_UNIT_LIST));
    EXPECT_FALSE(run.Enabled(IDC_PRESET_LIST));
    EXPECT_EQ(ListSelection(run.window, IDC_UNIT_LIST), 1);
    EXPECT_EQ(ListSelection(run.window, IDC_PRESET_LIST), 2);
    EXPECT_FALSE(run.Enabled(IDC_SPLIT));  // no split size typed yet
}

TEST(StartUp, WithoutTailShowsEmptyFieldsAndBareLabels) {
    MainWindowRun run;
    ASSERT_NE(run.window, nullptr);
    EXPECT_EQ(run.Text(IDC_SOURCE), "");
    EXPECT_EQ(run.Text(IDC_SIZE_LABEL), "Size: ");
    ExpectStartState(run);
    ASSERT_EQ(ListCount(run.window, IDC_UNIT_LIST), 3);
    EXPECT_EQ(ListEntryText(run.window, IDC_UNIT_LIST, 0), "bytes");
    EXPECT_EQ(ListEntryText(run.window, IDC_UNIT_LIST, 2), "MB");
    ASSERT_EQ(ListCount(run.window, IDC_PRESET_LIST), 4);
    EXPECT_EQ(ListEntryText(run.window, IDC_PRESET_LIST, 0), "720 KB");
    EXPECT_EQ(ListEntryText(run.window, IDC_PRESET_LIST, 3), "2.88 MB");
}

TEST(StartUp, TailNamingAFileShowsItWithItsSize) {
    SourceFile source("source.bin", 3000);
    const std::string& path = source.path;
    MainWindowRun run(path);
    ASSERT_NE(run.window, nullptr);
    EXPECT_EQ(run.Text(IDC_SOURCE), path);
    EXPECT_EQ(run.Text(IDC_SIZE_LABEL), "Size: 2.93 KB (3000 bytes)");
    ExpectStartState(run);
}

TEST(StartUp, QuotedTailKeepsItsQuotationMarks) {
    SourceFile source("with blank.bin", 3000);
    const std::string& path = source.path;
    MainWindowRun run("\"" + path + "\"");
    ASSERT_NE(run.window, nullptr);
    EXPECT_EQ(run.Text(IDC_SOURCE), "\"" + path + "\"");
    EXPECT_EQ(run.Text(IDC_SIZE_LABEL), "Size: ");
}

TEST(StartUp, TailStartingWithSlashIsIgnored) {
    MainWindowRun run("/x");
    ASSERT_NE(run.window, nullptr);
    EXPECT_EQ(run.Text(IDC_SOURCE), "");
    EXPECT_EQ(run.Text(IDC_SIZE_LABEL), "Size: ");
}

TEST(StartUp, OverlongTailIsCutToThePathField) {
    std::string tail = "C:\\" + std::string(300, 'a') + " more";
    MainWindowRun run(tail);
    ASSERT_NE(run.window, nullptr);
    EXPECT_EQ(run.Text(IDC_SOURCE), tail.substr(0, 259));
}

TEST(Closing, EscapeEndsTheProgramWithExitCodeZero) {
    MainWindowRun run;
    ASSERT_NE(run.window, nullptr);
    EXPECT_EQ(run.ExitCodeAfter(PressKey(run.window, VK_ESCAPE)), 0);
}

TEST(Closing, CloseButtonAndSystemCloseEndTheProgramWithExitCodeZero) {
    MainWindowRun byButton;
    ASSERT_NE(byButton.window, nullptr);
    PostMessageW(GetDlgItem(byButton.window, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(byButton.ExitCodeAfter(true), 0);

    MainWindowRun byCloseBox;
    ASSERT_NE(byCloseBox.window, nullptr);
    PostMessageW(byCloseBox.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(byCloseBox.ExitCodeAfter(true), 0);
}

TEST(Closing, EnterDoesNothing) {
    MainWindowRun run;
    ASSERT_NE(run.window, nullptr);
    ASSERT_TRUE(TypeText(run.window, IDC_SIZE_TEXT, "12"));
    PressKey(run.window, VK_RETURN);
    DWORD code = 0;
    EXPECT_FALSE(run.program.WaitForExit(code, 500));
    EXPECT_TRUE(IsWindowVisible(run.window));
}

TEST(Editing, SourceLabelsRefreshOnLeavingTheFieldSplitButtonOnEveryChange) {
    SourceFile source("data.bin", 10000);
    const std::string& path = source.path;
    MainWindowRun run;
    ASSERT_NE(run.window, nullptr);
    ASSERT_TRUE(TypeText(run.window, IDC_SIZE_TEXT, "3"));
    EXPECT_FALSE(run.Enabled(IDC_SPLIT));
    ASSERT_TRUE(TypeText(run.window, IDC_SOURCE, path));
    EXPECT_TRUE(run.Enabled(IDC_SPLIT));
    EXPECT_EQ(run.Text(IDC_SIZE_LABEL), "Size: ");
    EXPECT_EQ(run.Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: ");

    ASSERT_TRUE(LeaveField(run.window, IDC_SOURCE));
    EXPECT_EQ(run.Text(IDC_SIZE_LABEL), "Size: 9.77 KB (10000 bytes)");
    EXPECT_EQ(run.Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: 4");  // 3 KB pieces

    ASSERT_TRUE(TypeText(run.window, IDC_SOURCE, ""));
    EXPECT_FALSE(run.Enabled(IDC_SPLIT));
    EXPECT_EQ(run.Text(IDC_SIZE_LABEL), "Size: 9.77 KB (10000 bytes)");
}

TEST(Editing, SizeChangesRecountWhileASourceSizeIsKnown) {
    SourceFile source("data.bin", 10000);
    const std::string& path = source.path;
    MainWindowRun run(path);
    ASSERT_NE(run.window, nullptr);
    ASSERT_TRUE(TypeText(run.window, IDC_SIZE_TEXT, "5"));
    EXPECT_EQ(run.Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: 2");
    ASSERT_TRUE(SelectListEntry(run.window, IDC_UNIT_LIST, 0));
    EXPECT_EQ(run.Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: 2000");
    ASSERT_TRUE(TypeText(run.window, IDC_SIZE_TEXT, "20000"));
    EXPECT_EQ(run.Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: Split size too big");

    ASSERT_TRUE(Click(run.window, IDC_PRESET));
    EXPECT_FALSE(run.Enabled(IDC_SIZE_TEXT));
    EXPECT_FALSE(run.Enabled(IDC_UNIT_LIST));
    EXPECT_TRUE(run.Enabled(IDC_PRESET_LIST));
    EXPECT_EQ(run.Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: Split size too big");
    ASSERT_TRUE(TypeText(run.window, IDC_SIZE_TEXT, ""));
    EXPECT_TRUE(run.Enabled(IDC_SPLIT));  // a preset needs no typed size

    ASSERT_TRUE(Click(run.window, IDC_SPAN));
    EXPECT_EQ(run.Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: Spanned");
    EXPECT_FALSE(run.Enabled(IDC_SPLIT));  // a span needs a destination
    ASSERT_TRUE(TypeText(run.window, IDC_DEST, "A:\\"));
    EXPECT_TRUE(run.Enabled(IDC_SPLIT));
}

TEST(Editing, SizeChangesWithoutASourceRefreshOnlyTheSplitButton) {
    MainWindowRun run("C:\\no\\such\\file.bin");
    MessageBoxWatcher programBoxes(run.program.ProcessId());
    ASSERT_NE(run.window, nullptr);
    ASSERT_TRUE(TypeText(run.window, IDC_SIZE_TEXT, "1,5"));
    EXPECT_EQ(run.Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: ");
    EXPECT_TRUE(run.Enabled(IDC_SPLIT));
    EXPECT_EQ(programBoxes.Count(), 0u);
}

TEST(Editing, InvalidSizeTextIsReportedOncePerChange) {
    SourceFile source("data.bin", 10000);
    const std::string& path = source.path;
    MainWindowRun run(path);
    ASSERT_NE(run.window, nullptr);
    MessageBoxWatcher boxes(run.program.ProcessId());
    ASSERT_TRUE(TypeText(run.window, IDC_SIZE_TEXT, "1,5"));
    ASSERT_TRUE(boxes.WaitForCount(1));
    ASSERT_TRUE(TypeText(run.window, IDC_SIZE_TEXT, "1,50"));
    ASSERT_TRUE(boxes.WaitForCount(2));
    ASSERT_TRUE(TypeText(run.window, IDC_SIZE_TEXT, "1 5"));
    ASSERT_TRUE(boxes.WaitForCount(3));
    ASSERT_TRUE(TypeText(run.window, IDC_SIZE_TEXT, "2"));
    EXPECT_EQ(run.Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: 5");
    Sleep(300);
    std::vector<std::string> transcript = boxes.Transcript();
    ASSERT_EQ(transcript.size(), 3u);
    EXPECT_EQ(transcript[0], InvalidCharacterMessage);
    EXPECT_EQ(transcript[1], InvalidCharacterMessage);
    EXPECT_EQ(transcript[2], "Error|Spaces aren't allowed before or between digits.");
    for (const SeenBox& box : boxes.Seen()) EXPECT_EQ(box.owner, run.window);
}

// The destination a source suggests when the user leaves the source field.
std::string DestinationAfterTyping(const std::string& source, const std::string& destination,
                                   bool span = false) {
    MainWindowRun run;
    if (!run.window) return "(no window)";
    if (span) Click(run.window, IDC_SPAN);
    TypeText(run.window, IDC_DEST, destination);
    TypeText(run.window, IDC_SOURCE, source);
    LeaveField(run.window, IDC_SOURCE);
    return run.Text(IDC_DEST);
}

TEST(Destination, TypedDriveSourceSuggestsItsFolder) {
    EXPECT_EQ(DestinationAfterTyping("C:\\name.zip", ""), "C:\\");
    EXPECT_EQ(DestinationAfterTyping("C:\\Dir\\name.zip", ""), "C:\\Dir");
    EXPECT_EQ(DestinationAfterTyping("C:\\Dir\\Sub\\name.zip", ""), "C:\\Dir\\Sub");
}

TEST(Destination, NoSuggestionForNetworkPathsFilledDestinationsOrSpans) {
    EXPECT_EQ(DestinationAfterTyping("\\\\server\\share\\name.zip", ""), "");
    EXPECT_EQ(DestinationAfterTyping("name.zip", ""), "");
    EXPECT_EQ(DestinationAfterTyping("C:\\Dir\\name.zip", "D:\\Out"), "D:\\Out");
    EXPECT_EQ(DestinationAfterTyping("C:\\Dir\\name.zip", "", true), "");
}

TEST(Destination, SpanEmptiesAFolderButKeepsADriveRoot) {
    MainWindowRun run;
    ASSERT_NE(run.window, nullptr);
    ASSERT_TRUE(TypeText(run.window, IDC_DEST, "C:\\Temp"));
    ASSERT_TRUE(Click(run.window, IDC_SPAN));
    EXPECT_EQ(run.Text(IDC_DEST), "");
    EXPECT_FALSE(run.Enabled(IDC_SIZE_TEXT));
    EXPECT_FALSE(run.Enabled(IDC_UNIT_LIST));
    EXPECT_FALSE(run.Enabled(IDC_PRESET_LIST));

    ASSERT_TRUE(Click(run.window, IDC_SPECIFIED));
    EXPECT_TRUE(run.Enabled(IDC_SIZE_TEXT));
    ASSERT_TRUE(TypeText(run.window, IDC_DEST, "A:\\"));
    ASSERT_TRUE(Click(run.window, IDC_SPAN));
    EXPECT_EQ(run.Text(IDC_DEST), "A:\\");
}

TEST(Screenshot, MainWindowPictureIsWrittenToTheBuildTree) {
    SourceFile source("report.doc", 3000000);
    const std::string& path = source.path;
    MainWindowRun run(path);
    ASSERT_NE(run.window, nullptr);
    ASSERT_TRUE(TypeText(run.window, IDC_SIZE_TEXT, "1.44"));
    ASSERT_TRUE(SelectListEntry(run.window, IDC_UNIT_LIST, 2));
    ASSERT_TRUE(LeaveField(run.window, IDC_SOURCE));
    std::string name = sizeof(void*) == 8 ? "main_window.png" : "main_window_i686.png";
    std::string picture = BuildRootUnix() + "/screenshots/" + name;
    ASSERT_TRUE(SaveWindowPicture(run.window, picture));
    EXPECT_TRUE(FileExists(UnixToWindowsPath(picture)));
}

}  // namespace
