// What the Split button does: reads the main window's fields, hands them to
// the rules (model/split_request.h), shows the refusal or asks the question
// they give back, and launches the job.
#include "ui/split_request.h"

#include <windows.h>

#include "engine/split_engine.h"
#include "model/split_request.h"
#include "resource.h"
#include "ui/backup_dialog.h"
#include "ui/main_dialog.h"
#include "ui/message_boxes.h"
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

struct StopText {
    RequestStop stop;
    const char* text;
};

// The text of each refusal the rules give back.
constexpr StopText RefusalTexts[] = {
    {RequestStop::ZeroSplitSize, ZeroSplitSize},
    {RequestStop::SplitSizeTooBig, SplitSizeTooBig},
    {RequestStop::OnePiece, OnePiece},
    {RequestStop::TooManyPieces, TooManyPieces},
    {RequestStop::SourcePathTooLong, SourcePathTooLong},
    {RequestStop::SourceWildcards, SourceWildcards},
    {RequestStop::DestPathTooLong, DestPathTooLong},
    {RequestStop::DestWildcards, DestWildcards},
    {RequestStop::SpanToFolder, SpanToFolder},
    {RequestStop::SpanToFixed, SpanToFixed},
    {RequestStop::SourceNotFound, SourceNotFound},
    {RequestStop::SourceEmpty, SourceEmpty},
    {RequestStop::SourceOnSpanDrive, SourceOnSpanDrive},
    {RequestStop::DestFolderNotFound, DestFolderNotFound},
    {RequestStop::DestDriveNotFound, DestDriveNotFound},
    {RequestStop::DestNotFolder, DestNotFolder},
    {RequestStop::SizeAboveSource, SizeAboveSource},
    {RequestStop::JoinNameTooLong, JoinNameTooLong},
    {RequestStop::BackupPathTooLong, BackupPathTooLong},
};

// The question's text, filled with its arguments.
void QuestionText(const RequestVerdict& verdict, char* text, size_t capacity) {
    if (verdict.stop == RequestStop::AskManyPieces)
        FormatText(text, capacity, ManyPieces, static_cast<int>(verdict.count));
    else if (verdict.stop == RequestStop::AskRemovableDestination)
        CopyText(text, capacity, RemovableWarning);
    else
        FormatText(text, capacity, ReplaceQuestion, verdict.folder.data(), verdict.name.data());
}

// A refusal's box, or a question's answer; true for Yes.
bool ShowVerdict(const RequestVerdict& verdict) {
    if (!IsQuestion(verdict.stop)) {
        ShowErrorBox(MainWindow, RefusalText(verdict.stop));
        return false;
    }
    char text[2 * PathCapacity + sizeof ReplaceQuestion];
    QuestionText(verdict, text, sizeof text);
    return AskYesNo(MainWindow, text, WarningCaption, MB_ICONWARNING);
}

void Accept(RequestStop question, SplitRequestValues& values) {
    values.removableAccepted |= question == RequestStop::AskRemovableDestination;
    values.manyPiecesAccepted |= question == RequestStop::AskManyPieces;
    values.replaceAccepted |= question == RequestStop::AskReplace;
    values.backupReplaceAccepted |= question == RequestStop::AskReplaceBackups;
}

// Runs the checks until they pass (true), a refusal is shown or a question is
// answered No. A destination the checks took from the source is shown first.
template <typename Check>
bool Passes(Check check, SplitRequestValues& values) {
    for (;;) {
        RequestVerdict verdict = check(values);
        if (values.destDerived) SetDlgItemTextA(MainWindow, IDC_DEST, values.dest.data());
        values.destDerived = false;
        if (verdict.stop == RequestStop::None) return true;
        if (!ShowVerdict(verdict)) return false;
        Accept(verdict.stop, values);
    }
}

void SettleBackups() {
    SplitJob.BackupEnabled = 0;
    if (!SplitJob.Spanning || !Options.BackupPrompt) return;
    if (!AskYesNo(MainWindow, BackupQuestion, "Backup Pieces", MB_ICONQUESTION)) return;
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

const char* RefusalText(RequestStop stop) {
    for (const StopText& row : RefusalTexts)
        if (row.stop == stop) return row.text;
    return "";
}

// Nothing is written before the launch.
void RequestSplit() {
    if (SplitWorkerActive()) return;
    SplitRequestValues values;
    // The split size and the two lists are read by ReadSplitSize.
    values.sourceFits = ReadPathField(MainWindow, IDC_SOURCE, values.source);
    values.destFits = ReadPathField(MainWindow, IDC_DEST, values.dest);
    if (!ReadSplitSize() || !Passes(CheckSplitRequest, values)) return;
    SettleBackups();
    if (!Passes(CheckBackupFolder, values)) return;
    Launch();
}
