#include "search/BatchReplace.h"

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "common/AskUser.h"
#include "common/ChildProcess.h"
#include "common/CodePageConversion.h"
#include "search/TestFolder.h"

namespace kelvara {
namespace {

// Answers the confirmation and records the other message boxes.
class ReplaceRecorder : public BatchObserver {
public:
    explicit ReplaceRecorder(int answer = kIdYes) {
        SetAskUserSink([this, answer](const MessageBoxRequest& request) {
            if (request.style.buttons == MessageButtons::YesNo) {
                questions.emplace_back(request.text);
                return answer;
            }
            notices.emplace_back(request.text);
            return kIdOk;
        });
    }
    ~ReplaceRecorder() override { SetAskUserSink({}); }
    void FileRead(int filesRead, const std::string&) override { this->filesRead = filesRead; }
    void NodesLeft(std::size_t) override {}

    int filesRead = 0;
    std::vector<std::string> questions;
    std::vector<std::string> notices;
};

ino_t Inode(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_ino;
}

struct Fixture {
    TestFolder dir;
    FileSet files;
    std::vector<std::string> findHistory;
    std::vector<std::string> replaceHistory;
    ResultTree tree;

    std::string Add(const std::string& name, std::string_view bytes) {
        std::string path = dir.Write(name, bytes);
        files.Add(path);
        files.SetTicked(files.Count() - 1, true);
        return path;
    }
    BatchResult Replace(std::string_view text, std::string_view replacement,
                        BatchObserver* observer, const MatchOptions& options = {},
                        std::function<void()> yield = {}, std::atomic<bool>* stop = nullptr) {
        return RunBatchReplace(text, replacement, findHistory, replaceHistory, files, options, tree,
                               {observer, std::move(yield), stop});
    }
};

TEST(BatchReplaceTest, RewritesOnlyFilesWithReplacementsKeepingEveryOtherByte) {
    Fixture f;
    const std::string mixed = "\xEF\xBB\xBF"
                              "\nCat cat\r\nno\rcat\n\ncat";
    const std::string a = f.Add("a.txt", mixed);
    const std::string none = f.Add("none.txt", "no hit here\r\nnone");
    const std::string empty = f.Add("empty.txt", "");
    const std::string b = f.Add("b.txt", "dog only\n");
    const ino_t noneInode = Inode(none);

    ReplaceRecorder recorder;
    const BatchResult result = f.Replace("CAT", "dog", &recorder);

    EXPECT_EQ(result.outcome, BatchOutcome::Finished);
    EXPECT_EQ(result.filesRead, 4);
    EXPECT_EQ(result.filesWritten, 1);
    EXPECT_EQ(TestFolder::Read(a), "\xEF\xBB\xBF"
                                   "\ndog dog\r\nno\rdog\n\ndog");
    EXPECT_EQ(TestFolder::Read(none), "no hit here\r\nnone");
    EXPECT_EQ(Inode(none), noneInode);
    EXPECT_EQ(TestFolder::Read(empty), "");
    EXPECT_EQ(TestFolder::Read(b), "dog only\n");
    // Not pruned: every file read keeps its node; a line that only holds the
    // replacement text gets a node too.
    EXPECT_EQ(f.tree.FileNodeCount(), 4u);
    EXPECT_EQ(f.tree.ChildCount({0, NodeRef::kNone}), 3u);
    EXPECT_EQ(f.tree.ChildCount({1, NodeRef::kNone}), 0u);
    EXPECT_EQ(f.tree.ChildCount({3, NodeRef::kNone}), 1u);
    EXPECT_EQ(f.tree.Caption({3, 0}), "dog only");
    EXPECT_EQ(recorder.questions, (std::vector<std::string>{TextFromUtf8("确定要替换吗？")}));
    EXPECT_EQ(recorder.notices, (std::vector<std::string>{TextFromUtf8("替换完毕")}));
    EXPECT_EQ(f.findHistory, (std::vector<std::string>{"CAT"}));
    EXPECT_EQ(f.replaceHistory, (std::vector<std::string>{"dog"}));
}

// Each file is replaced in its own encoding and keeps it, byte-order mark
// included; a file whose code page cannot hold the replacement, or a UTF-16
// file that is not valid, is left as it was and listed with the reason.
TEST(BatchReplaceTest, EveryFileIsReplacedInItsOwnEncoding) {
    Fixture f;
    const std::string gbk = f.Add("gbk.txt", "\xD6\xD0\xCE\xC4 foo\r\n");
    const std::string utf8 = f.Add("utf8.txt", "中文 foo\n");
    const std::string bom = f.Add("bom.txt", "\xEF\xBB\xBF"
                                             "foo\n");
    const std::string be = f.Add("be.txt", std::string("\xFE\xFF\0f\0o\0o\0\r\0\n", 12));
    const std::string bad = f.Add("bad.txt", std::string("\xFE\xFF\0f\0o\0o\xDC\0", 10));
    ReplaceRecorder recorder;
    BatchResult result = f.Replace("foo", "汉字", &recorder);
    EXPECT_EQ(result.filesWritten, 4);
    EXPECT_EQ(TestFolder::Read(gbk), "\xD6\xD0\xCE\xC4 \xBA\xBA\xD7\xD6\r\n");
    EXPECT_EQ(TestFolder::Read(utf8), "中文 汉字\n");
    EXPECT_EQ(TestFolder::Read(bom), "\xEF\xBB\xBF汉字\n");
    EXPECT_EQ(TestFolder::Read(be), std::string("\xFE\xFF\x6C\x49\x5B\x57\0\r\0\n", 10));
    EXPECT_EQ(TestFolder::Read(bad), std::string("\xFE\xFF\0f\0o\0o\xDC\0", 10));
    ASSERT_EQ(result.encodingFiles.size(), 1u);
    EXPECT_EQ(result.encodingFiles[0].path, bad);
    EXPECT_EQ(f.tree.Caption({0, 0}), "\xD6\xD0\xCE\xC4 \xBA\xBA\xD7\xD6");
    EXPECT_EQ(f.tree.CodePageOf({0, 0}), CodePage::Gbk);

    // GBK cannot hold 😀: the GBK file with a hit is listed, the one without
    // is not, the UTF-8 file is replaced.
    f.dir.Write("gbk.txt", "\xD6\xD0 foo\n");
    f.dir.Write("utf8.txt", "中 foo\n");
    const std::string none = f.Add("none.txt", "\xD6\xD0\n");
    result = f.Replace("foo", "😀", &recorder);
    EXPECT_EQ(TestFolder::Read(gbk), "\xD6\xD0 foo\n");
    EXPECT_EQ(TestFolder::Read(utf8), "中 😀\n");
    ASSERT_EQ(result.encodingFiles.size(), 2u);
    EXPECT_EQ(result.encodingFiles[0].path, gbk);
    EXPECT_EQ(result.encodingFiles[0].reason, "GBK 不能表示替换文字中的 U+1F600");
    EXPECT_EQ(result.encodingFiles[1].path, bad);
    EXPECT_NE(recorder.notices.back().find(gbk), std::string::npos);
}

TEST(BatchReplaceTest, FileReachedTwiceThroughALinkIsReplacedOnce) {
    Fixture f;
    const std::string a = f.Add("a.txt", "cat\n");
    std::filesystem::create_symlink(a, f.dir / "link.txt");
    f.files.Add(f.dir / "link.txt");
    f.files.Add(f.dir.Path() + "/./a.txt");
    f.files.TickAll();
    ReplaceRecorder recorder;
    const BatchResult result = f.Replace("cat", "cats", &recorder);
    EXPECT_EQ(result.filesWritten, 1);
    EXPECT_EQ(TestFolder::Read(a), "cats\n");
    EXPECT_EQ(f.tree.FileNodeCount(), 3u);
    EXPECT_EQ(f.tree.ChildCount({1, NodeRef::kNone}), 0u);
    EXPECT_TRUE(std::filesystem::is_symlink(f.dir / "link.txt"));
}

TEST(BatchReplaceTest, NoAnswerOrEmptyReplacementChangesNothing) {
    Fixture f;
    const std::string a = f.Add("a.txt", "cat\n");
    {
        ReplaceRecorder recorder(kIdNo);
        EXPECT_EQ(f.Replace("cat", "dog", &recorder).outcome, BatchOutcome::NotStarted);
        EXPECT_TRUE(f.findHistory.empty());
        EXPECT_TRUE(recorder.notices.empty());
    }
    ReplaceRecorder recorder;
    EXPECT_EQ(f.Replace("cat", "", &recorder).outcome, BatchOutcome::NotStarted);
    EXPECT_EQ(f.findHistory, (std::vector<std::string>{"cat"}));
    EXPECT_TRUE(f.replaceHistory.empty());
    EXPECT_EQ(TestFolder::Read(a), "cat\n");
    EXPECT_EQ(recorder.filesRead, 0);
}

TEST(BatchReplaceTest, NulFilesAreNotRewrittenAndAreListed) {
    Fixture f;
    const std::string withNul = std::string("cat\n\0cat\n", 9);
    const std::string nul = f.Add("nul.bin", withNul);
    const std::string a = f.Add("a.txt", "cat");
    ReplaceRecorder recorder;
    int yields = 0;
    const BatchResult result = f.Replace("cat", "dog", &recorder, {}, [&] { ++yields; });
    EXPECT_GE(yields, 2); // one for the NUL file, which has no line to yield at
    EXPECT_EQ(TestFolder::Read(nul), withNul);
    EXPECT_EQ(TestFolder::Read(a), "dog");
    EXPECT_EQ(result.nulFiles, (std::vector<std::string>{nul}));
    ASSERT_EQ(recorder.notices.size(), 1u);
    EXPECT_NE(recorder.notices[0].find(nul), std::string::npos);
}

TEST(BatchReplaceTest, ReadOnlyFileEndsTheRunUndamaged) {
    Fixture f;
    const std::string a = f.Add("a.txt", "cat\n");
    const std::string locked = f.Add("locked.txt", "cat\r\n");
    const std::string c = f.Add("c.txt", "cat\n");
    ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
    ReplaceRecorder recorder;
    const BatchResult result = f.Replace("cat", "dog", &recorder);
    EXPECT_EQ(result.outcome, BatchOutcome::Failed);
    ASSERT_TRUE(result.error.has_value());
    EXPECT_EQ(result.error->path, locked);
    EXPECT_EQ(TestFolder::Read(a), "dog\n");
    EXPECT_EQ(TestFolder::Read(locked), "cat\r\n");
    EXPECT_EQ(TestFolder::Read(c), "cat\n");
    EXPECT_EQ(recorder.notices, (std::vector<std::string>{result.error->Message()}));

    // A path that cannot be read ends the run the same way.
    Fixture g;
    g.Add("a.txt", "x");
    g.files.Add(g.dir / "missing.txt");
    g.files.TickAll();
    ReplaceRecorder second;
    EXPECT_EQ(g.Replace("x", "y", &second).outcome, BatchOutcome::Failed);
    EXPECT_EQ(TestFolder::Read(g.dir / "a.txt"), "y");
}

TEST(BatchReplaceTest, StopInTheMiddleOfAFileKeepsTheRestAsItWas) {
    Fixture f;
    const std::string a = f.Add("a.txt", "cat 1\r\ncat 2\ncat 3\rcat 4");
    const std::string b = f.Add("b.txt", "cat\n");
    ReplaceRecorder recorder;
    std::atomic<bool> stop{false};
    int yields = 0;
    const BatchResult result = f.Replace(
        "cat", "tiger", &recorder, {},
        [&] {
            if (++yields == 3) stop = true; // after the file's and line 1's, during line 2
        },
        &stop);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(TestFolder::Read(a), "tiger 1\r\ntiger 2\ncat 3\rcat 4");
    EXPECT_EQ(TestFolder::Read(b), "cat\n");
    EXPECT_EQ(recorder.notices, (std::vector<std::string>{TextFromUtf8("替换完毕")}));
}

TEST(BatchReplaceTest, LargeFilesAreStreamedKeepingEveryByteAndHardLinks) {
    Fixture f;
    // Changed lines far apart, across the write buffer and the yield stretches;
    // a line that only holds the replacement text is listed, not changed.
    std::string original;
    std::string expected;
    for (int i = 0; i < 120000; ++i) {
        const std::string filler = "line " + std::to_string(i) + " without the word\r\n";
        const bool hit = i % 25000 == 0 || i == 119999;
        original += hit ? "a Cat here\n" : filler;
        expected += hit ? "a dog here\n" : filler;
    }
    original += "dog at the end";
    expected += "dog at the end";
    const std::string renamed = f.Add("renamed.txt", original);
    const std::string linked = f.Add("linked.txt", original);
    const std::string otherName = f.dir / "other-name.txt";
    ASSERT_EQ(link(linked.c_str(), otherName.c_str()), 0); // written in place
    ReplaceRecorder recorder;
    const BatchResult result = f.Replace("cat", "dog", &recorder);
    EXPECT_EQ(result.filesWritten, 2);
    EXPECT_EQ(TestFolder::Read(renamed), expected);
    EXPECT_EQ(TestFolder::Read(otherName), expected);
    EXPECT_EQ(f.tree.ChildCount({0, NodeRef::kNone}), 7u);
    EXPECT_EQ(f.tree.Line({0, 5}), 120000);
    EXPECT_EQ(f.tree.Caption({0, 6}), "dog at the end");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.dir.Path()), {}), 3);
}

