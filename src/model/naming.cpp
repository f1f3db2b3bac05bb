// Output names. Everything the join file has to type is built from the
// source's 8.3 alias; only the final rename and, optionally, the join file's
// own name use the long name.
#include "model/naming.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/file_services.h"

namespace {

std::string_view View(const PathText& text) { return text.data(); }

// The text of the path after its last backslash, or the whole path.
std::string_view TitleOf(std::string_view path) {
    size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool FolderPiecePath(std::string_view folder, uint32_t n, PathText& path) {
    std::string full = View(FolderPrefix(folder)).data();
    full += View(PieceName(n));
    CopyText(path, full);
    return full.size() < PathCapacity;
}

}  // namespace

std::string_view BaseNameOf(std::string_view name) {
    size_t dot = name.rfind('.');
    return (dot == std::string_view::npos || dot == 0) ? name : name.substr(0, dot);
}

bool DeriveSourceNames() {
    SplitJob.SourceFileName[0] = SplitJob.SourceBaseName[0] = '\0';
    CopyText(SplitJob.SourceTitle, TitleOf(View(SplitJob.SourcePath)));
    DirectoryEntry entry{};
    if (!FindDirectoryEntry(SplitJob.SourcePath.data(), entry)) return false;
    const PathText& name = entry.ShortAlias[0] ? entry.ShortAlias : entry.OwnName;
    CopyText(SplitJob.SourceFileName, View(name));
    CopyText(SplitJob.SourceBaseName, BaseNameOf(View(SplitJob.SourceFileName)));
    return true;
}

char* AppendPieceNumber(uint32_t n, char* name, size_t capacity) {
    char number[16];
    snprintf(number, sizeof number, ".%03lu", static_cast<unsigned long>(n));
    AppendText(name, capacity, number);
    return name;
}

PathText FolderPrefix(std::string_view folder) {
    PathText prefix{};
    CopyText(prefix, folder);
    // An empty folder is the current folder, not the root of the current drive.
    if (!folder.empty() && folder.back() != '\\') AppendText(prefix, "\\");
    return prefix;
}

bool IsShareRoot(std::string_view path) {
    if (path.substr(0, 2) != "\\\\") return false;
    size_t serverEnd = path.find('\\', 2);
    if (serverEnd == std::string_view::npos || serverEnd == 2) return false;
    std::string_view share = path.substr(serverEnd + 1);
    if (!share.empty() && share.back() == '\\') share.remove_suffix(1);
    return !share.empty() && share.find('\\') == std::string_view::npos;
}

bool PiecePath(uint32_t n, PathText& path) {
    return FolderPiecePath(View(SplitJob.DestFolder), n, path);
}

bool BackupPiecePath(uint32_t n, PathText& path) {
    return FolderPiecePath(View(SplitJob.BackupFolder), n, path);
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

PathText PieceName(uint32_t n) {
    PathText name{};
    CopyText(name, View(SplitJob.SourceBaseName));
    AppendPieceNumber(n, name.data(), name.size());
    return name;
}

PathText OutputName(uint32_t n) { return n < SplitJob.PieceCount ? PieceName(n) : JoinFileName(); }

PathText IntermediateFileName(uint32_t g) {
    // The piece name of number g with its third character from the end taken
    // out: ".00_" to ".99_", repeating from 100 on. Each intermediate file is
    // read only by the next COPY command, so a repeated name is harmless.
    PathText name = PieceName(g);
    size_t length = strlen(name.data());
    if (length >= 3) memmove(&name[length - 3], &name[length - 2], 3);
    AppendText(name, "_");
    return name;
}
