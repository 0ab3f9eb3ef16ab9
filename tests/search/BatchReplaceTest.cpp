#include "search/BatchReplace.h"

#include <filesystem>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "common/AskUser.h"
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

} // namespace
} // namespace kelvara
