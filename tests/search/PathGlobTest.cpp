#include "search/PathGlob.h"

#include <gtest/gtest.h>

namespace kelvara {
namespace {

bool Match(std::string_view glob, std::string_view path, bool isFolder = false) {
    std::string error;
    const std::optional<PathGlob> parsed = PathGlob::Parse(glob, error);
    EXPECT_TRUE(parsed.has_value()) << glob << ": " << error;
    return parsed && parsed->Matches(path, isFolder);
}

TEST(PathGlobTest, NamesWithoutAFolderMatchAtAnyDepth) {
    EXPECT_TRUE(Match("*.c", "a.c"));
    EXPECT_TRUE(Match("*.c", "drivers/net/a.c"));
    EXPECT_FALSE(Match("*.c", "a.cc"));
    EXPECT_FALSE(Match("*.c", "a.c/b.h"));
    EXPECT_TRUE(Match("test_*.py", "x/test_a.py"));
    EXPECT_TRUE(Match("build/", "x/build", true));
    EXPECT_FALSE(Match("build/", "x/build", false)); // folders only
    EXPECT_TRUE(Match("a?c", "abc"));
    EXPECT_TRUE(Match("a?c", "a中c")); // one character, three bytes
    EXPECT_FALSE(Match("a?c", "a/c"));
    EXPECT_TRUE(Match("带 空格*.txt", "文件夹/带 空格 1.txt"));
}

TEST(PathGlobTest, FoldersAnchorAndDoubleStarsCrossFolders) {
    EXPECT_TRUE(Match("vendor/**", "vendor/a/b.c"));
    EXPECT_FALSE(Match("vendor/**", "vendor", true));
    EXPECT_FALSE(Match("vendor/**", "x/vendor/a.c")); // anchored
    EXPECT_TRUE(Match("/a.c", "a.c"));
    EXPECT_FALSE(Match("/a.c", "x/a.c"));
    EXPECT_TRUE(Match("**/test_*.py", "test_a.py"));
    EXPECT_TRUE(Match("**/test_*.py", "a/b/test_a.py"));
    EXPECT_TRUE(Match("a/**/b", "a/b"));
    EXPECT_TRUE(Match("a/**/b", "a/x/y/b"));
    EXPECT_FALSE(Match("a/**/b", "a/xb"));
    EXPECT_TRUE(Match("**", "anything/at/all"));
    EXPECT_TRUE(Match("a**b", "axxb")); // not next to "/": one star
    EXPECT_FALSE(Match("a**b", "ax/xb"));
    EXPECT_TRUE(Match("src/*.c", "src/a.c"));
    EXPECT_FALSE(Match("src/*.c", "src/x/a.c"));
}

TEST(PathGlobTest, ClassesEscapesAndNegation) {
    EXPECT_TRUE(Match("[a-c]x", "bx"));
    EXPECT_FALSE(Match("[!a-c]x", "bx"));
    EXPECT_TRUE(Match("[^a-c]x", "dx"));
    EXPECT_TRUE(Match("[]]", "]"));
    EXPECT_TRUE(Match("[中-丰]", "中"));
    EXPECT_TRUE(Match("\\*", "*"));
    EXPECT_FALSE(Match("\\*", "a"));
    EXPECT_TRUE(Match("\\!x", "!x"));

    std::string error;
    const auto negated = PathGlob::Parse("!*.o", error);
    ASSERT_TRUE(negated.has_value());
    EXPECT_TRUE(negated->Negated());
    EXPECT_TRUE(negated->Matches("a/b.o", false));

    for (const char* bad : {"[ab", "a\\", "!", "/", "[z-a]"}) {
        EXPECT_FALSE(PathGlob::Parse(bad, error).has_value()) << bad;
        EXPECT_NE(error.find(bad), std::string::npos) << error;
    }
}

TEST(PathGlobTest, ManyStarsStayCheap) {
    // Backtracking without a table would try about 40^6 ways here.
    const std::string path(40, 'a');
    EXPECT_FALSE(Match("*a*a*a*a*a*a*b", path));
}

} // namespace
} // namespace kelvara
