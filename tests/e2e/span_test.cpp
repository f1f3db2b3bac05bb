// Spanning to the removable drive, backed by small real disks that the
// user swaps at every prompt: with backups accepted through the backup
// dialog, declined at the question, declined in the dialog, and refused for a
// backup folder too long for the names. The pieces gathered from all disks,
// and those of the backup folder, rebuild the source exactly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "messages.h"
#include "program_session.h"
#include "resource.h"

using namespace testing_support;

namespace {

constexpr uint32_t FloppyBytes = 1474560;
constexpr char SourceName[] = "Annual Report 1998.doc";
constexpr char JoinName[] = "Join-Annual Report 1998.doc.bat";

uint32_t FreeBytesOfFloppy() {
    ULARGE_INTEGER available{}, total{}, free{};
    GetDiskFreeSpaceExA(FloppyRoot().c_str(), &available, &total, &free);
    return static_cast<uint32_t>(available.QuadPart);
}

class SpanTest : public ::testing::Test {
protected:
    // A source that fills the given number of floppies, the last one partly.
    void MakeSource(uint32_t size) {
        source = work.File(SourceName);
        bytes = WriteRandomFile(source, size, 21);
    }
    // Answers as the user of a span does: the backup question as told, each
    // disk prompt after putting that disk into the drive, the question whether to go
    // on without backups with the next of noBackupAnswers, every other box OK.
    void AnswerAsSpanUser(ProgramSession& session, std::vector<const SmallDisk*> disks,
                          int backupAnswer, std::vector<int> noBackupAnswers = {}) {
        session.boxes.AnswerWith([=](const SeenBox& box) mutable {
            std::string seen = box.caption + "|" + box.text;
            if (seen == messages::BackupQuestion) return backupAnswer;
            if (seen == messages::NoBackupQuestion && !noBackupAnswers.empty()) {
                int answer = noBackupAnswers.front();
                noBackupAnswers.erase(noBackupAnswers.begin());
                return answer;
            }
            for (size_t n = 1; n <= disks.size(); ++n)
                if (seen == messages::DiskPrompt(static_cast<int>(n))) disks[n - 1]->Insert();
            return IDOK;
        });
    }
    bool FillSpan(ProgramSession& session) {
        return session.SetSource(source) && session.UseSpan() && session.SetDest(FloppyRoot());
    }
    // Presses Split and, in the backup dialog that follows the question, types
    // the folder; the dialog, or null when it did not come empty.
    HWND SplitAndTypeBackupFolder(ProgramSession& session, const std::string& folder) {
        session.PressSplit();
        HWND dialog = FindDialog(session.ProcessId(), messages::BackupDialogCaption);
        if (!dialog || ControlText(dialog, IDC_BACKUP_PATH) != "" ||
            !TypeText(dialog, IDC_BACKUP_PATH, folder))
            return nullptr;
        return dialog;
    }
    // Every disk's files in one folder, rebuilt there.
    std::string GatherAndRecombine(const std::vector<const SmallDisk*>& disks) {
        std::string gathered = work.File("gathered");
        GatherFiles(disks, gathered);
        return Recombine(gathered, JoinName, SourceName);
    }

