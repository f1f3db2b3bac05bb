// The recombination batch file. Before any COPY it checks that every piece is
// in its folder and names each one that is not; then COPY /B commands of at
// most 127 bytes (the longest batch line COMMAND.COM reads), the DEL of the
// intermediate file by its name, a check of the rebuilt file's size, the REN
// to the long name, and its backup copy. It says "Done." only for a whole file
// under its name. The file touches only what it makes: a file to be renamed is
// rebuilt under the intermediate name and REN, which never replaces a file,
// gives it its name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What a join file is written from.
struct JoinFileContent {
    std::string_view baseName;  // the pieces' stem
    std::string_view fileName;  // the source's 8.3 name, which COPY can always write
    std::string_view title;     // the source's own name, which REN gives back
    uint32_t pieceCount;
    uint64_t sourceSize;  // what the rebuilt file must measure
    bool useDos83;        // the file keeps its 8.3 name: no REN
};

// Where a join file goes: its name, the destination folder and, when
// backupEnabled is set, the backup folder.
struct JoinFilePlace {
    std::string_view joinName;
    std::string_view destFolder;
    std::string_view backupFolder;
};

// The file's chunks, in the order they are written. Names that cmd.exe would
// misread are quoted, every % is doubled, and all names are in the OEM code
// page the interpreter reads.
std::vector<std::string> JoinBatchChunks(const JoinFileContent& content);

// Bytes of the join file that WriteJoinBatchFile writes for content.
uint32_t JoinBatchFileSize(const JoinFileContent& content);

// How the writer tells of a backup it had to drop (the job's error message).
using ErrorReport = void (*)(const char* text);

// Whether the job still wants its files: false once it was cancelled.
using JobGoesOn = bool (*)();

// Writes the join file into the destination folder and, while backupEnabled
// is set, its copy into the backup folder. True when the main file was
// written completely, false when it could not be created or written (the
// caller reports it). A backup that cannot be created or written is dropped
// (backupEnabled cleared) and told through showError; the main file goes on.
// Once goesOn is false (a Cancel, say during a backup message), no more goes
// to the backup.
bool WriteJoinBatchFile(const JoinFileContent& content, const JoinFilePlace& place,
                        uint32_t& backupEnabled, ErrorReport showError, JobGoesOn goesOn);
