// Writes the join file chunk by chunk, one write per chunk, to the destination
// folder and, while backups are on, to the backup folder in the same pass.
#include "script/join_batch_file.h"

#include <windows.h>

#include "model/naming.h"
#include "platform/file_services.h"

namespace {

constexpr const char* HeaderLines[] = {"@ECHO OFF",
                                       "ECHO.Make sure ALL the pieces are in this directory.",
                                       "ECHO.Recombining files...", "ECHO."};

constexpr char CreateBackupFailed[] =
    "Error creating backup of join file. Backups have been disabled.";
constexpr char WriteBackupFailed[] =
    "Error writing to backup of join file. Backups have been disabled.";

// COMMAND.COM (DOS, Windows 95/98/ME) cuts every batch line after 127 bytes;
// cmd.exe reads lines of 8,191 characters.
constexpr size_t LongestLine = 127;

// The interpreter reads a batch file in the OEM code page. exact tells whether
// every character has an OEM equivalent (a missing one comes out as "?" or as
// a look-alike letter).
std::string ToOem(std::string_view ansi, bool& exact) {
    exact = true;
    if (ansi.empty()) return {};
    int wideLength =
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(),
                        wideLength);
    int oemLength =
        WideCharToMultiByte(CP_OEMCP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string oem(static_cast<size_t>(oemLength), '\0');
    WideCharToMultiByte(CP_OEMCP, 0, wide.data(), wideLength, oem.data(), oemLength, nullptr,
                        nullptr);
    // Read back, the OEM text must give the same characters again.
    std::wstring back(wide.size() + 1, L'\0');
    int backLength = MultiByteToWideChar(CP_OEMCP, 0, oem.data(), oemLength, back.data(),
                                         static_cast<int>(back.size()));
    exact = backLength == wideLength && back.compare(0, wide.size(), wide) == 0;
    return oem;
}

bool ConvertsExactly(std::string_view ansi) {
    bool exact = true;
    ToOem(ansi, exact);
    return exact;
}

// Characters that make cmd.exe (outside a block, delayed expansion off) split
// a name or change it: blanks and the separators of its commands' arguments,
// "&" (the next command), "^" (its escape) and "+" (COPY's joining). Other
// characters an 8.3 name may hold, such as "(", ")", "'", "`" and "!", are
// plain there; DOS before Windows 95 knows no quotes, so they stay unquoted.
bool NeedsQuotes(std::string_view name) {
    return name.find_first_of(" \t&^+,;=|<>") != std::string_view::npos;
}

// How one name is written: in the OEM code page, with % doubled (the
// interpreter expands it even inside quotes) and in double quotes when it
// holds a character that cmd.exe treats specially. alwaysQuote is for the
// REN line's new name, a long name.
std::string BatchName(std::string_view name, bool alwaysQuote = false) {
    std::string written;
    bool exact = true;
    for (char c : ToOem(name, exact)) {
        written += c;
        if (c == '%') written += '%';
    }
    if (alwaysQuote || NeedsQuotes(name)) written = "\"" + written + "\"";
    return written;
}

std::string Joined(const std::vector<std::string>& names, size_t from) {
    std::string joined;
    for (size_t n = from; n < names.size(); ++n) joined += (n > from ? "+" : "") + names[n];
    return joined;
}

// Appends names[next] and then, while the line with its ending stays within
// LongestLine and at least one name is left for a later command, the names
// after it, joined by "+".
std::string TakeNames(std::string line, const std::vector<std::string>& names, size_t& next,
                      const std::string& ending) {
    line += names[next++];
    while (next + 1 < names.size() &&
           line.size() + 1 + names[next].size() + ending.size() <= LongestLine)
        line += "+" + names[next++];
    return line + ending;
}

// The length of line + the names from next on, joined by "+", + ending, as
// far as it matters: it stops counting once past LongestLine.
size_t LineLength(const std::string& line, const std::vector<std::string>& names, size_t next,
                  const std::string& ending) {
    size_t length = line.size() + ending.size();
    for (size_t n = next; n < names.size() && length <= LongestLine + 1; ++n)
        length += names[n].size() + (n > next ? 1 : 0);
    return length;
}

// The COPY commands, without line breaks. One command joins all pieces into
// the file when that fits one line. Otherwise the first command joins as many
// as fit into the intermediate file, each further one appends as many as fit
// to it in place (no destination: COPY appends to its first file), and the
// last one joins the intermediate file and the rest into the file, or, when
// the file is the intermediate file itself, appends them too. Each byte is
// copied at most twice. A name too long for any line stands alone on one.
std::vector<std::string> CopyCommands(const std::vector<std::string>& pieces,
                                      const std::string& file, const std::string& intermediate) {
    if (pieces.empty()) return {};
    size_t next = 0;
    if (pieces.size() == 1 || LineLength("COPY /B ", pieces, 0, " " + file) <= LongestLine)
        return {"COPY /B " + Joined(pieces, 0) + " " + file};
    std::vector<std::string> commands{TakeNames("COPY /B ", pieces, next, " " + intermediate)};
    const std::string append = "COPY /B " + intermediate + "+";
    const std::string last = file == intermediate ? "" : " " + file;
    while (next + 1 < pieces.size() && LineLength(append, pieces, next, last) > LongestLine)
        commands.push_back(TakeNames(append, pieces, next, ""));
    commands.push_back(append + Joined(pieces, next) + last);
    return commands;
}

// COMMAND.COM skips a false IF whatever follows it, cut short or not, and
// %OS% is "Windows_NT" only on NT-family systems.
constexpr char OnlyOnNt[] = "IF \"%OS%\"==\"Windows_NT\" ";

// The labels the join file jumps to.
constexpr char PieceMissing[] = "MISSING";
constexpr char Renamed[] = "RENAMED";
constexpr char SizeDiffers[] = "SHORT";
constexpr char ChainFailed[] = "CHAIN";
constexpr char CopyFailed[] = "FAILED";
constexpr char PartlyJoined[] = "PARTIAL";
constexpr char NotJoined[] = "NOTDONE";
constexpr char End[] = "END";

std::string Goto(const char* label) { return std::string("GOTO ") + label; }
std::string Label(const char* label) { return std::string(":") + label; }

// Wine's cmd.exe reads parentheses after an IF as a block, after a false IF
// too, and runs what follows them as commands. A name with parentheses stands
// in quotes where it follows an IF on a line left to cmd.exe (afterIf), and in
// every message; DOS reads it as it is in its own commands.
std::string NameIn(std::string_view name, bool afterIf) {
    return BatchName(name, afterIf && name.find_first_of("()") != std::string_view::npos);
}

std::string Shown(std::string_view name) { return NameIn(name, true); }

// The line make(false) makes, or where that is too long for COMMAND.COM the
// line make(true) left to cmd.exe alone (behind an IF).
template <typename Make>
std::string WithinDosLine(Make make) {
    std::string line = make(false);
    return line.size() <= LongestLine ? line : OnlyOnNt + make(true);
}

// The lines after the COPY commands that give the rebuilt file its name.
// rebuilt is the name the COPY commands wrote. When it is the transit name,
// REN moves it to the long name or, where the long name cannot be typed, to
// the 8.3 name; where REN cannot give the long name outside NT (plain DOS
// knows no long names, and a line too long for DOS is not run there), the file
// gets its 8.3 name. REN never replaces a file: a file that keeps the transit
// name found its name taken, and the user is told.
std::vector<std::string> NamingLines(std::string_view rebuilt, std::string_view file,
                                     std::string_view title, bool transit) {
    std::vector<std::string> lines;
    auto renameTo = [&](std::string_view name, bool alwaysQuote) {
        return WithinDosLine([&](bool ntOnly) {
            return "REN " + NameIn(rebuilt, ntOnly) + " " +
                   (alwaysQuote ? BatchName(name, true) : NameIn(name, ntOnly));
        });
    };
    // A long name the OEM code page cannot hold would reach REN with "?" (a
    // wildcard) or a look-alike letter in it: the file keeps its 8.3 name.
    if (ConvertsExactly(title)) {
        lines.push_back(renameTo(title, true));
        const std::string toFile =
            "IF EXIST " + BatchName(rebuilt) + " REN " + BatchName(rebuilt) + " " + BatchName(file);
        if (transit && toFile.size() <= LongestLine)
            lines.insert(lines.end(), {OnlyOnNt + Goto(Renamed), toFile, Label(Renamed)});
    } else if (transit) {
        lines.push_back(renameTo(file, false));
    }
    if (transit)
        lines.push_back(WithinDosLine([&](bool ntOnly) {
            return "IF EXIST " + NameIn(rebuilt, ntOnly) +
                   " ECHO.A file of that name is already here: the recombined file is " +
                   Shown(rebuilt) + ".";
        }));
    return lines;
}

// Compares the rebuilt file's size, as text so that any size compares, where
// the interpreter expands a FOR variable's modifiers (Windows 2000 and later,
// Wine): there "%~F" is the name without its quotes. Elsewhere the modifiers
// stay as they are written, the guard is false and nothing is compared.
// Wine's cmd.exe gives the size of a file of 4 GiB or more modulo 2^32 (a
// 5 GiB file as 1073741824): that figure passes too. It lets through only a
// file short by a multiple of 4 GiB, which one piece cut short cannot make
// (no piece is that long), and a missing piece is caught before any COPY.
std::string SizeCheck(std::string_view rebuilt, uint64_t size) {
    const std::string quoted = BatchName(rebuilt, true);
    std::string line = OnlyOnNt + ("FOR %%F IN (" + quoted + ") DO IF \"%%~F\"==" + quoted +
                                   " IF NOT \"%%~zF\"==\"" + std::to_string(size) + "\"");
    if (size > UINT32_MAX)
        line += " IF NOT \"%%~zF\"==\"" + std::to_string(size & UINT32_MAX) + "\"";
    return line + " " + Goto(SizeDiffers);
}

// A message that names a file.
std::string Echo(std::string_view before, std::string_view name, std::string_view after) {
    return WithinDosLine(
        [&](bool) { return "ECHO." + std::string(before) + Shown(name) + std::string(after); });
}

// What the join file says and where it ends when it cannot put the file
// together: the pieces that are missing (nothing was copied), or the file a
// failed COPY or a wrong size left behind, named. partial is the file the
// COPY commands write; chained, when not empty, the intermediate file a
// failed COPY leaves before the last command.
std::vector<std::string> FailureLines(const std::vector<PathText>& pieces, std::string_view partial,
                                      uint64_t size, std::string_view chained) {
    std::vector<std::string> lines{Label(PieceMissing)};
    for (const PathText& piece : pieces)
        lines.push_back(WithinDosLine([&](bool ntOnly) {
            return "IF NOT EXIST " + NameIn(View(piece), ntOnly) + " ECHO.Piece " +
                   Shown(View(piece)) + " is missing.";
        }));
    lines.insert(lines.end(), {Goto(NotJoined), Label(SizeDiffers),
                               Echo("", partial,
                                    " is not " + std::to_string(size) +
                                        " bytes long: a piece is damaged or cut short."),
                               Goto(PartlyJoined)});
    if (!chained.empty())
        lines.insert(lines.end(),
                     {Label(ChainFailed), "ECHO.Joining stopped at an error.",
                      Echo("The partly joined file is ", chained, "."), Goto(NotJoined)});
    lines.insert(
        lines.end(),
        {Label(CopyFailed), "ECHO.Joining stopped at an error.", Label(PartlyJoined),
         Echo("The partly joined file is ", partial, "."), Label(NotJoined),
         "ECHO.The file was not put back together.", Label(End), OnlyOnNt + std::string("POPD")});
    return lines;
}

// The header, then on NT-family Windows a move into the file's own folder
// wherever it was started from (PUSHD gives a network folder a drive letter),
// and the check that every piece is there before anything is copied.
std::vector<std::string> OpeningLines(const std::vector<PathText>& pieces) {
    std::vector<std::string> lines(std::begin(HeaderLines), std::end(HeaderLines));
    lines.push_back(OnlyOnNt + std::string("PUSHD \"%~dp0\""));
    for (const PathText& piece : pieces)
        lines.push_back(WithinDosLine([&](bool ntOnly) {
            return "IF NOT EXIST " + NameIn(View(piece), ntOnly) + " " + Goto(PieceMissing);
        }));
    return lines;
}

// The chunks as lines: every line but the file's last ends in CR LF.
std::vector<std::string> AsChunks(const std::vector<std::vector<std::string>>& chunkLines) {
    std::vector<std::string> chunks;
    bool first = true;
    for (const std::vector<std::string>& lines : chunkLines) {
        std::string chunk;
        for (const std::string& line : lines) {
            chunk += (first ? "" : "\r\n") + line;
            first = false;
        }
        chunks.push_back(chunk);
    }
    return chunks;
}

std::vector<std::string> Chunks(const JoinFileContent& content) {
    const std::string_view base = content.baseName, file = content.fileName;
    std::vector<PathText> pieceNames;
    std::vector<std::string> pieces;
    for (uint32_t n = 0; n < content.pieceCount; ++n) {
        pieceNames.push_back(PieceName(base, n));
        pieces.push_back(BatchName(View(pieceNames.back())));
    }
    // A file to be renamed is rebuilt under the intermediate name, one that
    // only this join file makes: on the recombining computer the 8.3 name may
    // belong to another file, which COPY would overwrite. A file whose long
    // name is its 8.3 name, and one the user wants under its 8.3 name, is
    // rebuilt under that name.
    const bool transit = !content.useDos83 && !SameNameCaseAside(content.title, file);
    const PathText intermediateName = IntermediateFileName(base, file);
    const std::string intermediate = BatchName(View(intermediateName));
    const std::string_view rebuilt = transit ? View(intermediateName) : file;
    const std::vector<std::string> commands =
        CopyCommands(pieces, BatchName(rebuilt), intermediate);
    const bool chained = commands.size() > 1 && !transit;

    std::vector<std::vector<std::string>> chunks{OpeningLines(pieceNames)};
    // COMMAND.COM's COPY sets no ERRORLEVEL; cmd.exe's does.
    for (size_t g = 0; g < commands.size(); ++g)
        chunks.push_back(
            {commands[g],
             OnlyOnNt + ("IF ERRORLEVEL 1 " +
                         Goto(chained && g + 1 < commands.size() ? ChainFailed : CopyFailed))});
    chunks.push_back({});
    if (chained) chunks.back().push_back("DEL " + intermediate);
    chunks.back().push_back(SizeCheck(rebuilt, content.sourceSize));
    if (!content.useDos83)
        for (const std::string& line : NamingLines(rebuilt, file, content.title, transit))
            chunks.back().push_back(line);
    for (const std::string& line : {std::string("ECHO."), std::string("ECHO.Done."), Goto(End)})
        chunks.back().push_back(line);
    chunks.push_back(FailureLines(pieceNames, rebuilt, content.sourceSize,
                                  chained ? View(intermediateName) : std::string_view()));
    return AsChunks(chunks);
}

size_t TotalSize(const std::vector<std::string>& chunks) {
    size_t total = 0;
    for (const std::string& chunk : chunks) total += chunk.size();
    return total;
}

void DropBackup(uint32_t& backupEnabled, ErrorReport showError, const char* text) {
    showError(text);
    backupEnabled = 0;
}

HANDLE CreateJoinFile(std::string_view folder, std::string_view joinName) {
    PathText path{};
    return PathInFolder(folder, joinName, path) ? CreateOutputFile(path.data())
                                                : INVALID_HANDLE_VALUE;
}

bool WriteChunk(HANDLE file, const std::string& chunk) {
    uint32_t written = 0;
    return WriteBlock(file, chunk.data(), static_cast<uint32_t>(chunk.size()), written) ==
               IoResult::Ok &&
           written == chunk.size();
}

}  // namespace

