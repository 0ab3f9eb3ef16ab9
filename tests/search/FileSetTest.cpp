#include "search/FileSet.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "search/TestFolder.h"

namespace kelvara {
namespace {

std::vector<std::string> Paths(const FileSet& set) {
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < set.Count(); ++i)
        paths.push_back(set.Entry(i).path);
    return paths;
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

    FileSet set;
    set.AddDirectoryFiles(dir.Path());
    EXPECT_EQ(Paths(set), (std::vector<std::string>{dir / "link.txt", dir / "real/f.txt"}));

    // A missing folder adds nothing and does not fail.
    set.AddDirectoryFiles(dir / "missing");
    EXPECT_EQ(set.Count(), 2u);
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
        _exit(Paths(set) == std::vector<std::string>{dir / "b.txt"} ? 0 : 1);
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
