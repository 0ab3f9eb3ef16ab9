#include "searchui/HitLocation.h"

#include <optional>
#include <string_view>
#include <vector>

#include "common/AnsiString.h"
#include "editor/MemoComponent.h"
#include "search/SubstringFinder.h"

namespace kelvara {

namespace {

// The match of the regular expression at `start` of the line, or none.
std::optional<RegexHit> MatchAt(std::string_view scanned, std::size_t start,
                                const HitTarget& target) {
    RegexMatcher matcher(*target.regex, target.codePage);
    std::vector<RegexHit> hits;
    matcher.Scan(scanned, hits);
    for (const RegexHit& hit : hits) {
        if (hit.start == start) return hit;
    }
    return std::nullopt;
}

} // namespace

HitSelection LocateHit(const TMemoComponent& view, const HitTarget& target) {
    HitSelection result;
    if (target.line < 1 || target.line > view.LineCount()) return result;
    const int lineOffset = view.PointToOffset({target.line, 1});
    const std::string_view line = view.TextView(lineOffset, view.LineLength(target.line));
    // The blanks a trimming run took off the front of the line.
    const std::size_t lead =
        target.trimmed ? static_cast<std::size_t>(TrimView(line).data() - line.data()) : 0;
    if (target.regex) {
        const std::optional<RegexHit> hit =
            target.column > 0 ? MatchAt(line.substr(lead), target.column - 1, target)
                              : std::nullopt;
        if (!hit) {
            result.place = HitPlace::TextDiffers;
            return result;
        }
        result.place = HitPlace::Found;
        result.selStart = lineOffset - 1 + static_cast<int>(lead + hit->start);
        result.selLength = static_cast<int>(hit->end - hit->start);
        return result;
    }
    if (target.text.empty() && target.column == 0) {
        result.place = HitPlace::Found;
        result.selStart = lineOffset - 1;
        return result;
    }
    const SubstringFinder finder(target.text, target.ignoreCase, target.codePage);
    std::size_t start = SubstringFinder::kNotFound;
    if (target.column > 0) {
        const std::size_t expected = lead + static_cast<std::size_t>(target.column) - 1;
        if (expected + target.text.size() <= line.size() &&
            finder.Find(line.substr(0, expected + target.text.size()), expected) == expected) {
            start = expected;
        }
    } else {
        start = finder.Find(line, lead);
    }
    if (start == SubstringFinder::kNotFound) {
        result.place = HitPlace::TextDiffers;
        return result;
    }
    result.place = HitPlace::Found;
    result.selStart = lineOffset - 1 + static_cast<int>(start);
    result.selLength = static_cast<int>(target.text.size());
    return result;
}

} // namespace kelvara