TEST(BatchReplaceTest, FileChangedByAnotherProgramDuringTheRunIsLeftAndListed) {
    Fixture f;
    const std::string log = f.Add("log.txt", "cat 1\ncat 2\n");
    const std::string b = f.Add("b.txt", "cat\n");
    ReplaceRecorder recorder;
    int yields = 0;
    const BatchResult result = f.Replace("cat", "dog", &recorder, {}, [&] {
        if (++yields == 2) std::ofstream(log, std::ios::app) << "cat 3\n"; // a writer appends
    });
    EXPECT_EQ(result.outcome, BatchOutcome::Finished);
    EXPECT_EQ(TestFolder::Read(log), "cat 1\ncat 2\ncat 3\n");
    EXPECT_EQ(TestFolder::Read(b), "dog\n");
    EXPECT_EQ(result.changedFiles, (std::vector<std::string>{log}));
    EXPECT_EQ(result.filesWritten, 1);
    EXPECT_EQ(f.tree.ChildCount({0, NodeRef::kNone}), 0u); // nothing listed that was not written
    ASSERT_EQ(recorder.notices.size(), 1u);
    EXPECT_NE(recorder.notices[0].find(log), std::string::npos);
}

// Runs a replace in a child limited to its present address space plus
// `room` bytes; the child's exit status tells whether `check` held.
int ReplaceWithLittleMemory(Fixture& f, std::size_t room, std::string_view text,
                            std::string_view replacement, const MatchOptions& options,
                            const std::function<bool(const BatchResult&)>& check) {
    return RunInChild([&] {
        ReplaceRecorder recorder;
        if (kAddressSpaceLimitable && !LimitAddressSpace(room)) return 3;
        const BatchResult result = f.Replace(text, replacement, &recorder, options);
        return check(result) ? 0 : 1;
    });
}

