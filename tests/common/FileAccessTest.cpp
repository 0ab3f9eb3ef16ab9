#include "common/FileAccess.h"

#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "common/LineFile.h"
#include "search/TestFolder.h"

namespace kelvara {
namespace {

TEST(FileAccessTest, PathsLongerThanTheSystemLimitAreReached) {
    TestFolder dir;
    const std::string deep = dir.WriteDeep("a", "f.txt", "deep\n");
    ASSERT_GT(deep.size(), std::size_t{PATH_MAX});

    const int fd = OpenPath(deep, O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0) << std::strerror(errno);
    close(fd);
    struct stat info {};
    ASSERT_TRUE(StatPath(deep, info));
    EXPECT_EQ(info.st_size, 5);
    std::string bytes;
    EXPECT_EQ(ReadFileBytes(deep, bytes), std::nullopt);
    EXPECT_EQ(bytes, "deep\n");

    const ParentFolder parent(deep);
    ASSERT_GE(parent.Fd(), 0);
    EXPECT_STREQ(parent.Name(), "f.txt");
    EXPECT_EQ(fstatat(parent.Fd(), parent.Name(), &info, 0), 0);

    // A missing deep file fails like a short one; so does a name longer than
    // any allowed.
    EXPECT_LT(OpenPath(deep + ".missing", O_RDONLY), 0);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(StatPath("/" + std::string(PATH_MAX + 10, 'x'), info));
    EXPECT_EQ(errno, ENAMETOOLONG);
}

TEST(FileAccessTest, TheNullDeviceReadsAsAnEmptyFile) {
    struct stat info {};
    ASSERT_EQ(stat("/dev/null", &info), 0);
    EXPECT_TRUE(IsNullDevice(info));
    ASSERT_EQ(stat("/dev/zero", &info), 0);
    EXPECT_FALSE(IsNullDevice(info));
    std::string bytes = "old";
    EXPECT_EQ(ReadFileBytes("/dev/null", bytes), std::nullopt);
    EXPECT_EQ(bytes, "");
}

} // namespace
} // namespace kelvara
