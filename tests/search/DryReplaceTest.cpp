#include "search/DryReplace.h"

#include <gtest/gtest.h>

#include "CodePageScope.h"
#include "TestFolder.h"

namespace kelvara {
namespace {

// What a dry run handed on, in the order it came: each file's size as read,
// its code page and its new text, described on the thread that matched it.
struct Recorded : FileChanges {
    void Describe(const ChangedFile& file, std::string& out) const override {
        out += std::to_string(file.identity.size);
        out += file.codePage == CodePage::Gbk ? " gbk\n" : " utf8\n";
        AppendReplaced(file.text, file.stretches, file.replacement, out);
    }
    void Take(const std::string& path, std::string_view described) override {
        changes.push_back({path, std::string(described)});
    }
    struct Change {
        std::string path;
        std::string described;
        friend bool operator==(const Change&, const Change&) = default;
    };
    std::vector<Change> changes;
};

// The replacement: an emoji, which GBK cannot hold.
constexpr const char* kSmile = "\xF0\x9F\x98\x80";

// A dry run reads and matches files on the find's threads: whatever their
// number, it hands on the same files in the order given, each with its own
// encoding, and lists the same files it would leave.
TEST(DryReplaceTest, EveryThreadCountGivesTheSameChangesInTheOrderOfThePaths) {
    const CodePageScope utf8(CodePage::Utf8); // that of the ASCII files
    TestFolder dir;
    std::vector<std::string> paths;
    const auto add = [&](const std::string& name, const std::string& bytes) {
        paths.push_back(dir.Write(name, bytes));
    };
    for (int i = 0; i < 300; ++i) {
        const std::string n = std::to_string(i);
        if (i % 3 == 0) add(n + "-none.txt", "nothing here " + n + "\n");
        if (i % 3 == 1) add(n + "-cat.txt", "a cat " + n + "\r\nno\ncat cat\n");
        if (i % 3 == 2) add(n + "-big.txt", std::string(20000 + i, 'x') + "cat\n");
    }
    add("bom.txt", "\xEF\xBB\xBF"
                   "cat 中\n");
    add("utf16.txt", std::string("\xFF\xFE"
                                 "c\0a\0t\0\n\0",
                                 10));
    add("nul.txt", std::string("cat\0", 4));
    add("gbk.txt", "cat \xD6\xD0\xCE\xC4\n"); // GBK cannot hold the emoji
    add("bad16.txt", std::string("\xFF\xFE"
                                 "c",
                                 3)); // an odd byte after the mark

    std::vector<DryReplaceResult> results;
    std::vector<Recorded> recorded(3);
    for (unsigned threads = 1; threads <= 3; ++threads) {
        results.push_back(
            RunDryReplace("cat", kSmile, paths, {}, {}, recorded[threads - 1], threads));
    }
    ASSERT_EQ(recorded[0].changes.size(), 100u + 100u + 2u);
    EXPECT_EQ(recorded[0].changes[0].path, paths[1]);
    EXPECT_EQ(recorded[0].changes[0].described,
              "20 utf8\na \xF0\x9F\x98\x80 1\r\nno\n\xF0\x9F\x98\x80 \xF0\x9F\x98\x80\n");
    EXPECT_EQ(recorded[0].changes[200].described, "11 utf8\n\xEF\xBB\xBF\xF0\x9F\x98\x80 中\n");
    EXPECT_EQ(recorded[0].changes[201].described,
              "10 utf8\n\xF0\x9F\x98\x80\n"); // a UTF-16 file's UTF-8 decoding
    EXPECT_EQ(results[0].filesRead, 305);
    EXPECT_EQ(results[0].filesChanged, 202);
    EXPECT_EQ(results[0].nulFiles, std::vector<std::string>{paths[302]});
    ASSERT_EQ(results[0].encodingFiles.size(), 2u);
    EXPECT_EQ(results[0].encodingFiles[0].path, paths[303]);
    EXPECT_EQ(results[0].encodingFiles[1].path, paths[304]);
    for (std::size_t i = 1; i < results.size(); ++i) {
        EXPECT_EQ(recorded[i].changes, recorded[0].changes) << i + 1 << " threads";
        EXPECT_EQ(results[i].hits, results[0].hits);
        EXPECT_EQ(results[i].nulFiles, results[0].nulFiles);
        EXPECT_EQ(results[i].encodingFiles.size(), results[0].encodingFiles.size());
    }

    // A file that cannot be read ends the run there, on any thread.
    paths.insert(paths.begin() + 150, dir.Path() + "/gone.txt");
    for (unsigned threads = 1; threads <= 3; ++threads) {
        Recorded cut;
        const DryReplaceResult result = RunDryReplace("cat", kSmile, paths, {}, {}, cut, threads);
        ASSERT_TRUE(result.error) << threads;
        EXPECT_EQ(result.error->path, paths[150]);
        EXPECT_EQ(cut.changes.size(), 100u) << threads;
    }
}

} // namespace
} // namespace kelvara
