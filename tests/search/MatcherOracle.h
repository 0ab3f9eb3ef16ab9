#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/AnsiString.h"
#include "common/CodePage.h"
#include "search/Matcher.h"

// The line matcher's results worked out the plain way, character start by
// character start: what the seeded random test and the fuzz target compare
// the fast matcher with.
namespace kelvara::test {

// The character starts of `text`, classified from its first byte.
inline std::vector<std::size_t> CharStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i))
        starts.push_back(i);
    return starts;
}

// Every character start of the prepared line where the search text stands:
// overlapping occurrences all count, none starts inside a character.
inline std::vector<std::int32_t> ReferenceScan(const std::string& search, std::string_view line,
                                               const MatchOptions& options) {
    std::vector<std::int32_t> columns;
    if (search.empty()) return columns;
    const std::string prepared = PrepareLine(line, options, TextCodePage());
    for (const std::size_t start : CharStarts(prepared)) {
        if (prepared.compare(start, search.size(), search) != 0) continue;
        const auto column = static_cast<std::int32_t>(start + 1);
        if (!options.WholeWord || IsWholeWordHit(prepared, column, search.size()))
            columns.push_back(column);
    }
    return columns;
}

struct ReplaceResult {
    std::string line;
    std::vector<std::string> captions;
};

inline ReplaceResult ReferenceReplace(const std::string& search, const std::string& replacement,
                                      const std::string& line, const MatchOptions& options) {
    ReplaceResult result;
    if (!options.WholeWord) {
        // Left to right without overlaps, letters compared folded unless case counts.
        const std::string folded =
            options.CaseSensitive ? line : LowerCaseLetters(line, TextCodePage());
        std::size_t copied = 0;
        for (const std::size_t start : CharStarts(line)) {
            if (search.empty() || start < copied ||
                folded.compare(start, search.size(), search) != 0)
                continue;
            result.line += line.substr(copied, start - copied) + replacement;
            copied = start + search.size();
        }
        result.line += line.substr(copied);
        if (AnsiPos(replacement, result.line) > 0) result.captions.push_back(result.line);
        return result;
    }
    const std::size_t front = options.IgnoreSpaces ? TrimView(line).data() - line.data() : 0;
    result.line = line;
    std::ptrdiff_t shift = 0;
    std::size_t replacedEnd = 0;
    for (const std::int32_t column : ReferenceScan(search, line, options)) {
        const std::size_t start = front + column - 1;
        if (start < replacedEnd) continue;
        result.line.replace(start + shift, search.size(), replacement);
        shift += static_cast<std::ptrdiff_t>(replacement.size() - search.size());
        replacedEnd = start + search.size();
        result.captions.push_back(result.line);
    }
    return result;
}

} // namespace kelvara::test
