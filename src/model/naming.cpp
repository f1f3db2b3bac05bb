// Output names. Everything the join file has to type is built from the
// source's 8.3 alias; only the final rename and, optionally, the join file's
// own name use the long name.
#include "model/naming.h"

#include <algorithm>
#include <cstring>

#include "platform/file_services.h"

std::string_view BaseNameOf(std::string_view name) {
    size_t dot = name.rfind('.');
    return (dot == std::string_view::npos || dot == 0) ? name : name.substr(0, dot);
}

bool DeriveSourceNames() {
    SplitJob.SourceFileName[0] = SplitJob.SourceBaseName[0] = '\0';
    CopyText(SplitJob.SourceTitle, TitleOf(View(SplitJob.SourcePath)));
    DirectoryEntry entry{};
    if (!FindDirectoryEntry(SplitJob.SourcePath.data(), entry)) return false;
    // The entry's own name: a path typed with "/" or as "C:name" has no
    // backslash before it, and a typed 8.3 alias is not the long name.
    CopyText(SplitJob.SourceTitle, View(entry.OwnName));
    const PathText& name = entry.ShortAlias[0] ? entry.ShortAlias : entry.OwnName;
    CopyText(SplitJob.SourceFileName, View(name));
    CopyText(SplitJob.SourceBaseName, BaseNameOf(View(SplitJob.SourceFileName)));
    return true;
}

char* AppendPieceNumber(uint32_t n, char* name, size_t capacity) {
    char number[16];
    FormatText(number, sizeof number, ".%03lu", static_cast<unsigned long>(n));
    AppendText(name, capacity, number);
    return name;
}

bool PiecePath(uint32_t n, PathText& path) {
    return PathInFolder(View(SplitJob.DestFolder), View(PieceName(n)), path);
}

bool BackupPiecePath(uint32_t n, PathText& path) {
    return PathInFolder(View(SplitJob.BackupFolder), View(PieceName(n)), path);
}

PathText JoinFileName() {
    PathText name{};
    CopyText(name, "Join");
    if (Options.UseLongJoinBatName && !Options.UseDos83) {
        AppendText(name, "-");
        AppendText(name, View(SplitJob.SourceTitle));
    }
    AppendText(name, ".bat");
    return name;
}

PathText PieceName(std::string_view baseName, uint32_t n) {
    PathText name{};
    CopyText(name, baseName);
    AppendPieceNumber(n, name.data(), name.size());
    return name;
}

PathText PieceName(uint32_t n) { return PieceName(View(SplitJob.SourceBaseName), n); }

PathText IntermediateFileName(std::string_view baseName, uint32_t g) {
    // The piece name of number g with its third character from the end taken
    // out: ".00_" to ".99_", repeating from 100 on. Each intermediate file is
    // read only by the next COPY command, so a repeated name is harmless.
    PathText name = PieceName(baseName, g);
    size_t length = strlen(name.data());
    if (length >= 3) memmove(&name[length - 3], &name[length - 2], 3);
    AppendText(name, "_");
    return name;
}

bool SameNameCaseAside(std::string_view one, std::string_view other) {
    return std::equal(one.begin(), one.end(), other.begin(), other.end(),
                      [](char a, char b) { return UpperCaseAscii(a) == UpperCaseAscii(b); });
}

PathText IntermediateFileName(std::string_view baseName, std::string_view fileName) {
    PathText name = IntermediateFileName(baseName, 0);
    return SameNameCaseAside(View(name), fileName) ? IntermediateFileName(baseName, 1) : name;
}
