// The job record's start values and every output name a split produces.
#include "model/naming.h"

#include <gtest/gtest.h>

#include "model/split_job.h"
#include "test_support.h"

using namespace testing_support;

namespace {

std::string S(const PathText& text) { return text.data(); }

void UseNames(const char* file, const char* title, const char* base) {
    CopyText(SplitJob.SourceFileName, file);
    CopyText(SplitJob.SourceTitle, title);
    CopyText(SplitJob.SourceBaseName, base);
}

}  // namespace

TEST(JobRecord, ResetJobClearsInputsAndSizesOnly) {
    CopyText(SplitJob.SourcePath, "C:\\a.bin");
    CopyText(SplitJob.DestFolder, "C:\\Out");
    CopyText(SplitJob.SplitSizeText, "1.44");
    CopyText(SplitJob.BackupFolder, "D:\\Safe");
    SplitJob.SourceSize = SplitJob.SplitSize = SplitJob.PieceCount = 7;
    SplitJob.SizeMode = SplitSizeMode::Span;
    SplitJob.SizeUnitIndex = 2;
    SplitJob.PresetIndex = 0;
    SplitJob.Spanning = 1;
    SplitJob.BackupEnabled = 1;
    ResetJob();
    EXPECT_EQ("", S(SplitJob.SourcePath));
    EXPECT_EQ("", S(SplitJob.DestFolder));
    EXPECT_STREQ("", SplitJob.SplitSizeText.data());
    EXPECT_EQ(0u, SplitJob.SourceSize + SplitJob.SplitSize + SplitJob.PieceCount);
    EXPECT_EQ(SplitSizeMode::Specified, SplitJob.SizeMode);
    EXPECT_EQ(1, SplitJob.SizeUnitIndex);
    EXPECT_EQ(2, SplitJob.PresetIndex);
    // What the reset must leave alone.
    EXPECT_EQ(1u, SplitJob.Spanning);
    EXPECT_EQ(1u, SplitJob.BackupEnabled);
    EXPECT_EQ("D:\\Safe", S(SplitJob.BackupFolder));
}

TEST(FixedTexts, TruncateAtCapacityAndStayTerminated) {
    SizeTextBuffer size{};
    EXPECT_EQ(19u, CopyText(size, "12345678901234567890123"));
    EXPECT_STREQ("1234567890123456789", size.data());
    PathText path{};
    CopyText(path, std::string(300, 'x'));
    EXPECT_EQ(259u, strlen(path.data()));
    EXPECT_EQ(259u, AppendText(path, "more"));
}

TEST(FixedTexts, FormatAsTheCRunTimeDid) {
    char text[32];
    auto format = [&](const char* expected, auto... values) {
        FormatText(text, sizeof text, values...);
        EXPECT_STREQ(expected, text);
    };
    format("piece 7 of 12", "piece %d of %u", 7, 12u);
    format("-42|  5|5  |007", "%i|%3d|%-3d|%03lu", -42, 5, 5, 7ul);
    format("ff FF 18446744073709551615", "%x %X %llu", 255u, 255u, ~0ull);
    format("\"ab\" c 12 100% %q", "\"%.2s\" %c %zu 100%% %q", "abc", 'c', size_t{12});
    format("[  (null)]", "[%8s]", static_cast<const char*>(nullptr));
}

TEST(PieceNumbers, HaveAtLeastThreeDigits) {
    const std::pair<uint32_t, const char*> cases[] = {
        {0, "r.000"},  {7, "r.007"},  {9, "r.009"},   {10, "r.010"},
        {42, "r.042"}, {99, "r.099"}, {999, "r.999"}, {1000, "r.1000"}};
    for (const auto& [n, expected] : cases) {
        char name[16] = "r";
        EXPECT_STREQ(expected, AppendPieceNumber(n, name, sizeof name)) << n;
    }
}

TEST(FolderPrefixes, AddExactlyOneBackslash) {
    EXPECT_EQ("C:\\", S(FolderPrefix("C:\\")));
    EXPECT_EQ("C:\\Out\\", S(FolderPrefix("C:\\Out")));
    EXPECT_EQ("C:\\Out\\", S(FolderPrefix("C:\\Out\\")));
    EXPECT_EQ("", S(FolderPrefix("")));
}

TEST(FolderPrefixes, OnlyAServerAndOneShareMakeAShareRoot) {
    for (const char* root : {"\\\\server\\share", "\\\\server\\share\\", "\\\\s\\c$"})
        EXPECT_TRUE(IsShareRoot(root)) << root;
    for (const char* other : {"\\\\server\\share\\dir", "\\\\server\\share\\\\", "\\\\server",
                              "\\\\server\\", "\\\\\\share", "C:\\", "C:\\Dir", "\\Dir\\x", ""})
        EXPECT_FALSE(IsShareRoot(other)) << other;
}

TEST(FolderPrefixes, FolderOfAPathKeepsTheBackslashOfADriveOrShareRoot) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Dir\\name.zip", "C:\\Dir"},
        {"C:\\name.zip", "C:\\"},
        {"\\\\server\\share\\name.zip", "\\\\server\\share\\"},
        {"\\\\server\\share\\dir\\name.zip", "\\\\server\\share\\dir"},
        {"\\name.zip", "\\"}};
    for (const auto& [path, expected] : cases) {
        PathText folder{};
        EXPECT_TRUE(FolderOf(path, folder)) << path;
        EXPECT_EQ(expected, S(folder)) << path;
    }
    PathText untouched = {'k'};
    EXPECT_FALSE(FolderOf("C:name.zip", untouched));
    EXPECT_EQ("k", S(untouched));
    EXPECT_EQ("A:\\", S(DriveRoot("A:")));
    EXPECT_EQ("D:\\", S(DriveRoot("D:\\Safe")));
}

