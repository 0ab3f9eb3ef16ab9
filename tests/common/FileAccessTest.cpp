#include "common/FileAccess.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

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

// The system's answer where it can give one.
std::string SystemRealPath(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (real == nullptr) return {};
    std::string result(real);
    std::free(real);
    return result;
}

TEST(FileAccessTest, RealPathResolvesLinksAtAnyDepth) {
    TestFolder dir;
    dir.Write("a/b/f.txt", "x");
    std::filesystem::create_symlink("b/f.txt", dir / "a/rel");
    std::filesystem::create_symlink(dir / "a/rel", dir / "abs");
    std::filesystem::create_directory_symlink("a/b", dir / "folder");
    std::filesystem::create_symlink("../folder/../b/./f.txt", dir / "a/updown");
    std::filesystem::create_symlink("loop2", dir / "loop1");
    std::filesystem::create_symlink("loop1", dir / "loop2");
    std::filesystem::create_symlink("nowhere", dir / "dangling");
    std::filesystem::create_directory_symlink("/", dir / "root");
    const std::string real = SystemRealPath(dir / "a/b/f.txt");
    ASSERT_FALSE(real.empty());

    for (const std::string& path :
         {dir / "a/rel", dir / "abs", dir / "folder/f.txt", dir / "a/updown",
          dir / "a/./b/../b//f.txt", dir.Path(), dir / "root", dir / "root/..", std::string("/")}) {
        EXPECT_EQ(RealPathOf(path), SystemRealPath(path)) << path;
    }
    EXPECT_EQ(RealPathOf(dir / "abs"), real);
    // Relative to the working folder.
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(dir / "a");
    EXPECT_EQ(RealPathOf("rel"), real);
    EXPECT_EQ(RealPathOf("../a/b/f.txt"), real);
    std::filesystem::current_path(previous);

    for (const auto& [path, error] :
         std::vector<std::pair<std::string, int>>{{dir / "loop1", ELOOP},
                                                  {dir / "dangling", ENOENT},
                                                  {dir / "a/b/f.txt/x", ENOTDIR},
                                                  {"", ENOENT}}) {
        errno = 0;
        EXPECT_EQ(RealPathOf(path), "") << path;
        EXPECT_EQ(errno, error) << path;
    }

    // Deeper than the system can resolve: a link at the bottom to a file
    // at the top, and one down again.
    const std::string deep = dir.WriteDeep("deep", "f.txt", "x");
    const std::string bottom = deep.substr(0, deep.rfind('/'));
    const ParentFolder folder(deep);
    ASSERT_EQ(symlinkat(real.c_str(), folder.Fd(), "up"), 0);
    ASSERT_EQ(symlinkat("./f.txt", folder.Fd(), "here"), 0);
    EXPECT_EQ(RealPathOf(bottom + "/up"), real);
    EXPECT_EQ(RealPathOf(bottom + "/here"),
              SystemRealPath(dir.Path()) + deep.substr(dir.Path().size()));
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
