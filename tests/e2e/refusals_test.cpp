// The Split button refused through the running program: a refusal's box with
// its text, the size text's fault before every other check, paths past their
// length from the fields and the command line. A refusal leaves the main
// window open as it was and writes no file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "messages.h"
#include "program_session.h"
#include "resource.h"

using namespace testing_support;

namespace {

// A fresh folder with the files the refusals need and an empty output folder.
class RefusalTest : public ::testing::Test {
protected:
    void SetUp() override {
        out = work.Folder("out");
        missing = work.File("missing.bin");
        nowhere = work.File("nowhere");
        ASSERT_NE(session.main, nullptr);
    }
    std::string Source(const std::string& name, uint32_t size) {
        std::string path = work.File(name);
        WriteRandomFile(path, size, size);
        return path;
    }
    // The request refused with the one message, the main window kept and
    // nothing written.
    void ExpectRefusal(const std::string& message, CALLER_LINE) {
        AT_CALLER;
        EXPECT_EQ(session.SplitRefusedWith(), message);
        EXPECT_TRUE(session.StillEditing());
        EXPECT_TRUE(FolderListing(out).empty());
    }

    TempFolder work;
    std::string out, missing, nowhere;
    ProgramSession session;
};

// Which check speaks for which inputs is the rules' own (model tests); here,
// that a refusal reaches the user: its box with its text, the main window
// kept as it was, nothing written.
TEST_F(RefusalTest, ARefusalShowsItsTextAndKeepsTheInputs) {
    // Everything else is wrong too: no source, no destination folder.
    ASSERT_TRUE(session.SetSource(missing));
    ASSERT_TRUE(session.SetDest(nowhere));
    ASSERT_TRUE(session.UseSpecified("0", Unit::Bytes));
    ExpectRefusal(messages::ZeroSplitSize);
    EXPECT_EQ(session.Inputs(), (MainInputs{missing, nowhere, "0", IDC_SPECIFIED, 0, 2}));
}

TEST_F(RefusalTest, InvalidSizeTextSpeaksBeforeEverythingElse) {
    ASSERT_TRUE(session.SetSource(missing));
    ASSERT_TRUE(session.SetDest(nowhere));
    ASSERT_TRUE(session.UseSpecified("1,5", Unit::KB));  // reported while typing
    std::string refusal = session.SplitRefusedWith();
    // Leaving the field for the button may report it once more; then the
    // request does, and nothing else follows.
    EXPECT_TRUE(refusal == messages::InvalidCharacter ||
                refusal ==
                    std::string(messages::InvalidCharacter) + " || " + messages::InvalidCharacter)
        << refusal;
    EXPECT_TRUE(session.StillEditing());
}

// Where both fit, the longest paths split and write every file.
TEST_F(RefusalTest, PathsAtTheLongestSplitIntoEveryFile) {
    std::string source = Source("data.bin", 10000);
    ASSERT_TRUE(session.SetSource(source));
    ASSERT_TRUE(session.UseSpecified("4", Unit::KB));
    std::string fits = MakeFolderOfLength(work.File("fits"), 241);
    ASSERT_TRUE(session.SetDest(fits));
    ASSERT_TRUE(session.SplitAndWaitForEnd());
    EXPECT_EQ(session.boxes.Count(), 0u);  // nothing asked, nothing refused
    EXPECT_EQ(FolderListing(fits),
              (std::vector<std::string>{"Join-data.bin.bat", "data.000", "data.001", "data.002"}));
}

// A path past 259 characters in a field, typed or from the command line, is
// refused, not cut into the path of another file.
TEST_F(RefusalTest, PathsPastTheirLengthAreRefusedNotCut) {
    for (int field : {IDC_SOURCE, IDC_DEST})
        EXPECT_EQ(SendMessageA(GetDlgItem(session.main, field), EM_GETLIMITTEXT, 0, 0), 259);
    // A file whose path has 259 characters; one character more names no file.
    std::string longest = MakeFolderOfLength(work.Path(), 250) + "\\data.bin";
    WriteRandomFile(longest, 10000, 3);
    ASSERT_EQ(longest.size(), 259u);
    ProgramSession started(QuietOptions, longest + "x");
    ASSERT_TRUE(started.main && started.SetDest(out) && started.UseSpecified("4", Unit::KB));
    EXPECT_EQ(started.SplitRefusedWith(), messages::SourcePathTooLong);
    EXPECT_EQ(ControlText(started.main, IDC_SOURCE), longest + "x");
    EXPECT_EQ(FolderListing(longest.substr(0, 250)), std::vector<std::string>{"data.bin"});
}

}  // namespace
