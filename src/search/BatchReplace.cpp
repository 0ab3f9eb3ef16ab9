#include "search/BatchReplace.h"

#include <cstring>
#include <set>
#include <utility>

#include <sys/stat.h>

#include "common/FileAccess.h"
#include "common/LineFile.h"
#include "search/BatchNotice.h"
#include "search/BatchSettings.h"
#include "search/LineMatcher.h"
#include "search/Matcher.h"

namespace kelvara {

namespace {

// The files a run has rewritten, by device and inode: a file reached again
// through a link or another spelling of its path is not replaced twice (a
// replacement that holds the search text would grow at every visit).
class RewrittenFiles {
public:
    void Add(const std::string& path) {
        struct stat info {};
        if (StatPath(path, info)) ids_.emplace(info.st_dev, info.st_ino);
    }
    bool Contains(const std::string& path) const {
        struct stat info {};
        return !ids_.empty() && StatPath(path, info) && ids_.contains({info.st_dev, info.st_ino});
    }

private:
    std::set<std::pair<dev_t, ino_t>> ids_;
};

// The buffers of a run, reused from file to file.
struct ReplaceBuffers {
    std::string bytes;
    std::vector<LineSpan> lines;
    std::string newLine;
    std::string output;
};

// Runs the replace step over the lines of one file. Returns true when something
// was replaced, the new content then in `buffers.output`: the bytes before the
// first changed line as they were, then every line with its own break. Lines
// after a stop are kept as they were.
bool ReplaceInFile(const std::string& path, std::string_view replacement, LineMatcher& matcher,
                   ResultTree& tree, NodeRef fileNode, const BatchHooks& hooks,
                   ReplaceBuffers& buffers) {
    SplitLines(buffers.bytes, buffers.lines);
    bool changed = false;
    std::size_t i = 0;
    for (; i < buffers.lines.size(); ++i) {
        if (hooks.StopRequested()) break;
        if (hooks.yield) hooks.yield();
        const LineSpan& span = buffers.lines[i];
        const std::string_view line(buffers.bytes.data() + span.start, span.length);
        const auto number = static_cast<std::int32_t>(i + 1);
        if (matcher.ReplaceLine(line, replacement, number, path, tree, fileNode, buffers.newLine)) {
            if (!changed) buffers.output.assign(buffers.bytes, 0, span.start);
            changed = true;
            AppendLine(buffers.output, buffers.newLine, span.end);
        } else if (changed) {
            AppendLine(buffers.output, line, span.end);
        }
    }
    if (changed && i < buffers.lines.size()) {
        buffers.output.append(buffers.bytes, buffers.lines[i].start);
    }
    return changed;
}

} // namespace

BatchResult RunBatchReplace(std::string_view text, std::string_view replacement,
                            std::vector<std::string>& findHistory,
                            std::vector<std::string>& replaceHistory, const FileSet& files,
                            const MatchOptions& options, ResultTree& tree,
                            const BatchHooks& hooks) {
    BatchResult result;
    if (!ConfirmReplace()) return result;
    if (hooks.stopRequested != nullptr) hooks.stopRequested->store(false);
    if (text.empty()) return result;
    AddToHistory(findHistory, text);
    result.searchText = PrepareSearchText(text, options);
    if (files.Empty() || replacement.empty()) return result;
    AddToHistory(replaceHistory, replacement);

    const std::vector<std::string> paths = files.TickedPaths();
    tree.Clear();
    LineMatcher matcher(result.searchText, options);
    ReplaceBuffers buffers;
    RewrittenFiles rewritten;
    for (const std::string& path : paths) {
        // Also between files: files with NUL bytes or without lines have no
        // line to yield at.
        if (hooks.yield) hooks.yield();
        if (hooks.StopRequested()) break;
        if (FileStatus status = ReadFileBytes(path, buffers.bytes)) {
            return FailRun(std::move(result), *status);
        }
        ++result.filesRead;
        if (hooks.observer != nullptr) hooks.observer->FileRead(result.filesRead, path);
        const NodeRef fileNode = tree.AppendFileNode(path, result.searchText);
        if (rewritten.Contains(path)) continue;
        if (std::memchr(buffers.bytes.data(), '\0', buffers.bytes.size()) != nullptr) {
            result.nulFiles.push_back(path);
            continue;
        }
        if (!ReplaceInFile(path, replacement, matcher, tree, fileNode, hooks, buffers)) continue;
        if (FileStatus status = WriteFileAtomic(path, buffers.output)) {
            // Nothing was replaced in this file: none of its lines is listed.
            for (std::uint32_t hit = tree.ChildCount(fileNode); hit > 0; --hit)
                tree.Delete({fileNode.file, hit - 1});
            return FailRun(std::move(result), *status);
        }
        rewritten.Add(path);
        ++result.filesWritten;
    }
    result.stopped = hooks.StopRequested();
    result.outcome = BatchOutcome::Finished;
    ShowDoneNotice("替换完毕", result.nulFiles);
    return result;
}

} // namespace kelvara
