// Writes the join file chunk by chunk, one write per chunk, to the destination
// folder and, while backups are on, to the backup folder in the same pass.
#include "script/join_batch_file.h"

#include <windows.h>

#include "engine/engine_steps.h"
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

// The interpreter reads a batch file in the OEM code page.
std::string ToOem(std::string_view ansi) {
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
    return oem;
}

bool NeedsQuotes(std::string_view name) {
    return name.find_first_of(" \t&^%()|<>,;=+!'`") != std::string_view::npos;
}

// How one name is written: unchanged when it needs nothing; otherwise in the
// OEM code page, with % doubled (the interpreter expands it even inside
// quotes) and in double quotes when it holds a character the interpreter
// treats specially. alwaysQuote is for the REN line's new name.
std::string BatchName(std::string_view name, bool quote, bool alwaysQuote = false) {
    if (!quote) return std::string(name);
    std::string written;
    for (char c : ToOem(name)) {
        written += c;
        if (c == '%') written += '%';
    }
    if (alwaysQuote || NeedsQuotes(name)) written = "\"" + written + "\"";
    return written;
}

std::vector<std::string> Chunks(std::string_view base, std::string_view file,
                                std::string_view title, uint32_t count, bool useDos83, bool quote) {
    std::vector<std::string> chunks{Header};
    uint32_t n = 0;
    for (uint32_t g = 0; n < count; ++g) {
        std::string command = "COPY /B ";
        if (g > 0) command += BatchName(View(IntermediateFileName(base, g - 1)), quote) + "+";
        for (uint32_t inCommand = 0; inCommand < CopyCommandLimit && n < count; ++inCommand) {
            if (inCommand > 0) command += "+";
            command += BatchName(View(PieceName(base, n++)), quote);
        }
        command += " ";
        command += n == count ? BatchName(file, quote)
                              : BatchName(View(IntermediateFileName(base, g)), quote) + "\r\n";
        chunks.push_back(std::move(command));
    }
    if (count > CopyCommandLimit) {
        std::string pattern = std::string(base) + ".??_";
        chunks.push_back("\r\nDEL " + BatchName(pattern, quote));
    }
    if (!useDos83) {
        chunks.push_back("\r\nREN " + BatchName(file, quote) + " " +
                         (quote ? BatchName(title, true, true) : "\"" + std::string(title) + "\""));
    }
    chunks.push_back(Trailer);
    return chunks;
}

size_t TotalSize(const std::vector<std::string>& chunks) {
    size_t total = 0;
    for (const std::string& chunk : chunks) total += chunk.size();
    return total;
}

void ShowBackupError(const char* text) {
    ShowError(text);
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
    return Chunks(baseName, fileName, title, pieceCount, useDos83, true);
}

uint32_t JoinBatchQuotingBytes(std::string_view baseName, std::string_view fileName,
                               std::string_view title, uint32_t pieceCount, bool useDos83) {
    size_t quoted = TotalSize(Chunks(baseName, fileName, title, pieceCount, useDos83, true));
    size_t plain = TotalSize(Chunks(baseName, fileName, title, pieceCount, useDos83, false));
    return quoted > plain ? static_cast<uint32_t>(quoted - plain) : 0;
}

int WriteJoinBatchFile(std::string_view baseName, std::string_view fileName,
                       std::string_view title) {
    HANDLE main = CreateJoinFile(View(SplitJob.DestFolder));
    if (main == INVALID_HANDLE_VALUE) return 0;
    HANDLE backup = INVALID_HANDLE_VALUE;
    if (SplitJob.BackupEnabled) {
        backup = CreateJoinFile(View(SplitJob.BackupFolder));
        if (backup == INVALID_HANDLE_VALUE) ShowBackupError(CreateBackupFailed);
    }
    for (const std::string& chunk :
         JoinBatchChunks(baseName, fileName, title, SplitJob.PieceCount, Options.UseDos83 != 0)) {
        if (!WriteChunk(main, chunk)) {
            CloseFile(main);
            CloseFile(backup);
            return 0;
        }
        if (SplitJob.BackupEnabled && !WriteChunk(backup, chunk)) {
            CloseFile(backup);
            ShowBackupError(WriteBackupFailed);
        }
    }
    CloseFile(main);
    CloseFile(backup);
    return 1;
}
