// A source past 4 GiB, driven from outside: a sparse 4.25 GiB source with
// marks astride the pieces' boundaries and past 4 GiB, split into 2000 MB
// pieces on a tmpfs and rebuilt by the command interpreter, and spanned onto
// three 2 GiB sticks. Each case writes the whole source, so its files are
// checked by their sizes and marks (a full compare would read it all twice)
// and removed at once. The 32-bit program does the split, which reads the
// source through the same calls as the span; the 64-bit run does both
// (tests/CMakeLists.txt) and rebuilds.
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

constexpr uint64_t SourceBytes = (4ull << 30) + (256ull << 20);
constexpr uint64_t PieceBytes = 2000ull << 20;
constexpr uint32_t StickBytes = 2u << 30;
constexpr char SourceName[] = "Disc Image 2026.iso";
constexpr char JoinName[] = "Join-Disc Image 2026.iso.bat";
// 8-byte marks on both sides of every place the tests cut the source (2000 MB
// pieces, 2 GiB sticks) and at both ends; each holds its offset, inverted, so
// that a byte out of place shows.
constexpr uint64_t Marks[] = {
    0,          PieceBytes - 8,   PieceBytes, 2 * PieceBytes - 8, 2 * PieceBytes, (2ull << 30) - 8,
    2ull << 30, (4ull << 30) - 8, 4ull << 30, SourceBytes - 8};

// Writes a mark at the offset of the file, or reads back whether it is there.
bool MarkAt(const std::string& path, uint64_t offset, uint64_t mark, bool write) {
    HANDLE file = CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    uint64_t bytes = ~mark;
    DWORD done = 0;
    bool moved = SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
    bool ok = moved && (write ? WriteFile(file, &bytes, 8, &done, nullptr)
                              : ReadFile(file, &bytes, 8, &done, nullptr) && bytes == ~mark);
    CloseHandle(file);
    return ok && done == 8;
}

// The file has the size given and holds the marks of the source from start on.
bool HoldsSourceFrom(const std::string& path, uint64_t start, uint64_t size) {
    bool holds = FileSize64(path) == size;
    for (uint64_t mark : Marks)
        if (mark >= start && mark + 8 <= start + size)
            holds = holds && MarkAt(path, mark - start, mark, false);
    return holds;
}

std::string ExpectedJoinFile(const std::string& source) {
    std::string text;
    const std::string base = PieceBaseName(source), file = ShortName(source);
    for (const std::string& chunk :
         JoinBatchChunks({base, file, SourceName, 3, SourceBytes, false}))
        text += chunk;
    return text;
}

class LargeSource : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(MakeLargeFile(source, SourceBytes));
        for (uint64_t mark : Marks) ASSERT_TRUE(MarkAt(source, mark, mark, true));
    }
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
    EXPECT_EQ(session.Text(IDC_SIZE_LABEL), "Size: 4352.00 MB (4563402752 bytes)");
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
    EXPECT_EQ(ReadWholeFile(disk->WindowsPath() + "\\" + JoinName), ExpectedJoinFile(source));

    // The join file's own checks (its size check of a file past 4 GiB among
    // them) run in the command interpreter, which is the same for both
    // programs: the 64-bit run rebuilds, on the hard disk from links to the
    // pieces, so that the tmpfs never holds the pieces and the rebuilt file at
    // once.
    if (sizeof(void*) == 4) return;
    std::string rebuilt = disk->UnixPath() + "-rebuilt";
    ASSERT_EQ(RunUnixCommand("mkdir '" + rebuilt + "' && ln -s '" + disk->UnixPath() + "'/* '" +
                             rebuilt + "'/"),
              0);
    std::string folder = UnixToWindowsPath(rebuilt);
    RunBatchFile(folder, JoinName, "RUN.LOG");
    disk.reset();
    EXPECT_TRUE(HoldsSourceFrom(folder + "\\" + SourceName, 0, SourceBytes))
        << ReadWholeFile(folder + "\\RUN.LOG");
    RunUnixCommand("rm -rf '" + rebuilt + "'");
}

TEST_F(LargeSource, SpanOntoThreeSticksFillsEachWithOnePiece) {
    REQUIRE_SMALL_DISKS();
    std::vector<std::unique_ptr<SmallDisk>> sticks;
    for (int n = 0; n < 3; ++n) sticks.push_back(std::make_unique<SmallDisk>(StickBytes));
    sticks[0]->Insert();
    uint64_t perStick = FreeBytesOfDrive(FloppyRoot().c_str());
    std::vector<std::string> pieces = PieceNames(source, 3);
    // Each stick holds its piece alone (the last one the join file too), and
    // is checked and unmounted as soon as the next one goes in.
    std::vector<bool> holds;
    auto check = [&](size_t n, uint64_t size, std::vector<std::string> others) {
        others.push_back(pieces[n]);
        holds.push_back(
            FolderListing(sticks[n]->WindowsPath()) == Sorted(others) &&
            HoldsSourceFrom(sticks[n]->WindowsPath() + "\\" + pieces[n], n * perStick, size));
    };
    ProgramSession session;
    ASSERT_NE(session.main, nullptr);
    session.boxes.AnswerWith([&](const SeenBox& box) {
        for (size_t n = 1; n < 3; ++n) {
            if (box.Line() != messages::DiskPrompt(static_cast<int>(n + 1))) continue;
            check(n - 1, perStick, {});
            sticks[n - 1].reset();
            sticks[n]->Insert();
        }
        return IDOK;
    });
    ASSERT_TRUE(session.SetSource(source) && session.UseSpan() && session.SetDest(FloppyRoot()));
    ASSERT_TRUE(session.SplitAndWaitForEnd());
    EXPECT_EQ(session.boxes.Transcript(),
              (std::vector<std::string>{messages::DiskPrompt(1), messages::DiskPrompt(2),
                                        messages::DiskPrompt(3)}));
    check(2, SourceBytes - 2 * perStick, {JoinName});
    EXPECT_EQ(holds, std::vector<bool>(3, true));
    EXPECT_EQ(ReadWholeFile(sticks[2]->WindowsPath() + "\\" + JoinName), ExpectedJoinFile(source));
}

}  // namespace
