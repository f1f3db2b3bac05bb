// The checks of a split request in their fixed order: the first that applies
// is the one the user sees. The source is found and not empty, and is not on
// the disk being spanned, before the destination is looked at; the question
// whether to replace files in the destination folder comes last, so a split
// that is refused never asks it. Nothing is written here.
#include "model/split_request.h"

#include <windows.h>

#include <string>
#include <string_view>

#include "model/naming.h"
#include "model/size_arithmetic.h"
#include "platform/file_services.h"

namespace {

// A split into more pieces is refused; from ManyPiecesFrom on the user is asked.
constexpr uint32_t MostPieces = 1000;
constexpr uint32_t ManyPiecesFrom = 100;
// The longest name a file system gives a file.
constexpr size_t LongestFileName = 255;

RequestVerdict Stop(RequestStop stop) {
    RequestVerdict verdict;
    verdict.stop = stop;
    return verdict;
}

bool HasWildcards(const PathText& path) {
    return View(path).find_first_of("*?") != std::string_view::npos;
}

RequestStop CountStop() {
    if (SplitJob.Spanning) return RequestStop::None;
    if (SplitJob.SplitSize == 0) return RequestStop::ZeroSplitSize;
    if (SplitJob.SplitSizeTooBig) return RequestStop::SplitSizeTooBig;
    // The count the main window's labels show.
    uint64_t count = PieceCountOf(SplitJob.SourceSize, SplitJob.SplitSize);
    if (count == 1) return RequestStop::OnePiece;
    if (count > MostPieces) return RequestStop::TooManyPieces;
    return RequestStop::None;
}

// A path cut at 259 characters, or a pattern, would name files the user did
// not type: refused before any look-up.
RequestStop PathStop(const SplitRequestValues& values) {
    if (!values.sourceFits) return RequestStop::SourcePathTooLong;
    if (HasWildcards(values.source)) return RequestStop::SourceWildcards;
    if (!values.destFits) return RequestStop::DestPathTooLong;
    if (HasWildcards(values.dest)) return RequestStop::DestWildcards;
    return RequestStop::None;
}

// The drive type of the destination as typed: its first three characters, or
// all of it when shorter. Unlike DriveRoot, a relative or network destination
// is not taken for a drive letter here.
UINT TypedDriveType(const PathText& dest) {
    PathText typed{};
    CopyText(typed, View(dest).substr(0, DriveRootLength));
    return DriveType(typed.data());
}

RequestStop DriveStop(const SplitRequestValues& values) {
    UINT type = TypedDriveType(values.dest);
    if (SplitJob.Spanning) {
        if (View(values.dest).size() > DriveRootLength) return RequestStop::SpanToFolder;
        if (type != DRIVE_REMOVABLE) return RequestStop::SpanToFixed;
        return RequestStop::None;
    }
    if (type == DRIVE_REMOVABLE && !values.removableAccepted)
        return RequestStop::AskRemovableDestination;
    return RequestStop::None;
}

RequestStop SourceStop(const PathText& source, DirectoryEntry& entry) {
    if (!FindDirectoryEntry(source.data(), entry)) return RequestStop::SourceNotFound;
    // A folder passes the look-up too; it is not called empty (it fails later,
    // as before).
    if (!entry.IsFolder() && entry.Size() == 0) return RequestStop::SourceEmpty;
    return RequestStop::None;
}

// A source on the disk being spanned would size the first piece by its own
// disk, and the next prompt would ask for that disk to be taken out.
RequestStop SpanDriveStop(const PathText& source, const PathText& dest) {
    if (!SplitJob.Spanning) return RequestStop::None;
    PathText full{};
    if (!FullPathOf(source.data(), full) || full[1] != ':' ||
        UpperCaseAscii(full[0]) != UpperCaseAscii(dest[0]))
        return RequestStop::None;
    return RequestStop::SourceOnSpanDrive;
}

// With no destination, the folder of the source's full path: C:\Dir\name.zip
// and C:/Dir/name.zip give C:\Dir, C:\name.zip gives C:\, C:name.zip the
// current folder of C:, \\server\share\name.zip gives \\server\share\.
void DefaultDestinationFromSource(SplitRequestValues& values) {
    const PathText& source = values.source;
    // A network path's folder too: with no destination its pieces would
    // otherwise land in the current folder instead of beside the source.
    bool networkPath = source[0] == '\\' && source[1] == '\\';
    if (SplitJob.Spanning || values.dest[0] != '\0' || (source[1] != ':' && !networkPath)) return;
    PathText full{};
    if (!FullPathOf(source.data(), full)) full = source;
    // A source without a backslash stays the whole destination, unshown.
    values.dest = full;
    values.destDerived = FolderOf(View(full), values.dest);
}

// A share root has no directory entry of its own; its drive type, asked with
// the trailing backslash a root needs, says whether it is there.
RequestStop DestinationStop(const PathText& dest) {
    if (SplitJob.Spanning || dest[0] == '\0') return RequestStop::None;
    if (IsShareRoot(View(dest)))
        return DriveType(FolderPrefix(View(dest)).data()) != DRIVE_NO_ROOT_DIR
                   ? RequestStop::None
                   : RequestStop::DestFolderNotFound;
    DirectoryEntry entry{};
    bool found = FindDirectoryEntry(dest.data(), entry);
    bool longer = View(dest).size() > DriveRootLength;
    if (!found && longer) return RequestStop::DestFolderNotFound;
    if (!found && DriveType(dest.data()) == DRIVE_NO_ROOT_DIR)
        return RequestStop::DestDriveNotFound;
    if (longer && !entry.IsFolder()) return RequestStop::DestNotFolder;
    return RequestStop::None;
}

// Every piece and the join file must have a path of at most 259 characters.
bool OutputPathsFit(std::string_view folder) {
    PathText path{};
    // A span's count is not known yet: the largest a split may have.
    uint32_t last = SplitJob.PieceCount > 0 ? SplitJob.PieceCount - 1 : MostPieces - 1;
    return PathInFolder(folder, View(PieceName(last)), path) &&
           PathInFolder(folder, View(JoinFileName()), path);
}

RequestStop NameStop() {
    DeriveSourceNames();
    if (View(JoinFileName()).size() > LongestFileName) return RequestStop::JoinNameTooLong;
    if (!OutputPathsFit(View(SplitJob.DestFolder))) return RequestStop::DestPathTooLong;
    return RequestStop::None;
}

// The number of the piece that has this name, case aside, when it is below
// count; count otherwise.
uint32_t PieceNumberOf(std::string_view name, uint32_t count) {
    std::string_view base = View(SplitJob.SourceBaseName);
    if (name.size() <= base.size() + 1 || name.size() > base.size() + 11) return count;
    uint64_t n = 0;
    for (char c : name.substr(base.size() + 1)) {
        if (c < '0' || c > '9') return count;
        n = n * 10 + static_cast<unsigned>(c - '0');
    }
    if (n >= count) return count;
    auto number = static_cast<uint32_t>(n);
    return SameNameCaseAside(name, View(PieceName(number))) ? number : count;
}

// The first file of the folder, in the order pieces 0 to count - 1 and then
// the join file, that the split would replace: one scan of NAME.* finds the
// pieces, under their long or their 8.3 names, and one look-up the join file.
bool FindReplacedFile(std::string_view folder, uint32_t count, PathText& name) {
    PathText pattern{};
    PathInFolder(folder, std::string(View(SplitJob.SourceBaseName)) + ".*", pattern);
    uint32_t first = count;
    auto lowerPiece = [](const DirectoryEntry& entry, void* context) {
        uint32_t& lowest = *static_cast<uint32_t*>(context);
        uint32_t own = PieceNumberOf(View(entry.OwnName), lowest);
        uint32_t alias = PieceNumberOf(View(entry.ShortAlias), lowest);
        lowest = own < alias ? own : alias;
        return lowest > 0;
    };
    VisitDirectoryEntries(pattern.data(), lowerPiece, &first);
    if (first < count) {
        name = PieceName(first);
        return true;
    }
    name = JoinFileName();
    PathText path{};
    PathInFolder(folder, View(name), path);
    DirectoryEntry entry{};
    return FindDirectoryEntry(path.data(), entry);
}

// Asks once before files of the folder are replaced, naming the first.
RequestVerdict ReplaceStop(RequestStop ask, const PathText& folder, uint32_t count) {
    RequestVerdict verdict;
    if (!FindReplacedFile(View(folder), count, verdict.name)) return verdict;
    verdict.stop = ask;
    verdict.folder = folder;
    return verdict;
}

// The chain before the source is stored; each step runs only when the ones
// before it passed.
RequestStop EarlyStop(SplitRequestValues& values, DirectoryEntry& source) {
    RequestStop stop = CountStop();
    if (stop == RequestStop::None) stop = PathStop(values);
    if (stop == RequestStop::None) stop = DriveStop(values);
    if (stop == RequestStop::None) stop = SourceStop(values.source, source);
    if (stop == RequestStop::None) stop = SpanDriveStop(values.source, values.dest);
    if (stop != RequestStop::None) return stop;
    DefaultDestinationFromSource(values);
    stop = DestinationStop(values.dest);
    if (stop != RequestStop::None) return stop;
    SplitJob.SourceSize = source.Size();
    return SplitJob.SourceSize < SplitJob.SplitSize ? RequestStop::SizeAboveSource
                                                    : RequestStop::None;
}

}  // namespace

