#include "common/CanonicalFolders.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "common/FileAccess.h"
#include "search/TestFolder.h"

namespace kelvara {
namespace {

// The canonical path of `path`'s file as a rewrite would ask for it: through
// a handle on its folder opened just now.
std::string CanonicalOf(CanonicalFolders& folders, const std::string& path) {
    const ParentFolder parent(path);
    return folders.PathOf(parent.Folder(), parent.Fd(), parent.Name());
}

TEST(CanonicalFoldersTest, AFolderIsTrustedOnlyWhileItsPathLeadsToTheSameFolder) {
    TestFolder dir;
    dir.Write("a/f.txt", "a");
    dir.Write("b/f.txt", "b");
    const std::string real = std::filesystem::canonical(dir.Path());
    std::filesystem::create_directory_symlink("a", dir / "link");
    CanonicalFolders folders;
    EXPECT_EQ(CanonicalOf(folders, dir / "link/f.txt"), real + "/a/f.txt");
    EXPECT_EQ(CanonicalOf(folders, dir / "link/g.txt"), real + "/a/g.txt");

    // The same path now leads to another folder: it is resolved anew.
    std::filesystem::remove(dir / "link");
    std::filesystem::create_directory_symlink("b", dir / "link");
    EXPECT_EQ(CanonicalOf(folders, dir / "link/f.txt"), real + "/b/f.txt");
    // So is a folder swapped for a link of the same name to another one.
    EXPECT_EQ(CanonicalOf(folders, dir / "b/f.txt"), real + "/b/f.txt");
    std::filesystem::rename(dir / "b", dir / "b2");
    std::filesystem::create_directory_symlink("a", dir / "b");
    EXPECT_EQ(CanonicalOf(folders, dir / "b/f.txt"), real + "/a/f.txt");

    // A file named without a folder is in the working folder; the root joins
    // without a doubled separator; depth is no limit.
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(dir / "a");
    EXPECT_EQ(CanonicalOf(folders, "f.txt"), real + "/a/f.txt");
    std::filesystem::current_path(previous);
    EXPECT_EQ(CanonicalOf(folders, "/f.txt"), "/f.txt");
    const std::string deep = dir.WriteDeep("deep", "f.txt", "x");
    EXPECT_EQ(CanonicalOf(folders, deep), real + deep.substr(dir.Path().size()));
}

} // namespace
} // namespace kelvara
