// The split-size group and the labels of a main dialog created in this
// process: what the controls hand the model, and the message a refused size
// shows.
#include "ui/size_fields.h"

#include <gtest/gtest.h>

#include <string>

#include "messages.h"
#include "model/split_job.h"
#include "resource.h"
#include "test_support.h"
#include "ui/main_dialog.h"

using namespace testing_support;

namespace {

class SizeFields : public ::testing::Test {
protected:
    void SetUp() override {
        AppInstance = GetModuleHandleA(nullptr);
        SplitJob.Spanning = 0;
        ResetJob();
        ASSERT_NE(CreateMainDialog(), nullptr);
        // Where a user who types a size has the focus: leaving the source
        // field is a refresh of its own, tested with the dialog.
        SetFocus(GetDlgItem(MainWindow, IDC_SIZE_TEXT));
    }
    void TearDown() override {
        DestroyWindow(MainWindow);
        MainWindow = nullptr;
    }

    void ChooseMode(int radioId) {
        for (int id : {IDC_SPAN, IDC_SPECIFIED, IDC_PRESET})
            CheckDlgButton(MainWindow, id, id == radioId ? BST_CHECKED : BST_UNCHECKED);
    }
    void Choose(int listId, int index) {
        SendDlgItemMessageA(MainWindow, listId, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    // Sets a field without the refresh that a change of the size field makes
    // while a source size is known: the tests below read the fields themselves.
    void Type(int id, const char* text) {
        uint32_t sourceSize = SplitJob.SourceSize;
        SplitJob.SourceSize = 0;
        SetDlgItemTextA(MainWindow, id, text);
        SplitJob.SourceSize = sourceSize;
    }
    std::string Label(int id) const { return WindowText(GetDlgItem(MainWindow, id)); }
};

TEST_F(SizeFields, ARefusedSizeShowsItsMessageOnceAndKeepsTheSize) {
    MessageBoxWatcher watcher;
    ChooseMode(IDC_SPECIFIED);
    Choose(IDC_UNIT_LIST, 0);
    const std::pair<const char*, const char*> rows[] = {
        {"1 00", messages::Spaces},
        {" 1,5", messages::InvalidCharacter},
    };
    size_t seen = 0;
    for (const auto& [text, message] : rows) {
        Type(IDC_SIZE_TEXT, text);
        SplitJob.SplitSize = 777;
        EXPECT_FALSE(ReadSplitSize()) << "[" << text << "]";
        EXPECT_EQ(SplitJob.SplitSize, 777u);
        ASSERT_TRUE(watcher.WaitForAnswered(++seen));
        const SeenBox box = watcher.Seen().back();
        EXPECT_EQ(box.Line(), message);
        EXPECT_EQ(box.owner, MainWindow);
    }
    // The piece-count label reads the size too, and counts with the last good one.
    Type(IDC_SIZE_TEXT, "4");
    SplitJob.SourceSize = 10;
    RecountPieces();
    EXPECT_EQ(Label(IDC_PIECE_COUNT_LABEL), "Num Pieces: 3");
    Type(IDC_SIZE_TEXT, "4x");
    RecountPieces();
    EXPECT_EQ(Label(IDC_PIECE_COUNT_LABEL), "Num Pieces: 3");
    EXPECT_EQ(watcher.Count(), 3u);
}

TEST_F(SizeFields, TheControlsGiveTheModeAndTheLists) {
    ChooseMode(IDC_SPECIFIED);
    CheckDlgButton(MainWindow, IDC_SPECIFIED, BST_UNCHECKED);  // none counts as specified
    Choose(IDC_UNIT_LIST, 1);
    Type(IDC_SIZE_TEXT, "42");
    EXPECT_TRUE(ReadSplitSize());
    EXPECT_EQ(SplitJob.SizeMode, SplitSizeMode::Specified);
    EXPECT_EQ(SplitJob.SplitSize, 42u * 1024);

    ChooseMode(IDC_PRESET);
    Choose(IDC_PRESET_LIST, 2);
    EXPECT_TRUE(ReadSplitSize());
    EXPECT_EQ(SplitJob.SplitSize, 1457264u);

    ChooseMode(IDC_SPAN);
    EXPECT_TRUE(ReadSplitSize());
    EXPECT_EQ(SplitJob.Spanning, 1u);
    SplitJob.SourceSize = 5000;
    RecountPieces();
    EXPECT_EQ(Label(IDC_PIECE_COUNT_LABEL), "Num Pieces: Spanned");
}

TEST_F(SizeFields, SizeLabelFollowsTheSource) {
    TempFolder folder;
    std::string path = folder.File("f");
    WriteRandomFile(path, 1500000);
    ShowSourceSize(path.c_str());
    EXPECT_EQ(Label(IDC_SIZE_LABEL), "Size: 1.43 MB (1500000 bytes)");
    ShowSourceSize(folder.File("missing.zip").c_str());
    EXPECT_EQ(Label(IDC_SIZE_LABEL), "Size: ");
}

TEST_F(SizeFields, SplitInputsCompleteNeedsWhatTheModeUses) {
    EXPECT_FALSE(SplitInputsComplete(MainWindow));
    Type(IDC_SOURCE, "C:\\file.zip");
    ChooseMode(IDC_PRESET);
    EXPECT_TRUE(SplitInputsComplete(MainWindow));
    ChooseMode(IDC_SPECIFIED);
    EXPECT_FALSE(SplitInputsComplete(MainWindow));
    Type(IDC_SIZE_TEXT, "1");
    EXPECT_TRUE(SplitInputsComplete(MainWindow));
    ChooseMode(IDC_SPAN);
    EXPECT_FALSE(SplitInputsComplete(MainWindow));
    Type(IDC_DEST, "A:\\");
    EXPECT_TRUE(SplitInputsComplete(MainWindow));
    Type(IDC_SOURCE, "");
    EXPECT_FALSE(SplitInputsComplete(MainWindow));
}

}  // namespace
