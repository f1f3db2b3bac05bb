// Sources of 4 GiB and more, driven from outside: a sparse 5 GiB source with
// marks astride the pieces' boundaries, split into 2000 MB pieces on a tmpfs
// and rebuilt by the command interpreter, and spanned onto three 2 GiB
// sticks. Each case writes about 5 GB, so its files are checked by their
// sizes and marks (a full compare would read 10 GB) and removed at once. The
// 32-bit program does the split, which reads the source through the same
// calls as the span; the join file and the interpreter that rebuilds from it
// are the same for both programs, so only the 64-bit run rebuilds and spans.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/file_services.h"
#include "program_session.h"
#include "resource.h"
#include "script/join_batch_file.h"

using namespace testing_support;

namespace {

constexpr uint64_t SourceBytes = 5ull << 30;
constexpr uint64_t PieceBytes = 2000ull << 20;
constexpr uint32_t StickBytes = 2u << 30;
constexpr char SourceName[] = "Disc Image 2026.iso";
constexpr char JoinName[] = "Join-Disc Image 2026.iso.bat";

// Every place the tests cut the source, each mark starting 4 bytes before it;
// and the first and the last 8 bytes.
std::vector<uint64_t> MarkOffsets() {
    std::vector<uint64_t> offsets{0, SourceBytes - 8};
    for (uint64_t cut : {PieceBytes, 2 * PieceBytes, uint64_t{StickBytes}, 2ull * StickBytes})
        offsets.push_back(cut - 4);
    return offsets;
}

// A mark's bytes: its own offset, so that a byte out of place shows.
char MarkByte(uint64_t offset, int n) {
    return static_cast<char>((offset ^ 0x5A5A5A5A5A5A5A5Aull) >> (8 * n));
}

bool ByteAt(HANDLE file, uint64_t offset, char& byte) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD done = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
           ReadFile(file, &byte, 1, &done, nullptr) && done == 1;
}

bool MakeMarkedSource(const std::string& path) {
    if (!MakeLargeFile(path, SourceBytes)) return false;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    bool written = file != INVALID_HANDLE_VALUE;
    for (uint64_t mark : MarkOffsets()) {
        char bytes[8];
        for (int n = 0; n < 8; ++n) bytes[n] = MarkByte(mark, n);
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(mark);
        DWORD done = 0;
        written = written && SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
                  WriteFile(file, bytes, 8, &done, nullptr) && done == 8;
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return written;
}

// The file holds the source's bytes from start on: its size is as expected,
// every mark byte that falls into it is in its place, and the bytes around
// each mark are the source's zeros.
bool HoldsSourceFrom(const std::string& path, uint64_t start, uint64_t size) {
    if (FileSize64(path) != size) return false;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool holds = true;
    for (uint64_t mark : MarkOffsets()) {
        for (int n = -1; n <= 8; ++n) {
            uint64_t at = mark + n;
            char byte = 0;
            if (at < start || at >= start + size) continue;
            char expected = n >= 0 && n < 8 ? MarkByte(mark, n) : 0;
            holds = holds && ByteAt(file, at - start, byte) && byte == expected;
        }
    }
    CloseHandle(file);
    return holds;
}

bool SixtyFourBits() { return sizeof(void*) == 8; }

std::string ExpectedJoinFile(const std::string& source, uint32_t pieces) {
    std::string text;
    for (const std::string& chunk :
         JoinBatchChunks(PieceBaseName(source), ShortName(source), SourceName, pieces, false))
        text += chunk;
    return text;
}

class LargeSource : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(MakeMarkedSource(source)); }
    TempFolder work;
    std::string source = work.File(SourceName);
};

