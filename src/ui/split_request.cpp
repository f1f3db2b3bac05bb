// What the Split button does: reads the main window's fields into the job
// record, runs the checks in their fixed order (the first that applies is the
// one the user sees), asks its questions, and launches the job.
#include "ui/split_request.h"

#include <windows.h>

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
    return true;
}

// With no destination, the source's folder: C:\Dir\name.zip gives C:\Dir,
// C:\name.zip gives C:\.
void DefaultDestinationFromSource(const PathText& source, PathText& dest) {
    // A network path's folder too: with no destination its pieces would
    // otherwise land in the current folder instead of beside the source.
    bool networkPath = source[0] == '\\' && source[1] == '\\';
    if (SplitJob.Spanning || dest[0] != '\0' || (source[1] != ':' && !networkPath)) return;
    dest = source;
    size_t slash = View(dest).rfind('\\');
    if (slash == std::string_view::npos) return;
    dest[slash] = '\0';
    if (slash < 3) AppendText(dest, "\\");
    SetDlgItemTextA(MainWindow, IDC_DEST, dest.data());
}

bool DestinationIsFolder(const PathText& dest) {
    if (SplitJob.Spanning || dest[0] == '\0') return true;
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

void RequestSplit() {
    if (SplitWorkerActive()) return;
    RequestTexts texts;
    ReadInputs(texts);
    if (!ReadSplitSize() || !CountIsSensible() || !DriveIsSuitable(texts.dest)) return;
    DirectoryEntry source{};
    if (!SourceIsSplittable(texts.source, source)) return;
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
    if (!PathsFit() || !LargeCountAccepted()) return;
    SettleBackups();
    if (!BackupPathsFit()) return;
    Launch();
}
