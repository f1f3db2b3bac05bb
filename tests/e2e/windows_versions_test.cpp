// The program on the Windows versions it is made for, as Wine reports them to
// it (its per-program version setting): it starts, splits a file with a
// preset, and closes; the command interpreter rebuilds the file from the
// pieces byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "program_session.h"

using namespace testing_support;

namespace {

constexpr char ProgramDefaults[] = "Software\\Wine\\AppDefaults\\Partola95.exe";

class WindowsVersion : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (sizeof(void*) == 8 && std::string(GetParam()) == "win98")
            GTEST_SKIP() << "Windows 98 runs no 64-bit programs";
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, ProgramDefaults, 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const std::string version = GetParam();
        LONG set = RegSetValueExA(key, "Version", 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(version.c_str()),
                                  static_cast<DWORD>(version.size() + 1));
        RegCloseKey(key);
        ASSERT_EQ(set, ERROR_SUCCESS);
    }
    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, ProgramDefaults); }
};

TEST_P(WindowsVersion, PresetSplitIsRebuiltByTheCommandInterpreter) {
    TempFolder work;
    std::string source = work.File("Annual Report 1998.doc");
    std::string bytes = WriteRandomFile(source, 1600000, 14);
    std::string out = work.Folder("out");
    {
        ProgramSession session;
        ASSERT_NE(session.main, nullptr) << "the program did not start";
        ASSERT_TRUE(session.SetSource(source));
        ASSERT_TRUE(session.SetDest(out));
        ASSERT_TRUE(session.UsePreset(Preset::Mb144));
        ASSERT_TRUE(session.SplitAndWaitForEnd());
        EXPECT_EQ(session.boxes.Count(), 0u) << session.boxes.Last();
        EXPECT_EQ(session.Close(), 0) << "the program did not close with exit code 0";
    }
    EXPECT_EQ(FolderListing(out).size(), 3u);  // two pieces and the join file
    EXPECT_EQ(Recombine(out, "Join-Annual Report 1998.doc.bat", "Annual Report 1998.doc"), bytes);
}

// The check release.sh runs on each program it packs: it opens its main
// window with its title, and closes on Close with exit code 0. (The test run
// starts and closes the program it built in WindowsVersion.)
TEST(ShippedProgram, OpensItsMainWindowAndClosesOnClose) {
    if (!getenv("PARTOLA_PROGRAM")) GTEST_SKIP() << "release.sh's check of a packed program";
    ProgramSession session;
    ASSERT_NE(session.main, nullptr) << ProgramPath() << " did not open its main window";
    EXPECT_EQ(WindowText(session.main), messages::MainCaption);
    EXPECT_EQ(session.Close(), 0) << "it did not close with exit code 0";
}

INSTANTIATE_TEST_SUITE_P(Wine, WindowsVersion, ::testing::Values("win98", "winxp", "win10"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