    TempFolder work;
    std::string source;
    std::string bytes;
};

TEST_F(SpanTest, BackupsAcceptedThroughTheDialogLandOnTheDisksAndInTheBackupFolder) {
    REQUIRE_SMALL_DISKS();
    SmallDisk d1(FloppyBytes), d2(FloppyBytes), d3(FloppyBytes);
    ASSERT_TRUE(d1.Mounted() && d2.Mounted() && d3.Mounted());
    d1.Insert();
    uint32_t perDisk = FreeBytesOfFloppy();
    MakeSource(3000000);
    std::string backup = work.Folder("backup");
    ProgramSession session(QuietOptionsWithBackups);
    ASSERT_NE(session.main, nullptr);
    AnswerAsSpanUser(session, {&d1, &d2, &d3}, IDYES);
    ASSERT_TRUE(FillSpan(session));
    EXPECT_EQ(ControlText(session.main, IDC_PIECE_COUNT_LABEL), "Num Pieces: Spanned");

    HWND dialog = SplitAndTypeBackupFolder(session, backup);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(PressButton(dialog, IDOK));
    ASSERT_TRUE(session.WaitForMainWindowBack());

    EXPECT_EQ(session.boxes.Transcript(),
              (std::vector<std::string>{messages::BackupQuestion, messages::DiskPrompt(1),
                                        messages::DiskPrompt(2), messages::DiskPrompt(3)}));
    std::vector<std::string> pieces = PieceNames(source, 3);
    EXPECT_EQ(FolderListing(d1.WindowsPath()), std::vector<std::string>{pieces[0]});
    EXPECT_EQ(FolderListing(d2.WindowsPath()), std::vector<std::string>{pieces[1]});
    EXPECT_EQ(FolderListing(d3.WindowsPath()), Sorted({JoinName, pieces[2]}));
    EXPECT_EQ(FileSize64(d1.WindowsPath() + "\\" + pieces[0]), perDisk);
    EXPECT_EQ(FileSize64(d2.WindowsPath() + "\\" + pieces[1]), perDisk);
    EXPECT_EQ(FileSize64(d3.WindowsPath() + "\\" + pieces[2]), 3000000u - 2 * perDisk);
    EXPECT_EQ(FolderListing(backup), Sorted({JoinName, pieces[0], pieces[1], pieces[2]}));
    EXPECT_EQ(session.Inputs(), EmptyInputs());
    EXPECT_EQ(ReadWholeFile(source), bytes);

    EXPECT_EQ(GatherAndRecombine({&d1, &d2, &d3}), bytes);
    EXPECT_EQ(Recombine(backup, JoinName, SourceName), bytes);
}

// Spans of one program without backups: declined at the question, which
// writes only the disks; declined in the backup dialog, only once the user is
// sure; and not asked for once "Prompt to backup pieces" is off.
TEST_F(SpanTest, BackupsDeclinedOrNotAskedForWriteOnlyTheDisks) {
    REQUIRE_SMALL_DISKS();
    MakeSource(2000000);
    std::string backup = work.Folder("backup");
    ProgramSession session(QuietOptionsWithBackups);
    ASSERT_NE(session.main, nullptr);
    {
        SmallDisk d1(FloppyBytes), d2(FloppyBytes);
        ASSERT_TRUE(d1.Mounted() && d2.Mounted());
        d1.Insert();
        AnswerAsSpanUser(session, {&d1, &d2}, IDNO);
        ASSERT_TRUE(FillSpan(session));
        ASSERT_TRUE(session.SplitAndWaitForEnd());
        EXPECT_EQ(session.boxes.Transcript(),
                  (std::vector<std::string>{messages::BackupQuestion, messages::DiskPrompt(1),
                                            messages::DiskPrompt(2)}));
        std::vector<std::string> pieces = PieceNames(source, 2);
        EXPECT_EQ(FolderListing(d1.WindowsPath()), std::vector<std::string>{pieces[0]});
        EXPECT_EQ(FolderListing(d2.WindowsPath()), Sorted({JoinName, pieces[1]}));
        EXPECT_EQ(session.Inputs(), EmptyInputs());
        EXPECT_EQ(GatherAndRecombine({&d1, &d2}), bytes);
    }
    RemoveTree(work.File("gathered"));
    size_t before = session.boxes.Count();
    SmallDisk d1(FloppyBytes), d2(FloppyBytes);
    ASSERT_TRUE(d1.Mounted() && d2.Mounted());
    d1.Insert();
    AnswerAsSpanUser(session, {&d1, &d2}, IDYES, {IDNO, IDYES});
    ASSERT_TRUE(FillSpan(session));
    HWND dialog = SplitAndTypeBackupFolder(session, backup);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(PressButton(dialog, IDCANCEL));
    ASSERT_TRUE(session.boxes.WaitForAnswered(before + 2));
    // Not sure: the dialog stays with its text.
    session.Settle();
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ(ControlText(dialog, IDC_BACKUP_PATH), backup);
    ASSERT_TRUE(PressButton(dialog, IDCANCEL));
    ASSERT_TRUE(session.WaitForMainWindowBack());
    std::vector<std::string> seen = session.boxes.Transcript();
    EXPECT_EQ(std::vector<std::string>(seen.begin() + before, seen.end()),
              (std::vector<std::string>{messages::BackupQuestion, messages::NoBackupQuestion,
                                        messages::NoBackupQuestion, messages::DiskPrompt(1),
                                        messages::DiskPrompt(2)}));
    EXPECT_TRUE(FolderListing(backup).empty());
    EXPECT_EQ(GatherAndRecombine({&d1, &d2}), bytes);

    ASSERT_TRUE(session.SetOptionsThroughDialog({{IDC_OPT_BACKUP_PROMPT, false}}));
    SmallDisk one(FloppyBytes);
    ASSERT_TRUE(one.Mounted());
    one.Insert();
    MakeSource(300000);
    before = session.boxes.Count();
    AnswerAsSpanUser(session, {&one}, IDYES);
    ASSERT_TRUE(FillSpan(session));
    ASSERT_TRUE(session.SplitAndWaitForEnd());
    EXPECT_EQ(session.boxes.Count(), before + 1);
    EXPECT_EQ(session.boxes.Last(), messages::DiskPrompt(1));
    EXPECT_EQ(FolderListing(one.WindowsPath()), Sorted({JoinName, PieceNames(source, 1)[0]}));
}

// Requests of one program refused before any disk: a missing source (checked
// once the drive suits a span), a backup folder that holds another file's
// pieces (the question answered No), a backup folder too long for the names.
TEST_F(SpanTest, RequestsRefusedBeforeAnyDiskWriteNothing) {
    REQUIRE_SMALL_DISKS();
    SmallDisk d1(FloppyBytes);
    ASSERT_TRUE(d1.Mounted());
    d1.Insert();
    MakeSource(300000);
    std::string backup = work.Folder("backup");
    // Another file of the same 8.3 base name was spanned with backups here.
    std::string theirs = PieceNames(source, 1)[0];
    WriteWholeFile(backup + "\\" + theirs, "kept");
    std::string tooLong = MakeFolderOfLength(work.File("long"), 252);
    ASSERT_TRUE(FileExists(tooLong));
    ProgramSession session(QuietOptionsWithBackups);
    ASSERT_NE(session.main, nullptr);
    session.boxes.AnswerWith([](const SeenBox& box) {
        std::string seen = box.caption + "|" + box.text;
        return seen == messages::BackupQuestion ? IDYES
               : seen.rfind("Warning|", 0) == 0 ? IDNO
                                                : IDOK;
    });

    ASSERT_TRUE(session.SetSource(work.File("missing.bin")));
    ASSERT_TRUE(session.UseSpan());
    ASSERT_TRUE(session.SetDest(FloppyRoot()));
    EXPECT_EQ(session.SplitRefusedWith(), messages::SourceNotFound);

    ASSERT_TRUE(session.SetSource(source));
    for (const std::string& folder : {backup, tooLong}) {
        HWND dialog = SplitAndTypeBackupFolder(session, folder);
        ASSERT_NE(dialog, nullptr) << folder;
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_BACKUP_PATH), EM_GETLIMITTEXT, 0, 0), 259);
        size_t seen = session.boxes.Count();
        ASSERT_TRUE(PressButton(dialog, IDOK));
        ASSERT_TRUE(session.boxes.WaitForAnswered(seen + 1));
        ASSERT_TRUE(session.Settle());
        EXPECT_TRUE(session.StillEditing());
    }
    EXPECT_EQ(session.boxes.Transcript(),
              (std::vector<std::string>{messages::SourceNotFound, messages::BackupQuestion,
                                        messages::ReplaceQuestion(backup, theirs),
                                        messages::BackupQuestion, messages::BackupPathTooLong}));
    EXPECT_TRUE(FolderListing(d1.WindowsPath()).empty());
    EXPECT_EQ(FolderListing(backup), std::vector<std::string>{theirs});
    EXPECT_EQ(ReadWholeFile(backup + "\\" + theirs), "kept");
    EXPECT_TRUE(FolderListing(tooLong).empty());
    EXPECT_EQ(session.Inputs(), (MainInputs{source, FloppyRoot(), "", IDC_SPAN, 1, 2}));
}

}  // namespace
