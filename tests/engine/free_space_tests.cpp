// Free space as the piece sizes rely on it: the bytes this user may still
// write, never a wrapped 32-bit product. Wine knows no disk quotas and always
// has the 64-bit query, so a system with quotas, and the first Windows 95
// without that query, are stood in for at the query itself.
#include <gtest/gtest.h>

#include "platform/file_services.h"
#include "test_support.h"

using namespace testing_support;

namespace {

constexpr uint64_t AllOf32Bits = 0xFFFFFFFFull;

// What a system with quotas reports for a user with 1 MiB left of a disk
// that has 3 GiB free, and for one with 6 GiB left.
uint64_t CallerAvailable = 0;
BOOL WINAPI DiskWithQuota(LPCSTR, PULARGE_INTEGER available, PULARGE_INTEGER total,
                          PULARGE_INTEGER free) {
    if (available) available->QuadPart = CallerAvailable;
    if (total) total->QuadPart = 8ull << 30;
    if (free) free->QuadPart = 3ull << 30;
    return TRUE;
}

BOOL WINAPI FailingQuery(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER) {
    return FALSE;
}

TEST(FreeSpace, CountsTheBytesTheUserMayWriteCappedAt32Bits) {
    CallerAvailable = 1 << 20;
    EXPECT_EQ(FreeBytesFromQuery(DiskWithQuota, "C:\\"), 1u << 20);
    CallerAvailable = 6ull << 30;
    EXPECT_EQ(FreeBytesFromQuery(DiskWithQuota, "C:\\"), AllOf32Bits);
    EXPECT_EQ(FreeBytesFromQuery(FailingQuery, "C:\\"), 0u);
}

// Windows 95 OSR2 and NT 4.0 let only the last pointer be null.
BOOL WINAPI OldSystemsQuery(LPCSTR root, PULARGE_INTEGER available, PULARGE_INTEGER total,
                            PULARGE_INTEGER free) {
    return available && total && free && DiskWithQuota(root, available, total, free);
}

TEST(FreeSpace, TheQueryGetsAVariableForEachSizeAsTheOldSystemsRequire) {
    CallerAvailable = 1 << 20;
    EXPECT_EQ(FreeBytesFromQuery(OldSystemsQuery, "A:\\"), 1u << 20);
}

TEST(FreeSpace, StartUpLetsAnEmptyDriveFailTheCallInsteadOfShowingTheSystemsBox) {
    UINT before = SetErrorMode(0);
    FailCriticalErrorsQuietly();
    EXPECT_NE(SetErrorMode(before) & SEM_FAILCRITICALERRORS, 0u);
}

TEST(FreeSpace, WithoutThe64BitQueryCountsClustersWithoutWrapping) {
    REQUIRE_SMALL_DISKS();
    SmallDisk floppy(1474560);
    ASSERT_TRUE(floppy.Mounted());
    floppy.Insert();
    const std::string drive = FloppyRoot();
    EXPECT_EQ(FreeBytesFromQuery(nullptr, drive.c_str()), FreeBytesOfDrive(drive.c_str()));
    SmallDisk::EjectFloppy();
    EXPECT_EQ(FreeBytesFromQuery(nullptr, drive.c_str()), 0u) << "no disk in the drive";

    // The build's own disk, Z:, has gigabytes free on any machine that builds this.
    ULARGE_INTEGER available{}, total{}, free{};
    ASSERT_TRUE(GetDiskFreeSpaceExA("Z:\\", &available, &total, &free));
    ASSERT_GT(free.QuadPart, AllOf32Bits) << "needs more than 4 GiB free on the build disk";
    EXPECT_EQ(FreeBytesFromQuery(nullptr, "Z:\\"), AllOf32Bits);
}

}  // namespace
