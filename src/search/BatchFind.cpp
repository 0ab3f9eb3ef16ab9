#include "search/BatchFind.h"

#include <algorithm>
#include <new>
#include <span>
#include <thread>

#include "common/MessageCatalogue.h"
#include "search/BatchFindFile.h"
#include "search/BatchFindParallel.h"
#include "search/BatchNotice.h"
#include "search/BatchSettings.h"
#include "search/FileBuffer.h"
#include "search/FileMatch.h"
#include "search/LineMatcher.h"
#include "search/RunTexts.h"

namespace kelvara {

namespace {

// Matches each candidate line straight into the tree. The file's identity
// goes with its first hit: only a file with hits may be replaced, which
// checks it, and a run's many files without hits keep none.
class TreeLines : public CandidateLines {
public:
    TreeLines(FileMatch& match, const std::string& path, const FileIdentity& identity,
              ResultTree& tree, NodeRef fileNode, std::vector<CutLine>& cutLines)
        : match_(match), path_(path), identity_(identity), tree_(tree), fileNode_(fileNode),
          cutLines_(cutLines) {}
    void Take(std::int32_t lineNumber, std::string_view line) override {
        LineMatcher& matcher = *match_.MatcherFor(line);
        matcher.FindInLine(line, lineNumber, path_, tree_, fileNode_);
        if (matcher.LineCutShort()) cutLines_.push_back({path_, lineNumber});
        if (!identified_ && tree_.ChildCount(fileNode_) > 0) {
            tree_.SetIdentity(fileNode_, identity_);
            identified_ = true;
        }
    }

private:
    FileMatch& match_;
    const std::string& path_;
    const FileIdentity& identity_;
    ResultTree& tree_;
    NodeRef fileNode_;
    std::vector<CutLine>& cutLines_;
    bool identified_ = false;
};

// The node of a file without hits is shown while its file is searched and
// goes when the next file's node comes: a run over a large tree keeps only
// the nodes that pruning would keep, and the one at hand.
void DropChildlessLast(ResultTree& tree) {
    const std::uint32_t files = tree.FileNodeCount();
    const NodeRef last{files - 1, NodeRef::kNone};
    if (files > 0 && tree.ChildCount(last) == 0) tree.Delete(last);
}

// A run that a file ends shows every file read before it, unpruned: the
// nodes dropped as the run went on come back in their places. The files read
// are the feed's first ones, in the tree's order; those without a node are
// the dropped ones and the unreadable ones the result lists, also in order.
void PutBackChildless(PathFeed& paths, const BatchResult& result, const RunTexts& texts,
                      CodePage fallback, ResultTree& tree) {
    std::vector<ResultTree::ChildlessFileNode> nodes;
    std::uint32_t place = 0;
    std::size_t unreadable = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(result.filesRead); ++i) {
        const std::string* path = paths.Wait(i);
        if (path == nullptr) break;
        if (place < tree.FileNodeCount() && tree.Caption({place, NodeRef::kNone}) == *path) {
            ++place;
        } else if (unreadable < result.encodingFiles.size() &&
                   result.encodingFiles[unreadable].path == *path) {
            ++unreadable;
        } else {
            nodes.push_back({place, *path});
        }
    }
    tree.InsertChildlessFileNodes(nodes, texts.In(fallback).searchText, fallback);
}

// One file after the other on the calling thread. Returns the error of the
// file that ended the run.
FileStatus FindInTurn(PathFeed& paths, const RunTexts& texts, const MatchOptions& options,
                      CodePage fallback, ResultTree& tree, const BatchHooks& hooks,
                      BatchResult& result) {
    FileMatch match(texts, options, fallback);
    FileBuffer buffer;
    for (std::size_t index = 0;; ++index) {
        // Also between files: a run through many files without a candidate
        // line must still let the window repaint and take the stop button.
        if (hooks.yield) hooks.yield();
        if (hooks.StopRequested()) break;
        const std::string* listed = paths.Wait(index);
        if (listed == nullptr) break;
        const std::string& path = *listed;
        if (FileStatus status = buffer.Read(path)) return status;
        ++result.filesRead;
        if (hooks.observer != nullptr) hooks.observer->FileRead(result.filesRead, path);
        const std::span<char> bytes = buffer.Bytes();
        if (std::optional<std::string> reason = match.Take({bytes.data(), bytes.size()})) {
            result.encodingFiles.push_back({path, std::move(*reason)});
            continue;
        }
        if (hooks.reportEncodings && hooks.observer != nullptr)
            hooks.observer->EncodingFound(path, match.Encoding());
        try {
            DropChildlessLast(tree);
            const NodeRef fileNode =
                tree.AppendFileNode(path, match.Texts().searchText, match.Page());
            const LineMatcher* matcher = match.Matcher();
            if (matcher == nullptr) continue;
            TreeLines lines(match, path, buffer.Identity(), tree, fileNode, result.cutLines);
            const bool finished = matcher->SearchFile(match.Text(), hooks, lines);
            // A line beyond ASCII may have told the file's code page meanwhile.
            tree.SetCodePage(fileNode, match.Page());
            if (!finished) break;
        } catch (const std::bad_alloc&) {
            // A tree that cannot take a file's hits ends the run at that
            // file, as an unreadable file does; the tree keeps what it took.
            return OutOfMemory(path);
        }
    }
    return std::nullopt;
}

// Appends one file's findings as FindInTurn would have: the yield hook before
// each line, the stop flag checked there. False when a stop was requested.
bool AppendFindings(const FileFindings& findings, const std::string& path, ResultTree& tree,
                    NodeRef fileNode, const BatchHooks& hooks) {
    const std::string& searchText = tree.SearchText(fileNode);
    const std::vector<FoundHit>& hits = findings.hits;
    tree.ReserveHits(fileNode, hits.size());
    for (std::size_t k = 0; k < hits.size();) {
        const std::int32_t line = hits[k].line;
        if (hooks.StopRequested()) return false;
        if (hooks.yield) hooks.yield();
        for (; k < hits.size() && hits[k].line == line; ++k)
            tree.AppendFindHit(fileNode, {path, line, hits[k].column, searchText});
    }
    return true;
}

// The files read and matched on `threads` threads, their findings put into
// the tree in the order of the paths by the calling thread; a file without
// hits gets a node, kept until the next file's comes, only when
// `emptyFileNodes` says so.
FileStatus FindInParallel(PathFeed& paths, const RunTexts& texts, const MatchOptions& options,
                          CodePage fallback, ResultTree& tree, const BatchHooks& hooks,
                          unsigned threads, bool emptyFileNodes, BatchResult& result) {
    ParallelFind find(paths, texts, options, fallback, hooks, threads);
    for (;;) {
        if (hooks.yield) hooks.yield();
        const FileFindings* findings = find.Next();
        if (findings == nullptr) break;
        if (findings->error) return findings->error; // the workers stop as `find` goes
        const std::string& path = *findings->path;
        ++result.filesRead;
        if (hooks.observer != nullptr) hooks.observer->FileRead(result.filesRead, path);
        if (findings->unreadable) {
            result.encodingFiles.push_back({path, *findings->unreadable});
            continue;
        }
        if (hooks.reportEncodings && hooks.observer != nullptr)
            hooks.observer->EncodingFound(path, findings->encoding);
        for (const std::int32_t line : findings->cutLines)
            result.cutLines.push_back({path, line});
        if (findings->hits.empty() && !emptyFileNodes) continue;
        try {
            DropChildlessLast(tree);
            const CodePage codePage = findings->codePage;
            const NodeRef fileNode =
                tree.AppendFileNode(path, texts.In(codePage).searchText, codePage);
            if (!findings->hits.empty()) tree.SetIdentity(fileNode, findings->identity);
            if (!AppendFindings(*findings, path, tree, fileNode, hooks)) break;
        } catch (const std::bad_alloc&) {
            return OutOfMemory(path);
        }
    }
    return std::nullopt;
}

unsigned ThreadCount(unsigned wanted) {
    return wanted != 0 ? wanted : std::max(std::thread::hardware_concurrency(), 1u);
}

// The text joins the history; false when it is empty.
bool StartRun(std::string_view text, std::vector<std::string>& findHistory,
              const BatchHooks& hooks) {
    if (hooks.stopRequested != nullptr) hooks.stopRequested->store(false);
    if (text.empty()) return false;
    AddToHistory(findHistory, text);
    return true;
}

// The run over the feed. With `emptyFileNodes` false, only files with hits
// get a node, also when a file ends the run; else every file does while it is
// searched, and the tree makes room for `files` nodes at once rather than
// doubling as it grows.
BatchResult FindInFeed(std::string_view text, PathFeed& paths, const MatchOptions& options,
                       ResultTree& tree, const BatchHooks& hooks, unsigned threads,
                       bool emptyFileNodes, std::size_t files = 0) {
    const RunTexts texts(text, {}, options);
    // A file of nothing but ASCII could be of any code page: it takes the default.
    const CodePage fallback = TextCodePage();
    BatchResult result;
    result.searchText = texts.SearchText();
    if (const std::optional<PatternError>& error = texts.RegexError()) {
        paths.Cancel();
        return FailPattern(hooks.observer, std::move(result), *error);
    }
    tree.Clear();
    try {
        tree.ReserveFileNodes(files);
    } catch (const std::bad_alloc&) {
        // The tree grows file by file instead.
    }
    const FileStatus error = threads > 1
                                 ? FindInParallel(paths, texts, options, fallback, tree, hooks,
                                                  threads, emptyFileNodes, result)
                                 : FindInTurn(paths, texts, options, fallback, tree, hooks, result);
    paths.Cancel(); // a walk still listing files for a failed or stopped run ends
    if (error && !emptyFileNodes) tree.PruneChildlessFileNodes();
    try {
        if (error && emptyFileNodes) PutBackChildless(paths, result, texts, fallback, tree);
    } catch (const std::bad_alloc&) {
        // The tree shows the files with hits, and the one at hand.
    }
    if (error) return FailRun(hooks.observer, std::move(result), *error);
    result.stopped = hooks.StopRequested();
    PruneFileNodes(tree, hooks.observer);
    result.outcome = BatchOutcome::Finished;
    ShowDoneNotice(hooks.observer, Translate("kelvara::BatchNotice", "查找完毕"), {}, {},
                   result.encodingFiles, result.cutLines);
    return result;
}

} // namespace

