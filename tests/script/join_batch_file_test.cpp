// The join file byte for byte, its backup copy and failure rules, and real
// recombination of pieces through Wine's command interpreter and DOSBox's DOS
// shell.
#include "script/join_batch_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "engine/engine_steps.h"
#include "engine/split_engine.h"
#include "model/naming.h"
#include "model/split_job.h"
#include "test_support.h"

using namespace testing_support;

namespace {

class JoinFile : public ::testing::Test {
protected:
    void SetUp() override {
        Errors.clear();
        Options = OptionsRecord{};
        Options.UseLongJoinBatName = 1;
        SplitJob.BackupEnabled = 0;
        CopyText(SplitJob.DestFolder, folder.Path());
    }

    // Writes the join file of count pieces of a source of size bytes into the
    // job's folders, under the name the job's title and options give it.
    bool Write(const std::string& base, const std::string& file, const std::string& title,
               uint32_t count, uint64_t size = 2500) {
        CopyText(SplitJob.SourceTitle, title);
        const PathText joinName = JoinFileName();
        return WriteJoinBatchFile(
            {base, file, title, count, size, Options.UseDos83 != 0},
            {View(joinName), View(SplitJob.DestFolder), View(SplitJob.BackupFolder)},
            SplitJob.BackupEnabled, [](const char* text) { Errors.push_back(text); },
            WorkerMayGoOn);
    }

    std::string Read(const std::string& name) const { return ReadWholeFile(folder.File(name)); }

    TempFolder folder;
    // The dropped backups the writer told of, in order.
    static inline std::vector<std::string> Errors;
};

const std::string OnlyOnNt = "IF \"%OS%\"==\"Windows_NT\" ";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

// The lines of a join file that join and name the file.
std::string JoiningLines(const std::string& text) {
    std::string kept;
    for (const std::string& line : Lines(text))
        if (line.rfind("COPY ", 0) == 0 || line.rfind("DEL ", 0) == 0 ||
            line.find("REN ") != std::string::npos)
            kept += line + "\r\n";
    return kept;
}

// A name as the file system has it, from the way a batch line writes it
// (quoted, % doubled).
std::string Plain(const std::string& written) {
    std::string name;
    for (size_t i = 0; i < written.size(); ++i) {
        if (written[i] == '"') continue;
        name += written[i];
        if (written[i] == '%' && i + 1 < written.size() && written[i + 1] == '%') ++i;
    }
    return name;
}

// One COPY /B line: the files it joins and the file it writes (none when it
// appends to its first file), as written.
struct CopyLine {
    std::vector<std::string> sources{""};
    std::string target;
    size_t length = 0;
};

std::vector<CopyLine> CopyLines(const std::string& text) {
    std::vector<CopyLine> copies;
    for (const std::string& line : Lines(text)) {
        if (line.rfind("COPY /B ", 0) != 0) continue;
        CopyLine copy;
        copy.length = line.size();
        bool quoted = false, inTarget = false;
        for (char c : line.substr(8)) {
            if (c == '"') quoted = !quoted;
            if (!quoted && !inTarget && c == '+') {
                copy.sources.emplace_back();
            } else if (!quoted && c == ' ') {
                inTarget = true;
            } else {
                (inTarget ? copy.target : copy.sources.back()) += c;
            }
        }
        copies.push_back(copy);
    }
    return copies;
}

// What the COPY lines of every join file do, whatever the names: they join
// the pieces in their order, each once, in lines DOS reads whole (127 bytes);
// the first of several writes the intermediate file and each further one
// appends to it; and each line but the last two takes as many pieces as fit,
// so that no byte is copied more than twice.
void ExpectChainedCopies(const std::string& text, const std::string& base, const std::string& file,
                         uint32_t count, CALLER_LINE) {
    AT_CALLER;
    std::vector<CopyLine> copies = CopyLines(text);
    ASSERT_FALSE(copies.empty()) << text;
    const std::string intermediate = IntermediateFileName(base, file).data();
    std::vector<std::string> joined, pieces;
    for (size_t g = 0; g < copies.size(); ++g) {
        SCOPED_TRACE("COPY line " + std::to_string(g + 1) + " of " + std::to_string(copies.size()));
        const CopyLine& copy = copies[g];
        bool last = g + 1 == copies.size();
        EXPECT_LE(copy.length, 127u);
        // What it joins into: the intermediate file first, then that file.
        if (g == 0) {
            EXPECT_TRUE(last || Plain(copy.target) == intermediate) << copy.target;
        } else {
            EXPECT_EQ(Plain(copy.sources[0]), intermediate);
            EXPECT_TRUE(last || copy.target.empty()) << copy.target;
        }
        for (size_t i = g == 0 ? 0 : 1; i < copy.sources.size(); ++i)
            joined.push_back(Plain(copy.sources[i]));
        // Full, but for the last two, which share what is left so that the
        // last can also name the file: the next piece would not have fitted.
        if (g + 2 < copies.size()) {
            EXPECT_GT(copy.length + 1 + copies[g + 1].sources[1].size(), 127u);
        }
    }
    for (uint32_t n = 0; n < count; ++n) pieces.push_back(PieceName(base, n).data());
    EXPECT_EQ(joined, pieces);
}

}  // namespace

