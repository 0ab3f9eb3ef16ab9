#include <atomic>
#include <chrono>
#include <functional>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "CodePageScope.h"
#include "common/AskUser.h"
#include "search/BatchFind.h"
#include "search/HitCaption.h"
#include "search/PathFeed.h"
#include "search/TestFolder.h"

// A find run on several threads must look exactly like one on a single
// thread: same tree, same progress calls, same outcome, and every call into
// the tree, the observer and the yield hook on the calling thread.
namespace kelvara {
namespace {

// Records what a run reports, and on which thread.
class Recorder : public BatchObserver, public ResultTreeListener {
public:
    Recorder() {
        SetAskUserSink([this](const MessageBoxRequest& request) {
            Note();
            notices.emplace_back(request.text);
            return kIdOk;
        });
    }
    ~Recorder() override { SetAskUserSink({}); }

    void FileRead(int filesRead, const std::string& path) override {
        Note();
        reads.push_back(std::to_string(filesRead) + " " + path);
        if (onFileRead) onFileRead(filesRead);
    }
    void NodesLeft(std::size_t count) override {
        Note();
        nodesLeft = count;
    }
    void NodeAppending(NodeRef) override { Note(); }
    void NodeAppended(NodeRef) override { Note(); }
    void NodeRemoving(NodeRef) override { Note(); }
    void NodeRemoved(NodeRef) override { Note(); }
    void TreeResetting() override { Note(); }
    void TreeReset() override { Note(); }
    void SelectionChanged(NodeRef) override { Note(); }

    // Called on every report: counts those made off the calling thread.
    void Note() {
        if (std::this_thread::get_id() != caller_) ++foreignCalls;
    }

