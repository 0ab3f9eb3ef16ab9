// Batch finds and replaces with a regular expression, over files of several
// encodings, on one thread and on several.
#include <gtest/gtest.h>

#include "common/AskUser.h"
#include "common/CodePageConversion.h"
#include "search/BatchFind.h"
#include "search/BatchReplace.h"
#include "search/ChosenReplace.h"
#include "search/ReplacePreview.h"
#include "search/TestFolder.h"

namespace kelvara {
namespace {

// Answers the confirmation, records the other message boxes.
class Boxes {
public:
    Boxes() {
        SetAskUserSink([this](const MessageBoxRequest& request) {
            if (request.style.buttons == MessageButtons::YesNo) return kIdYes;
            shown.emplace_back(request.text);
            return kIdOk;
        });
    }
    ~Boxes() { SetAskUserSink({}); }
    std::vector<std::string> shown;
};

struct RegexFixture {
    RegexFixture() {
        gbk = Add("gbk.txt", "\xD6\xD0\xCE\xC4 key=1\r\nno\r\n"); // 中文
        utf8 = Add("utf8.txt", "中文 key=22 x=3\n");
        none = Add("none.txt", "nothing\n");
    }
    std::string Add(const std::string& name, std::string_view bytes) {
        std::string path = dir.Write(name, bytes);
        files.Add(path);
        files.SetTicked(files.Count() - 1, true);
        return path;
    }
    std::vector<std::string> Dump() const {
        std::vector<std::string> lines;
        for (NodeRef node = tree.First(); node.IsValid(); node = tree.Next(node)) {
            std::string caption;
            RecodeLenient(tree.Caption(node), tree.CodePageOf(tree.FileNodeOf(node)),
                          CodePage::Utf8, caption);
            lines.push_back((node.IsHitNode() ? "  " : "") + caption);
        }
        return lines;
    }

