// What the Split button does: reads the main window's fields into the job
// record, runs the checks in their fixed order (the first that applies is the
// one the user sees), asks its questions, and launches the job.
#include "ui/split_request.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <string_view>

#include "engine/split_engine.h"
#include "model/naming.h"
#include "model/size_arithmetic.h"
#include "model/split_job.h"
#include "platform/file_services.h"
#include "resource.h"
#include "ui/backup_dialog.h"
#include "ui/progress_dialog.h"

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
constexpr char SourceNotFound[] = "Source file not found.";
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
constexpr char SourceTooLarge[] =
    "The source file is 4 GB or larger.\nVeltra Partola 95 splits files of up to 4,294,967,295 "
    "bytes.";
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
// Pieces are named after the 8.3 name, so budget.doc and budget.xls write the
// same BUDGET.000: a folder may hold another file's pieces under these names.
constexpr char ReplaceQuestion[] =
    "The folder %s already holds %s.\nThat file, and every other file there with the name of "
    "a piece or of the join file of this split, will be replaced.\n\nContinue anyway?";

void Refuse(const char* text) { MessageBoxA(MainWindow, text, "Error", MB_OK | MB_ICONERROR); }

bool Confirm(const char* text, const char* caption, UINT icon) {
    return MessageBoxA(MainWindow, text, caption, MB_YESNO | icon) == IDYES;
}

struct RequestTexts {
    PathText source{};
    PathText dest{};
};

std::string_view View(const PathText& text) { return text.data(); }

void ReadInputs(RequestTexts& texts) {
    GetDlgItemTextA(MainWindow, IDC_SOURCE, texts.source.data(), PathCapacity);
    GetDlgItemTextA(MainWindow, IDC_DEST, texts.dest.data(), PathCapacity);
    GetDlgItemTextA(MainWindow, IDC_SIZE_TEXT, SplitJob.SplitSizeText.data(), SizeTextCapacity);
    SplitJob.SizeUnitIndex =
        static_cast<int32_t>(SendDlgItemMessageA(MainWindow, IDC_UNIT_LIST, CB_GETCURSEL, 0, 0));
    SplitJob.PresetIndex =
        static_cast<int32_t>(SendDlgItemMessageA(MainWindow, IDC_PRESET_LIST, CB_GETCURSEL, 0, 0));
}

// The count the main window's labels show; 0 when there is none.
uint32_t CurrentCount() {
    if (SplitJob.SourceSize == 0 || SplitJob.SplitSize == 0 ||
        SplitJob.SourceSize < SplitJob.SplitSize)
        return 0;
    return PieceCountCeiling(SplitJob.SourceSize, SplitJob.SplitSize);
}

bool CountIsSensible() {
    if (SplitJob.Spanning) return true;
    if (SplitJob.SplitSize == 0) {
        Refuse(ZeroSplitSize);
        return false;
    }
    uint32_t count = CurrentCount();
    if (count == 1) {
        Refuse(OnePiece);
        return false;
    }
    if (count > 1000) {
        Refuse(TooManyPieces);
        return false;
    }
    return true;
}

// The first three characters of the destination, or all of it when shorter.
PathText DriveRoot(const PathText& dest) {
    PathText root{};
    CopyText(root, View(dest).substr(0, 3));
    return root;
}

bool DriveIsSuitable(const PathText& dest) {
    UINT type = DriveType(DriveRoot(dest).data());
    if (SplitJob.Spanning) {
        if (View(dest).size() > 3) {
            Refuse(SpanToFolder);
            return false;
        }
        if (type != DRIVE_REMOVABLE) {
            Refuse(SpanToFixed);
            return false;
        }
        return true;
    }
    return type != DRIVE_REMOVABLE || Confirm(RemovableWarning, "Warning", MB_ICONWARNING);
}

bool SourceIsSplittable(const PathText& source, DirectoryEntry& entry) {
    if (!FindDirectoryEntry(source.data(), entry)) {
        Refuse(SourceNotFound);
        return false;
    }
    if (entry.IsTooLarge()) {
        Refuse(SourceTooLarge);
        return false;
    }
    // A folder passes the look-up too; it is not called empty (it fails later,
    // as before).
    if (!entry.IsFolder() && entry.SizeLow == 0) {
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
        toupper(static_cast<unsigned char>(full[0])) !=
            toupper(static_cast<unsigned char>(dest[0])))
        return true;
    Refuse(SourceOnSpanDrive);
    return false;
}