    std::vector<std::string> reads;
    std::vector<std::string> notices;
    std::size_t nodesLeft = 0;
    std::atomic<int> foreignCalls{0};
    std::function<void(int)> onFileRead;

private:
    std::thread::id caller_ = std::this_thread::get_id();
};

struct RunReport {
    BatchResult result;
    std::vector<std::string> tree; // captions in display order, hits indented
    std::vector<std::string> reads;
    std::vector<std::string> notices;
    std::size_t nodesLeft = 0;
    int yields = 0;
};

// Starts a run with the history, tree and hooks given.
using Runner =
    std::function<BatchResult(std::vector<std::string>&, ResultTree&, const BatchHooks&)>;

// What `run` reports, on `threads` threads; `stopAt` sets the stop flag when
// that file is read.
RunReport Record(const Runner& run, unsigned threads, int stopAt) {
    Recorder recorder;
    ResultTree tree;
    tree.SetListener(&recorder);
    std::atomic<bool> stop{false};
    recorder.onFileRead = [&](int filesRead) {
        if (filesRead == stopAt) stop = true;
    };
    RunReport report;
    std::vector<std::string> history;
    report.result = run(history, tree,
                        {&recorder,
                         [&] {
                             recorder.Note();
                             ++report.yields;
                         },
                         &stop});
    for (NodeRef node = tree.First(); node.IsValid(); node = tree.Next(node))
        report.tree.push_back((node.IsHitNode() ? "  " : "") + tree.Caption(node));
    report.reads = recorder.reads;
    report.notices = recorder.notices;
    report.nodesLeft = recorder.nodesLeft;
    tree.SetListener(nullptr);
    EXPECT_EQ(recorder.foreignCalls, 0) << threads << " threads";
    return report;
}

// One run of `text` over `files` on `threads` threads.
RunReport Find(std::string_view text, const FileSet& files, const MatchOptions& options,
               unsigned threads, int stopAt = 0) {
    return Record(
        [&](std::vector<std::string>& history, ResultTree& tree, const BatchHooks& hooks) {
            return RunBatchFind(text, history, files, options, tree, hooks, threads);
        },
        threads, stopAt);
}

// Hands the ticked files of a set to a feed on a thread of its own, pausing
// now and then, as a folder walk does while the run searches. Unless told to
// close the feed at the end, it then waits until the run cancels the feed.
class Walker {
public:
    Walker(const FileSet& files, PathFeed& feed, bool close)
        : thread_([&files, &feed, close] {
              std::mt19937 random(5);
              for (std::size_t i = 0; i < files.Count(); ++i) {
                  if (feed.Cancelled()->load()) return;
                  if (random() % 64 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
                  if (files.Entry(i).ticked) feed.Add(files.Entry(i).path);
              }
              if (close) feed.Close();
              while (!close && !feed.Cancelled()->load())
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
          }) {}
    ~Walker() { thread_.join(); }

private:
    std::thread thread_;
};

// The same run over the files as a walk hands them over.
RunReport FindWhileWalking(std::string_view text, const FileSet& files, const MatchOptions& options,
                           unsigned threads, int stopAt = 0, bool close = true) {
    PathFeed feed;
    const Walker walker(files, feed, close);
    return Record(
        [&](std::vector<std::string>& history, ResultTree& tree, const BatchHooks& hooks) {
            return RunBatchFind(text, history, feed, options, tree, hooks, threads);
        },
        threads, stopAt);
}

void ExpectSameRun(const RunReport& one, const RunReport& many, unsigned threads) {
    SCOPED_TRACE(std::to_string(threads) + " threads");
    EXPECT_EQ(many.result.outcome, one.result.outcome);
    EXPECT_EQ(many.result.stopped, one.result.stopped);
    EXPECT_EQ(many.result.filesRead, one.result.filesRead);
    EXPECT_EQ(many.result.error.has_value(), one.result.error.has_value());
    if (many.result.error && one.result.error) {
        EXPECT_EQ(many.result.error->Message(), one.result.error->Message());
    }
    EXPECT_EQ(many.tree, one.tree);
    EXPECT_EQ(many.reads, one.reads);
    EXPECT_EQ(many.notices, one.notices);
    EXPECT_EQ(many.nodesLeft, one.nodesLeft);
}

// More files than the read-ahead window holds, of random lines in both code
// pages: some without hits, some empty, one larger than a search stretch.
class ThreadedFind : public ::testing::Test {
protected:
    void SetUp() override {
        std::mt19937 random(11);
        const std::string pieces[] = {"ab",        "AB",       "a",        " ",
                                      "\n",        "\r\n",     "\r",       "\xC0\xE0",
                                      "A\xC0\xE0", "\xD5\x66", "\xD5\x46", std::string(1, '\0')};
        for (int i = 0; i < 800; ++i) {
            std::string bytes;
            const int length = i % 7 == 0 ? 0 : static_cast<int>(random() % 60);
            for (int j = 0; j < length; ++j)
                bytes += pieces[random() % std::size(pieces)];
            files_.Add(dir_.Write("d" + std::to_string(i / 100) + "/f" + std::to_string(i), bytes));
        }
        std::string large(3u << 20, 'x');
        large += "\nab\n";
        files_.Add(dir_.Write("large", large));
        files_.TickAll();
    }