TEST(OutputNames, WorkedExampleWithAliasAndBackupFolder) {
    UseNames("ANNUAL~1.DOC", "Annual Report 1998.doc", "ANNUAL~1");
    CopyText(SplitJob.DestFolder, "C:\\Out");
    CopyText(SplitJob.BackupFolder, "D:\\Safe\\");
    Options.UseLongJoinBatName = 1;
    Options.UseDos83 = 0;
    PathText path{};
    ASSERT_TRUE(PiecePath(0, path));
    EXPECT_EQ("C:\\Out\\ANNUAL~1.000", S(path));
    ASSERT_TRUE(PiecePath(149, path));
    EXPECT_EQ("C:\\Out\\ANNUAL~1.149", S(path));
    ASSERT_TRUE(BackupPiecePath(0, path));
    EXPECT_EQ("D:\\Safe\\ANNUAL~1.000", S(path));
    EXPECT_EQ("Join-Annual Report 1998.doc.bat", S(JoinFileName()));
    EXPECT_EQ("ANNUAL~1.00_", S(IntermediateFileName("ANNUAL~1", 0)));
    EXPECT_EQ("ANNUAL~1.01_", S(IntermediateFileName("ANNUAL~1", 1)));
    EXPECT_EQ("ANNUAL~1.13_", S(IntermediateFileName("ANNUAL~1", 13)));
    EXPECT_EQ("ANNUAL~1.00_", S(IntermediateFileName("ANNUAL~1", 100)));
    EXPECT_EQ("SETUP.00_", S(IntermediateFileName("SETUP", "SETUP.EX_")));
    EXPECT_EQ("SETUP.01_", S(IntermediateFileName("SETUP", "setup.00_")));
    CopyText(SplitJob.DestFolder, "A:\\");
    ASSERT_TRUE(PiecePath(1, path));
    EXPECT_EQ("A:\\ANNUAL~1.001", S(path));
}

TEST(OutputNames, JoinFileNameFollowsBothOptions) {
    UseNames("report.doc", "report.doc", "report");
    const struct {
        uint32_t dos83, longName;
        const char* expected;
    } cases[] = {
        {0, 0, "Join.bat"}, {0, 1, "Join-report.doc.bat"}, {1, 0, "Join.bat"}, {1, 1, "Join.bat"}};
    for (const auto& c : cases) {
        Options.UseDos83 = c.dos83;
        Options.UseLongJoinBatName = c.longName;
        EXPECT_EQ(c.expected, S(JoinFileName())) << c.dos83 << c.longName;
    }
}

TEST(OutputNames, PathsThatWouldNotFitAreRefused) {
    UseNames("report.doc", "report.doc", "report");
    CopyText(SplitJob.DestFolder, "C:\\" + std::string(245, 'd'));
    PathText path{};
    EXPECT_TRUE(PiecePath(0, path));  // 248 + 1 + 10 = 259 characters
    CopyText(SplitJob.DestFolder, "C:\\" + std::string(246, 'd'));
    EXPECT_FALSE(PiecePath(0, path));
    EXPECT_EQ(259u, strlen(path.data()));
}

class SourceNames : public ::testing::Test {
protected:
    void Derive(const std::string& name) {
        std::string path = folder.File(name);
        WriteWholeFile(path, "x");
        CopyText(SplitJob.SourcePath, path);
        ASSERT_TRUE(DeriveSourceNames());
    }
    TempFolder folder;
};

TEST_F(SourceNames, EightThreeNameKeepsItselfAndLosesItsExtension) {
    Derive("REPORT.DOC");
    EXPECT_EQ("REPORT.DOC", S(SplitJob.SourceFileName));
    EXPECT_EQ("REPORT.DOC", S(SplitJob.SourceTitle));
    EXPECT_EQ("REPORT", S(SplitJob.SourceBaseName));
}

TEST_F(SourceNames, LongNameUsesItsAliasButKeepsItsTitle) {
    Derive("Annual Report 1998.doc");
    std::string alias = S(SplitJob.SourceFileName);
    EXPECT_NE(std::string::npos, alias.find('~')) << alias;
    EXPECT_LE(alias.size(), 12u);
    EXPECT_EQ("Annual Report 1998.doc", S(SplitJob.SourceTitle));
    EXPECT_EQ(alias.substr(0, alias.rfind('.')), S(SplitJob.SourceBaseName));
}

TEST_F(SourceNames, NameWithoutExtensionIsItsOwnBase) {
    Derive("README");
    EXPECT_EQ("README", S(SplitJob.SourceBaseName));
}

TEST(BaseNames, CutAtTheLastDotUnlessItStandsFirst) {
    EXPECT_EQ("a.b", std::string(BaseNameOf("a.b.c")));
    EXPECT_EQ(".profile", std::string(BaseNameOf(".profile")));
    EXPECT_EQ("README", std::string(BaseNameOf("README")));
    EXPECT_EQ("report", std::string(BaseNameOf("report.doc")));
}

TEST(SourceNamesWithoutFolder, TitleIsTheWholePath) {
    CopyText(SplitJob.SourcePath, "nosuchfile.bin");
    EXPECT_FALSE(DeriveSourceNames());
    EXPECT_EQ("nosuchfile.bin", S(SplitJob.SourceTitle));
}
