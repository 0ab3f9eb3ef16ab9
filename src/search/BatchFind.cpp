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

namespace kelvara {

namespace {

// A stretch of a file without candidates is searched in pieces of this size,
// with a yield between them, so that a window stays live on a huge file.
constexpr std::size_t kYieldStretch = 1u << 20;

bool StopRequested(const BatchHooks& hooks) {
    return hooks.stopRequested != nullptr && hooks.stopRequested->load(std::memory_order_relaxed);
}

// The next occurrence of `pattern` at or after `from`; npos when there is none
// or a stop was requested.
std::size_t FindNext(std::string_view text, std::string_view pattern, std::size_t from,
                     const BatchHooks& hooks) {
    while (from < text.size()) {
        const std::size_t end = std::min(text.size(), from + kYieldStretch + pattern.size() - 1);
        const void* found = memmem(text.data() + from, end - from, pattern.data(), pattern.size());
        if (found != nullptr) return static_cast<const char*>(found) - text.data();
        if (end == text.size()) break;
        from += kYieldStretch;
        if (hooks.yield) hooks.yield();
        if (StopRequested(hooks)) break;
    }
    return std::string_view::npos;
}

// A..Z to a..z, sixteen bytes at a time, up to the first NUL byte (where the
// text of a file ends); returns the length of that text. Every search without
// letter case passes each byte of every file through here.
std::size_t FoldAsciiCapitals(std::span<char> bytes) {
    using Block = unsigned char __attribute__((vector_size(16)));
    const Block zero = {};
    std::size_t i = 0;
    for (; i + sizeof(Block) <= bytes.size(); i += sizeof(Block)) {
        Block block;
        std::memcpy(&block, bytes.data() + i, sizeof block);
        const auto nul = block == zero; // each byte -1 where the block holds a NUL
        std::uint64_t halves[2];
        std::memcpy(halves, &nul, sizeof halves);
        if ((halves[0] | halves[1]) != 0) break;
        const auto capital = static_cast<Block>(block - 'A' < 26); // unsigned: wraps below 'A'
        block |= capital & 0x20;
        std::memcpy(bytes.data() + i, &block, sizeof block);
    }
    for (; i < bytes.size() && bytes[i] != '\0'; ++i) {
        if (bytes[i] >= 'A' && bytes[i] <= 'Z') bytes[i] = static_cast<char>(bytes[i] + 32);
    }
    return i;
}

// The text of a file ends at its first NUL byte. When letter case counts, the
// bytes are not passed over before the search, so the NUL byte is looked for
// only as far as the lines that hold a candidate.
class TextEnd {
public:
    explicit TextEnd(std::string_view bytes, bool known)
        : bytes_(bytes), checked_(known ? bytes.size() : 0) {}

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
    std::size_t checked_;
};

// Searches one file. Only the lines that hold an occurrence of the prepared
// search text can hold a hit, so the run jumps from occurrence to occurrence
// and hands just those lines to the matcher. When letter case does not count,
// the bytes are lower-cased in place first: the matcher lower-cases every line
// anyway, so the hits are the same. Returns false when a stop was requested.
bool SearchFile(std::span<char> bytes, const std::string& path, LineMatcher& matcher,
                ResultTree& tree, NodeRef fileNode, const BatchHooks& hooks) {
    const std::string_view pattern = matcher.SearchText();
    if (pattern.empty()) return true;
    const bool folded = !matcher.Options().CaseSensitive;
    const std::string_view text(bytes.data(), folded ? FoldAsciiCapitals(bytes) : bytes.size());
    TextEnd textEnd(text, folded);

    std::optional<LineCursor> cursor;
    for (std::size_t from = 0;;) {
        const std::size_t at = FindNext(text, pattern, from, hooks);
        if (at == std::string_view::npos) return !StopRequested(hooks);
        if (!cursor) cursor.emplace(text);
        cursor->MoveTo(at);
        std::string_view line = cursor->Line();
        if (!textEnd.Cut(line, at)) return true;
        if (StopRequested(hooks)) return false;
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
    FileBuffer buffer;
    for (const std::string& path : paths) {
        if (StopRequested(hooks)) break;
        if (FileStatus status = buffer.Read(path)) return FailRun(std::move(result), *status);
        ++result.filesRead;
        if (hooks.observer != nullptr) hooks.observer->FileRead(result.filesRead, path);
        const NodeRef fileNode = tree.AppendFileNode(path, result.searchText);
        if (!SearchFile(buffer.Bytes(), path, matcher, tree, fileNode, hooks)) break;
    }
    result.stopped = StopRequested(hooks);
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
