// The rules of a split request, in-process: each check's verdict in its
// order (when several apply, the earlier check speaks), for the inputs a
// user types, against real files, and the text the Split button shows for
// it. Nothing is shown and nothing written.
#include "model/split_request.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "messages.h"
#include "model/job_sizes.h"
#include "model/size_arithmetic.h"
#include "program_session.h"
#include "test_support.h"
#include "ui/split_request.h"

using namespace testing_support;

namespace {

using Stop = RequestStop;
constexpr auto Span = SplitSizeMode::Span, Typed = SplitSizeMode::Specified,
               Preset = SplitSizeMode::Preset;
constexpr int32_t Bytes = 0, KB = 1, MB = 2;

// What the user has typed and picked; the preset is "1.44 MB".
struct Request {
    std::string source;
    std::string dest;
    const char* size;
    SplitSizeMode mode;
    int32_t unit;
};

// The size arithmetic's part of a press of Split, then the rules' verdict.
RequestVerdict Check(const Request& request, SplitRequestValues& values) {
    SplitJob.Spanning = 0;
    ResetJob();
    char label[64];
    SizeText(request.source.c_str(), label, sizeof label);  // as the size label does
    EXPECT_EQ(StoreSplitSize(request.size, request.mode, request.unit, 2), SizeError::None);
    values.sourceFits = CopyText(values.source, request.source) == request.source.size();
    values.destFits = CopyText(values.dest, request.dest) == request.dest.size();
    if (!values.sourceFits) values.source[0] = '\0';
    if (!values.destFits) values.dest[0] = '\0';
    return CheckSplitRequest(values);
}

RequestStop StopOf(const Request& request) {
    SplitRequestValues values;
    return Check(request, values).stop;
}

class SplitRequestRules : public ::testing::Test {
protected:
    void SetUp() override { SetOptions(FirstRunValues); }
    std::string Source(const std::string& name, uint32_t size) {
        return WriteRandomFile(work.File(name), size, size), work.File(name);
    }
    TempFolder work;
    std::string out = work.Folder("out"), missing = work.File("missing.bin"),
                nowhere = work.File("nowhere");
};

TEST_F(SplitRequestRules, EachCheckSpeaksInItsOrder) {
    std::string one = Source("one.bin", 1457264), two = Source("two.bin", 1457265),
                tenk = Source("tenk.bin", 10000), small = Source("small.bin", 100),
                empty = Source("empty.bin", 0);
    // 250 characters, and "\data.000" makes 259: the longest piece path; with
    // the join file name "Join-data.bin.bat" that folder is too long, one
    // character more is too long for the pieces themselves.
    std::string longest = MakeFolderOfLength(work.Path(), 250);
    std::string fits = MakeFolderOfLength(work.File("fits"), 241);
    std::string largest = work.File("largest.bin");
    ASSERT_TRUE(MakeLargeFile(largest, 4294967295ull));
    std::string longSource = MakeFolderOfLength(work.File("ls"), 250) + "\\data.bin";
    WriteRandomFile(longSource, 10000, 3);
    // "Join-" + 247 characters + ".bat" is one past the 255 a file name may have.
    std::string joinFolder = "C:\\j" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(joinFolder.c_str(), nullptr);
    std::string longName = joinFolder + "\\" + std::string(243, 'n') + ".bin";
    WriteRandomFile(longName, 10000);
    struct Row {
        Request request;
        const char* refusal;  // its box as the user sees it; none when the request passes
    };
    const std::vector<Row> rows{
        // The size checks first: no source, no destination folder either.
        {{missing, nowhere, "0", Typed, Bytes}, messages::ZeroSplitSize},
        {{one, nowhere, "", Preset, Bytes}, messages::OnePiece},
        {{tenk, nowhere, "9", Typed, Bytes}, messages::TooManyPieces},  // 1,112 pieces
        // 1,000 pieces pass, and two of the preset: the missing folder speaks.
        {{tenk, nowhere, "10", Typed, Bytes}, messages::DestFolderNotFound},
        {{two, nowhere, "", Preset, Bytes}, messages::DestFolderNotFound},
        {{tenk, out, ".", Typed, KB}, messages::ZeroSplitSize},
        {{tenk, out, "   ", Typed, MB}, messages::ZeroSplitSize},
        {{tenk, out, "0.0001", Typed, KB}, messages::ZeroSplitSize},
        {{tenk, out, "0.9", Typed, Bytes}, messages::ZeroSplitSize},
        {{tenk, out, "0.0000001", Typed, MB}, messages::ZeroSplitSize},
        // A typed size past the largest piece is refused, not held at it.
        {{missing, out, "99999999999", Typed, Bytes}, messages::SplitSizeTooBig},
        {{largest, out, "4096", Typed, MB}, messages::SplitSizeTooBig},
        {{largest, out, "4294967295", Typed, Bytes}, messages::OnePiece},
        // Paths with wildcards or past 259 characters, before any look-up.
        {{work.File("dat?.bin"), out, "4", Typed, KB}, messages::SourceWildcards},
        {{tenk, work.File("o*"), "4", Typed, KB}, messages::DestWildcards},
        {{longSource + "x", out, "4", Typed, KB}, messages::SourcePathTooLong},
        {{tenk, out + "\\" + std::string(260, 'd'), "4", Typed, KB}, messages::DestPathTooLong},
        // A span checks the drive before the source.
        {{missing, "A:\\Pieces", "", Span, KB}, messages::SpanToFolder},
        {{missing, "C:\\", "", Span, KB}, messages::SpanToFixed},
        // The source, then the destination, then the size against the source.
        {{missing, nowhere, "1", Typed, KB}, messages::SourceNotFound},
        {{empty, out, "1", Typed, KB}, messages::SourceEmpty},
        {{empty, nowhere, "", Preset, KB}, messages::SourceEmpty},
        {{small, nowhere, "101", Typed, Bytes}, messages::DestFolderNotFound},
        {{small, "Q:\\", "101", Typed, Bytes}, messages::DestDriveNotFound},
        {{small, small, "101", Typed, Bytes}, messages::DestNotFolder},
        {{small, out + "\\", "101", Typed, Bytes}, messages::DestFolderNotFound},
        {{small, out, "101", Typed, Bytes}, messages::SizeAboveSource},
        // Names and paths too long for the pieces or the join file.
        {{longName, "C:\\", "4", Typed, KB}, messages::JoinNameTooLong},
        {{longName, "", "4", Typed, KB}, messages::JoinNameTooLong},
        {{tenk, longest, "4", Typed, KB}, messages::DestPathTooLong},
        {{tenk, longest + "q", "4", Typed, KB}, messages::DestPathTooLong},
        {{Source("data.bin", 10000), fits, "4", Typed, KB}, ""},
    };
    CreateDirectoryA((longest + "q").c_str(), nullptr);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.request.source + " | " + row.request.dest + " | " + row.request.size);
        RequestStop stop = StopOf(row.request);
        EXPECT_EQ(stop == Stop::None ? "" : std::string("Error|") + RefusalText(stop), row.refusal);
    }
    DeleteFileA(longName.c_str());
    RemoveDirectoryA(joinFolder.c_str());
}