std::vector<std::string> JoinBatchChunks(const JoinFileContent& content) { return Chunks(content); }

uint32_t JoinBatchFileSize(const JoinFileContent& content) {
    return static_cast<uint32_t>(TotalSize(Chunks(content)));
}

bool WriteJoinBatchFile(const JoinFileContent& content, const JoinFilePlace& place,
                        uint32_t& backupEnabled, ErrorReport showError, JobGoesOn goesOn) {
    HANDLE main = CreateJoinFile(place.destFolder, place.joinName);
    if (main == INVALID_HANDLE_VALUE) return false;
    HANDLE backup = INVALID_HANDLE_VALUE;
    if (backupEnabled && goesOn()) {
        backup = CreateJoinFile(place.backupFolder, place.joinName);
        if (backup == INVALID_HANDLE_VALUE)
            DropBackup(backupEnabled, showError, CreateBackupFailed);
    }
    for (const std::string& chunk : Chunks(content)) {
        if (!WriteChunk(main, chunk)) {
            CloseFile(main);
            CloseFile(backup);
            return false;
        }
        if (!goesOn()) CloseFile(backup);
        if (backup != INVALID_HANDLE_VALUE && !WriteChunk(backup, chunk)) {
            CloseFile(backup);
            DropBackup(backupEnabled, showError, WriteBackupFailed);
        }
    }
    CloseFile(main);
    CloseFile(backup);
    return true;
}
