#include "search/BatchFind.h"

#include <random>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "common/AskUser.h"
#include "common/ChildProcess.h"
#include "common/CodePageConversion.h"
#include "common/FileEncoding.h"
#include "common/LineFile.h"
#include "search/HitCaption.h"
#include "search/Matcher.h"
#include "search/TestFolder.h"

namespace kelvara {
namespace {

// Records the progress labels and the message boxes of a run.
class RunRecorder : public BatchObserver {
public:
    RunRecorder() {
        SetAskUserSink([this](const MessageBoxRequest& request) {
            notices.emplace_back(request.text);
            return kIdOk;
        });
    }
    ~RunRecorder() override { SetAskUserSink({}); }
    void FileRead(int filesRead, const std::string& path) override {
        readCounts.push_back(filesRead);
        readPaths.push_back(path);
    }
    void NodesLeft(std::size_t count) override { nodesLeft = count; }
    void EncodingFound(const std::string&, const FileEncoding& encoding) override {
        encodings.emplace_back(EncodingName(encoding));
    }

    std::vector<int> readCounts;
    std::vector<std::string> encodings;
    std::vector<std::string> readPaths;
    std::size_t nodesLeft = 0;
    std::vector<std::string> notices;
};

// "caption" per node in display order, hit nodes indented.
std::vector<std::string> Dump(const ResultTree& tree) {
    std::vector<std::string> lines;
    for (NodeRef node = tree.First(); node.IsValid(); node = tree.Next(node)) {
        lines.push_back((node.IsHitNode() ? "  " : "") + tree.Caption(node));
    }
    return lines;
}

BatchHooks Hooks(BatchObserver* observer, std::function<void()> yield = {},
                 std::atomic<bool>* stop = nullptr) {
    return {observer, std::move(yield), stop};
}

// A hit's caption in a file of nothing but ASCII, which takes the default code page.
std::string Hit(std::string_view text, int line, int column) {
    return "  " + HitCaption(text, line, column, TextCodePage());
}

TEST(BatchFindTest, SearchesTickedFilesInOrderAndPrunesFilesWithoutHits) {
    TestFolder dir;
    FileSet files;
    for (int i = 0; i < 10; ++i)
        files.Add(dir.Write("f" + std::to_string(i) + ".txt", "nothing\n"));
    dir.Write("f2.txt", "a Needle\r\nno\rneedle needle");
    dir.Write("f5.txt", "");
    dir.Write("f7.txt", "x\n\nNEEDLE\n");
    files.Add(dir.Write("unticked.txt", "needle"));
    files.TickAll();
    files.SetTicked(10, false);

    RunRecorder recorder;
    std::vector<std::string> history{"other"};
    ResultTree tree;
    std::atomic<bool> stop{true}; // left over from an earlier stop
    int yields = 0;
    const BatchResult result = RunBatchFind("NEEDLE", history, files, {}, tree,
                                            Hooks(
                                                &recorder, [&] { ++yields; }, &stop));

    EXPECT_EQ(result.outcome, BatchOutcome::Finished);
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(result.searchText, "needle");
    EXPECT_EQ(result.filesRead, 10);
    EXPECT_EQ(recorder.readCounts, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_GE(yields, 10 + 3); // every file, and every line with a hit
    EXPECT_EQ(Dump(tree),
              (std::vector<std::string>{dir / "f2.txt", Hit("needle", 1, 3), Hit("needle", 3, 1),
                                        Hit("needle", 3, 8), dir / "f7.txt", Hit("needle", 3, 1)}));
    EXPECT_EQ(recorder.nodesLeft, 6u);
    EXPECT_EQ(recorder.notices, (std::vector<std::string>{TextFromUtf8("查找完毕")}));

    // The same text in another letter case joins the history only once.
    RunBatchFind("needle", history, files, {}, tree, Hooks(&recorder, {}, &stop));
    EXPECT_EQ(history, (std::vector<std::string>{"other", "NEEDLE"}));
}

// A folder of files in GBK, UTF-8 (with and without a byte-order mark) and
// UTF-16: the text as typed is found in each, with its columns in the file's
// own text; a UTF-16 file that is not valid is listed with the reason.
TEST(BatchFindTest, EveryFileIsSearchedInItsOwnEncoding) {
    TestFolder dir;
    FileSet files;
    const std::string gbkText = "\xD6\xD0\xCE\xC4"; // 中文
    files.Add(dir.Write("gbk.txt", "x " + gbkText + " foo\r\n"));
    files.Add(dir.Write("utf8.txt", "中文 foo\n"));
    files.Add(dir.Write("bom.txt", "\xEF\xBB\xBF中文\n"));
    files.Add(dir.Write("le.txt", std::string("\xFF\xFE\x2D\x4E\x87\x65\n\0", 8)));
    files.Add(dir.Write("bad.txt", std::string("\xFF\xFEx\0\x3D\xD8", 6)));
    files.Add(dir.Write("ascii.txt", "foo\n"));
    files.TickAll();
    RunRecorder recorder;
    std::vector<std::string> history;
    ResultTree tree;
    BatchHooks hooks = Hooks(&recorder);
    hooks.reportEncodings = true;
    for (const unsigned threads : {1u, 2u}) {
        const BatchResult result = RunBatchFind("中文", history, files, {}, tree, hooks, threads);
        ASSERT_EQ(tree.FileNodeCount(), 4u);
        EXPECT_EQ(tree.Caption({0, 0}), HitCaption(gbkText, 1, 3, CodePage::Gbk));
        EXPECT_EQ(tree.CodePageOf({0, 0}), CodePage::Gbk);
        EXPECT_EQ(tree.Caption({1, 0}), HitCaption("中文", 1, 1, CodePage::Utf8));
        EXPECT_EQ(tree.Column({2, 0}), 1); // counted after the byte-order mark
        EXPECT_EQ(tree.Caption({3, 0}), HitCaption("中文", 1, 1, CodePage::Utf8));
        ASSERT_EQ(result.encodingFiles.size(), 1u);
        EXPECT_EQ(result.encodingFiles[0].path, dir / "bad.txt");
        EXPECT_EQ(result.encodingFiles[0].reason, "不是有效的 UTF-16LE（第 5 字节）");
        EXPECT_NE(recorder.notices.back().find(dir / "bad.txt"), std::string::npos);
        EXPECT_EQ(
            recorder.encodings,
            (std::vector<std::string>{"GBK", "UTF-8", "UTF-8 BOM", "UTF-16LE",
                                      std::string(EncodingName(PlainEncoding(TextCodePage())))}));
        recorder.encodings.clear();
    }

    // A code page forced on the run holds for every file without a mark.
    MatchOptions forced;
    forced.ForcedCodePage = CodePage::Utf8;
    RunBatchFind("中文", history, files, forced, tree, Hooks(&recorder));
    EXPECT_EQ(tree.FileNodeCount(), 3u);
    EXPECT_EQ(tree.Caption({0, NodeRef::kNone}), dir / "utf8.txt");
}

TEST(BatchFindTest, NothingToSearch) {
    RunRecorder recorder;
    std::vector<std::string> history;
    ResultTree tree;
    tree.AppendFileNode("/kept", "x", CodePage::Utf8);
    FileSet files;

    // Empty text: nothing at all; empty set: only the history grows.
    EXPECT_EQ(RunBatchFind("", history, files, {}, tree, Hooks(&recorder)).outcome,
              BatchOutcome::NotStarted);
    EXPECT_EQ(RunBatchFind("x", history, files, {}, tree, Hooks(&recorder)).outcome,
              BatchOutcome::NotStarted);
    EXPECT_EQ(history, (std::vector<std::string>{"x"}));
    EXPECT_EQ(tree.NodeCount(), 1u);
    EXPECT_TRUE(recorder.notices.empty());

    // A set without ticked entries: no file read, an empty tree, the notice.
    files.Add("/nowhere/a.txt");
    const BatchResult result = RunBatchFind("x", history, files, {}, tree, Hooks(&recorder));
    EXPECT_EQ(result.outcome, BatchOutcome::Finished);
    EXPECT_EQ(result.filesRead, 0);
    EXPECT_EQ(tree.NodeCount(), 0u);
    EXPECT_EQ(recorder.notices, (std::vector<std::string>{TextFromUtf8("查找完毕")}));
}

TEST(BatchFindTest, StopDuringTheFourthFileKeepsEarlierHits) {
    TestFolder dir;
    FileSet files;
    for (int i = 0; i < 6; ++i) {
        files.Add(dir.Write("f" + std::to_string(i), i == 1 ? "none\n" : "hit\nhit\nhit\n"));
    }
    files.TickAll();
    RunRecorder recorder;
    std::atomic<bool> stop{false};
    int yieldsInFourth = 0;
    auto yield = [&] {
        if (recorder.readCounts.size() == 4 && ++yieldsInFourth == 2) stop = true;
    };
    std::vector<std::string> history;
    ResultTree tree;
    const BatchResult result =
        RunBatchFind("hit", history, files, {}, tree, Hooks(&recorder, yield, &stop));

    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.filesRead, 4);
    EXPECT_EQ(Dump(tree), (std::vector<std::string>{dir / "f0", Hit("hit", 1, 1), Hit("hit", 2, 1),
                                                    Hit("hit", 3, 1), dir / "f2", Hit("hit", 1, 1),
                                                    Hit("hit", 2, 1), Hit("hit", 3, 1), dir / "f3",
                                                    Hit("hit", 1, 1), Hit("hit", 2, 1)}));
    EXPECT_EQ(recorder.notices, (std::vector<std::string>{TextFromUtf8("查找完毕")}));
}

TEST(BatchFindTest, UnreadableFileEndsTheRunWithTheTreeKept) {
    TestFolder dir;
    FileSet files;
    files.Add(dir.Write("a", "hit"));
    files.Add(dir.Write("b", "none"));
    files.Add(dir.Path()); // a folder cannot be read as a file
    files.Add(dir.Write("c", "hit"));
    files.TickAll();
    RunRecorder recorder;
    std::vector<std::string> history;
    ResultTree tree;
    const BatchResult result = RunBatchFind("hit", history, files, {}, tree, Hooks(&recorder));

    EXPECT_EQ(result.outcome, BatchOutcome::Failed);
    ASSERT_TRUE(result.error.has_value());
    EXPECT_EQ(result.error->path, dir.Path());
    EXPECT_EQ(result.filesRead, 2);
    // Not pruned: the file without hits keeps its node; the failing one has none.
    EXPECT_EQ(Dump(tree), (std::vector<std::string>{dir / "a", Hit("hit", 1, 1), dir / "b"}));
    ASSERT_EQ(recorder.notices.size(), 1u);
    EXPECT_EQ(recorder.notices[0], result.error->Message());

    // Devices are refused rather than read: /dev/zero would never end. The
    // null device reads as an empty file.
    FileSet device;
    device.Add("/dev/zero");
    device.TickAll();
    const BatchResult refused = RunBatchFind("hit", history, device, {}, tree, Hooks(&recorder));
    EXPECT_EQ(refused.outcome, BatchOutcome::Failed);
    ASSERT_TRUE(refused.error.has_value());
    EXPECT_EQ(refused.error->Message(), "/dev/zero: 不是普通文件");
    FileSet null;
    null.Add("/dev/null");
    null.TickAll();
    const BatchResult empty = RunBatchFind("hit", history, null, {}, tree, Hooks(&recorder));
    EXPECT_EQ(empty.outcome, BatchOutcome::Finished);
    EXPECT_EQ(empty.filesRead, 1);

    // A named pipe nobody writes to is an empty file, not a run that waits for ever.
    FileSet pipe;
    pipe.Add(dir / "pipe");
    pipe.TickAll();
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    alarm(10);
    const BatchResult piped = RunBatchFind("hit", history, pipe, {}, tree, Hooks(&recorder));
    alarm(0);
    EXPECT_EQ(piped.outcome, BatchOutcome::Finished);
    EXPECT_EQ(piped.filesRead, 1);
}

// The run jumps between occurrences instead of matching every line; it must
// find exactly what matching every line of the file reader's split finds.
// A find whose hits outgrow the memory it may use ends at the file that holds
// them, naming it, on one thread or several: it does not abort.
// The most file nodes without hits that the tree held at once.
struct ChildlessWatch : ResultTreeListener {
    explicit ChildlessWatch(const ResultTree& watched) : tree(watched) {}
    void NodeAppending(NodeRef) override {}
    void NodeAppended(NodeRef) override {
        std::size_t childless = 0;
        for (std::uint32_t file = 0; file < tree.FileNodeCount(); ++file)
            childless += tree.ChildCount({file}) == 0;
        most = std::max(most, childless);
    }
    void NodeRemoving(NodeRef) override {}
    void NodeRemoved(NodeRef) override {}
    void TreeResetting() override {}
    void TreeReset() override {}
    void SelectionChanged(NodeRef) override {}
    const ResultTree& tree;
    std::size_t most = 0;
};

// Every file read gets a node while it is searched; a file without hits
// loses it when the next file's comes, so that a run over a large tree never
// holds a node per file read. A run that a file ends shows them all again.
TEST(BatchFindTest, AFileWithoutHitsKeepsItsNodeOnlyWhileItIsTheLastOneReadUnlessARunFails) {
    TestFolder dir;
    FileSet files;
    files.Add(dir.Write("a", "hit"));
    for (int i = 0; i < 5; ++i)
        files.Add(dir.Write("n" + std::to_string(i), "none"));
    files.Add(dir.Write("b", "hit\nhit"));
    files.Add(dir.Write("c", "none"));
    files.TickAll();
    RunRecorder recorder;
    std::vector<std::string> history;
    for (const unsigned threads : {1u, 2u}) {
        ResultTree tree;
        ChildlessWatch watch(tree);
        tree.SetListener(&watch);
        RunBatchFind("hit", history, files, {}, tree, Hooks(&recorder), threads);
        EXPECT_EQ(watch.most, 1u) << threads << " threads";
        EXPECT_EQ(Dump(tree), (std::vector<std::string>{dir / "a", Hit("hit", 1, 1), dir / "b",
                                                        Hit("hit", 1, 1), Hit("hit", 2, 1)}));
    }
    files.Add(dir.Path()); // a folder cannot be read as a file
    files.TickAll();
    for (const unsigned threads : {1u, 2u}) {
        ResultTree tree;
        const BatchResult result =
            RunBatchFind("hit", history, files, {}, tree, Hooks(&recorder), threads);
        EXPECT_EQ(result.outcome, BatchOutcome::Failed);
        EXPECT_EQ(result.filesRead, 8);
        // A run that a file ends shows every file read before it, unpruned.
        std::vector<std::string> all{dir / "a", Hit("hit", 1, 1)};
        for (int i = 0; i < 5; ++i)
            all.push_back(dir / ("n" + std::to_string(i)));
        all.insert(all.end(), {dir / "b", Hit("hit", 1, 1), Hit("hit", 2, 1), dir / "c"});
        EXPECT_EQ(Dump(tree), all) << threads << " threads";
        EXPECT_EQ(tree.Selected(), (NodeRef{7, NodeRef::kNone})) << threads << " threads";
    }
}

TEST(BatchFindTest, HitsBeyondTheMemoryEndTheRunAtTheirFile) {
    if (!kAddressSpaceLimitable) GTEST_SKIP() << "the sanitizer reserves the address space";
    TestFolder dir;
    FileSet files;
    files.Add(dir.Write("few.txt", "a\n"));
    const std::string many = dir.Write("many.txt", std::string(16u << 20, 'a')); // 16M hits
    files.Add(many);
    files.TickAll();
    for (const unsigned threads : {1u, 2u}) {
        const int status = RunInChild([&] {
            SetAskUserSink([](const MessageBoxRequest&) { return kIdOk; });
            if (!LimitAddressSpace(96u << 20)) return 3;
            ResultTree tree;
            std::vector<std::string> history;
            const BatchResult result = RunBatchFind("a", history, files, {}, tree, {}, threads);
            const bool failed = result.outcome == BatchOutcome::Failed && result.error &&
                                result.error->path == many;
            return failed && tree.ChildCount({0, NodeRef::kNone}) == 1 ? 0 : 1;
        });
        EXPECT_EQ(status, 0) << threads << " threads";
    }
}

TEST(BatchFindTest, SameHitsAsMatchingEveryLine) {
    TestFolder dir;
    std::mt19937 random(7);
    const std::string pieces[] = {"ab",
                                  "AB",
                                  "a",
                                  "b",
                                  " ",
                                  "\t",
                                  "\n",
                                  "\r",
                                  "\r\n",
                                  "\xB0\xA1",
                                  "\xE4\xBD\xA0",
                                  std::string(1, '\0'),
                                  "x"};
    FileSet files;
    for (int i = 0; i < 60; ++i) {
        std::string bytes;
        const int length = static_cast<int>(random() % 120);
        for (int j = 0; j < length; ++j)
            bytes += pieces[random() % std::size(pieces)];
        files.Add(dir.Write("f" + std::to_string(i), bytes));
    }
    files.TickAll();
    RunRecorder recorder;
    const std::string texts[] = {"ab", "a", " ab", "b a", "\xA1", "ab\xB0"};
    for (int round = 0; round < 96; ++round) {
        // Every file in one code page, whatever its bytes.
        const CodePage codePage = round < 48 ? CodePage::Gbk : CodePage::Utf8;
        const MatchOptions options{(round & 1) != 0, (round & 2) != 0, (round & 4) != 0, codePage};
        const std::string& text = texts[round % 48 / 8];
        std::vector<std::string> history;
        ResultTree tree;
        RunBatchFind(text, history, files, options, tree, Hooks(&recorder));

        ResultTree expected;
        const std::string prepared = PrepareSearchText(text, options, codePage);
        LineFile file;
        for (std::size_t i = 0; i < files.Count(); ++i) {
            const std::string& path = files.Entry(i).path;
            ASSERT_FALSE(ReadLineFile(path, file).has_value());
            const NodeRef node = expected.AppendFileNode(path, prepared, codePage);
            for (std::size_t n = 0; n < file.lines.size(); ++n) {
                FindInLine(prepared, file.Line(n), static_cast<std::int32_t>(n + 1), path, expected,
                           node, options, codePage);
            }
        }
        expected.PruneChildlessFileNodes();
        EXPECT_EQ(Dump(tree), Dump(expected)) << "round " << round;
    }
}

} // namespace
} // namespace kelvara