// The questions: each stops the request until the user says Yes, which the
// values then carry; a refusal never asks the replace question.
TEST_F(SplitRequestRules, QuestionsStopUntilAnsweredAndNameWhatTheyAsk) {
    std::string source = Source("data.bin", 10000);
    WriteRandomFile(out + "\\data.001", 5);
    SplitRequestValues values;
    RequestVerdict verdict = Check({source, out, "100", Typed, Bytes}, values);
    EXPECT_EQ(verdict.stop, Stop::AskManyPieces);
    EXPECT_EQ(verdict.count, 100u);
    values.manyPiecesAccepted = true;
    verdict = CheckSplitRequest(values);
    EXPECT_EQ(verdict.stop, Stop::AskReplace);
    EXPECT_EQ(std::string(verdict.folder.data()), out);
    EXPECT_EQ(std::string(verdict.name.data()), "data.001");
    values.replaceAccepted = true;
    EXPECT_EQ(CheckSplitRequest(values).stop, Stop::None);
    EXPECT_EQ(std::string(SplitJob.DestFolder.data()), out);
    EXPECT_EQ(SplitJob.PieceCount, 100u);
    // With no destination, the source's folder, which the field then shows.
    EXPECT_EQ(Check({source, "", "4", Typed, KB}, values).stop, Stop::None);
    EXPECT_TRUE(values.destDerived);
    EXPECT_EQ(std::string(values.dest.data()), work.Path());
}

// What needs a disk in the drive: an empty source asks for no disk, and a
// source on the disk being spanned is refused however its drive is written.
TEST_F(SplitRequestRules, SpanOfAnEmptySourceOrOneOnTheDiskBeingSpannedIsRefused) {
    REQUIRE_SMALL_DISKS();
    SmallDisk disk(1474560);
    ASSERT_TRUE(disk.Mounted());
    disk.Insert();
    WriteRandomFile(disk.WindowsPath() + "\\data.bin", 300000, 9);
    EXPECT_EQ(StopOf({Source("empty.bin", 0), FloppyRoot(), "", Span, KB}), Stop::SourceEmpty);
    std::string lower(1, static_cast<char>(tolower(FloppyLetter())));
    for (const std::string& source : {FloppyRoot() + "data.bin", lower + ":\\data.bin",
                                      std::string(1, FloppyLetter()) + ":data.bin"})
        EXPECT_EQ(StopOf({source, FloppyRoot(), "", Span, KB}), Stop::SourceOnSpanDrive) << source;
}

}  // namespace
