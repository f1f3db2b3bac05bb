// What the Split button does: reads the main window's fields into the job
// record, runs the checks in their fixed order (the first that applies is the
// one the user sees), asks its questions, and launches the job.
#include "ui/split_request.h"

#include <windows.h>

#include <string>
#include <string_view>

#include "engine/split_engine.h"
#include "model/naming.h"
#include "model/size_arithmetic.h"
#include "model/split_job.h"
#include "platform/file_services.h"
#include "resource.h"
#include "ui/backup_dialog.h"
#include "ui/main_dialog.h"
#include "ui/progress_dialog.h"
#include "ui/size_fields.h"

namespace {

constexpr char OnePiece[] = "Splitting a file into only 1 piece is pointless.";
constexpr char TooManyPieces[] = "Split size is too small. Cannot split to more than 1,000 pieces.";
constexpr char SpanToFolder[] = "Source file cannot be spanned to a directory.";
constexpr char SpanToFixed[] = "Destination drive must be removable to span to it.";
constexpr char RemovableWarning[] =
    "You are splitting to a removable drive. It is recommended that you use disk spanning for "
    "splitting to removable drives (see Veltra Partola 95 Help for more information on disk "
    "spnning). You may get an error if the removable drive doesn't have enough free space for all "
    "the pieces.\n\nContinue anyway?";
constexpr char DestFolderNotFound[] = "Destination folder not found.";
constexpr char DestDriveNotFound[] = "Destination drive not found.";
constexpr char DestNotFolder[] = "Destination isn't a folder. Please enter a folder path.";
constexpr char SizeAboveSource[] = "Split size is greater than source file size.";
constexpr char ManyPieces[] =
    "Warning: %d is quite a large amount of pieces. This may take a very long while.\nAre you "
    "sure you want to procede?";
constexpr char BackupQuestion[] =
    "Do you want to backup the pieces?\nThis is usefull in case one of the disks get damaged.";

// Refusals of our own, for inputs the checks above would let through.
constexpr char ZeroSplitSize[] =
    "The split size is 0 bytes.\nType a split size of at least 1 byte, or choose a preset size.";
constexpr char DestPathTooLong[] =
    "The destination folder's path is too long for the piece and join file names.\nChoose a "
    "folder with a shorter path.";
constexpr char BackupPathTooLong[] =
    "The backup folder's path is too long for the piece and join file names.\nChoose a backup "
    "folder with a shorter path.";
constexpr char SourceEmpty[] = "The source file is empty (0 bytes).\nThere is nothing to split.";
constexpr char SourceOnSpanDrive[] =
    "The source file is on the drive you are spanning to, and its disk would have to be taken "
    "out.\nCopy the file to a hard disk first, then span it from there.";
constexpr char SplitSizeTooBig[] =
    "The split size is larger than 4,294,967,295 bytes, the largest a piece may have.\nType a "
    "smaller split size.";
constexpr char SourcePathTooLong[] =
    "The source file's path is longer than 259 characters.\nMove or rename the file to give it a "
    "shorter path.";
constexpr char SourceWildcards[] =
    "The source file's path holds * or ?.\nType the path of one file, without wildcards.";
constexpr char DestWildcards[] =
    "The destination folder's path holds * or ?.\nType the path of one folder, without "
    "wildcards.";
constexpr char JoinNameTooLong[] =
    "The source file's name is too long for the join file's name.\nRename the file, or turn off "
    "\"Use source filename in join filename\" in Options.";
// Pieces are named after the 8.3 name, so budget.doc and budget.xls write the
// same BUDGET.000: a folder may hold another file's pieces under these names.
constexpr char ReplaceQuestion[] =
    "The folder %s already holds %s.\nThat file, and every other file there with the name of "
    "a piece or of the join file of this split, will be replaced.\n\nContinue anyway?";

// A split into more pieces is refused; from ManyPiecesFrom on the user is asked.
constexpr uint32_t MostPieces = 1000;
constexpr uint32_t ManyPiecesFrom = 100;
// The longest name a file system gives a file.
constexpr size_t LongestFileName = 255;

void Refuse(const char* text) { MessageBoxA(MainWindow, text, "Error", MB_OK | MB_ICONERROR); }

bool Confirm(const char* text, const char* caption, UINT icon) {
    return MessageBoxA(MainWindow, text, caption, MB_YESNO | icon) == IDYES;
}

bool ConfirmWarning(const char* text) { return Confirm(text, "Warning", MB_ICONWARNING); }

struct RequestTexts {
    PathText source{};
    PathText dest{};
    bool sourceFits = true;
    bool destFits = true;
};

// The split size and the two lists are read by ReadSplitSize.
void ReadInputs(RequestTexts& texts) {
    texts.sourceFits = ReadPathField(MainWindow, IDC_SOURCE, texts.source);
    texts.destFits = ReadPathField(MainWindow, IDC_DEST, texts.dest);
}

bool HasWildcards(const PathText& path) {
    return View(path).find_first_of("*?") != std::string_view::npos;
}

// A path cut at 259 characters, or a pattern, would name files the user did
// not type: refused before any look-up.
bool PathsAreUsable(const RequestTexts& texts) {
    const char* refusal = !texts.sourceFits            ? SourcePathTooLong
                          : HasWildcards(texts.source) ? SourceWildcards
                          : !texts.destFits            ? DestPathTooLong
                          : HasWildcards(texts.dest)   ? DestWildcards
                                                       : nullptr;
    if (refusal) Refuse(refusal);
    return refusal == nullptr;
}

bool CountIsSensible() {
    if (SplitJob.Spanning) return true;
    if (SplitJob.SplitSize == 0) {
        Refuse(ZeroSplitSize);
        return false;
    }
    if (SplitSizeIsTooBig()) {
        Refuse(SplitSizeTooBig);
        return false;
    }
    // The count the main window's labels show.
    uint64_t count = PieceCountOf(SplitJob.SourceSize, SplitJob.SplitSize);
    if (count == 1) {
        Refuse(OnePiece);
        return false;
    }
    if (count > MostPieces) {
        Refuse(TooManyPieces);
        return false;
    }
    return true;
}

// The drive type of the destination as typed: its first three characters, or
// all of it when shorter. Unlike DriveRoot, a relative or network destination
// is not taken for a drive letter here.
UINT TypedDriveType(const PathText& dest) {
    PathText typed{};
    CopyText(typed, View(dest).substr(0, DriveRootLength));
    return DriveType(typed.data());
}

bool DriveIsSuitable(const PathText& dest) {
    UINT type = TypedDriveType(dest);
    if (SplitJob.Spanning) {
        if (View(dest).size() > DriveRootLength) {
            Refuse(SpanToFolder);
            return false;
        }
        if (type != DRIVE_REMOVABLE) {
            Refuse(SpanToFixed);
            return false;
        }
        return true;
    }
    return type != DRIVE_REMOVABLE || ConfirmWarning(RemovableWarning);
}

bool SourceIsSplittable(const PathText& source, DirectoryEntry& entry) {
    if (!FindDirectoryEntry(source.data(), entry)) {
        Refuse(SourceNotFound);
        return false;
    }
    // A folder passes the look-up too; it is not called empty (it fails later,
    // as before).
    if (!entry.IsFolder() && entry.Size() == 0) {
        Refuse(SourceEmpty);
        return false;
    }
    return true;
}

// A source on the disk being spanned would size the first piece by its own
// disk, and the next prompt would ask for that disk to be taken out.
bool SourceIsOffTheSpanDrive(const PathText& source, const PathText& dest) {
    if (!SplitJob.Spanning) return true;
    PathText full{};
    if (!FullPathOf(source.data(), full) || full[1] != ':' ||
        UpperCaseAscii(full[0]) != UpperCaseAscii(dest[0]))
        return true;
    Refuse(SourceOnSpanDrive);
    return false;
}

// With no destination, the folder of the source's full path: C:\Dir\name.zip
// and C:/Dir/name.zip give C:\Dir, C:\name.zip gives C:\, C:name.zip the
// current folder of C:, \\server\share\name.zip gives \\server\share\.
void DefaultDestinationFromSource(const PathText& source, PathText& dest) {
    // A network path's folder too: with no destination its pieces would
    // otherwise land in the current folder instead of beside the source.
    bool networkPath = source[0] == '\\' && source[1] == '\\';
    if (SplitJob.Spanning || dest[0] != '\0' || (source[1] != ':' && !networkPath)) return;
    PathText full{};
    if (!FullPathOf(source.data(), full)) full = source;
    // A source without a backslash stays the whole destination, unshown.
    dest = full;
    if (FolderOf(View(full), dest)) SetDlgItemTextA(MainWindow, IDC_DEST, dest.data());
}

// A share root has no directory entry of its own; its drive type, asked with
// the trailing backslash a root needs, says whether it is there.
bool ShareRootIsThere(const PathText& dest) {
    if (DriveType(FolderPrefix(View(dest)).data()) != DRIVE_NO_ROOT_DIR) return true;
    Refuse(DestFolderNotFound);
    return false;
}

bool DestinationIsFolder(const PathText& dest) {
    if (SplitJob.Spanning || dest[0] == '\0') return true;
    if (IsShareRoot(View(dest))) return ShareRootIsThere(dest);
    DirectoryEntry entry{};
    bool found = FindDirectoryEntry(dest.data(), entry);
    bool longer = View(dest).size() > DriveRootLength;
    if (!found && longer) {
        Refuse(DestFolderNotFound);
        return false;
    }
    if (!found && DriveType(dest.data()) == DRIVE_NO_ROOT_DIR) {
        Refuse(DestDriveNotFound);
        return false;
    }
    if (longer && !entry.IsFolder()) {
        Refuse(DestNotFolder);
        return false;
    }
    return true;
}

// Every piece and the join file must have a path of at most 259 characters.
bool OutputPathsFit(std::string_view folder) {
    PathText path{};
    // A span's count is not known yet: the largest a split may have.
    uint32_t last = SplitJob.PieceCount > 0 ? SplitJob.PieceCount - 1 : MostPieces - 1;
    return PathInFolder(folder, View(PieceName(last)), path) &&
           PathInFolder(folder, View(JoinFileName()), path);
}

bool PathsFit() {
    DeriveSourceNames();
    if (View(JoinFileName()).size() > LongestFileName) {
        Refuse(JoinNameTooLong);
        return false;
    }
    if (!OutputPathsFit(View(SplitJob.DestFolder))) {
        Refuse(DestPathTooLong);
        return false;
    }
    return true;
}

bool BackupPathsFit() {
    if (!SplitJob.BackupEnabled || OutputPathsFit(View(SplitJob.BackupFolder))) return true;
    Refuse(BackupPathTooLong);
    return false;
}

bool LargeCountAccepted() {
    if (SplitJob.PieceCount < ManyPiecesFrom) return true;
    char text[256];
    FormatText(text, sizeof text, ManyPieces, static_cast<int>(SplitJob.PieceCount));
    return ConfirmWarning(text);
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

// Asks once before files of the folder are replaced; true when none would be
// or the user agrees.
bool ReplacingAcceptedIn(const PathText& folder, uint32_t count) {
    PathText name{};
    if (!FindReplacedFile(View(folder), count, name)) return true;
    char text[2 * PathCapacity + sizeof ReplaceQuestion];
    FormatText(text, sizeof text, ReplaceQuestion, folder.data(), name.data());
    return ConfirmWarning(text);
}

// Splitting to a folder asks once before replacing files there. When
// spanning, each disk prompt is the user's consent for that disk.
bool ReplacingAccepted() {
    return SplitJob.Spanning || ReplacingAcceptedIn(SplitJob.DestFolder, SplitJob.PieceCount);
}

// The backup folder is on a hard disk: the disk prompts are no consent for
// it. Its piece count is not known yet, so every piece number counts.
bool BackupReplacingAccepted() {
    return !SplitJob.BackupEnabled || ReplacingAcceptedIn(SplitJob.BackupFolder, UINT32_MAX);
}

void SettleBackups() {
    SplitJob.BackupEnabled = 0;
    if (!SplitJob.Spanning || !Options.BackupPrompt) return;
    if (!Confirm(BackupQuestion, "Backup Pieces", MB_ICONQUESTION)) return;
    SplitJob.BackupEnabled = 1;
    RunBackupDialog(MainWindow);
}

void Launch() {
    CreateProgressDialog();
    DestroyWindow(MainWindow);
    if (!PrepareSplitJob()) return;
    StartSplitWorker();
}

}  // namespace

// The order decides which message the user sees when several apply. The
// source is found and not empty, and is not on the disk being
// spanned, before the destination is looked at; the question whether to
// replace files in the destination folder comes last, so a split that is
// refused never asks it. Nothing is written before the launch.
void RequestSplit() {
    if (SplitWorkerActive()) return;
    RequestTexts texts;
    ReadInputs(texts);
    if (!ReadSplitSize() || !CountIsSensible() || !PathsAreUsable(texts) ||
        !DriveIsSuitable(texts.dest))
        return;
    DirectoryEntry source{};
    if (!SourceIsSplittable(texts.source, source) ||
        !SourceIsOffTheSpanDrive(texts.source, texts.dest))
        return;
    DefaultDestinationFromSource(texts.source, texts.dest);
    if (!DestinationIsFolder(texts.dest)) return;
    SplitJob.SourceSize = source.Size();
    if (SplitJob.SourceSize < SplitJob.SplitSize) {
        Refuse(SizeAboveSource);
        return;
    }
    SplitJob.SourcePath = texts.source;
    SplitJob.DestFolder = texts.dest;
    // At most 1,000 here: CountIsSensible refused more.
    SplitJob.PieceCount =
        SplitJob.Spanning
            ? 0
            : static_cast<uint32_t>(PieceCountOf(SplitJob.SourceSize, SplitJob.SplitSize));
    if (!PathsFit() || !LargeCountAccepted() || !ReplacingAccepted()) return;
    SettleBackups();
    if (!BackupPathsFit() || !BackupReplacingAccepted()) return;
    Launch();
}