    TestFolder dir_;
    FileSet files_;
};

TEST_F(ThreadedFind, ManyThreadsGiveTheSingleThreadedRun) {
    for (const CodePage codePage : {CodePage::Gbk, CodePage::Utf8}) {
        CodePageScope page(codePage);
        const std::string texts[] = {"ab", "a\xC0\xE0", "\xD5\x46", "b a"};
        for (int round = 0; round < 8; ++round) {
            const MatchOptions options{(round & 1) != 0, (round & 2) != 0, (round & 4) != 0};
            const std::string& text = texts[round % 4];
            const RunReport one = Find(text, files_, options, 1);
            for (const unsigned threads : {2u, 3u, 8u})
                ExpectSameRun(one, Find(text, files_, options, threads), threads);
        }
    }
}

TEST_F(ThreadedFind, UnreadableFileEndsTheRunAtTheSameFile) {
    FileSet files;
    for (std::size_t i = 0; i < files_.Count(); ++i) {
        files.Add(files_.Entry(i).path);
        if (i == 700) files.Add(dir_.Path()); // a folder cannot be read as a file
    }
    files.TickAll();
    const RunReport one = Find("ab", files, {}, 1);
    ASSERT_EQ(one.result.outcome, BatchOutcome::Failed);
    EXPECT_EQ(one.result.filesRead, 701);
    for (const unsigned threads : {2u, 5u})
        ExpectSameRun(one, Find("ab", files, {}, threads), threads);
}

// The stop button pressed while a file is shown ends the run there: its hits
// are not added, no further file is read, the tree is pruned and the notice
// shown, as on one thread.
TEST_F(ThreadedFind, StopEndsTheRunWhereTheWindowIs) {
    for (const int stopAt : {1, 40, 700}) {
        const RunReport one = Find("a", files_, {}, 1, stopAt);
        EXPECT_TRUE(one.result.stopped);
        EXPECT_EQ(one.result.filesRead, stopAt);
        for (const unsigned threads : {2u, 4u})
            ExpectSameRun(one, Find("a", files_, {}, threads, stopAt), threads);
    }
}

// Files found by a walk that is still going are searched as they come; the
// run is the one over the whole set.
TEST_F(ThreadedFind, FilesHandedOverDuringTheRunGiveTheSameRun) {
    CodePageScope page(CodePage::Gbk);
    for (const std::string text : {"ab", "\xD5\x46"}) {
        const RunReport one = Find(text, files_, {}, 1);
        for (const unsigned threads : {1u, 2u, 3u, 8u})
            ExpectSameRun(one, FindWhileWalking(text, files_, {}, threads), threads);
    }
}

// A run's tree without its file nodes that have no hits.
std::vector<std::string> WithHitsOnly(const std::vector<std::string>& tree) {
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < tree.size(); ++i) {
        const bool hitless =
            !tree[i].starts_with("  ") && (i + 1 == tree.size() || !tree[i + 1].starts_with("  "));
        if (!hitless) kept.push_back(tree[i]);
    }
    return kept;
}

// A run that ends before the walk (on an unreadable file, or stopped) tells
// the walk to stop: the walker here waits for that and the test would hang
// without it. Files without hits get no node even then. A walk that finds no
// file makes a run that does nothing.
TEST_F(ThreadedFind, ARunThatEndsEarlyStopsTheWalk) {
    FileSet files;
    for (std::size_t i = 0; i < files_.Count(); ++i) {
        files.Add(files_.Entry(i).path);
        if (i == 300) files.Add(dir_.Path());
    }
    files.TickAll();
    RunReport failed = Find("ab", files, {}, 1);
    ASSERT_NE(WithHitsOnly(failed.tree), failed.tree);
    failed.tree = WithHitsOnly(failed.tree);
    const RunReport stopped = Find("a", files_, {}, 1, 40);
    for (const unsigned threads : {1u, 2u, 5u}) {
        ExpectSameRun(failed, FindWhileWalking("ab", files, {}, threads, 0, false), threads);
        ExpectSameRun(stopped, FindWhileWalking("a", files_, {}, threads, 40, false), threads);
    }

    const RunReport nothing = FindWhileWalking("ab", FileSet(), {}, 2);
    EXPECT_EQ(nothing.result.outcome, BatchOutcome::NotStarted);
    EXPECT_TRUE(nothing.notices.empty());
    EXPECT_TRUE(nothing.tree.empty());
}

// A window stays live while the workers search: the hook is called for every
// file at least, on the calling thread (which Find checks for every report).
TEST_F(ThreadedFind, YieldsForEveryFile) {
    EXPECT_GE(Find("ab", files_, {}, 3).yields, static_cast<int>(files_.Count()));
}

} // namespace
} // namespace kelvara
