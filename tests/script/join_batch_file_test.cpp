// The join file byte for byte, its backup copy and failure rules, and real
// recombination of pieces through Wine's command interpreter.
#include "script/join_batch_file.h"

#include <gtest/gtest.h>

#include "model/naming.h"
#include "model/split_job.h"
#include "test_support.h"

using namespace testing_support;

namespace {

const std::string Header =
    "@ECHO OFF\r\nECHO.Make sure ALL the pieces are in this directory.\r\nECHO.Recombining "
    "files...\r\nECHO.\r\n";
const std::string Trailer = "\r\nECHO.\r\nECHO.Done.";

class JoinFile : public ::testing::Test {
protected:
    void SetUp() override {
        Options = OptionsRecord{};
        Options.UseLongJoinBatName = 1;
        SplitJob.BackupEnabled = 0;
        ProgressWindow = nullptr;
        CopyText(SplitJob.DestFolder, folder.Path());
    }

    // Sets the job's names and writes the join file for count pieces.
    int Write(const std::string& base, const std::string& file, const std::string& title,
              uint32_t count) {
        CopyText(SplitJob.SourceBaseName, base);
        CopyText(SplitJob.SourceFileName, file);
        CopyText(SplitJob.SourceTitle, title);
        SplitJob.PieceCount = count;
        return WriteJoinBatchFile(base, file, title);
    }

    std::string Read(const std::string& name) const { return ReadWholeFile(folder.File(name)); }

    // Pieces base.000 ... of a random source, cut by the test itself.
    std::string CutPieces(const std::string& base, uint32_t count, uint32_t pieceSize) {
        std::string source(count * pieceSize - pieceSize / 2, '\0');
        for (size_t i = 0; i < source.size(); ++i)
            source[i] = static_cast<char>((i * 131 + i / 7 + count) & 0xFF);
        for (uint32_t n = 0; n < count; ++n) {
            char name[300];
            snprintf(name, sizeof name, "%s.%03u", base.c_str(), n);
            WriteWholeFile(folder.File(name), source.substr(n * pieceSize, pieceSize));
        }
        return source;
    }

    TempFolder folder;
};

std::string Pieces(const std::string& base, uint32_t from, uint32_t to) {
    std::string list;
    for (uint32_t n = from; n <= to; ++n) {
        char name[300];
        snprintf(name, sizeof name, "%s%s.%03u", n > from ? "+" : "", base.c_str(), n);
        list += name;
    }
    return list;
}

}  // namespace

TEST_F(JoinFile, WorkedExampleOneIsExact) {
    ASSERT_EQ(1, Write("report", "report.doc", "report.doc", 3));
    std::string expected = Header +
                           "COPY /B report.000+report.001+report.002 report.doc\r\n"
                           "REN report.doc \"report.doc\"" +
                           Trailer;
    std::string written = Read("Join-report.doc.bat");
    EXPECT_EQ(198u, written.size());
    EXPECT_EQ(expected, written);
}

TEST_F(JoinFile, WorkedExampleOneWithDos83NamesHasNoRename) {
    Options.UseDos83 = 1;
    ASSERT_EQ(1, Write("report", "report.doc", "report.doc", 3));
    EXPECT_EQ(Header + "COPY /B report.000+report.001+report.002 report.doc" + Trailer,
              Read("Join.bat"));
    EXPECT_FALSE(FileExists(folder.File("Join-report.doc.bat")));
}

TEST_F(JoinFile, PlainNameWithoutLongJoinName) {
    Options.UseLongJoinBatName = 0;
    ASSERT_EQ(1, Write("report", "report.doc", "report.doc", 3));
    EXPECT_NE(std::string::npos, Read("Join.bat").find("\r\nREN report.doc \"report.doc\""));
}

TEST_F(JoinFile, WorkedExampleTwoChainsThreeCommands) {
    ASSERT_EQ(1, Write("ANNUAL~1", "ANNUAL~1.DOC", "Annual Report 1998.doc", 150));
    std::string expected = Header + "COPY /B " + Pieces("ANNUAL~1", 0, 69) + " ANNUAL~1.00_\r\n" +
                           "COPY /B ANNUAL~1.00_+" + Pieces("ANNUAL~1", 70, 139) +
                           " ANNUAL~1.01_\r\n" + "COPY /B ANNUAL~1.01_+" +
                           Pieces("ANNUAL~1", 140, 149) + " ANNUAL~1.DOC" + "\r\nDEL ANNUAL~1.??_" +
                           "\r\nREN ANNUAL~1.DOC \"Annual Report 1998.doc\"" + Trailer;
    std::string written = Read("Join-Annual Report 1998.doc.bat");
    EXPECT_EQ(2219u, written.size());
    EXPECT_EQ(expected, written);
}