// Its COPY and REN lines as they always were, checked before and after.
TEST_F(JoinFile, WorkedExampleOneKeepsItsCopyAndRenameLines) {
    ASSERT_TRUE(Write("report", "report.doc", "report.doc", 3));
    std::string written = Read("Join-report.doc.bat");
    EXPECT_EQ(1009u, written.size());
    EXPECT_EQ(
        "COPY /B report.000+report.001+report.002 report.doc\r\nREN report.doc \"report.doc\"\r\n",
        JoiningLines(written));
}

TEST_F(JoinFile, WorkedExampleOneWithDos83NamesHasNoRename) {
    Options.UseDos83 = 1;
    ASSERT_TRUE(Write("report", "report.doc", "report.doc", 3));
    EXPECT_EQ("COPY /B report.000+report.001+report.002 report.doc\r\n",
              JoiningLines(Read("Join.bat")));
    EXPECT_FALSE(FileExists(folder.File("Join-report.doc.bat")));
}

TEST_F(JoinFile, PlainNameWithoutLongJoinName) {
    Options.UseLongJoinBatName = 0;
    ASSERT_TRUE(Write("report", "report.doc", "report.doc", 3));
    EXPECT_NE(std::string::npos, Read("Join.bat").find("\r\nREN report.doc \"report.doc\"\r\n"));
}

// Names of 12 characters (8 to a line) and quoted ones with % (6 to a line),
// with and without 8.3 names, from one piece to 1,000.
TEST_F(JoinFile, CopyLinesChainThePiecesInLinesDosReadsWhole) {
    const char title[] = "Annual Report 1998.doc";
    for (auto [base, file] :
         {std::pair{"ANNUAL~1", "ANNUAL~1.DOC"}, std::pair{"R&D 100%", "R&D 100%.txt"}}) {
        for (uint32_t count : {1u, 8u, 9u, 70u, 71u, 150u, 1000u}) {
            for (uint32_t dos83 : {0u, 1u}) {
                SCOPED_TRACE(std::string(base) + ", " + std::to_string(count) + " pieces" +
                             (dos83 ? ", 8.3 names" : ""));
                Options.UseDos83 = dos83;
                ASSERT_TRUE(Write(base, file, title, count));
                std::string written =
                    Read(dos83 ? "Join.bat" : std::string("Join-") + title + ".bat");
                ExpectChainedCopies(written, base, file, count);
                for (const std::string& line : Lines(written))
                    EXPECT_TRUE(line.size() <= 127 || line.rfind(OnlyOnNt, 0) == 0) << line;
            }
        }
    }
}

