// The destination folder of a split: the question before the split replaces
// files there (pieces are named after the 8.3 name, so budget.doc and
// budget.xls both write budget.000), and the folder taken when none is given
// for a source in the root of a network share or typed with slashes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "messages.h"
#include "program_session.h"
#include "resource.h"

using namespace testing_support;

namespace {

class ReplaceQuestion : public ::testing::Test {
protected:
    void SetUp() override {
        out = work.Folder("out");
        source = work.File("budget.xls");
        bytes = WriteRandomFile(source, 10000, 11);
        ASSERT_NE(session.main, nullptr);
        ASSERT_TRUE(session.SetSource(source));
        ASSERT_TRUE(session.SetDest(out));
        ASSERT_TRUE(session.UseSpecified("4", Unit::KB));  // 3 pieces
    }
    // What the folder holds: each file's name, and whether it is still the
    // file that Put wrote.
    std::vector<std::string> Contents() const {
        std::vector<std::string> contents;
        for (const std::string& name : FolderListing(out)) {
            bool kept = ReadWholeFile(out + "\\" + name) == "kept " + name;
            contents.push_back(name + (kept ? " kept" : " written"));
        }
        return contents;
    }
    void Put(const std::string& name) { WriteWholeFile(out + "\\" + name, "kept " + name); }
    // The folder emptied for the next job, whose inputs the main window
    // shows again.
    void StartAgain() {
        RemoveTree(out);
        CreateDirectoryA(out.c_str(), nullptr);
        ASSERT_TRUE(session.SetSource(source));
        ASSERT_TRUE(session.SetDest(out));
        ASSERT_TRUE(session.UseSpecified("4", Unit::KB));
    }

