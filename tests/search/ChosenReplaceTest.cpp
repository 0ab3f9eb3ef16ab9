#include "search/ChosenReplace.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "TestFolder.h"
#include "common/AskUser.h"
#include "search/BatchFind.h"
#include "search/ReplacePreview.h"

namespace kelvara {
namespace {

struct Fixture {
    Fixture() {
        SetAskUserSink([](const MessageBoxRequest&) { return kIdYes; });
    }
    ~Fixture() { SetAskUserSink({}); }

    void Find(std::string_view text) {
        FileSet files;
        for (const std::string& path : paths)
            files.Add(path);
        files.TickAll();
        std::vector<std::string> history;
        RunBatchFind(text, history, files, options, tree, {}, 1);
    }
    BatchResult ReplaceTicked(std::string_view text, std::string_view replacement) {
        return RunChosenReplace(PlanOfTicks(tree), text, replacement, options, tree, {});
    }

    TestFolder dir;
    std::vector<std::string> paths;
    MatchOptions options;
    ResultTree tree;
};

TEST(ChosenReplaceTest, TickedHitsAreReplacedAndTheUntickedOnesStay) {
    Fixture f;
    const std::string a = f.dir.Write("a.txt", "cat cat\r\nno\ncat\n");
    const std::string b = f.dir.Write("b.txt", "a cat\n");
    const std::string c = f.dir.Write("c.txt", "cat\n");
    f.paths = {a, b, c};
    f.Find("cat");
    ASSERT_EQ(f.tree.FileNodeCount(), 3u);
    f.tree.SetTicked({0, 1}, false); // the second cat of line 1
    EXPECT_EQ(f.tree.Ticks({0, NodeRef::kNone}), TickState::Partial);
    f.tree.SetTicked({1, NodeRef::kNone}, false); // all of b
    EXPECT_EQ(f.tree.Ticks({1, 0}), TickState::Unticked);
    EXPECT_EQ(f.tree.Ticks({1, NodeRef::kNone}), TickState::Unticked);

    // The preview shows what is then written.
    ReplacePreviewer previewer;
    // A hit shows its line before and after, and two lines on either side.
    const Preview hit = previewer.Show(f.tree, {0, 0}, "cat", "dog", f.options);
    ASSERT_EQ(hit.lines.size(), 4u);
    EXPECT_EQ(hit.lines[0].text, "cat cat");
    EXPECT_EQ(hit.lines[1].text, "dog cat");
    EXPECT_EQ(hit.lines[1].marks, (std::vector<Stretch>{{0, 3}}));
    EXPECT_EQ(hit.lines[2].kind, DiffLineKind::Context);
    EXPECT_EQ(hit.lines[2].text, "no");
    EXPECT_EQ(hit.lines[3].text, "cat");
    const Preview last = previewer.Show(f.tree, {0, 2}, "cat", "dog", f.options);
    ASSERT_EQ(last.lines.size(), 4u);
    EXPECT_EQ(last.lines[0].text, "cat cat");
    EXPECT_EQ(last.lines[1].text, "no");
    EXPECT_EQ(last.lines[2].kind, DiffLineKind::Removed);
    const Preview unticked = previewer.Show(f.tree, {0, 1}, "cat", "dog", f.options);
    EXPECT_FALSE(unticked.note.empty());
    const Preview file = previewer.Show(f.tree, {0, NodeRef::kNone}, "cat", "dog", f.options);
    ASSERT_FALSE(file.lines.empty());
    EXPECT_TRUE(file.lines[0].hunkHead);
    std::string added;
    for (const PreviewLine& line : file.lines)
        if (line.kind == DiffLineKind::Added) added += line.text + "|";
    EXPECT_EQ(added, "dog cat\r|dog|");

    const BatchResult result = f.ReplaceTicked("cat", "dog");
    EXPECT_EQ(result.outcome, BatchOutcome::Finished);
    EXPECT_EQ(result.filesWritten, 2);
    EXPECT_FALSE(result.journalRun.empty());
    EXPECT_EQ(TestFolder::Read(a), "dog cat\r\nno\ndog\n");
    EXPECT_EQ(TestFolder::Read(b), "a cat\n");
    EXPECT_EQ(TestFolder::Read(c), "dog\n");
    // The tree lists what was written, a node per changed line.
    ASSERT_EQ(f.tree.FileNodeCount(), 2u);
    EXPECT_EQ(f.tree.ChildCount({0, NodeRef::kNone}), 2u);
    EXPECT_EQ(f.tree.Caption({0, 0}), "dog cat");
}

TEST(ChosenReplaceTest, AFileChangedSinceTheFindIsLeftAndListed) {
    Fixture f;
    const std::string a = f.dir.Write("a.txt", "cat\n");
    const std::string b = f.dir.Write("b.txt", "cat\n");
    f.paths = {a, b};
    f.Find("cat");
    std::ofstream(a, std::ios::app) << "more\n";
    ReplacePreviewer previewer;
    EXPECT_FALSE(previewer.Show(f.tree, {0, 0}, "cat", "dog", f.options).note.empty());
    const BatchResult result = f.ReplaceTicked("cat", "dog");
    EXPECT_EQ(result.changedFiles, (std::vector<std::string>{a}));
    EXPECT_EQ(TestFolder::Read(a), "cat\nmore\n");
    EXPECT_EQ(TestFolder::Read(b), "dog\n");
}

// A file found twice, by its name and through a link to it, is replaced once
// and not reported as changed by another program when it is met again.
TEST(ChosenReplaceTest, AFileFoundAlsoThroughALinkIsReplacedOnceAndNotListed) {
    Fixture f;
    const std::string a = f.dir.Write("a.txt", "cat cat\n");
    const std::string link = f.dir / "link.txt";
    std::filesystem::create_symlink(a, link);
    const std::string other = f.dir / "other.txt";
    std::filesystem::create_hard_link(a, other);
    f.paths = {link, a, other};
    f.Find("cat");
    ASSERT_EQ(f.tree.FileNodeCount(), 3u);
    const BatchResult result = f.ReplaceTicked("cat", "dog");
    EXPECT_EQ(result.filesWritten, 1);
    EXPECT_TRUE(result.changedFiles.empty());
    EXPECT_EQ(TestFolder::Read(a), "dog dog\n");
    EXPECT_EQ(TestFolder::Read(other), "dog dog\n");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    ASSERT_EQ(f.tree.FileNodeCount(), 1u);
    EXPECT_EQ(f.tree.Caption({0, NodeRef::kNone}), link);
}

// A file of many hits is replaced hit by hit at its own places, every third
// hit left as it was, and the window is given its turn all through the file,
// not only between files.
TEST(ChosenReplaceTest, AFileOfManyHitsKeepsItsUntickedHitsAndTheWindowLive) {
    Fixture f;
    constexpr std::uint32_t kLines = 20000;
    std::string text;
    std::string expected;
    for (std::uint32_t line = 0; line < kLines; ++line) {
        const std::string number = std::to_string(line);
        text += "cat " + number + " cat\r\n";
        // Hits 2 * line and 2 * line + 1; every third one stays.
        expected += std::string((2 * line) % 3 == 0 ? "cat " : "dog ") + number +
                    ((2 * line + 1) % 3 == 0 ? " cat\r\n" : " dog\r\n");
    }
    const std::string path = f.dir.Write("many.txt", text);
    f.paths = {path};
    f.Find("cat");
    ASSERT_EQ(f.tree.ChildCount({0, NodeRef::kNone}), 2 * kLines);
    for (std::uint32_t hit = 0; hit < 2 * kLines; hit += 3)
        f.tree.SetTicked({0, hit}, false);

    int yields = 0;
    BatchHooks hooks;
    hooks.yield = [&] { ++yields; };
    const BatchResult result =
        RunChosenReplace(PlanOfTicks(f.tree), "cat", "dog", f.options, f.tree, hooks);
    EXPECT_EQ(result.filesWritten, 1);
    EXPECT_EQ(TestFolder::Read(path), expected);
    EXPECT_GT(yields, 100);
    EXPECT_EQ(f.tree.ChildCount({0, NodeRef::kNone}), kLines);
}

// The ticked hits of GBK and UTF-16 files are replaced, and previewed, in
// each file's own encoding; a GBK file cannot take a replacement beyond GBK.
TEST(ChosenReplaceTest, TickedHitsAreReplacedInEachFilesEncoding) {
    Fixture f;
    const std::string gbk = f.dir.Write("g.txt", "\xD6\xD0\xCE\xC4 cat\n");
    const std::string utf16 =
        f.dir.Write("u.txt", std::string("\xFE\xFF\x4E\x2D\x65\x87\0 \0c\0a\0t", 14));
    f.paths = {gbk, utf16};
    f.Find("中文");
    ASSERT_EQ(f.tree.FileNodeCount(), 2u);
    ReplacePreviewer previewer;
    const Preview line = previewer.Show(f.tree, {0, 0}, "中文", "汉字", f.options);
    ASSERT_EQ(line.lines.size(), 2u);
    EXPECT_EQ(line.codePage, CodePage::Gbk);
    EXPECT_EQ(line.lines[1].text, "\xBA\xBA\xD7\xD6 cat");
    EXPECT_EQ(previewer.Show(f.tree, {1, 0}, "中文", "汉字", f.options).lines[1].text, "汉字 cat");

    BatchResult result = f.ReplaceTicked("中文", "汉字");
    EXPECT_EQ(result.filesWritten, 2);
    EXPECT_EQ(TestFolder::Read(gbk), "\xBA\xBA\xD7\xD6 cat\n");
    EXPECT_EQ(TestFolder::Read(utf16), std::string("\xFE\xFF\x6C\x49\x5B\x57\0 \0c\0a\0t", 14));

    f.Find("cat");
    EXPECT_FALSE(previewer.Show(f.tree, {0, 0}, "cat", "😀", f.options).note.empty());
    result = f.ReplaceTicked("cat", "😀");
    ASSERT_EQ(result.encodingFiles.size(), 1u);
    EXPECT_EQ(result.encodingFiles[0].path, gbk);
    EXPECT_EQ(TestFolder::Read(gbk), "\xBA\xBA\xD7\xD6 cat\n");
    EXPECT_EQ(TestFolder::Read(utf16),
              std::string("\xFE\xFF\x6C\x49\x5B\x57\0 \xD8\x3D\xDE\x00", 12));
}

} // namespace
} // namespace kelvara