TEST(BatchReplaceTest, WholeWordsOnALongLineCostTheLineOnceNotOncePerHit) {
    Fixture f;
    std::string line;
    for (int i = 0; i < 100000; ++i)
        line += "a ";
    const std::string path = f.Add("long.txt", line + "\n");
    MatchOptions words;
    words.WholeWord = true;
    // 100,000 captions of 200 KB would take 20 GB.
    const int status = ReplaceWithLittleMemory(f, 64u << 20, "a", "bb", words, [&](auto& result) {
        std::string last;
        for (int i = 0; i < 100000; ++i)
            last += "bb ";
        return result.filesWritten == 1 && f.tree.ChildCount({0, NodeRef::kNone}) == 100000 &&
               f.tree.Caption({0, 0}) == "bb " + line.substr(2) &&
               f.tree.Caption({0, 1}) == "bb bb " + line.substr(4) &&
               f.tree.Caption({0, 99999}) == last && TestFolder::Read(path) == last + "\n";
    });
    EXPECT_EQ(status, 0);
}

TEST(BatchReplaceTest, ManyShortLinesCostNoMemoryPerLine) {
    Fixture f;
    const std::string path = f.dir / "empty-lines.txt";
    {
        std::ofstream out(path, std::ios::binary);
        const std::string lines(1u << 20, '\n');
        for (int i = 0; i < 20; ++i)
            out << lines;
        out << "cat\n";
    }
    f.files.Add(path);
    f.files.TickAll();
    // The bytes read, the tree, and little else: no table of 20 million lines.
    const int status = ReplaceWithLittleMemory(f, 48u << 20, "cat", "dog", {}, [&](auto& result) {
        return result.filesWritten == 1 && f.tree.Line({0, 0}) == (20 << 20) + 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(std::filesystem::file_size(path), (20u << 20) + 4);
}

TEST(BatchReplaceTest, RunningOutOfMemoryEndsTheRunNamingTheFile) {
    if (!kAddressSpaceLimitable) GTEST_SKIP() << "no address-space limit under the sanitizer";
    Fixture f;
    const std::string first = f.Add("a.txt", "cat\n");
    std::string many;
    for (int i = 0; i < 2000000; ++i)
        many += "cat\n";
    const std::string big = f.Add("big.txt", many);
    const std::string last = f.Add("z.txt", "cat\n");
    // Every line of big.txt gets a hit node, more than the memory allowed.
    const int status = ReplaceWithLittleMemory(f, 48u << 20, "cat", "dog", {}, [&](auto& result) {
        return result.outcome == BatchOutcome::Failed && result.error->path == big &&
               result.error->reason == "内存不足" && f.tree.ChildCount({1, NodeRef::kNone}) == 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(TestFolder::Read(first), "dog\n");
    EXPECT_EQ(TestFolder::Read(big), many);
    EXPECT_EQ(TestFolder::Read(last), "cat\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.dir.Path()), {}), 3);
}

} // namespace
} // namespace kelvara