TEST_F(JoinFile, CommandBoundariesAtOneSeventyAndSeventyOnePieces) {
    Options.UseDos83 = 1;
    ASSERT_EQ(1, Write("S", "S.BIN", "S.BIN", 1));
    EXPECT_EQ(Header + "COPY /B S.000 S.BIN" + Trailer, Read("Join.bat"));

    ASSERT_EQ(1, Write("S", "S.BIN", "S.BIN", 70));
    EXPECT_EQ(Header + "COPY /B " + Pieces("S", 0, 69) + " S.BIN" + Trailer, Read("Join.bat"));

    ASSERT_EQ(1, Write("S", "S.BIN", "S.BIN", 71));
    EXPECT_EQ(Header + "COPY /B " + Pieces("S", 0, 69) + " S.00_\r\nCOPY /B S.00_+S.070 S.BIN" +
                  "\r\nDEL S.??_" + Trailer,
              Read("Join.bat"));

    ASSERT_EQ(1, Write("S", "S.BIN", "S.BIN", 140));
    EXPECT_EQ(Header + "COPY /B " + Pieces("S", 0, 69) + " S.00_\r\nCOPY /B S.00_+" +
                  Pieces("S", 70, 139) + " S.BIN\r\nDEL S.??_" + Trailer,
              Read("Join.bat"));
}

TEST_F(JoinFile, ThousandPiecesTakeFifteenCommands) {
    ASSERT_EQ(1, Write("BIG", "BIG.DAT", "big.dat", 1000));
    std::vector<std::string> chunks = JoinBatchChunks("BIG", "BIG.DAT", "big.dat", 1000, false);
    ASSERT_EQ(1u + 15 + 1 + 1 + 1, chunks.size());
    EXPECT_EQ(0u, chunks[1].find("COPY /B BIG.000+"));
    EXPECT_NE(std::string::npos, chunks[14].find(" BIG.13_\r\n"));
    EXPECT_EQ("COPY /B BIG.13_+" + Pieces("BIG", 980, 999) + " BIG.DAT", chunks[15]);
    std::string all;
    for (const std::string& chunk : chunks) all += chunk;
    EXPECT_EQ(all, Read("Join-big.dat.bat"));
}

TEST_F(JoinFile, ExistingJoinFileIsReplaced) {
    WriteWholeFile(folder.File("Join.bat"), std::string(5000, 'x'));
    Options.UseDos83 = 1;
    ASSERT_EQ(1, Write("S", "S.BIN", "S.BIN", 2));
    EXPECT_EQ(Header + "COPY /B S.000+S.001 S.BIN" + Trailer, Read("Join.bat"));
}

TEST_F(JoinFile, BackupCopyIsIdentical) {
    TempFolder backup;
    CopyText(SplitJob.BackupFolder, backup.Path() + "\\");
    SplitJob.BackupEnabled = 1;
    MessageBoxWatcher boxes;
    ASSERT_EQ(1, Write("ANNUAL~1", "ANNUAL~1.DOC", "Annual Report 1998.doc", 150));
    EXPECT_EQ(Read("Join-Annual Report 1998.doc.bat"),
              ReadWholeFile(backup.File("Join-Annual Report 1998.doc.bat")));
    EXPECT_EQ(1u, SplitJob.BackupEnabled);
    EXPECT_EQ(0u, boxes.Count());
}

TEST_F(JoinFile, MissingDestinationFolderFailsSilently) {
    CopyText(SplitJob.DestFolder, folder.File("missing"));
    MessageBoxWatcher boxes;
    EXPECT_EQ(0, Write("S", "S.BIN", "S.BIN", 3));
    EXPECT_EQ(0u, boxes.Count());
}

TEST_F(JoinFile, BackupThatCannotBeCreatedIsDroppedWithOneMessage) {
    CopyText(SplitJob.BackupFolder, folder.File("missing"));
    SplitJob.BackupEnabled = 1;
    MessageBoxWatcher boxes;
    ASSERT_EQ(1, Write("report", "report.doc", "report.doc", 3));
    ASSERT_TRUE(boxes.WaitForAnswered(1));
    EXPECT_EQ(std::vector<std::string>{"Error|Error creating backup of join file. Backups have "
                                       "been disabled."},
              boxes.Transcript());
    EXPECT_EQ(0u, SplitJob.BackupEnabled);
    EXPECT_EQ(198u, Read("Join-report.doc.bat").size());
}

