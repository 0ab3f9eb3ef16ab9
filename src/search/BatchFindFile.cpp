#include "search/BatchFindFile.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "search/LineCursor.h"

namespace kelvara {

namespace {

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

} // namespace

bool SearchFileBytes(std::string_view bytes, const SubstringFinder& finder, std::size_t patternSize,
                     const BatchHooks& hooks, CandidateLines& lines) {
    if (patternSize == 0) return true;
    TextEnd textEnd(bytes);
    std::optional<LineCursor> cursor;
    for (std::size_t from = 0;;) {
        const std::size_t at = FindNext(bytes, finder, patternSize, from, hooks);
        if (at == std::string_view::npos) return !hooks.StopRequested();
        if (!cursor) cursor.emplace(bytes);
        cursor->MoveTo(at);
        std::string_view line = cursor->Line();
        if (!textEnd.Cut(line, at)) return true;
        if (hooks.StopRequested()) return false;
        if (hooks.yield) hooks.yield();
        lines.Take(cursor->Number(), line);
        if (textEnd.Reached(line) || !cursor->NextLine()) return true;
        from = cursor->Start();
    }
}

bool SearchEveryLine(std::string_view bytes, const BatchHooks& hooks, CandidateLines& lines) {
    if (const void* nul = std::memchr(bytes.data(), '\0', bytes.size()))
        bytes = bytes.substr(0, static_cast<const char*>(nul) - bytes.data());
    if (bytes.empty()) return true;
    LineCursor cursor(bytes);
    do {
        if (hooks.StopRequested()) return false;
        if (hooks.yield) hooks.yield();
        lines.Take(cursor.Number(), cursor.Line());
    } while (cursor.NextLine());
    return true;
}

} // namespace kelvara
