// The recombination batch file: COPY /B commands of at most 127 bytes (the
// longest batch line COMMAND.COM reads), the DEL of the intermediate file by
// its name, the REN to the long name, and its backup copy. The file touches
// only what it makes: a file to be renamed is rebuilt under the intermediate
// name and REN, which never replaces a file, gives it its name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The file's chunks, in the order they are written, for pieceCount pieces.
// Names that cmd.exe would misread are quoted, every % is doubled, and all
// names are in the OEM code page the interpreter reads.
std::vector<std::string> JoinBatchChunks(std::string_view baseName, std::string_view fileName,
                                         std::string_view title, uint32_t pieceCount,
                                         bool useDos83);

// Bytes of the join file that WriteJoinBatchFile would write for the job's
// PieceCount and options.
uint32_t JoinBatchFileSize(std::string_view baseName, std::string_view fileName,
                           std::string_view title);

// How the writer tells of a backup it had to drop (the job's error message).
using ErrorReport = void (*)(const char* text);

// Whether the job still wants its files: false once it was cancelled.
using JobGoesOn = bool (*)();

// Writes the join file into DestFolder and, while BackupEnabled, its copy into
// BackupFolder. Returns 1 when the main file was written completely, 0 when it
// could not be created or written (the caller reports it). A backup that
// cannot be created or written is dropped (BackupEnabled cleared) and told
// through showError; the main file goes on. Once goesOn is false (a Cancel,
// say during a backup message), no more goes to the backup.
int WriteJoinBatchFile(std::string_view baseName, std::string_view fileName, std::string_view title,
                       ErrorReport showError, JobGoesOn goesOn);
