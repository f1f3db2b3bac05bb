// Free space as the piece sizes rely on it: the bytes this user may still
// write, never a wrapped 32-bit product.
#include <gtest/gtest.h>

#include "platform/file_services.h"
#include "test_support.h"

using namespace testing_support;

namespace {

constexpr uint64_t AllOf32Bits = 0xFFFFFFFFull;

// A 4 MiB ext2 disk that holds half its blocks back for the superuser:
// Windows reports such blocks, like a user's disk quota, as free on the disk
// but not available to the caller. Mapped to A: for one test.
class DiskWithHeldBackSpace {
public:
    DiskWithHeldBackSpace() : folder_(BuildRootUnix() + "/disks/held-back") {
        mounted_ = RunUnixCommand("mkdir -p '" + folder_ + "/mount' && truncate -s 4M '" + folder_ +
                                  "/disk.img' && mkfs.ext2 -q -m 50 '" + folder_ +
                                  "/disk.img' && mount -o loop '" + folder_ + "/disk.img' '" +
                                  folder_ + "/mount' && ln -sfn '" + folder_ + "/mount' '" +
                                  BuildRootUnix() + "/wineprefix/dosdevices/a:'") == 0;
    }
    ~DiskWithHeldBackSpace() {
        SmallDisk::Unmap('A');
        RunUnixCommand("umount '" + folder_ + "/mount'; rm -rf '" + folder_ + "'");
    }
    bool Mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
};

TEST(FreeSpace, CountsOnlyTheBytesTheUserMayWrite) {
    REQUIRE_SMALL_DISKS();
    DiskWithHeldBackSpace disk;
    ASSERT_TRUE(disk.Mounted());
    ULARGE_INTEGER available{}, total{}, free{};
    ASSERT_TRUE(GetDiskFreeSpaceExA("A:\\", &available, &total, &free));
    ASSERT_GT(free.QuadPart, available.QuadPart + 1024 * 1024) << "the disk holds nothing back";
    EXPECT_EQ(FreeBytesOfDrive("A:\\"), available.QuadPart);
}

TEST(FreeSpace, ClusterCountOfALargeDiskIsCappedNotWrapped) {
    REQUIRE_SMALL_DISKS();
    SmallDisk floppy(1474560);
    ASSERT_TRUE(floppy.Mounted());
    floppy.MapTo('A');
    EXPECT_EQ(FreeBytesByClusters("A:\\"), 1470464u);
    SmallDisk::Unmap('A');

    // The build's own disk, Z:, has gigabytes free on any machine that builds this.
    ULARGE_INTEGER available{}, total{}, free{};
    ASSERT_TRUE(GetDiskFreeSpaceExA("Z:\\", &available, &total, &free));
    ASSERT_GT(free.QuadPart, AllOf32Bits) << "needs more than 4 GiB free on the build disk";
    EXPECT_EQ(FreeBytesByClusters("Z:\\"), AllOf32Bits);
    EXPECT_EQ(FreeBytesByClusters("Q:\\"), 0u) << "no such drive";
}

}  // namespace