    TempFolder work;
    std::string out, source, bytes;
    ProgramSession session;
};

// The jobs of one program, each into the folder as the last one left it.
TEST_F(ReplaceQuestion, NamesTheFirstFileItWouldReplaceAsksOnceAndOnlyForTheSplitsNames) {
    // The first name the split would write, found in one scan of the folder,
    // whatever the case of the name; and only after every refusal.
    Put("Join-budget.xls.bat");
    EXPECT_EQ(session.SplitRefusedWith(), messages::ReplaceQuestion(out, "Join-budget.xls.bat"));
    Put("budget.002");
    EXPECT_EQ(session.SplitRefusedWith(), messages::ReplaceQuestion(out, "budget.002"));
    Put("BUDGET.001");
    EXPECT_EQ(session.SplitRefusedWith(), messages::ReplaceQuestion(out, "budget.001"));
    ASSERT_TRUE(session.UseSpecified("20", Unit::KB));
    EXPECT_EQ(session.SplitRefusedWith(), messages::SizeAboveSource);
    EXPECT_TRUE(session.StillEditing());
    EXPECT_EQ(FolderListing(out),
              (std::vector<std::string>{"BUDGET.001", "Join-budget.xls.bat", "budget.002"}));

    // budget.doc was split here before: its pieces and join file. No leaves
    // the folder as it was; Yes splits as before.
    StartAgain();
    for (const char* name : {"budget.000", "budget.001", "Join-budget.doc.bat"}) Put(name);
    std::vector<std::string> before = Contents();
    size_t asked = session.boxes.Count();
    EXPECT_EQ(session.SplitRefusedWith(), messages::ReplaceQuestion(out, "budget.000"));
    EXPECT_TRUE(session.StillEditing());
    EXPECT_EQ(Contents(), before);
    session.boxes.Answer(IDYES);
    ASSERT_TRUE(session.SplitAndWaitForEnd());
    EXPECT_EQ(session.boxes.Last(), messages::ReplaceQuestion(out, "budget.000"));
    EXPECT_EQ(session.boxes.Count(), asked + 2);
    EXPECT_EQ(FolderListing(out),
              (std::vector<std::string>{"Join-budget.doc.bat", "Join-budget.xls.bat", "budget.000",
                                        "budget.001", "budget.002"}));
    EXPECT_EQ(ConcatenatedFiles(out, PieceNames(source, 3)), bytes);

    // Another base name, a piece number past the last piece, another join
    // file: no question, and they stay.
    StartAgain();
    for (const char* name :
         {"budgets.000", "budget.003", "budget", "Join.bat", "budget.0001", "budget.00"})
        Put(name);
    before = Contents();
    asked = session.boxes.Count();
    ASSERT_TRUE(session.SplitAndWaitForEnd());
    EXPECT_EQ(session.boxes.Count(), asked);
    std::vector<std::string> after = Contents();
    for (const std::string& kept : before)
        EXPECT_NE(std::find(after.begin(), after.end(), kept), after.end()) << kept;
    EXPECT_EQ(ConcatenatedFiles(out, PieceNames(source, 3)), bytes);
}

// Wine reaches \\server\share through a link in the prefix's dosdevices\unc.
class NetworkShare {
public:
    NetworkShare() {
        const char* prefix = getenv("WINEPREFIX");
        char name[64];
        snprintf(name, sizeof name, "share%lu", GetCurrentProcessId());
        unixFolder_ = BuildRootUnix() + "/" + name;
        link_ = std::string(prefix ? prefix : "") + "/dosdevices/unc/partola/" + name;
        root_ = std::string("\\\\partola\\") + name;
        made_ =
            prefix && RunUnixCommand("mkdir -p '" + unixFolder_ + "' \"$(dirname '" + link_ +
                                     "')\" && ln -sfn '" + unixFolder_ + "' '" + link_ + "'") == 0;
    }
    ~NetworkShare() { RunUnixCommand("rm -rf '" + unixFolder_ + "' '" + link_ + "'"); }
    bool Made() const { return made_; }
    const std::string& Root() const { return root_; }  // \\partola\shareN

private:
    std::string unixFolder_, link_, root_;
    bool made_ = false;
};

// With no destination the pieces go beside the source: for a source in the
// root of a network share into the share root, for a source typed with
// slashes where its backslash form would put them. Two jobs of one program.
TEST(DefaultDestination, IsTheShareRootOrTheFolderOfTheSourceTypedWithSlashes) {
    NetworkShare share;
    ASSERT_TRUE(share.Made());
    std::string source = share.Root() + "\\data.bin";
    std::string bytes = WriteRandomFile(source, 1000, 13);
    ASSERT_EQ(FileSize64(source), 1000u);
    ProgramSession session;
    ASSERT_NE(session.main, nullptr);
    ASSERT_TRUE(session.SetSource(source));
    ASSERT_TRUE(session.SetDest(""));
    ASSERT_TRUE(session.UseSpecified("10", Unit::Bytes));  // 100 pieces: a question to stop at

    // The share root, with the backslash that makes it a folder.
    EXPECT_EQ(session.SplitRefusedWith(), messages::LargeCountQuestion(100));
    EXPECT_EQ(ControlText(session.main, IDC_DEST), share.Root() + "\\");

    session.boxes.Answer(IDYES);
    ASSERT_TRUE(session.SplitAndWaitForEnd());
    EXPECT_EQ(session.boxes.Count(), 2u);
    EXPECT_EQ(FolderListing(share.Root()).size(), 102u);  // source, 100 pieces, join file
    EXPECT_EQ(ConcatenatedFiles(share.Root(), PieceNames(source, 100)), bytes);

    TempFolder work;
    std::string report = work.File("report.bin");
    std::string reportBytes = WriteRandomFile(report, 10000, 17);
    std::string slashed = report;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    ASSERT_TRUE(session.SetSource(slashed));
    ASSERT_TRUE(session.SetDest(""));
    ASSERT_TRUE(session.UseSpecified("4", Unit::KB));
    ASSERT_TRUE(session.SplitAndWaitForEnd());
    EXPECT_EQ(session.boxes.Count(), 2u);
    std::vector<std::string> written = PieceNames(report, 3);
    written.push_back("Join-report.bin.bat");
    written.push_back("report.bin");
    EXPECT_EQ(FolderListing(work.Path()), Sorted(written));
    EXPECT_EQ(ConcatenatedFiles(work.Path(), PieceNames(report, 3)), reportBytes);
}

}  // namespace
