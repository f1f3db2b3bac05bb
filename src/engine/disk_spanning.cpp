// Spanning removable disks: the first free-space check, the disk cycle before
// every piece (each piece fills its disk) and the room check for the join file
// on the last disk.
#include <cstring>

#include "engine/engine_steps.h"
#include "engine/job_report.h"
#include "engine/split_engine.h"
#include "model/split_job.h"
#include "platform/file_services.h"
#include "script/join_batch_file.h"

namespace {

constexpr uint32_t MinimumPieceRoom = 2048;
constexpr uint32_t MinimumJoinFileRoom = 512;
// The estimate reckons 35 bytes of chaining for every 70 pieces; the room
// check also counts the join file's exact size.
constexpr uint32_t PiecesPerCommand = 70;

constexpr char FirstDiskTooFull[] =
    "You need at least 2KB of free disk space. Free space on disk or insert another.";
constexpr char DiskTooFull[] = "Not enough free space on disk. At least 2K is needed.";
constexpr char NoRoomForJoinFile[] =
    "Not enough room for join file on disk.\nInsert another disk for join file.";

// Measures again while the disk is too full and the user asks to; false when
// the user gave up (measured keeps the last measurement).
bool WaitForRoom(const char* root, uint32_t needed, const char* text, const char* caption,
                 UINT flags, UINT again, uint32_t& measured) {
    for (;;) {
        if (!WorkerMayGoOn()) return false;
        measured = FreeBytesOfDrive(root);
        if (measured >= needed) return true;
        if (AskUser(text, caption, flags) != static_cast<int>(again)) return false;
    }
}

}  // namespace

// The reckoning of the first join files: 13 bytes a piece (an 8.3 name of at
// most 12 characters and the "+" that chains it), 138 for the lines every join
// file has, the long name and 21 for the rename line, and for each 70 pieces 35
// for one more COPY command through the intermediate file, 18 for the first.
uint32_t JoinFileEstimate() {
    uint32_t pieces = SplitJob.PieceCount;
    uint32_t bytes = 13 * pieces + 138;
    if (!Options.UseDos83) bytes += static_cast<uint32_t>(strlen(SplitJob.SourceTitle.data())) + 21;
    if (pieces > PiecesPerCommand) bytes += (pieces / PiecesPerCommand) * 35 + 18;
    return bytes;
}

bool FirstFreeSpaceCheck(const char* root, uint32_t& freeBytes) {
    if (WaitForRoom(root, MinimumPieceRoom, FirstDiskTooFull, ProductName,
                    MB_OKCANCEL | MB_ICONERROR, IDOK, freeBytes))
        return true;
    return EndSplitJobEarly(false);
}

bool RunDiskCycle(const char* root) {
    char text[200];
    FormatText(text, sizeof text, "Insert disk for piece %d", SplitJob.PieceIndex + 1);
    if (AskUser(text, ProductName, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return EndSplitJobEarly();
    FormatText(text, sizeof text, "Writing piece %d to disk...", SplitJob.PieceIndex + 1);
    JobReporter().Status(text);
    uint32_t freeBytes = 0;
    if (!WaitForRoom(root, MinimumPieceRoom, DiskTooFull, ErrorCaption,
                     MB_RETRYCANCEL | MB_ICONERROR, IDRETRY, freeBytes)) {
        FormatText(text, sizeof text, "BytesFree: %d", static_cast<int>(freeBytes));
        AskUser(text, "Info", MB_OK);
        return EndSplitJobEarly();
    }
    SplitJob.SplitSize = freeBytes;
    return true;
}

bool CheckJoinFileRoom(const char* root) {
    // The estimate, but never less than the file that will be written: long
    // names (a volume without 8.3 aliases) and quoted names make it longer.
    uint32_t needed = JoinFileEstimate();
    if (needed < MinimumJoinFileRoom) needed = MinimumJoinFileRoom;
    uint32_t exact = JoinBatchFileSize(JobJoinFileContent());
    if (needed < exact) needed = exact;
    uint32_t freeBytes = 0;
    return WaitForRoom(root, needed, NoRoomForJoinFile, ProductName,
                       MB_OKCANCEL | MB_ICONEXCLAMATION, IDOK, freeBytes) ||
           EndSplitJobEarly();
}