// A REN line past 127 bytes is run by cmd.exe alone; DOS and Windows 9x
// give the file its 8.3 name instead. Chaining the COPY commands cannot help.
TEST_F(JoinFile, RenameLinePastWhatDosReadsIsLeftToWindowsNt) {
    for (size_t length : {108u, 109u}) {
        std::string title = std::string(length - 4, 't') + ".doc";
        SCOPED_TRACE(title.size());
        ASSERT_TRUE(Write("ANNUAL~1", "ANNUAL~1.DOC", title, 3));
        EXPECT_EQ("COPY /B ANNUAL~1.000+ANNUAL~1.001+ANNUAL~1.002 ANNUAL~1.00_\r\n" +
                      (length > 108 ? OnlyOnNt : "") + "REN ANNUAL~1.00_ \"" + title +
                      "\"\r\nIF EXIST ANNUAL~1.00_ REN ANNUAL~1.00_ ANNUAL~1.DOC\r\n",
                  JoiningLines(Read("Join-" + title + ".bat")));
    }
}

TEST_F(JoinFile, NameTooLongForAnyLineStandsAloneOnItsLine) {
    std::string base(130, 'n');
    Options.UseDos83 = 1;
    ASSERT_TRUE(Write(base, base + ".bin", base + ".bin", 3));
    EXPECT_EQ("COPY /B " + base + ".000 " + base + ".00_\r\nCOPY /B " + base + ".00_+" + base +
                  ".001\r\nCOPY /B " + base + ".00_+" + base + ".002 " + base + ".bin" +
                  "\r\nDEL " + base + ".00_\r\n",
              JoiningLines(Read("Join.bat")));
}

TEST_F(JoinFile, ExistingJoinFileIsReplaced) {
    WriteWholeFile(folder.File("Join.bat"), std::string(5000, 'x'));
    Options.UseDos83 = 1;
    ASSERT_TRUE(Write("S", "S.BIN", "S.BIN", 2));
    EXPECT_EQ(JoinBatchFileSize({"S", "S.BIN", "S.BIN", 2, 2500, true}), Read("Join.bat").size());
}

// Wine's cmd.exe gives a size past 4 GiB modulo 2^32; the large suite rebuilds
// such a file for real.
TEST_F(JoinFile, SizeCheckOfAFilePast4GiBAlsoTakesItsSizeModulo4GiB) {
    ASSERT_TRUE(Write("report", "report.doc", "report.doc", 3, (5ull << 30) + 7));
    std::string written = Read("Join-report.doc.bat");
    EXPECT_NE(std::string::npos, written.find("\"%%~zF\"==\"5368709127\""));
    EXPECT_NE(std::string::npos, written.find("\"%%~zF\"==\"1073741831\""));
}

