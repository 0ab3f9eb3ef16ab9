#include <filesystem>
#include <string>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "search/TestFolder.h"

namespace kelvara {
namespace {

// `kelvara replace -y TEXT REPLACEMENT PATH` under a file-size limit of
// `limit` bytes; returns the exit status (or 128 + the signal that ended
// it) and what it wrote to standard error.
int ReplaceUnderFileSizeLimit(const std::string& folder, const std::string& path, rlim_t limit,
                              std::string& err) {
    const std::string errPath = folder + "/err.out";
    const pid_t child = fork();
    if (child == 0) {
        const int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int nullFd = open("/dev/null", O_RDWR);
        dup2(nullFd, STDIN_FILENO);
        dup2(nullFd, STDOUT_FILENO);
        dup2(errFd, STDERR_FILENO);
        const struct rlimit rl { limit, limit };
        setrlimit(RLIMIT_FSIZE, &rl);
        execl(KELVARA_EXECUTABLE, KELVARA_EXECUTABLE, "replace", "-y", "x", "xxxx", path.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    err = TestFolder::Read(errPath);
    std::filesystem::remove(errPath);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(ReplaceLimitsTest, FileSizeLimitEndsTheRunWithTheFileNamedAndIntact) {
    TestFolder dir;
    const std::string original(3000, 'x');
    const std::string path = dir.Write("grows.txt", original);
    std::string err;
    EXPECT_EQ(ReplaceUnderFileSizeLimit(dir.Path(), path, 8192, err), 2);
    EXPECT_NE(err.find(path + ": File too large"), std::string::npos) << err;
    EXPECT_EQ(TestFolder::Read(path), original);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

} // namespace
} // namespace kelvara
