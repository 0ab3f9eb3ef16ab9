#include "common/FileRewrite.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <gtest/gtest.h>

#include "common/ChildProcess.h"
#include "common/LineFile.h"
#include "common/TempFolder.h"

namespace kelvara {
namespace {

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info;
}

std::string AttributeOf(const std::string& path, const char* name) {
    char value[256];
    const ssize_t size = getxattr(path.c_str(), name, value, sizeof value);
    return size < 0 ? "(none)" : std::string(value, static_cast<std::size_t>(size));
}

// A POSIX ACL in the kernel's attribute format: user::rw- user:nobody:rw-
// group::r-- mask::rw- other::r--.
std::string SampleAcl() {
    std::string acl;
    const auto add = [&acl](std::uint32_t value, std::size_t bytes) {
        for (std::size_t i = 0; i < bytes; ++i)
            acl.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    add(2, 4); // version
    const std::uint32_t entries[][3] = {{0x01, 6, UINT32_MAX},
                                        {0x02, 6, 65534},
                                        {0x04, 4, UINT32_MAX},
                                        {0x10, 6, UINT32_MAX},
                                        {0x20, 4, UINT32_MAX}};
    for (const auto& entry : entries) {
        add(entry[0], 2);
        add(entry[1], 2);
        add(entry[2], 4);
    }
    return acl;
}

TEST(WriteFileAtomic, KeepsHardLinksAndAnotherUsersOwnership) {
    TempFolder folder;
    const std::string path = folder.Write("linked.txt", "old");
    const std::string other = folder.Path("other-name.txt");
    ASSERT_EQ(link(path.c_str(), other.c_str()), 0);
    ASSERT_FALSE(WriteFileAtomic(path, "new text"));
    EXPECT_EQ(TempFolder::Read(other), "new text"); // one file under both names
    EXPECT_EQ(StatOf(path).st_ino, StatOf(other).st_ino);
    EXPECT_EQ(folder.EntryCount(), 2u);

    // Another user may write a file that is open to all, but must not take it over.
    if (geteuid() != 0) GTEST_SKIP() << "giving files to other users needs root";
    const std::string shared = folder.Write("shared.txt", "root's text\n");
    ASSERT_EQ(chmod(shared.c_str(), 0666), 0);
    ASSERT_EQ(chmod(folder.Path().c_str(), 0777), 0);
    const int status = RunInChild([&] {
        if (!BecomeNobody()) return 2;
        return WriteFileAtomic(shared, "nobody's text\n") ? 1 : 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(TempFolder::Read(shared), "nobody's text\n");
    EXPECT_EQ(StatOf(shared).st_uid, 0u);
    EXPECT_EQ(StatOf(shared).st_mode & 07777, 0666u);
    EXPECT_EQ(folder.EntryCount(), 3u);
}

TEST(WriteFileAtomic, KeepsExtendedAttributesAndAcls) {
    TempFolder folder;
    const std::string path = folder.Write("tagged.txt", "old");
    const std::string acl = SampleAcl();
    if (setxattr(path.c_str(), "user.kelvara", "blue", 4, 0) != 0)
        GTEST_SKIP() << "no extended attributes here";
    ASSERT_EQ(setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0);
    const mode_t mode = StatOf(path).st_mode;
    // A new file in the folder would inherit this ACL; a plain file must not.
    ASSERT_EQ(
        setxattr(folder.Path().c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0), 0);
    const std::string plain = folder.Path("plain.txt");
    ASSERT_FALSE(WriteFileAtomic(plain, "x")); // inherits the default ACL
    ASSERT_EQ(removexattr(plain.c_str(), "system.posix_acl_access"), 0);
    ASSERT_EQ(chmod(plain.c_str(), 0640), 0);

    ASSERT_FALSE(WriteFileAtomic(path, "new"));
    ASSERT_FALSE(WriteFileAtomic(plain, "y"));
    EXPECT_EQ(TempFolder::Read(path), "new");
    EXPECT_EQ(AttributeOf(path, "user.kelvara"), "blue");
    EXPECT_EQ(AttributeOf(path, "system.posix_acl_access"), acl);
    EXPECT_EQ(StatOf(path).st_mode, mode);
    EXPECT_EQ(AttributeOf(plain, "system.posix_acl_access"), "(none)");
    EXPECT_EQ(StatOf(plain).st_mode & 07777, 0640u);
}

// Starts WriteFileAtomic of a large content in a child, sends it `signal`
// while the new content is being written (a file of the child's lies in the
// folder), and tells whether the child was caught in the middle.
bool InterruptLargeWrite(const TempFolder& folder, const std::string& path, int signal,
                         bool unnamed) {
    int ready[2];
    if (pipe(ready) != 0) return false;
    const pid_t child = fork();
    if (child == 0) {
        AllowUnnamedTempFiles(unnamed);
        const std::string bytes(256u << 20, 'n');
        if (write(ready[1], "r", 1) != 1) _exit(3);
        _exit(WriteFileAtomic(path, bytes) ? 1 : 0);
    }
    char byte = 0;
    const bool started = read(ready[0], &byte, 1) == 1;
    close(ready[0]);
    close(ready[1]);
    const std::string fdFolder = "/proc/" + std::to_string(child) + "/fd";
    const std::string inside = folder.Path() + "/";
    bool caught = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (started && !caught && std::chrono::steady_clock::now() < deadline) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(fdFolder, error)) {
            const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
            if (target.starts_with(inside)) caught = true;
        }
        if (error) break; // the child is gone
    }
    if (caught) kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    return caught && WIFSIGNALED(status) && WTERMSIG(status) == signal;
}

TEST(WriteFileAtomic, KilledWriteLeavesNoTemporaryFile) {
    TempFolder folder;
    const std::string path = folder.Write("big.txt", "original");
    ASSERT_TRUE(InterruptLargeWrite(folder, path, SIGKILL, true));
    EXPECT_EQ(TempFolder::Read(path), "original");
    EXPECT_EQ(folder.EntryCount(), 1u);

    // Where only named temporary files can be made, a SIGTERM still removes them.
    ASSERT_TRUE(InterruptLargeWrite(folder, path, SIGTERM, false));
    EXPECT_EQ(TempFolder::Read(path), "original");
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(WriteFileAtomic, FileSizeLimitIsReportedAndTheFileKept) {
    TempFolder folder;
    const std::string path = folder.Write("limited.txt", "short");
    const std::string linked = folder.Write("linked.txt", "short");
    ASSERT_EQ(link(linked.c_str(), folder.Path("second-name.txt").c_str()), 0);
    // Renamed and written in place (a file with two names): the write beyond
    // the limit fails, the error names the file, the old bytes stay.
    for (const std::string& target : {path, linked}) {
        const int status = RunInChild([&] {
            const struct rlimit limit { 4096, 4096 };
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
            const FileStatus error = WriteFileAtomic(target, std::string(10000, 'x'));
            if (!error) return 1;
            return error->path == target && error->reason.starts_with("File too large") ? 0 : 2;
        });
        EXPECT_EQ(status, 0) << target;
        EXPECT_EQ(TempFolder::Read(target), "short");
    }
    EXPECT_EQ(folder.EntryCount(), 3u);
}

TEST(FileRewrite, LeavesAFileThatChangedSinceItWasRead) {
    TempFolder folder;
    const std::string path = folder.Write("log.txt", "line 1\n");
    std::string bytes;
    FileIdentity identity;
    ASSERT_FALSE(ReadFileBytes(path, bytes, &identity));

    FileRewrite rewrite;
    ASSERT_FALSE(rewrite.Begin(path, identity));
    ASSERT_FALSE(rewrite.Append("LINE 1\n"));
    std::ofstream(path, std::ios::app) << "line 2\n"; // another program appends meanwhile
    const FileStatus error = rewrite.Commit(bytes);
    ASSERT_TRUE(error);
    EXPECT_TRUE(rewrite.ChangedMeanwhile());
    EXPECT_EQ(error->path, path);
    EXPECT_EQ(TempFolder::Read(path), "line 1\nline 2\n");
    EXPECT_EQ(folder.EntryCount(), 1u);

    // Changed before the rewrite began: refused at once.
    EXPECT_TRUE(rewrite.Begin(path, identity));
    EXPECT_TRUE(rewrite.ChangedMeanwhile());
    // Unchanged: written, and the flag is down again.
    ASSERT_FALSE(ReadFileBytes(path, bytes, &identity));
    ASSERT_FALSE(rewrite.Begin(path, identity));
    ASSERT_FALSE(rewrite.Append("done\n"));
    ASSERT_FALSE(rewrite.Commit(bytes));
    EXPECT_FALSE(rewrite.ChangedMeanwhile());
    EXPECT_EQ(TempFolder::Read(path), "done\n");
}

} // namespace
} // namespace kelvara
