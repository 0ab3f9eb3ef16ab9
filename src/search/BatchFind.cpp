#include "search/BatchFind.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

#include "search/BatchNotice.h"
#include "search/BatchSettings.h"
#include "search/FileBuffer.h"
#include "search/LineCursor.h"
#include "search/LineMatcher.h"
#include "search/Matcher.h"
#include "search/SubstringFinder.h"

namespace kelvara {

namespace {

// A stretch of a file without candidates is searched in pieces of this size,
// with a yield between them, so that a window stays live on a huge file.
constexpr std::size_t kYieldStretch = 1u << 20;

// The next occurrence of the search text at or after `from`; npos when there
// is none or a stop was requested.
std::size_t FindNext(std::string_view text, const SubstringFinder& finder, std::size_t patternSize,
                     std::size_t from, const BatchHooks& hooks) {
    while (from < text.size()) {
        const std::size_t end = std::min(text.size(), from + kYieldStretch + patternSize - 1);
        const std::size_t found = finder.Find(text.substr(0, end), from);
        if (found != SubstringFinder::kNotFound) return found;
        if (end == text.size()) break;
        from += kYieldStretch;
        if (hooks.yield) hooks.yield();
        if (hooks.StopRequested()) break;
    }
    return std::string_view::npos;
}

// The text of a file ends at its first NUL byte. The bytes are not passed
// over before the search, so the NUL byte is looked for only as far as the
// lines that hold a candidate.
class TextEnd {
public:
    explicit TextEnd(std::string_view bytes) : bytes_(bytes) {}

    // `line` cut at the end of the text; false when the text ends before `at`.
    bool Cut(std::string_view& line, std::size_t at) {
        const std::size_t lineEnd =
            static_cast<std::size_t>(line.data() - bytes_.data()) + line.size();
        if (checked_ < lineEnd) {
            const void* nul = std::memchr(bytes_.data() + checked_, '\0', lineEnd - checked_);
            checked_ = lineEnd;
            if (nul != nullptr) {
                bytes_ = bytes_.substr(0, static_cast<const char*>(nul) - bytes_.data());
                checked_ = bytes_.size();
            }
        }
        if (at >= bytes_.size()) return false;
        line = line.substr(0, std::min(line.size(), bytes_.size() - (line.data() - bytes_.data())));
        return true;
    }
    bool Reached(std::string_view line) const {
        return static_cast<std::size_t>(line.data() - bytes_.data()) + line.size() >= bytes_.size();
    }

private:
    std::string_view bytes_;
    std::size_t checked_ = 0;
};

// Searches one file. Only the lines that hold an occurrence of the prepared
// search text can hold a hit, so the run jumps from occurrence to occurrence
// (found in the whole file, letter case folded on the fly when it does not
// count) and hands just those lines to the matcher. Returns false when a stop
// was requested.
bool SearchFile(std::string_view text, const std::string& path, const SubstringFinder& finder,
                LineMatcher& matcher, ResultTree& tree, NodeRef fileNode, const BatchHooks& hooks) {
    const std::size_t patternSize = matcher.SearchText().size();
    if (patternSize == 0) return true;
    TextEnd textEnd(text);

    std::optional<LineCursor> cursor;
    for (std::size_t from = 0;;) {
        const std::size_t at = FindNext(text, finder, patternSize, from, hooks);
        if (at == std::string_view::npos) return !hooks.StopRequested();
        if (!cursor) cursor.emplace(text);
        cursor->MoveTo(at);
        std::string_view line = cursor->Line();
        if (!textEnd.Cut(line, at)) return true;
        if (hooks.StopRequested()) return false;
        if (hooks.yield) hooks.yield();
        matcher.FindInLine(line, cursor->Number(), path, tree, fileNode);
        if (textEnd.Reached(line) || !cursor->NextLine()) return true;
        from = cursor->Start();
    }
}

} // namespace

BatchResult RunBatchFind(std::string_view text, std::vector<std::string>& findHistory,
                         const FileSet& files, const MatchOptions& options, ResultTree& tree,
                         const BatchHooks& hooks) {
    BatchResult result;
    if (hooks.stopRequested != nullptr) hooks.stopRequested->store(false);
    if (text.empty()) return result;
    AddToHistory(findHistory, text);
    result.searchText = PrepareSearchText(text, options);
    if (files.Empty()) return result;

    const std::vector<std::string> paths = files.TickedPaths();
    tree.Clear();
    LineMatcher matcher(result.searchText, options);
    const SubstringFinder finder(result.searchText, !options.CaseSensitive);
    FileBuffer buffer;
    for (const std::string& path : paths) {
        // Also between files: a run through many files without a candidate
        // line must still let the window repaint and take the stop button.
        if (hooks.yield) hooks.yield();
        if (hooks.StopRequested()) break;
        if (FileStatus status = buffer.Read(path)) return FailRun(std::move(result), *status);
        ++result.filesRead;
        if (hooks.observer != nullptr) hooks.observer->FileRead(result.filesRead, path);
        const NodeRef fileNode = tree.AppendFileNode(path, result.searchText);
        const std::span<char> bytes = buffer.Bytes();
        const std::string_view text(bytes.data(), bytes.size());
        if (!SearchFile(text, path, finder, matcher, tree, fileNode, hooks)) break;
    }
    result.stopped = hooks.StopRequested();
    PruneFileNodes(tree, hooks.observer);
    result.outcome = BatchOutcome::Finished;
    ShowDoneNotice("查找完毕", {});
    return result;
}

void PruneFileNodes(ResultTree& tree, BatchObserver* observer) {
    if (tree.NodeCount() == 0) return;
    tree.PruneChildlessFileNodes();
    if (observer != nullptr) observer->NodesLeft(tree.NodeCount());
}

} // namespace kelvara