    TestFolder dir;
    FileSet files;
    std::string gbk, utf8, none;
    std::vector<std::string> history, replaceHistory;
    ResultTree tree;
    Boxes boxes;
};

MatchOptions Regex(bool wholeWord = false) {
    MatchOptions options;
    options.Regex = true;
    options.WholeWord = wholeWord;
    return options;
}

TEST(RegexRunTest, FindMatchesEachFileInItsEncodingOnAnyNumberOfThreads) {
    for (const unsigned threads : {1u, 2u}) {
        RegexFixture f;
        const BatchResult result =
            RunBatchFind("(\\w+)=\\d+|中.", f.history, f.files, Regex(), f.tree, {}, threads);
        EXPECT_EQ(result.outcome, BatchOutcome::Finished);
        // Columns are bytes in each file's own code page.
        EXPECT_EQ(f.Dump(),
                  (std::vector<std::string>{f.gbk, "  被找字：(\\w+)=\\d+|中. 在: 行： 1 列: 1",
                                            "  被找字：(\\w+)=\\d+|中. 在: 行： 1 列: 6", f.utf8,
                                            "  被找字：(\\w+)=\\d+|中. 在: 行： 1 列: 1",
                                            "  被找字：(\\w+)=\\d+|中. 在: 行： 1 列: 8",
                                            "  被找字：(\\w+)=\\d+|中. 在: 行： 1 列: 15"}))
            << threads;
    }
}

TEST(RegexRunTest, EmptyMatchesAreNoHitsAndABadPatternReadsNoFile) {
    RegexFixture f;
    RunBatchFind("x*", f.history, f.files, Regex(), f.tree, {});
    ASSERT_EQ(f.tree.FileNodeCount(), 1u); // only the utf8 file holds an x
    EXPECT_EQ(f.tree.ChildCount({0, NodeRef::kNone}), 1u);

    f.boxes.shown.clear();
    const BatchResult bad = RunBatchFind("ab(c", f.history, f.files, Regex(), f.tree, {});
    EXPECT_EQ(bad.outcome, BatchOutcome::Failed);
    EXPECT_EQ(bad.filesRead, 0);
    ASSERT_EQ(f.boxes.shown.size(), 1u);
    EXPECT_NE(f.boxes.shown[0].find(TextFromUtf8("第 5 个字符")), std::string::npos);
}

TEST(RegexRunTest, ALineOverTheMatchLimitIsNamedAndTheRunGoesOn) {
    RegexFixture f;
    const std::string slow = f.Add("slow.txt", "aaa\n" + std::string(3000, 'a') + "b\naaaa\n");
    for (const unsigned threads : {1u, 2u}) {
        f.boxes.shown.clear();
        const BatchResult result =
            RunBatchFind("(a+)+$", f.history, f.files, Regex(), f.tree, {}, threads);
        ASSERT_EQ(result.cutLines.size(), 1u);
        EXPECT_EQ(result.cutLines[0].path, slow);
        EXPECT_EQ(result.cutLines[0].line, 2);
        EXPECT_EQ(f.tree.ChildCount({0, NodeRef::kNone}), 2u); // lines 1 and 3
        ASSERT_EQ(f.boxes.shown.size(), 1u);
        EXPECT_NE(f.boxes.shown[0].find(slow + ":2"), std::string::npos);
    }
}

TEST(RegexRunTest, ReplaceExpandsGroupsInEachFilesEncoding) {
    RegexFixture f;
    const BatchResult result = RunBatchReplace("(\\w+)=(\\d+)", "$2和${1}", f.history,
                                               f.replaceHistory, f.files, Regex(), f.tree, {});
    EXPECT_EQ(result.outcome, BatchOutcome::Finished);
    EXPECT_EQ(result.filesWritten, 2);
    EXPECT_EQ(TestFolder::Read(f.gbk), "\xD6\xD0\xCE\xC4 1\xBA\xCDkey\r\nno\r\n");
    EXPECT_EQ(TestFolder::Read(f.utf8), "中文 22和key 3和x\n");
    EXPECT_EQ(TestFolder::Read(f.none), "nothing\n");
    // One node per replaced line, captioned with the new line.
    EXPECT_EQ(f.Dump(), (std::vector<std::string>{f.gbk, "  中文 1和key", f.utf8,
                                                  "  中文 22和key 3和x", f.none}));

    // With whole words, one node per hit, each showing the line as it stood
    // after that replacement.
    RegexFixture g;
    RunBatchReplace("\\w=\\d", "<$0>", g.history, g.replaceHistory, g.files, Regex(true), g.tree,
                    {});
    EXPECT_EQ(TestFolder::Read(g.utf8), "中文 key=22 <x=3>\n");
    EXPECT_EQ(g.Dump(), (std::vector<std::string>{g.gbk, g.utf8, "  中文 key=22 <x=3>", g.none}));
}

// 替换所选 and its preview take each ticked hit as long as its own match, with
// its own expansion of the groups.
TEST(RegexRunTest, TickedHitsAreReplacedWithTheirOwnGroups) {
    RegexFixture f;
    RunBatchFind("(\\w+)=(\\d+)", f.history, f.files, Regex(), f.tree, {});
    ASSERT_EQ(f.tree.FileNodeCount(), 2u);
    ASSERT_EQ(f.tree.ChildCount({1, NodeRef::kNone}), 2u);
    f.tree.SetTicked({1, 1}, false); // x=3 stays

    ReplacePreviewer previewer;
    const Preview hit = previewer.Show(f.tree, {1, 0}, "(\\w+)=(\\d+)", "$2和${1}", Regex());
    ASSERT_GE(hit.lines.size(), 2u) << hit.note;
    EXPECT_EQ(hit.lines[0].text, "中文 key=22 x=3");
    EXPECT_EQ(hit.lines[0].marks, (std::vector<Stretch>{{7, 6, "22和key"}}));
    EXPECT_EQ(hit.lines[1].text, "中文 22和key x=3");
    EXPECT_EQ(hit.lines[1].marks, (std::vector<Stretch>{{7, 8}}));
    // A replacement naming a group the expression lacks shows why, and nothing else.
    const Preview bad = previewer.Show(f.tree, {1, 0}, "(\\w+)=(\\d+)", "$9", Regex());
    EXPECT_TRUE(bad.lines.empty());
    EXPECT_NE(bad.note.find("分组 9 在表达式里不存在"), std::string::npos) << bad.note;

    const BatchResult result =
        RunChosenReplace(PlanOfTicks(f.tree), "(\\w+)=(\\d+)", "$2和${1}", Regex(), f.tree, {});
    EXPECT_EQ(result.outcome, BatchOutcome::Finished);
    EXPECT_EQ(result.filesWritten, 2);
    EXPECT_EQ(TestFolder::Read(f.gbk), "\xD6\xD0\xCE\xC4 1\xBA\xCDkey\r\nno\r\n");
    EXPECT_EQ(TestFolder::Read(f.utf8), "中文 22和key x=3\n");
    EXPECT_EQ(f.Dump(),
              (std::vector<std::string>{f.gbk, "  中文 1和key", f.utf8, "  中文 22和key x=3"}));
}

} // namespace
} // namespace kelvara