TEST_F(JoinFile, BackupCopyIsIdentical) {
    TempFolder backup;
    CopyText(SplitJob.BackupFolder, backup.Path() + "\\");
    SplitJob.BackupEnabled = 1;
    ASSERT_TRUE(Write("ANNUAL~1", "ANNUAL~1.DOC", "Annual Report 1998.doc", 150));
    EXPECT_EQ(Read("Join-Annual Report 1998.doc.bat"),
              ReadWholeFile(backup.File("Join-Annual Report 1998.doc.bat")));
    EXPECT_EQ(1u, SplitJob.BackupEnabled);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(JoinFile, AfterACancelNoChunkGoesToTheBackup) {
    TempFolder backup;
    CopyText(SplitJob.BackupFolder, backup.Path());
    SplitJob.BackupEnabled = 1;
    // A job cancelled while its worker (here a stand-in handle) runs.
    ASSERT_TRUE(BeginSplitJob());
    MarkSplitJobPrepared();
    WorkerThread = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EndSplitJobEarly();
    ASSERT_FALSE(WorkerMayGoOn());
    bool written = Write("report", "report.doc", "report.doc", 3);
    SplitWorkerEnded();
    EXPECT_TRUE(written);
    EXPECT_EQ(1009u, Read("Join-report.doc.bat").size());
    EXPECT_EQ(FolderListing(backup.Path()), std::vector<std::string>{});
}

TEST_F(JoinFile, MissingDestinationFolderFailsSilently) {
    CopyText(SplitJob.DestFolder, folder.File("missing"));
    EXPECT_FALSE(Write("S", "S.BIN", "S.BIN", 3));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(JoinFile, BackupThatCannotBeCreatedIsDroppedWithOneMessage) {
    CopyText(SplitJob.BackupFolder, folder.File("missing"));
    SplitJob.BackupEnabled = 1;
    ASSERT_TRUE(Write("report", "report.doc", "report.doc", 3));
    EXPECT_EQ(std::vector<std::string>{"Error creating backup of join file. Backups have "
                                       "been disabled."},
              Errors);
    EXPECT_EQ(0u, SplitJob.BackupEnabled);
    EXPECT_EQ(1009u, Read("Join-report.doc.bat").size());
}

TEST_F(JoinFile, FullDiskFailsTheMainFileAndTheBackup) {
    REQUIRE_SMALL_DISKS();
    SmallDisk disk(8192);
    ASSERT_TRUE(disk.Mounted());
    disk.Fill(0);

    // A backup on the full disk: one message, the main file goes on complete.
    CopyText(SplitJob.BackupFolder, disk.WindowsPath());
    SplitJob.BackupEnabled = 1;
    ASSERT_TRUE(Write("ANNUAL~1", "ANNUAL~1.DOC", "Annual Report 1998.doc", 150));
    EXPECT_EQ(std::vector<std::string>{"Error writing to backup of join file. Backups have "
                                       "been disabled."},
              Errors);
    EXPECT_EQ(0u, SplitJob.BackupEnabled);
    EXPECT_EQ(
        JoinBatchFileSize({"ANNUAL~1", "ANNUAL~1.DOC", "Annual Report 1998.doc", 150, 2500, false}),
        Read("Join-Annual Report 1998.doc.bat").size());

    // The main file on the full disk: failure, reported by the caller.
    CopyText(SplitJob.DestFolder, disk.WindowsPath());
    EXPECT_FALSE(Write("ANNUAL~1", "ANNUAL~1.DOC", "Annual Report 1998.doc", 150));
    EXPECT_EQ(1u, Errors.size());
}

// Names are quoted only where cmd.exe needs it (DOS before Windows 95 reads
// no quotes); the intermediate file is deleted by its name and is never the
// rebuilt file.
TEST(JoinFileNames, NamesAreQuotedOnlyWhereTheInterpreterNeedsIt) {
    const std::vector<std::string> cases[] = {
        {"R&D 100%", "R&D 100%.txt",
         "DEL \"R&D 100%%.00_\"\r\nREN \"R&D 100%%.txt\" \"R&D 100%%.txt\"\r\n"},
        {"%'`!()", "%'`!().TXT", "DEL %%'`!().00_\r\nREN %%'`!().TXT \"%%'`!().TXT\"\r\n"},
        {"SETUP", "SETUP.00_", "DEL SETUP.01_\r\nREN SETUP.00_ \"SETUP.00_\"\r\n"},
    };
    for (const std::vector<std::string>& c : cases) {
        std::string text;
        for (const std::string& chunk : JoinBatchChunks({c[0], c[1], c[1], 20, 2500, false}))
            text += chunk;
        EXPECT_NE(std::string::npos, JoiningLines(text).find(c[2])) << text;
    }
}

// Recombination through the real command interpreters.
class Recombination : public JoinFile {
protected:
    // Pieces base.000 ... of a repeatable source, cut by the test itself.
    std::string CutPieces(const std::string& base, uint32_t count, uint32_t pieceSize) {
        std::string source(count * pieceSize - pieceSize / 2, '\0');
        for (size_t i = 0; i < source.size(); ++i)
            source[i] = static_cast<char>((i * 131 + i / 7 + count) & 0xFF);
        for (uint32_t n = 0; n < count; ++n)
            WriteWholeFile(folder.File(PieceName(base, n).data()),
                           source.substr(n * pieceSize, pieceSize));
        return source;
    }

    // Cuts the pieces beside the user's other files, writes the join file,
    // runs it and compares the rebuilt file (the title, or with 8.3 names the
    // file) with the source. The folder then holds the pieces, the join file,
    // the rebuilt file and the other files unchanged, nothing else; output
    // keeps what the join file showed.
    void Check(const std::string& base, const std::string& file, const std::string& title,
               uint32_t count, uint32_t pieceSize = 1000, bool inDos = false,
               std::string rebuiltName = "", const std::map<std::string, std::string>& others = {},
               CALLER_LINE) {
        AT_CALLER;
        SCOPED_TRACE(title + ", " + std::to_string(count) + " pieces" + (inDos ? " in DOS" : ""));
        RemoveTree(folder.Path());
        CreateDirectoryA(folder.Path().c_str(), nullptr);
        std::string source = CutPieces(base, count, pieceSize);
        for (const auto& [name, content] : others) WriteWholeFile(folder.File(name), content);
        ASSERT_TRUE(Write(base, file, title, count, source.size()));
        std::string batch = Run(inDos);
        EXPECT_TRUE(EndsWithDone()) << output;
        EXPECT_EQ(std::string::npos, output.find("Can't recognize")) << output;
        if (rebuiltName.empty()) rebuiltName = Options.UseDos83 ? file : title;
        std::string rebuilt = folder.File(rebuiltName);
        ASSERT_TRUE(FileExists(rebuilt)) << rebuilt;
        EXPECT_TRUE(ReadWholeFile(rebuilt) == source) << "rebuilt file differs: " << rebuilt;
        std::vector<std::string> expected{batch, rebuiltName};
        for (uint32_t n = 0; n < count; ++n) expected.push_back(PieceName(base, n).data());
        for (const auto& [name, content] : others) {
            expected.push_back(name);
            EXPECT_EQ(content, ReadWholeFile(folder.File(name))) << name;
        }
        // Case aside: Wine's REN does not change only the case of a name.
        std::vector<std::string> listing = FolderListing(folder.Path());
        for (auto* names : {&expected, &listing}) {
            for (std::string& name : *names) CharUpperA(name.data());
            std::sort(names->begin(), names->end());
        }
        EXPECT_EQ(expected, listing);
    }

    // Runs the join file in DOSBox's DOS shell or in cmd.exe, there started
    // from the folder runFrom by its full path when runFrom is given; keeps
    // what it showed in output. Returns its name.
    std::string Run(bool inDos) {
        std::string batch = JoinFileName().data();
        EXPECT_TRUE(FileExists(folder.File(batch)));
        if (inDos) {
            RunInDos(batch);
        } else {
            RunBatchFile(runFrom.empty() ? folder.Path() : runFrom,
                         runFrom.empty() ? batch : folder.File(batch), folder.File("RUN.LOG"));
            output = ReadWholeFile(folder.File("RUN.LOG"));
            DeleteFileA(folder.File("RUN.LOG").c_str());
        }
        return batch;
    }

    bool EndsWithDone() const {
        std::string log = output;
        while (!log.empty() && isspace(static_cast<unsigned char>(log.back()))) log.pop_back();
        return log.size() >= 5 && log.substr(log.size() - 5) == "Done.";
    }

    std::string output;
    std::string runFrom;

    // Runs the batch file in DOSBox's DOS shell, the folder mounted as C:.
    void RunInDos(const std::string& batch) {
        using UnixName = char*(CDECL*)(LPCWSTR);
        auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
        ASSERT_NE(nullptr, unixName);
        wchar_t wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, folder.Path().c_str(), -1, wide, MAX_PATH);
        char* unixPath = unixName(wide);
        ASSERT_NE(nullptr, unixPath);
        std::string unixFolder = unixPath;
        HeapFree(GetProcessHeap(), 0, unixPath);
        WriteWholeFile(folder.File("DOS.CNF"),
                       "[sdl]\noutput=surface\n[cpu]\ncycles=max\n[mixer]\nnosound=true\n"
                       "[speaker]\npcspeaker=false\n");
        int status = RunUnixCommand(
            "command -v dosbox || (exit 127) && cd '" + unixFolder +
                "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 170 dosbox -conf "
                "DOS.CNF -c 'mount c .' -c 'c:' -c 'COMMAND /C " +
                batch + " > DOS.LOG' -c exit",
            180000);
        ASSERT_NE(127, status) << "DOSBox is missing: scripts/setup.sh installs it";
        ASSERT_EQ(0, status) << "DOSBox did not end by itself";
        output = ReadWholeFile(folder.File("DOS.LOG"));
        DeleteFileA(folder.File("DOS.LOG").c_str());
        DeleteFileA(folder.File("DOS.CNF").c_str());
    }
};

// 8.3 names only, as DOS sees them: 9, 71, 150 and 1,000 pieces, a compressed
// setup file beside another one, and unquoted % and parentheses.
class EightThreeRecombination : public Recombination {
protected:
    void CheckAll(bool inDos) {
        Options.UseDos83 = 1;
        Check("DATA", "DATA.BIN", "Data Set.bin", 9, 333, inDos);
        Check("ANNUAL~1", "ANNUAL~1.DOC", "Annual Report 1998.doc", 71, 77, inDos);
        Check("DATA", "DATA.BIN", "Data Set.bin", 150, 50, inDos);
        Check("MANY", "MANY.ZIP", "many.zip", 1000, 16, inDos);
        Check("SETUP", "SETUP.EX_", "setup.ex_", 20, 100, inDos, "", {{"SETUP.DL_", "user's"}});
        Check("100%(1)", "100%(1).TXT", "100% (1).txt", 9, 100, inDos);
    }
};

TEST_F(EightThreeRecombination, InTheWindowsInterpreter) { CheckAll(false); }

TEST_F(EightThreeRecombination, InTheDosShell) {
    CheckAll(true);
    // A REN line too long for DOS: the file keeps its 8.3 name there.
    Options.UseDos83 = 0;
    Options.UseLongJoinBatName = 0;
    Check("TTTTTT~1", "TTTTTT~1.DOC", std::string(116, 't') + ".doc", 9, 100, true, "TTTTTT~1.DOC");
    // DOS knows no long names: the file keeps its 8.3 name.
    Check("ANNUAL~1", "ANNUAL~1.DOC", "Annual Report 1998.doc", 9, 100, true, "ANNUAL~1.DOC");
}

// The join file touches only what it makes: a user's file of the pieces'
// stem, another file answering to the 8.3 name, and a file of the long name
// stay as they were.
TEST_F(Recombination, OtherFilesInTheFolderAreLeftAlone) {
    for (uint32_t dos83 : {1u, 0u}) {
        Options.UseDos83 = dos83;
        Check("SETUP", "SETUP.EX_", "SETUP.EX_", 20, 100, false, "", {{"SETUP.DL_", "user's"}});
    }
    Check("ANNUAL~1", "ANNUAL~1.DOC", "Annual Report 1998.doc", 20, 100, false, "",
          {{"ANNUAL~1.DOC", "the 1997 report"}});
    Check("ANNUAL~1", "ANNUAL~1.DOC", "Annual Report 1998.doc", 20, 100, false, "ANNUAL~1.00_",
          {{"Annual Report 1998.doc", "the original"}});
    EXPECT_NE(std::string::npos,
              output.find("A file of that name is already here: the recombined file is "
                          "ANNUAL~1.00_."))
        << output;
    // A title too long for DOS's lines, rebuilt under its long name.
    std::string title = std::string(116, 't') + ".doc";
    Check("TTTTTT~1", "TTTTTT~1.DOC", title, 20, 100);
    for (const std::string& line : Lines(Read("Join-" + title + ".bat")))
        EXPECT_TRUE(line.size() <= 127 || line.rfind(OnlyOnNt, 0) == 0) << line;
}

TEST_F(Recombination, LongNamesInTheWindowsInterpreter) {
    Check("REPORT", "REPORT.DOC", "report.doc", 3);
    // Started by its full path from another folder, which it leaves alone.
    TempFolder elsewhere;
    runFrom = elsewhere.Path();
    Check("ANNUAL~1", "ANNUAL~1.DOC", "Annual Report 1998.doc", 150, 77);
    EXPECT_EQ(FolderListing(elsewhere.Path()), std::vector<std::string>{});
}

// A piece missing (the first, one in the middle, the last) or cut short: the
// join file names what is wrong and never says "Done."; with a piece missing
// it copies nothing, and a file of the wrong size never gets the long name.
TEST_F(Recombination, PiecesMissingOrCutShortAreToldAndNothingIsDone) {
    // The pieces' stem, the piece taken away or cut short, in DOS, a line shown.
    const std::tuple<const char*, uint32_t, bool, bool, const char*> cases[] = {
        {"ANNUAL~1", 0, false, false, "Piece ANNUAL~1.000 is missing."},
        {"ANNUAL~1", 40, false, false, "Piece ANNUAL~1.040 is missing."},
        {"ANNUAL~1", 79, false, false, "Piece ANNUAL~1.079 is missing."},
        {"A(1)%", 0, false, false, "Piece \"A(1)%.000\" is missing."},
        {"A(1)%", 79, false, false, "Piece \"A(1)%.079\" is missing."},
        {"ANNUAL~1", 40, true, false, "The partly joined file is ANNUAL~1.00_."},
        {"A(1)%", 40, true, false, "The partly joined file is \"A(1)%.TXT\"."},
        {"ANNUAL~1", 40, false, true, "Piece ANNUAL~1.040 is missing."},
    };
    Options.UseLongJoinBatName = 0;
    for (const auto& [base, piece, cutShort, inDos, told] : cases) {
        SCOPED_TRACE(told);
        RemoveTree(folder.Path());
        CreateDirectoryA(folder.Path().c_str(), nullptr);
        // ANNUAL~1.DOC is renamed to its long name; A(1)%.TXT is its own.
        const bool renamed = base[1] == 'N';
        const std::string file = base + std::string(renamed ? ".DOC" : ".TXT");
        ASSERT_TRUE(Write(base, file, renamed ? "Annual Report 1998.doc" : file, 80,
                          CutPieces(base, 80, 50).size()));
        const std::string path = folder.File(PieceName(base, piece).data());
        cutShort ? WriteWholeFile(path, "cut") : static_cast<void>(DeleteFileA(path.c_str()));
        std::vector<std::string> expected = FolderListing(folder.Path());
        if (cutShort) expected.push_back(renamed ? std::string(base) + ".00_" : file);
        Run(inDos);
        EXPECT_NE(std::string::npos, output.find(std::string(told) + "\r\n")) << output;
        EXPECT_FALSE(EndsWithDone());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, FolderListing(folder.Path()));
    }
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

TEST_F(Recombination, LongNameTheOemCodePageCannotHoldKeepsTheEightThreeName) {
    // In the ANSI code page: "Price €5.doc", whose euro sign the OEM code page
    // writes as "?" (a wildcard to REN), and "Škoda.doc", whose Š it writes as
    // a plain S (a wrong name). The file comes back under its 8.3 name.
    for (std::string title : {"Price \x80"
                              "5.doc",
                              "\x8Akoda.doc"}) {
        Check("LONG~1", "LONG~1.DOC", title, 3, 1000, false, "LONG~1.DOC");
        EXPECT_NE(std::string::npos,
                  Read("Join-" + title + ".bat").find("\r\nREN LONG~1.00_ LONG~1.DOC\r\n"));
    }
}
