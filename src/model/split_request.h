// The rules of a split request: the checks the Split button runs, in their
// fixed order, over the values the user gave. The first that stops the
// request is given back as a kind with its argument; the interface shows its
// text or asks its question, and nothing here shows anything.
#pragma once

#include <cstdint>

#include "model/split_job.h"

// What stops a request: a refusal, or a question whose Yes lets it go on.
enum class RequestStop {
    None,
    ZeroSplitSize,
    SplitSizeTooBig,
    OnePiece,
    TooManyPieces,
    SourcePathTooLong,
    SourceWildcards,
    DestPathTooLong,
    DestWildcards,
    SpanToFolder,
    SpanToFixed,
    AskRemovableDestination,
    SourceNotFound,
    SourceEmpty,
    SourceOnSpanDrive,
    DestFolderNotFound,
    DestDriveNotFound,
    DestNotFolder,
    SizeAboveSource,
    JoinNameTooLong,
    AskManyPieces,  // argument: the piece count
    AskReplace,     // arguments: the folder and the first file replaced
    BackupPathTooLong,
    AskReplaceBackups,  // arguments: the backup folder and its first file replaced
};

// True for the kinds that ask the user instead of refusing.
bool IsQuestion(RequestStop stop);

// The values of one press of Split: the two path fields as read (false when a
// field held more than a path may have, the text then empty), and the
// questions the user has said Yes to so far. The split size is the one the
// size arithmetic stored into the job record.
struct SplitRequestValues {
    PathText source{};
    PathText dest{};
    bool sourceFits = true;
    bool destFits = true;
    bool removableAccepted = false;
    bool manyPiecesAccepted = false;
    bool replaceAccepted = false;
    bool backupReplaceAccepted = false;
    // Set when the checks gave an empty destination the source's folder,
    // which the destination field then shows.
    bool destDerived = false;
};

struct RequestVerdict {
    RequestStop stop = RequestStop::None;
    uint32_t count = 0;
    PathText folder{};
    PathText name{};
};

// Runs the checks up to the backup question, in their order; the first that
// applies is the verdict. On the way it sets what a passed check settles:
// SourceSize, SourcePath, DestFolder, PieceCount and the source's names.
RequestVerdict CheckSplitRequest(SplitRequestValues& values);

// The checks of the backup folder, once the user has chosen to keep backups.
RequestVerdict CheckBackupFolder(const SplitRequestValues& values);
