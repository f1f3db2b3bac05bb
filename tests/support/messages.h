// The program's window captions and message boxes as the tests expect them,
// boxes as "caption|text": the one table of them, written out here on their
// own so that a changed wording in the program shows as a failure.
#pragma once

#include <string>

namespace messages {

constexpr char MainCaption[] = "Veltra Partola 95";
constexpr char ProgressCaption[] = "Partola 95 Progress";
constexpr char OptionsCaption[] = "Options";
constexpr char AboutCaption[] = "About Veltra Partola 95";
constexpr char BackupDialogCaption[] = "Veltra Partola 95 - Backup Pieces";

constexpr char OnePiece[] = "Error|Splitting a file into only 1 piece is pointless.";
constexpr char TooManyPieces[] =
    "Error|Split size is too small. Cannot split to more than 1,000 pieces.";
constexpr char SpanToFolder[] = "Error|Source file cannot be spanned to a directory.";
constexpr char SpanToFixed[] = "Error|Destination drive must be removable to span to it.";
constexpr char RemovableQuestion[] =
    "Warning|You are splitting to a removable drive. It is recommended that you use disk "
    "spanning for splitting to removable drives (see Veltra Partola 95 Help for more information "
    "on disk spnning). You may get an error if the removable drive doesn't have enough free "
    "space for all the pieces.\n\nContinue anyway?";
constexpr char SourceNotFound[] = "Error|Source file not found.";
constexpr char DestFolderNotFound[] = "Error|Destination folder not found.";
constexpr char DestDriveNotFound[] = "Error|Destination drive not found.";
constexpr char DestNotFolder[] = "Error|Destination isn't a folder. Please enter a folder path.";
constexpr char SizeAboveSource[] = "Error|Split size is greater than source file size.";
constexpr char Spaces[] = "Error|Spaces aren't allowed before or between digits.";
constexpr char InvalidCharacter[] =
    "Error|Invalid character(s) found in split size.\nCharacters other than digits or decimal "
    "points (.) are invalid.";
constexpr char BackupQuestion[] =
    "Backup Pieces|Do you want to backup the pieces?\nThis is usefull in case one of the disks "
    "get damaged.";
constexpr char NoBackupQuestion[] =
    "Are you sure?|Are you sure you want to continue without backing up the pieces?";

inline std::string LargeCountQuestion(int count) {
    return "Warning|Warning: " + std::to_string(count) +
           " is quite a large amount of pieces. This may take a very long while.\nAre you sure "
           "you want to procede?";
}

inline std::string DiskPrompt(int piece) {
    return "Veltra Partola 95|Insert disk for piece " + std::to_string(piece);
}

// Refusals of inputs that would otherwise reach the engine.
constexpr char ZeroSplitSize[] =
    "Error|The split size is 0 bytes.\nType a split size of at least 1 byte, or choose a preset "
    "size.";
constexpr char DestPathTooLong[] =
    "Error|The destination folder's path is too long for the piece and join file names.\nChoose "
    "a folder with a shorter path.";
constexpr char BackupPathTooLong[] =
    "Error|The backup folder's path is too long for the piece and join file names.\nChoose a "
    "backup folder with a shorter path.";
constexpr char SourceEmpty[] =
    "Error|The source file is empty (0 bytes).\nThere is nothing to split.";
constexpr char SourceOnSpanDrive[] =
    "Error|The source file is on the drive you are spanning to, and its disk would have to be "
    "taken out.\nCopy the file to a hard disk first, then span it from there.";
constexpr char SplitSizeTooBig[] =
    "Error|The split size is larger than 4,294,967,295 bytes, the largest a piece may have.\nType "
    "a smaller split size.";
constexpr char SourcePathTooLong[] =
    "Error|The source file's path is longer than 259 characters.\nMove or rename the file to give "
    "it a shorter path.";
constexpr char SourceWildcards[] =
    "Error|The source file's path holds * or ?.\nType the path of one file, without wildcards.";
constexpr char DestWildcards[] =
    "Error|The destination folder's path holds * or ?.\nType the path of one folder, without "
    "wildcards.";
constexpr char JoinNameTooLong[] =
    "Error|The source file's name is too long for the join file's name.\nRename the file, or "
    "turn off \"Use source filename in join filename\" in Options.";

// Splitting into a folder that already holds a file of a name the split writes.
inline std::string ReplaceQuestion(const std::string& folder, const std::string& name) {
    return "Warning|The folder " + folder + " already holds " + name +
           ".\nThat file, and every other file there with the name of a piece or of the join "
           "file of this split, will be replaced.\n\nContinue anyway?";
}

// Failures of a running job.
constexpr char SourceInUse[] =
    "Error|Unable to open source file. File may be in use by another program.\n\nThis commonly "
    "happens when splitting .exe's and .dll's. If that's the case, try making a copy of the "
    "source file or restarting your computer.";
constexpr char WriteFailed[] = "Error|Error writing to destination file. Drive may be full.";
constexpr char ReadPastEof[] = "Error|Read past EOF. Source file is currupted.";
constexpr char NoRoomForJoin[] =
    "Veltra Partola 95|Not enough room for join file on disk.\nInsert another disk for join "
    "file.";

// The end of a finished job.
constexpr char DeleteQuestion[] =
    "Veltra Partola 95|Finished splitting. Do you want to delete source file now?";
constexpr char FolderReminder[] =
    "Veltra Partola 95|Done.\n\nTo recombine the splitted files, make sure each piece is in "
    "the\nsame directory along with the recombination batch file (named 'join.bat' or "
    "'join-source filename.bat'),\nthen run (double-click) the join file.";
constexpr char SpanReminder[] =
    "Veltra Partola 95|Done.\n\nTo recombine the splitted files, copy each piece from each "
    "disk\nalong with the recombination batch file (named 'join.bat' or 'join-source "
    "filename.bat') to a directory\non your hard disk, then run (double-click) the join file.";

}  // namespace messages
