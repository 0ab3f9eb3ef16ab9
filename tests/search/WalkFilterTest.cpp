#include "search/WalkFilter.h"

#include <algorithm>
#include <filesystem>
#include <random>
#include <regex>

#include <gtest/gtest.h>

#include "search/FileSet.h"
#include "search/TestFolder.h"

namespace kelvara {
namespace {

std::vector<std::string> WalkedFiles(const std::string& root, WalkFilter* filter) {
    FileSet set;
    set.SetWalkFilter(filter);
    set.AddDirectoryFiles(root);
    std::vector<std::string> relative;
    for (std::size_t i = 0; i < set.Count(); ++i)
        relative.push_back(set.Entry(i).path.substr(root.size() + 1));
    return relative;
}

// The oracle: each glob as a regular expression over the relative path, by
// the rules the user reads in the help (no folder in it: any depth; "**/",
// "/**/", "/**"; "/" at the end: folders only), the last matching glob
// deciding, excluded folders pruned.
struct OracleGlob {
    std::regex regex;
    bool negated = false;
    bool foldersOnly = false;
};

OracleGlob ToOracle(std::string glob) {
    OracleGlob oracle;
    if (glob.starts_with('!')) {
        oracle.negated = true;
        glob.erase(0, 1);
    }
    if (glob.ends_with('/')) {
        oracle.foldersOnly = true;
        glob.pop_back();
    }
    std::string regex = glob.find('/') == std::string::npos ? "(.*/)?" : "";
    if (glob.starts_with('/')) glob.erase(0, 1);
    for (std::size_t i = 0; i < glob.size(); ++i) {
        if (glob.compare(i, 3, "**/") == 0 && i == 0) {
            regex += "(.*/)?";
            i += 2;
        } else if (glob.compare(i, 4, "/**/") == 0) {
            regex += "/(.*/)?";
            i += 3;
        } else if (glob.compare(i, 3, "/**") == 0 && i + 3 == glob.size()) {
            regex += "/.+";
            i += 2;
        } else if (glob[i] == '*') {
            regex += "[^/]*";
        } else if (std::string_view(".+()[]{}^$|\\").find(glob[i]) != std::string_view::npos) {
            regex += std::string("\\") + glob[i];
        } else {
            regex += glob[i];
        }
    }
    oracle.regex = std::regex(regex);
    return oracle;
}

bool OracleTakes(const std::vector<OracleGlob>& globs, const std::string& relative, bool folder) {
    for (auto glob = globs.rbegin(); glob != globs.rend(); ++glob) {
        if ((!glob->foldersOnly || folder) && std::regex_match(relative, glob->regex))
            return !glob->negated;
    }
    const bool including = std::any_of(globs.begin(), globs.end(),
                                       [](const OracleGlob& glob) { return !glob.negated; });
    return folder || !including;
}

void OracleWalk(const std::filesystem::path& root, const std::string& relative,
                const std::vector<OracleGlob>& globs, std::vector<std::string>& out) {
    std::vector<std::filesystem::directory_entry> entries;
    for (const auto& entry : std::filesystem::directory_iterator(root / relative))
        entries.push_back(entry);
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return a.path().filename().string() < b.path().filename().string();
    });
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        const std::string path = relative.empty() ? name : relative + "/" + name;
        if (entry.is_directory()) {
            if (name[0] != '.' && OracleTakes(globs, path, true))
                OracleWalk(root, path, globs, out);
        } else if (OracleTakes(globs, path, false)) {
            out.push_back(path);
        }
    }
}

TEST(WalkFilterTest, GlobsSelectTheOraclesFilesOnAGeneratedTree) {
    TestFolder dir;
    const std::vector<std::string> folders = {"src",     "vendor", "build",        "中文",
                                              "带 空格", ".git",   "node_modules", "a b"};
    const std::vector<std::string> files = {"a.c",      "b.h",   "test_x.py", "README",
                                            "说明.txt", "x y.c", ".env"};
    std::mt19937 random(18);
    const auto pick = [&](const std::vector<std::string>& from) {
        return from[random() % from.size()];
    };
    for (int i = 0; i < 120; ++i) {
        std::string path;
        for (int depth = random() % 4; depth > 0; --depth)
            path += pick(folders) + "/";
        dir.Write(path + pick(files), "x");
    }
    dir.Write("leaf/build", "a file named as the folders are");
    const std::vector<std::string> vocabulary = {
        "*.c",      "!*.c",        "!vendor/**",    "**/test_*.py", "!build/", "src/*.h",
        "!中文/**", "*.txt",       "!**/a b/**",    "带 空格/*",    "!.env",   "!src",
        "README",   "!**/build/*", "vendor/**/*.c", "!a b/",        "*",       "!*"};
    for (int trial = 0; trial < 200; ++trial) {
        WalkFilter filter;
        std::vector<OracleGlob> oracle;
        std::string globs;
        for (int count = 1 + random() % 3; count > 0; --count) {
            const std::string glob = pick(vocabulary);
            std::string error;
            ASSERT_TRUE(filter.AddGlob(glob, error)) << error;
            oracle.push_back(ToOracle(glob));
            globs += " " + glob;
        }
        std::vector<std::string> expected;
        OracleWalk(dir.Path(), "", oracle, expected);
        EXPECT_EQ(WalkedFiles(dir.Path(), &filter), expected) << globs;
    }
}

TEST(WalkFilterTest, IgnoreFilesAreHonouredOnlyWhenAsked) {
    TestFolder dir;
    dir.Write(".gitignore", "# built\n*.o\nbuild/\n!keep.o\n/top.txt\n");
    dir.Write("a.o", "");
    dir.Write("keep.o", "");
    dir.Write("top.txt", "");
    dir.Write("build/x.c", "");
    dir.Write("sub/top.txt", "");
    dir.Write("sub/b.o", "");
    // A deeper file decides before a shallower one; .ignore before .gitignore.
    dir.Write("sub/.gitignore", "!b.o\nc.txt\n");
    dir.Write("sub/.ignore", "!c.txt\n");
    dir.Write("sub/c.txt", "");
    dir.Write("sub/build/y.c", "");

    WalkFilter filter;
    EXPECT_TRUE(filter.Empty());
    EXPECT_EQ(WalkedFiles(dir.Path(), &filter).size(), 11u);

    filter.SetIgnoreFiles(true);
    EXPECT_EQ(WalkedFiles(dir.Path(), &filter),
              (std::vector<std::string>{".gitignore", "keep.o", "sub/.gitignore", "sub/.ignore",
                                        "sub/b.o", "sub/c.txt", "sub/top.txt"}));

    // The user's globs come before the ignore files.
    std::string error;
    ASSERT_TRUE(filter.AddGlob("*.o", error));
    EXPECT_EQ(WalkedFiles(dir.Path(), &filter),
              (std::vector<std::string>{"a.o", "keep.o", "sub/b.o"}));
}

} // namespace
} // namespace kelvara