// With no destination, the source's folder: C:\Dir\name.zip gives C:\Dir,
// C:\name.zip gives C:\, \\server\share\name.zip gives \\server\share\.
void DefaultDestinationFromSource(const PathText& source, PathText& dest) {
    // A network path's folder too: with no destination its pieces would
    // otherwise land in the current folder instead of beside the source.
    bool networkPath = source[0] == '\\' && source[1] == '\\';
    if (SplitJob.Spanning || dest[0] != '\0' || (source[1] != ':' && !networkPath)) return;
    dest = source;
    size_t slash = View(dest).rfind('\\');
    if (slash == std::string_view::npos) return;
    dest[slash] = '\0';
    if (slash < 3 || IsShareRoot(View(dest))) AppendText(dest, "\\");
    SetDlgItemTextA(MainWindow, IDC_DEST, dest.data());
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
    bool longer = View(dest).size() > 3;
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
    PathText saved = SplitJob.DestFolder;
    CopyText(SplitJob.DestFolder, folder);
    PathText path{};
    uint32_t last = SplitJob.PieceCount > 0 ? SplitJob.PieceCount - 1 : 999;
    bool fits = PiecePath(last, path) &&
                View(FolderPrefix(folder)).size() + View(JoinFileName()).size() < PathCapacity;
    SplitJob.DestFolder = saved;
    return fits;
}

bool PathsFit() {
    DeriveSourceNames();
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
    if (SplitJob.PieceCount < 100) return true;
    char text[256];
    snprintf(text, sizeof text, ManyPieces, static_cast<int>(SplitJob.PieceCount));
    return Confirm(text, "Warning", MB_ICONWARNING);
}

// The first file of the destination folder that the split would replace.
bool FindReplacedFile(PathText& name) {
    for (uint32_t n = 0; n <= SplitJob.PieceCount; ++n) {
        name = OutputName(n);
        PathText path = FolderPrefix(View(SplitJob.DestFolder));
        AppendText(path, View(name));
        DirectoryEntry entry{};
        if (FindDirectoryEntry(path.data(), entry)) return true;
    }
    return false;
}

// Splitting to a folder asks once before replacing files there. When
// spanning, each disk prompt is the user's consent for that disk.
bool ReplacingAccepted() {
    PathText name{};
    if (SplitJob.Spanning || !FindReplacedFile(name)) return true;
    char text[2 * PathCapacity + sizeof ReplaceQuestion];
    snprintf(text, sizeof text, ReplaceQuestion, SplitJob.DestFolder.data(), name.data());
    return Confirm(text, "Warning", MB_ICONWARNING);
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
// source is found, not too large and not empty, and is not on the disk being
// spanned, before the destination is looked at; the question whether to
// replace files in the destination folder comes last, so a split that is
// refused never asks it. Nothing is written before the launch.
void RequestSplit() {
    if (SplitWorkerActive()) return;
    RequestTexts texts;
    ReadInputs(texts);
    if (!ReadSplitSize() || !CountIsSensible() || !DriveIsSuitable(texts.dest)) return;
    DirectoryEntry source{};
    if (!SourceIsSplittable(texts.source, source) ||
        !SourceIsOffTheSpanDrive(texts.source, texts.dest))
        return;
    DefaultDestinationFromSource(texts.source, texts.dest);
    if (!DestinationIsFolder(texts.dest)) return;
    SplitJob.SourceSize = source.SizeLow;
    if (SplitJob.SourceSize < SplitJob.SplitSize) {
        Refuse(SizeAboveSource);
        return;
    }
    SplitJob.SourcePath = texts.source;
    SplitJob.DestFolder = texts.dest;
    SplitJob.PieceCount =
        SplitJob.Spanning ? 0 : PieceCountCeiling(SplitJob.SourceSize, SplitJob.SplitSize);
    if (!PathsFit() || !LargeCountAccepted() || !ReplacingAccepted()) return;
    SettleBackups();
    if (!BackupPathsFit()) return;
    Launch();
}
