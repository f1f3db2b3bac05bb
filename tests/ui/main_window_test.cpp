// The real program driven from this test as a user would: its command line,
// its fields and labels, the Split button, the destination it suggests, the
// size messages and the ways to close it.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "program_session.h"
#include "resource.h"

using namespace testing_support;

namespace {

// One running program and its main window, started with the command line tail.
class MainWindowRun : public ProgramSession {
public:
    explicit MainWindowRun(const std::string& tail = "") : ProgramSession(QuietOptions, tail) {}
    bool Enabled(int id) const { return IsControlEnabled(main, id); }
    // Closed the way the test says: the exit code, or -1.
    long ExitCodeAfter(bool closed) const {
        DWORD code = 0;
        if (!closed || !program.WaitForExit(code)) return -1;
        return static_cast<long>(code);
    }
};

// A source file of the given size in a fresh folder.
struct SourceFile {
    SourceFile(const std::string& name, uint32_t size) : path(folder.File(name)) {
        WriteRandomFile(path, size);
    }
    TempFolder folder;
    std::string path;
};

// One start with a file's path as the command line's tail (what other tails
// give is the in-process table's concern): the start state, Enter doing
// nothing, Escape ending the program with exit code 0. (The Close button and
// the close box are tested in-process.)
TEST(StartUp, TailNamingAFileShowsItWithItsSizeEnterDoesNothingEscapeEnds) {
    SourceFile source("source.bin", 3000);
    MainWindowRun run(source.path);
    ASSERT_NE(run.main, nullptr);
    EXPECT_EQ(run.Text(IDC_SOURCE), source.path);
    EXPECT_EQ(run.Text(IDC_SIZE_LABEL), "Size: 2.93 KB (3000 bytes)");
    EXPECT_EQ(run.Text(IDC_DEST), "");
    EXPECT_EQ(run.Text(IDC_SIZE_TEXT), "");
    EXPECT_EQ(run.Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: ");
    EXPECT_TRUE(IsButtonChecked(run.main, IDC_SPECIFIED));
    EXPECT_FALSE(IsButtonChecked(run.main, IDC_SPAN));
    EXPECT_FALSE(IsButtonChecked(run.main, IDC_PRESET));
    EXPECT_TRUE(run.Enabled(IDC_SIZE_TEXT));
    EXPECT_TRUE(run.Enabled(IDC_UNIT_LIST));
    EXPECT_FALSE(run.Enabled(IDC_PRESET_LIST));
    EXPECT_EQ(ListSelection(run.main, IDC_UNIT_LIST), 1);
    EXPECT_EQ(ListSelection(run.main, IDC_PRESET_LIST), 2);
    EXPECT_FALSE(run.Enabled(IDC_SPLIT));  // no split size typed yet
    ASSERT_EQ(ListCount(run.main, IDC_UNIT_LIST), 3);
    EXPECT_EQ(ListEntryText(run.main, IDC_UNIT_LIST, 0), "bytes");
    EXPECT_EQ(ListEntryText(run.main, IDC_UNIT_LIST, 2), "MB");
    ASSERT_EQ(ListCount(run.main, IDC_PRESET_LIST), 4);
    EXPECT_EQ(ListEntryText(run.main, IDC_PRESET_LIST, 0), "720 KB");
    EXPECT_EQ(ListEntryText(run.main, IDC_PRESET_LIST, 3), "2.88 MB");

    ASSERT_TRUE(TypeText(run.main, IDC_SIZE_TEXT, "12"));
    ASSERT_TRUE(PressKey(run.main, VK_RETURN));
    // A digit typed after Enter: once the field shows it, Enter was handled.
    PostMessageW(GetDlgItem(run.main, IDC_SIZE_TEXT), WM_CHAR, '3', 1);
    EXPECT_TRUE(WaitUntil([&] { return run.Text(IDC_SIZE_TEXT).size() == 3; }));
    DWORD code = 0;
    EXPECT_FALSE(run.program.WaitForExit(code, 0));
    EXPECT_TRUE(IsWindowVisible(run.main));

    EXPECT_EQ(run.ExitCodeAfter(PressKey(run.main, VK_ESCAPE)), 0);
}

// The cases of editing the main window share one running program: each
// starts from the fields as a fresh start shows them.
class Editing : public ::testing::Test {
protected:
    static void SetUpTestSuite() { run = new MainWindowRun; }
    static void TearDownTestSuite() {
        delete run;
        run = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(run->main, nullptr);
        ASSERT_TRUE(TypeText(run->main, IDC_SIZE_TEXT, ""));
        ASSERT_TRUE(Click(run->main, IDC_SPECIFIED));
        ASSERT_TRUE(SelectListEntry(run->main, IDC_UNIT_LIST, 1));
        ASSERT_TRUE(SelectListEntry(run->main, IDC_PRESET_LIST, 2));
        for (int field : {IDC_DEST, IDC_SOURCE}) ASSERT_TRUE(TypeText(run->main, field, ""));
        ASSERT_TRUE(LeaveField(run->main, IDC_SOURCE));  // no source size known
        ASSERT_TRUE(run->Settle());
        boxesBefore = run->boxes.Count();
    }
    // The boxes this case saw.
    std::vector<std::string> Boxes() const {
        std::vector<std::string> seen = run->boxes.Transcript();
        return std::vector<std::string>(seen.begin() + static_cast<ptrdiff_t>(boxesBefore),
                                        seen.end());
    }
    bool Enabled(int id) const { return run->Enabled(id); }
    std::string Text(int id) const { return run->Text(id); }
    bool TypeSource(const std::string& path) const {
        return TypeText(run->main, IDC_SOURCE, path) && LeaveField(run->main, IDC_SOURCE);
    }

    static MainWindowRun* run;
    size_t boxesBefore = 0;
};

MainWindowRun* Editing::run = nullptr;

TEST_F(Editing, SourceLabelsRefreshOnLeavingTheFieldSplitButtonOnEveryChange) {
    SourceFile source("data.bin", 10000);
    ASSERT_TRUE(TypeText(run->main, IDC_SIZE_TEXT, "3"));
    EXPECT_FALSE(Enabled(IDC_SPLIT));
    ASSERT_TRUE(TypeText(run->main, IDC_SOURCE, source.path));
    EXPECT_TRUE(Enabled(IDC_SPLIT));
    EXPECT_EQ(Text(IDC_SIZE_LABEL), "Size: ");
    std::string count = Text(IDC_PIECE_COUNT_LABEL);

    ASSERT_TRUE(LeaveField(run->main, IDC_SOURCE));
    EXPECT_EQ(Text(IDC_SIZE_LABEL), "Size: 9.77 KB (10000 bytes)");
    EXPECT_EQ(Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: 4");  // 3 KB pieces
    EXPECT_NE(count, Text(IDC_PIECE_COUNT_LABEL));

    ASSERT_TRUE(TypeText(run->main, IDC_SOURCE, ""));
    EXPECT_FALSE(Enabled(IDC_SPLIT));
    EXPECT_EQ(Text(IDC_SIZE_LABEL), "Size: 9.77 KB (10000 bytes)");
}

TEST_F(Editing, SizeChangesRecountWhileASourceSizeIsKnown) {
    SourceFile source("data.bin", 10000);
    ASSERT_TRUE(TypeSource(source.path));
    ASSERT_TRUE(TypeText(run->main, IDC_SIZE_TEXT, "5"));
    EXPECT_EQ(Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: 2");
    ASSERT_TRUE(SelectListEntry(run->main, IDC_UNIT_LIST, 0));
    EXPECT_EQ(Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: 2000");
    ASSERT_TRUE(TypeText(run->main, IDC_SIZE_TEXT, "20000"));
    EXPECT_EQ(Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: Split size too big");

    ASSERT_TRUE(Click(run->main, IDC_PRESET));
    EXPECT_FALSE(Enabled(IDC_SIZE_TEXT));
    EXPECT_FALSE(Enabled(IDC_UNIT_LIST));
    EXPECT_TRUE(Enabled(IDC_PRESET_LIST));
    EXPECT_EQ(Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: Split size too big");
    ASSERT_TRUE(TypeText(run->main, IDC_SIZE_TEXT, ""));
    EXPECT_TRUE(Enabled(IDC_SPLIT));  // a preset needs no typed size

    ASSERT_TRUE(Click(run->main, IDC_SPAN));
    EXPECT_EQ(Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: Spanned");
    EXPECT_FALSE(Enabled(IDC_SPLIT));  // a span needs a destination
    ASSERT_TRUE(TypeText(run->main, IDC_DEST, "A:\\"));
    EXPECT_TRUE(Enabled(IDC_SPLIT));
}

TEST_F(Editing, SizeChangesWithoutASourceRefreshOnlyTheSplitButton) {
    ASSERT_TRUE(TypeSource("C:\\no\\such\\file.bin"));
    std::string count = Text(IDC_PIECE_COUNT_LABEL);
    ASSERT_TRUE(TypeText(run->main, IDC_SIZE_TEXT, "1,5"));
    EXPECT_EQ(Text(IDC_PIECE_COUNT_LABEL), count);
    EXPECT_TRUE(Enabled(IDC_SPLIT));
    ASSERT_TRUE(run->Settle());
    EXPECT_EQ(Boxes(), std::vector<std::string>{});
}

TEST_F(Editing, InvalidSizeTextIsReportedOncePerChange) {
    SourceFile source("data.bin", 10000);
    ASSERT_TRUE(TypeSource(source.path));
    for (const char* typed : {"1,5", "1,50", "1 5", "2"})
        ASSERT_TRUE(TypeText(run->main, IDC_SIZE_TEXT, typed) && run->Settle());
    EXPECT_EQ(Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: 5");
    EXPECT_EQ(Boxes(), (std::vector<std::string>{messages::InvalidCharacter,
                                                 messages::InvalidCharacter, messages::Spaces}));
    std::vector<SeenBox> seen = run->boxes.Seen();
    for (size_t i = boxesBefore; i < seen.size(); ++i) EXPECT_EQ(seen[i].owner, run->main);
}

// The destination a source suggests when the user leaves the source field.
std::string DestinationAfterTyping(MainWindowRun& run, const std::string& source,
                                   const std::string& destination, bool span = false) {
    Click(run.main, span ? IDC_SPAN : IDC_SPECIFIED);
    TypeText(run.main, IDC_DEST, destination);
    TypeText(run.main, IDC_SOURCE, source);
    LeaveField(run.main, IDC_SOURCE);
    return run.Text(IDC_DEST);
}

TEST_F(Editing, DriveSourceSuggestsItsFolderButNotForNetworkPathsFilledFieldsOrSpans) {
    EXPECT_EQ(DestinationAfterTyping(*run, "C:\\name.zip", ""), "C:\\");
    EXPECT_EQ(DestinationAfterTyping(*run, "C:\\Dir\\name.zip", ""), "C:\\Dir");
    EXPECT_EQ(DestinationAfterTyping(*run, "C:\\Dir\\Sub\\name.zip", ""), "C:\\Dir\\Sub");
    EXPECT_EQ(DestinationAfterTyping(*run, "\\\\server\\share\\name.zip", ""), "");
    EXPECT_EQ(DestinationAfterTyping(*run, "name.zip", ""), "");
    EXPECT_EQ(DestinationAfterTyping(*run, "C:\\Dir\\name.zip", "D:\\Out"), "D:\\Out");
    EXPECT_EQ(DestinationAfterTyping(*run, "C:\\Dir\\name.zip", "", true), "");
}

TEST_F(Editing, SpanEmptiesAFolderButKeepsADriveRoot) {
    ASSERT_TRUE(TypeText(run->main, IDC_DEST, "C:\\Temp"));
    ASSERT_TRUE(Click(run->main, IDC_SPAN));
    EXPECT_EQ(Text(IDC_DEST), "");
    EXPECT_FALSE(Enabled(IDC_SIZE_TEXT));
    EXPECT_FALSE(Enabled(IDC_UNIT_LIST));
    EXPECT_FALSE(Enabled(IDC_PRESET_LIST));

    ASSERT_TRUE(Click(run->main, IDC_SPECIFIED));
    EXPECT_TRUE(Enabled(IDC_SIZE_TEXT));
    ASSERT_TRUE(TypeText(run->main, IDC_DEST, "A:\\"));
    ASSERT_TRUE(Click(run->main, IDC_SPAN));
    EXPECT_EQ(Text(IDC_DEST), "A:\\");
}

}  // namespace