TEST_F(LargeSource, LabelsAndPiecesOf2000MbThatTheInterpreterRebuilds) {
    REQUIRE_SMALL_DISKS();
    auto disk = std::make_unique<SmallDisk>(SourceBytes + (1u << 20));
    ASSERT_TRUE(disk->Mounted());
    ProgramSession session;
    ASSERT_NE(session.main, nullptr);
    ASSERT_TRUE(session.SetSource(source));
    EXPECT_EQ(session.Text(IDC_SIZE_LABEL), "Size: 5120.00 MB (5368709120 bytes)");
    ASSERT_TRUE(session.UseSpecified("4095", Unit::MB));
    EXPECT_EQ(session.Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: 2");
    ASSERT_TRUE(session.UseSpecified("2000", Unit::MB));
    EXPECT_EQ(session.Text(IDC_PIECE_COUNT_LABEL), "Num Pieces: 3");
    ASSERT_TRUE(session.SetDest(disk->WindowsPath()));
    ASSERT_TRUE(session.SplitAndWaitForEnd());
    EXPECT_TRUE(session.boxes.Transcript().empty());

    std::vector<std::string> pieces = PieceNames(source, 3);
    EXPECT_EQ(FolderListing(disk->WindowsPath()),
              Sorted({pieces[0], pieces[1], pieces[2], JoinName}));
    for (uint64_t n = 0; n < 3; ++n) {
        uint64_t size = n < 2 ? PieceBytes : SourceBytes - 2 * PieceBytes;
        EXPECT_TRUE(HoldsSourceFrom(disk->WindowsPath() + "\\" + pieces[n], n * PieceBytes, size))
            << pieces[n];
    }
    EXPECT_EQ(ReadWholeFile(disk->WindowsPath() + "\\" + JoinName), ExpectedJoinFile(source, 3));

    if (!SixtyFourBits()) return;
    // Rebuilt on the hard disk from links to the pieces: the tmpfs never holds
    // the pieces and the rebuilt file at once.
    std::string rebuilt = disk->UnixPath() + "-rebuilt";
    ASSERT_EQ(RunUnixCommand("mkdir '" + rebuilt + "' && ln -s '" + disk->UnixPath() + "'/* '" +
                             rebuilt + "'/"),
              0);
    std::string folder = UnixToWindowsPath(rebuilt);
    RunBatchFile(folder, JoinName);
    disk.reset();
    EXPECT_TRUE(HoldsSourceFrom(folder + "\\" + SourceName, 0, SourceBytes));
    RunUnixCommand("rm -rf '" + rebuilt + "'");
}

TEST_F(LargeSource, SpanOntoThreeSticksFillsEachWithOnePiece) {
    REQUIRE_SMALL_DISKS();
    if (!SixtyFourBits()) GTEST_SKIP() << "skipped: the 64-bit run spans (see above)";
    std::vector<std::unique_ptr<SmallDisk>> sticks;
    for (int n = 0; n < 3; ++n) {
        sticks.push_back(std::make_unique<SmallDisk>(StickBytes));
        ASSERT_TRUE(sticks.back()->Mounted());
    }
    sticks[0]->Insert();
    uint64_t perStick = FreeBytesOfDrive(FloppyRoot().c_str());
    std::vector<std::string> pieces = PieceNames(source, 3);
    // Each swap checks the piece on the stick taken out and unmounts it.
    std::vector<std::string> checked;
    auto check = [&](size_t n, uint64_t size) {
        std::string path = sticks[n]->WindowsPath() + "\\" + pieces[n];
        bool alone = FolderListing(sticks[n]->WindowsPath()).size() == (n < 2 ? 1u : 2u);
        checked.push_back(pieces[n] + (alone && HoldsSourceFrom(path, n * perStick, size)
                                           ? " holds its part"
                                           : " is wrong"));
    };
    ProgramSession session;
    ASSERT_NE(session.main, nullptr);
    session.boxes.AnswerWith([&](const SeenBox& box) {
        for (size_t n = 2; n <= 3; ++n) {
            if (box.Line() != messages::DiskPrompt(static_cast<int>(n))) continue;
            check(n - 2, perStick);
            sticks[n - 2].reset();
            sticks[n - 1]->Insert();
        }
        return IDOK;
    });
    ASSERT_TRUE(session.SetSource(source) && session.UseSpan() && session.SetDest(FloppyRoot()));
    ASSERT_TRUE(session.SplitAndWaitForEnd());
    EXPECT_EQ(session.boxes.Transcript(),
              (std::vector<std::string>{messages::DiskPrompt(1), messages::DiskPrompt(2),
                                        messages::DiskPrompt(3)}));
    check(2, SourceBytes - 2 * perStick);
    EXPECT_EQ(ReadWholeFile(sticks[2]->WindowsPath() + "\\" + JoinName),
              ExpectedJoinFile(source, 3));
    EXPECT_EQ(checked, (std::vector<std::string>{pieces[0] + " holds its part",
                                                 pieces[1] + " holds its part",
                                                 pieces[2] + " holds its part"}));
}

}  // namespace