bool IsQuestion(RequestStop stop) {
    return stop == RequestStop::AskRemovableDestination || stop == RequestStop::AskManyPieces ||
           stop == RequestStop::AskReplace || stop == RequestStop::AskReplaceBackups;
}

RequestVerdict CheckSplitRequest(SplitRequestValues& values) {
    DirectoryEntry source{};
    RequestStop stop = EarlyStop(values, source);
    if (stop != RequestStop::None) return Stop(stop);
    SplitJob.SourcePath = values.source;
    SplitJob.DestFolder = values.dest;
    // At most 1,000 here: CountStop refused more.
    SplitJob.PieceCount =
        SplitJob.Spanning
            ? 0
            : static_cast<uint32_t>(PieceCountOf(SplitJob.SourceSize, SplitJob.SplitSize));
    stop = NameStop();
    if (stop != RequestStop::None) return Stop(stop);
    if (SplitJob.PieceCount >= ManyPiecesFrom && !values.manyPiecesAccepted) {
        RequestVerdict verdict = Stop(RequestStop::AskManyPieces);
        verdict.count = SplitJob.PieceCount;
        return verdict;
    }
    // When spanning, each disk prompt is the user's consent for that disk.
    if (SplitJob.Spanning || values.replaceAccepted) return {};
    return ReplaceStop(RequestStop::AskReplace, SplitJob.DestFolder, SplitJob.PieceCount);
}

// The backup folder is on a hard disk: the disk prompts are no consent for
// it. Its piece count is not known yet, so every piece number counts.
RequestVerdict CheckBackupFolder(const SplitRequestValues& values) {
    if (!SplitJob.BackupEnabled) return {};
    if (!OutputPathsFit(View(SplitJob.BackupFolder))) return Stop(RequestStop::BackupPathTooLong);
    if (values.backupReplaceAccepted) return {};
    return ReplaceStop(RequestStop::AskReplaceBackups, SplitJob.BackupFolder, UINT32_MAX);
}
