#include "search/FileSet.h"

#include <atomic>
#include <climits>
#include <filesystem>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/FileAccess.h"
#include "search/TestFolder.h"

namespace kelvara {
namespace {

std::vector<std::string> Paths(const FileSet& set) {
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < set.Count(); ++i)
        paths.push_back(set.Entry(i).path);
    return paths;
}

using Skip = std::pair<std::string, SkipReason>;

std::vector<Skip> Skipped(const FileSet& set) {
    std::vector<Skip> skipped;
    for (const SkippedEntry& entry : set.Skipped())
        skipped.emplace_back(entry.path, entry.reason);
    return skipped;
}

TEST(FileSetTest, WalkIsDepthFirstSortedAndSkipsDotFolders) {
    TestFolder dir;
    dir.Write("b.txt", "");
    dir.Write("a.txt", "");
    dir.Write("sub/b.pas", "");
    dir.Write("sub/deeper/c.c", "");
    dir.Write("Z.txt", "");
    dir.Write(".svn/c.txt", "");
    dir.Write(".hidden", "");
    dir.Write("sub2/x", "");

    FileSet set;
    std::vector<int> counts;
    set.SetFileAddedHandler([&](int count) { counts.push_back(count); });
    set.AddDirectoryFiles(dir.Path());

    const std::string root = dir.Path() + "/";
    EXPECT_EQ(Paths(set), (std::vector<std::string>{
                              root + ".hidden", root + "Z.txt", root + "a.txt", root + "b.txt",
                              root + "sub/b.pas", root + "sub/deeper/c.c", root + "sub2/x"}));
    EXPECT_EQ(counts, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(set.AddedCount(), 0);
    for (std::size_t i = 0; i < set.Count(); ++i)
        EXPECT_FALSE(set.Entry(i).ticked);

    // A second walk, also through a folder path ending in "/", adds nothing.
    counts.clear();
    set.AddDirectoryFiles(root);
    EXPECT_EQ(set.Count(), 7u);
    EXPECT_TRUE(counts.empty());
}

TEST(FileSetTest, WalkAddsFileLinksAndSkipsFolderLinksAndUnlistableFolders) {
    TestFolder dir;
    dir.Write("real/f.txt", "x");
    std::filesystem::create_directory_symlink(dir / "real", dir / "loop");
    std::filesystem::create_directory_symlink(dir.Path(), dir / "real/back");
    std::filesystem::create_symlink(dir / "real/f.txt", dir / "link.txt");
    std::filesystem::create_symlink(dir / "nowhere", dir / "dangling.txt");
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);

    // A socket, and a link to a device.
    const int socketFd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir / "sock";
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(bind(socketFd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    std::filesystem::create_symlink("/dev/null", dir / "null");

    FileSet set;
    set.AddDirectoryFiles(dir.Path());
    close(socketFd);
    EXPECT_EQ(Paths(set), (std::vector<std::string>{dir / "link.txt", dir / "real/f.txt"}));
    // Every entry left out is recorded, each once however often it is met.
    const std::vector<Skip> expected{{dir / "dangling.txt", SkipReason::DanglingLink},
                                     {dir / "loop", SkipReason::FolderLink},
                                     {dir / "null", SkipReason::Device},
                                     {dir / "pipe", SkipReason::Pipe},
                                     {dir / "real/back", SkipReason::FolderLink},
                                     {dir / "sock", SkipReason::Socket}};
    EXPECT_EQ(Skipped(set), expected);
    set.AddDirectoryFiles(dir.Path());
    EXPECT_EQ(set.SkippedCount(), expected.size());
    EXPECT_EQ(SkipReasonText(set.Skipped()[0]), "链接的目标不存在");

    // A missing folder adds nothing and does not fail; it is recorded.
    set.AddDirectoryFiles(dir / "missing");
    EXPECT_EQ(set.Count(), 2u);
    ASSERT_EQ(set.SkippedCount(), expected.size() + 1);
    EXPECT_EQ(set.Skipped().back().path, dir / "missing");
    EXPECT_EQ(SkipReasonText(set.Skipped().back()), "无法列出目录：No such file or directory");
    set.Clear();
    EXPECT_EQ(set.SkippedCount(), 0u);
}

TEST(FileSetTest, FileLinksAreAddedOnlyWhenTheirTargetLiesInsideTheWalkedFolder) {
    TestFolder dir;
    dir.Write("t/in.txt", "x");
    dir.Write("t/sub/deeper/d.txt", "x");
    dir.Write("o/v.txt", "x");
    dir.Write("t-twin/w.txt", "x");
    std::filesystem::create_symlink("../in.txt", dir / "t/sub/up.txt");
    std::filesystem::create_symlink(dir / "t/sub/deeper/d.txt", dir / "t/abs.txt");
    std::filesystem::create_symlink("../o/v.txt", dir / "t/out.txt");
    std::filesystem::create_symlink(dir / "o/v.txt", dir / "t/absout.txt");
    // Out through a folder link inside the tree, and into a folder whose name
    // merely begins with the tree's.
    std::filesystem::create_directory_symlink("../o", dir / "t/olink");
    std::filesystem::create_symlink("olink/v.txt", dir / "t/via.txt");
    std::filesystem::create_symlink("../t-twin/w.txt", dir / "t/twin.txt");
    // The walked folder reached through a link of its own.
    std::filesystem::create_directory_symlink(dir / "t", dir / "tlink");

    for (const std::string& root : {dir / "t", dir / "tlink/"}) {
        const std::string base = root.ends_with('/') ? root : root + "/";
        FileSet set;
        set.AddDirectoryFiles(root);
        EXPECT_EQ(Paths(set),
                  (std::vector<std::string>{base + "abs.txt", base + "in.txt",
                                            base + "sub/deeper/d.txt", base + "sub/up.txt"}));
        EXPECT_EQ(Skipped(set), (std::vector<Skip>{{base + "absout.txt", SkipReason::LinkOutside},
                                                   {base + "olink", SkipReason::FolderLink},
                                                   {base + "out.txt", SkipReason::LinkOutside},
                                                   {base + "twin.txt", SkipReason::LinkOutside},
                                                   {base + "via.txt", SkipReason::LinkOutside}}));
        // Named directly, a link is followed wherever it leads.
        EXPECT_TRUE(set.Add(base + "out.txt"));
    }
    // Walking a sub-folder, the link to a file above it leads out.
    FileSet set;
    set.AddDirectoryFiles(dir / "t/sub");
    EXPECT_EQ(Paths(set), std::vector<std::string>{dir / "t/sub/deeper/d.txt"});
    EXPECT_EQ(Skipped(set), (std::vector<Skip>{{dir / "t/sub/up.txt", SkipReason::LinkOutside}}));
}

TEST(FileSetTest, DepthIsNoLimit) {
    TestFolder dir;
    dir.Write("a.txt", "");
    const std::string deep = dir.WriteDeep("deep", "f.txt", "x");
    ASSERT_GT(deep.size(), std::size_t{PATH_MAX});
    dir.Write("z.txt", "");
    // Links down there are judged like any other.
    const TestFolder other;
    const std::string outside = other.Write("o.txt", "");
    const ParentFolder bottom(deep);
    ASSERT_EQ(symlinkat((dir / "a.txt").c_str(), bottom.Fd(), "in"), 0);
    ASSERT_EQ(symlinkat(outside.c_str(), bottom.Fd(), "out"), 0);
    const std::string folder = deep.substr(0, deep.rfind('/') + 1);
    FileSet set;
    set.AddDirectoryFiles(dir.Path());
    EXPECT_EQ(Paths(set),
              (std::vector<std::string>{dir / "a.txt", deep, folder + "in", dir / "z.txt"}));
    EXPECT_EQ(Skipped(set), (std::vector<Skip>{{folder + "out", SkipReason::LinkOutside}}));
}

int OpenHandles() {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                          std::filesystem::directory_iterator()));
}

// Each level of the walk keeps its folder open for the levels below; under a
// small handle budget the deeper levels are opened by path, and either way no
// handle is left open, not even by a walk that was stopped.
TEST(FileSetTest, DeepWalkStaysWithinTheHandleBudget) {
    TestFolder dir;
    constexpr int kLevels = 300;
    std::string level;
    std::vector<std::string> expected;
    for (int i = 0; i <= kLevels; ++i) {
        dir.Write(level + "f", "");
        expected.insert(expected.begin(), dir / (level + "f"));
        if (i < kLevels) level += "d/";
    }
    ASSERT_EQ(symlink("..", (dir / (level + "up")).c_str()), 0);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    for (const rlim_t budget : {saved.rlim_cur, rlim_t{48}}) {
        rlimit limit = saved;
        limit.rlim_cur = std::min(budget, saved.rlim_cur);
        ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
        const int before = OpenHandles();
        FileSet set;
        EXPECT_TRUE(set.AddDirectoryFiles(dir.Path()));
        EXPECT_EQ(Paths(set), expected) << "budget " << budget;
        EXPECT_EQ(Skipped(set),
                  (std::vector<Skip>{{dir / (level + "up"), SkipReason::FolderLink}}));
        std::atomic<bool> stop{false};
        set.SetWalkStop(&stop);
        set.SetFileAddedHandler([&](int) { stop = true; });
        set.Clear();
        EXPECT_FALSE(set.AddDirectoryFiles(dir.Path()));
        EXPECT_EQ(set.Count(), 1u);
        EXPECT_EQ(OpenHandles(), before);
        ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
    }
}

TEST(FileSetTest, StopFlagEndsTheWalk) {
    TestFolder dir;
    for (const char* name : {"a/1", "a/2", "b/3", "c"})
        dir.Write(name, "");
    FileSet set;
    std::atomic<bool> stop{false};
    set.SetWalkStop(&stop);
    set.SetFileAddedHandler([&](int) { stop = set.Count() == 2; });
    EXPECT_FALSE(set.AddDirectoryFiles(dir.Path()));
    EXPECT_EQ(Paths(set), (std::vector<std::string>{dir / "a/1", dir / "a/2"}));
    stop = false;
    EXPECT_TRUE(set.AddDirectoryFiles(dir.Path()));
    EXPECT_EQ(set.Count(), 4u);
}

TEST(FileSetTest, UnlistableFolderIsSkippedAndTheWalkGoesOn) {
    TestFolder dir;
    dir.Write("a/locked/x.txt", "");
    dir.Write("b.txt", "");
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(chmod((dir / "a").c_str(), 0755), 0);
    ASSERT_EQ(chmod((dir / "a/locked").c_str(), 0), 0);
    // Root may list any folder, so the walk runs as nobody then.
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        FileSet set;
        set.AddDirectoryFiles(dir.Path());
        const std::vector<Skip> skipped{{dir / "a/locked", SkipReason::Unlistable}};
        _exit(Paths(set) == std::vector<std::string>{dir / "b.txt"} && Skipped(set) == skipped ? 0
                                                                                               : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    chmod((dir / "a/locked").c_str(), 0700);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(FileSetTest, DuplicatesAreExactAndYieldComesBetweenEntries) {
    TestFolder dir;
    dir.Write("A.txt", "");
    dir.Write("a.txt", "");
    dir.Write("b.txt", "");
    FileSet set;
    int yields = 0;
    set.SetWalkYield([&] { ++yields; });
    EXPECT_TRUE(set.Add(dir / "a.txt"));
    EXPECT_FALSE(set.Add(dir / "a.txt"));
    set.AddDirectoryFiles(dir.Path());
    EXPECT_EQ(Paths(set), (std::vector<std::string>{dir / "a.txt", dir / "A.txt", dir / "b.txt"}));
    EXPECT_EQ(yields, 2);
}

// A walk into an empty set adds its paths without looking them up; they must
// still count as known to every later walk, Add and Contains.
TEST(FileSetTest, WalkedPathsAreKnownToLaterAdditions) {
    TestFolder dir;
    dir.Write("s/a.txt", "");
    dir.Write("s/b.txt", "");
    dir.Write("t/c.txt", "");
    FileSet set;
    set.AddDirectoryFiles(dir / "s");
    EXPECT_TRUE(set.Contains(dir / "s/b.txt"));
    EXPECT_FALSE(set.Add(dir / "s/a.txt"));
    set.AddDirectoryFiles(dir / "s");
    set.AddDirectoryFiles(dir.Path()); // the walked folder and one more below
    EXPECT_EQ(Paths(set),
              (std::vector<std::string>{dir / "s/a.txt", dir / "s/b.txt", dir / "t/c.txt"}));
    EXPECT_FALSE(set.Add(dir / "t/c.txt"));

    set.SetTicked(0, true);
    set.RemoveTicked();
    EXPECT_FALSE(set.Contains(dir / "s/a.txt"));
    EXPECT_FALSE(set.Add(dir / "s/b.txt"));
    set.AddDirectoryFiles(dir.Path());
    EXPECT_EQ(Paths(set),
              (std::vector<std::string>{dir / "s/b.txt", dir / "t/c.txt", dir / "s/a.txt"}));
}

TEST(FileSetTest, ExtensionFilterAndSelectedFiles) {
    FileSet set;
    set.Add("/d/a.txt");
    set.Add("/d/a.TXT");
    set.Add("/d.txt/noext");
    set.Add("/d/b.pas");
    EXPECT_EQ(set.ApplyExtensionFilter(".txt"), 1);
    EXPECT_TRUE(set.Entry(0).ticked);
    EXPECT_FALSE(set.Entry(1).ticked);
    EXPECT_FALSE(set.Entry(2).ticked);
    EXPECT_EQ(set.ApplyExtensionFilter(".cpp"), 0);
    EXPECT_TRUE(set.TickedPaths().empty());

    // Selected files: one separator, duplicates skipped, filter re-applied.
    EXPECT_EQ(set.AddSelectedFiles("/", {"x.pas", "y.txt"}, ".pas"), 2);
    EXPECT_EQ(set.AddSelectedFiles("/d/", {"b.pas", "c.pas"}, ".pas"), 1);
    EXPECT_EQ(set.TickedPaths(), (std::vector<std::string>{"/d/b.pas", "/x.pas", "/d/c.pas"}));
}

TEST(FileSetTest, PopupOperations) {
    FileSet set;
    for (const char* path : {"/1", "/2", "/3", "/4"})
        set.Add(path);
    set.SetTicked(1, true);
    set.SetTicked(2, true);
    set.RemoveTicked();
    EXPECT_EQ(Paths(set), (std::vector<std::string>{"/1", "/4"}));
    EXPECT_TRUE(set.Add("/2")); // removed paths may come back

    set.TickAll();
    EXPECT_EQ(set.TickedPaths().size(), 3u);
    set.UntickAll(); // unticks, does not invert
    EXPECT_TRUE(set.TickedPaths().empty());
    set.SetTicked(0, true);
    set.RemoveUnticked();
    EXPECT_EQ(Paths(set), (std::vector<std::string>{"/1"}));
    set.UntickAll();
    set.RemoveUnticked();
    EXPECT_TRUE(set.Empty());

    set.Add("/5");
    set.Clear();
    EXPECT_TRUE(set.Empty());
    EXPECT_TRUE(set.Add("/5"));
}

} // namespace
} // namespace kelvara