TEST_F(JoinFile, FullDiskFailsTheMainFileAndTheBackup) {
    REQUIRE_SMALL_DISKS();
    SmallDisk disk(8192);
    ASSERT_TRUE(disk.Mounted());
    disk.Fill(0);
    MessageBoxWatcher boxes;

    // A backup on the full disk: one message, the main file goes on complete.
    CopyText(SplitJob.BackupFolder, disk.WindowsPath());
    SplitJob.BackupEnabled = 1;
    ASSERT_EQ(1, Write("ANNUAL~1", "ANNUAL~1.DOC", "Annual Report 1998.doc", 150));
    ASSERT_TRUE(boxes.WaitForAnswered(1));
    EXPECT_EQ(std::vector<std::string>{"Error|Error writing to backup of join file. Backups have "
                                       "been disabled."},
              boxes.Transcript());
    EXPECT_EQ(0u, SplitJob.BackupEnabled);
    EXPECT_EQ(2219u, Read("Join-Annual Report 1998.doc.bat").size());

    // The main file on the full disk: failure, reported by the caller.
    CopyText(SplitJob.DestFolder, disk.WindowsPath());
    EXPECT_EQ(0, Write("ANNUAL~1", "ANNUAL~1.DOC", "Annual Report 1998.doc", 150));
    EXPECT_EQ(1u, boxes.Count());
}

TEST(JoinFileNames, UnusualNamesAreQuotedAndPercentDoubled) {
    std::vector<std::string> chunks =
        JoinBatchChunks("R&D 100%", "R&D 100%.txt", "R&D 100%.txt", 2, false);
    EXPECT_EQ("COPY /B \"R&D 100%%.000\"+\"R&D 100%%.001\" \"R&D 100%%.txt\"", chunks[1]);
    EXPECT_EQ("\r\nREN \"R&D 100%%.txt\" \"R&D 100%%.txt\"", chunks[2]);
    chunks = JoinBatchChunks("A(1)", "A(1).BIN", "a(1).bin", 71, true);
    EXPECT_EQ("\r\nDEL \"A(1).??_\"", chunks[3]);
    // Quoting is counted so that room for the file is never underestimated.
    EXPECT_EQ(0u,
              JoinBatchQuotingBytes("ANNUAL~1", "ANNUAL~1.DOC", "Annual Report.doc", 150, false));
    EXPECT_EQ(8u, JoinBatchQuotingBytes("A B", "A B.C", "A B.C", 2, false));
}

// Recombination through the real command interpreter.
class Recombination : public JoinFile {
protected:
    void Check(const std::string& base, const std::string& file, const std::string& title,
               uint32_t count, uint32_t pieceSize = 1000) {
        std::string source = CutPieces(base, count, pieceSize);
        ASSERT_EQ(1, Write(base, file, title, count));
        std::string batch = folder.File(Options.UseDos83 ? "Join.bat" : "Join-" + title + ".bat");
        ASSERT_TRUE(FileExists(batch));
        RunBatchFile(folder.Path(), batch.substr(folder.Path().size() + 1));
        std::string rebuilt = folder.File(Options.UseDos83 ? file : title);
        ASSERT_TRUE(FileExists(rebuilt)) << rebuilt;
        EXPECT_TRUE(ReadWholeFile(rebuilt) == source) << "rebuilt file differs: " << rebuilt;
        if (count > CopyCommandLimit) {
            for (const std::string& name : FolderListing(folder.Path()))
                EXPECT_EQ(std::string::npos, name.find(".00_")) << "left behind: " << name;
        }
    }
};

TEST_F(Recombination, ThreeSeventyOneAndHundredFiftyPieces) {
    Check("REPORT", "REPORT.DOC", "report.doc", 3);
    RemoveTree(folder.Path());
    CreateDirectoryA(folder.Path().c_str(), nullptr);
    Check("DATA", "DATA.BIN", "Data Set 71.bin", 71, 333);
    RemoveTree(folder.Path());
    CreateDirectoryA(folder.Path().c_str(), nullptr);
    Check("ANNUAL~1", "ANNUAL~1.DOC", "Annual Report 1998.doc", 150, 77);
}

TEST_F(Recombination, ThousandPieces) { Check("MANY", "MANY.ZIP", "many.zip", 1000, 64); }

TEST_F(Recombination, DosNamesKeepTheEightThreeName) {
    Options.UseDos83 = 1;
    Check("REPORT", "REPORT.DOC", "report.doc", 4);
}

TEST_F(Recombination, LongNameWithBlanksOnAVolumeWithoutAliases) {
    Check("Annual Report 1998", "Annual Report 1998.doc", "Annual Report 1998.doc", 75, 50);
}

TEST_F(Recombination, NamesWithCharactersTheInterpreterTreatsSpecially) {
    Check("R&D", "R&D.TXT", "R&D.txt", 3);
    Check("100%", "100%.TXT", "100% done.txt", 3);
    Check("UP^2", "UP^2.TXT", "up^2.txt", 72, 20);
    Check("A(1)", "A(1).TXT", "a (1).txt", 3);
}

TEST_F(Recombination, LongNameWithAccentedLetters) {
    // "Résumé.doc" in the ANSI code page.
    Check("RESUME", "RESUME.DOC", "R\xE9sum\xE9.doc", 3);
}