BatchResult RunBatchFind(std::string_view text, std::vector<std::string>& findHistory,
                         const FileSet& files, const MatchOptions& options, ResultTree& tree,
                         const BatchHooks& hooks, unsigned threads) {
    if (!StartRun(text, findHistory, hooks) || files.Empty()) return {};
    std::vector<const std::string*> ticked = files.TickedPathsInPlace();
    const std::size_t count = ticked.size();
    threads = static_cast<unsigned>(std::min<std::size_t>(ThreadCount(threads), count));
    PathFeed paths(std::move(ticked));
    return FindInFeed(text, paths, options, tree, hooks, threads, true, count);
}

BatchResult RunBatchFind(std::string_view text, std::vector<std::string>& findHistory,
                         PathFeed& paths, const MatchOptions& options, ResultTree& tree,
                         const BatchHooks& hooks, unsigned threads) {
    if (!StartRun(text, findHistory, hooks) || paths.Wait(0) == nullptr) {
        paths.Cancel();
        return {};
    }
    return FindInFeed(text, paths, options, tree, hooks, ThreadCount(threads), false);
}

void PruneFileNodes(ResultTree& tree, BatchObserver* observer) {
    if (tree.NodeCount() == 0) return;
    tree.PruneChildlessFileNodes();
    if (observer != nullptr) observer->NodesLeft(tree.NodeCount());
}

} // namespace kelvara
