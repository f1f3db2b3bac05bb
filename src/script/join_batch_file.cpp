// Writes the join file chunk by chunk, one write per chunk, to the destination
// folder and, while backups are on, to the backup folder in the same pass.
#include "script/join_batch_file.h"

#include <windows.h>

#include "model/naming.h"
#include "model/split_job.h"
#include "platform/file_services.h"

namespace {

constexpr char Header[] =
    "@ECHO OFF\r\nECHO.Make sure ALL the pieces are in this directory.\r\nECHO.Recombining "
    "files...\r\nECHO.\r\n";
constexpr char Trailer[] = "\r\nECHO.\r\nECHO.Done.";

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
constexpr char NotOnNt[] = "IF NOT \"%OS%\"==\"Windows_NT\" ";

// A line that COMMAND.COM would cut short is left to cmd.exe alone.
std::string WithinDosLine(const std::string& line) {
    return line.size() <= LongestLine ? line : OnlyOnNt + line;
}

// The lines after the COPY commands that give the rebuilt file its name.
// rebuilt is the name the COPY commands wrote. When it is the transit name,
// REN moves it to the long name or, where the long name cannot be typed or
// the line would be too long for DOS, to the 8.3 name; REN never replaces a
// file, so when the name is taken the file stays where it is and the user
// is told.
std::vector<std::string> NamingLines(const std::string& rebuilt, std::string_view file,
                                     std::string_view title, bool transit) {
    std::vector<std::string> lines;
    const std::string toFile = "REN " + rebuilt + " " + BatchName(file);
    // A long name the OEM code page cannot hold would reach REN with "?" (a
    // wildcard) or a look-alike letter in it: the file keeps its 8.3 name.
    if (ConvertsExactly(title)) {
        const std::string toTitle = "REN " + rebuilt + " " + BatchName(title, true);
        lines.push_back(WithinDosLine(toTitle));
        if (transit && toTitle.size() > LongestLine) lines.push_back(NotOnNt + toFile);
    } else if (transit) {
        lines.push_back(WithinDosLine(toFile));
    }
    if (transit)
        lines.push_back(WithinDosLine("IF EXIST " + rebuilt +
                                      " ECHO.A file of that name is already here: the "
                                      "recombined file is " +
                                      rebuilt + "."));
    return lines;
}

std::vector<std::string> Chunks(std::string_view base, std::string_view file,
                                std::string_view title, uint32_t count, bool useDos83) {
    std::vector<std::string> pieces;
    for (uint32_t n = 0; n < count; ++n) pieces.push_back(BatchName(View(PieceName(base, n))));
    // A file to be renamed is rebuilt under the intermediate name, one that
    // only this join file makes: on the recombining computer the 8.3 name may
    // belong to another file, which COPY would overwrite. A file whose long
    // name is its 8.3 name, and one the user wants under its 8.3 name, is
    // rebuilt under that name.
    const bool transit = !useDos83 && !SameNameCaseAside(title, file);
    const std::string intermediate = BatchName(View(IntermediateFileName(base, file)));
    const std::string rebuilt = transit ? intermediate : BatchName(file);
    std::vector<std::string> commands = CopyCommands(pieces, rebuilt, intermediate);

    std::vector<std::string> chunks{Header};
    for (size_t g = 0; g < commands.size(); ++g)
        chunks.push_back(commands[g] + (g + 1 < commands.size() ? "\r\n" : ""));
    if (commands.size() > 1 && !transit) chunks.push_back("\r\nDEL " + intermediate);
    if (!useDos83)
        for (const std::string& line : NamingLines(rebuilt, file, title, transit))
            chunks.push_back("\r\n" + line);
    chunks.push_back(Trailer);
    return chunks;
}

size_t TotalSize(const std::vector<std::string>& chunks) {
    size_t total = 0;
    for (const std::string& chunk : chunks) total += chunk.size();
    return total;
}

// The chunks for the job's piece count and options.
std::vector<std::string> JobChunks(std::string_view base, std::string_view file,
                                   std::string_view title) {
    return Chunks(base, file, title, SplitJob.PieceCount, Options.UseDos83 != 0);
}

void DropBackup(ErrorReport showError, const char* text) {
    showError(text);
    SplitJob.BackupEnabled = 0;
}

HANDLE CreateJoinFile(std::string_view folder) {
    PathText path{};
    return PathInFolder(folder, View(JoinFileName()), path) ? CreateOutputFile(path.data())
                                                            : INVALID_HANDLE_VALUE;
}

bool WriteChunk(HANDLE file, const std::string& chunk) {
    uint32_t written = 0;
    return WriteBlock(file, chunk.data(), static_cast<uint32_t>(chunk.size()), written) ==
               IoResult::Ok &&
           written == chunk.size();
}

}  // namespace

std::vector<std::string> JoinBatchChunks(std::string_view baseName, std::string_view fileName,
                                         std::string_view title, uint32_t pieceCount,
                                         bool useDos83) {
    return Chunks(baseName, fileName, title, pieceCount, useDos83);
}

uint32_t JoinBatchFileSize(std::string_view baseName, std::string_view fileName,
                           std::string_view title) {
    return static_cast<uint32_t>(TotalSize(JobChunks(baseName, fileName, title)));
}

int WriteJoinBatchFile(std::string_view baseName, std::string_view fileName, std::string_view title,
                       ErrorReport showError, JobGoesOn goesOn) {
    HANDLE main = CreateJoinFile(View(SplitJob.DestFolder));
    if (main == INVALID_HANDLE_VALUE) return 0;
    HANDLE backup = INVALID_HANDLE_VALUE;
    if (SplitJob.BackupEnabled && goesOn()) {
        backup = CreateJoinFile(View(SplitJob.BackupFolder));
        if (backup == INVALID_HANDLE_VALUE) DropBackup(showError, CreateBackupFailed);
    }
    for (const std::string& chunk : JobChunks(baseName, fileName, title)) {
        if (!WriteChunk(main, chunk)) {
            CloseFile(main);
            CloseFile(backup);
            return 0;
        }
        if (!goesOn()) CloseFile(backup);
        if (backup != INVALID_HANDLE_VALUE && !WriteChunk(backup, chunk)) {
            CloseFile(backup);
            DropBackup(showError, WriteBackupFailed);
        }
    }
    CloseFile(main);
    CloseFile(backup);
    return 1;
}
