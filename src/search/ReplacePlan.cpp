#include "search/ReplacePlan.h"

#include <algorithm>

#include "search/BatchFindFile.h"
#include "search/LineCursor.h"

namespace kelvara {

namespace {

// Lines with chosen hits between two calls of the yield hook: often enough
// for a file of millions of hits, without reading the clock for every line.
constexpr unsigned kLinesPerYield = 64;

// Every hit of each line handed over, placed in the whole text.
class LineStretches : public CandidateLines {
public:
    LineStretches(std::string_view text, LineMatcher& matcher, std::vector<Stretch>& out,
                  std::vector<std::int32_t>& cutLines)
        : text_(text), matcher_(matcher), out_(out), cutLines_(cutLines) {}
    void Take(std::int32_t number, std::string_view line) override {
        const std::size_t start = static_cast<std::size_t>(line.data() - text_.data());
        for (const Stretch& stretch : matcher_.ReplacedStretches(line))
            out_.push_back(stretch.MovedTo(start + stretch.start));
        if (matcher_.LineCutShort()) cutLines_.push_back(number);
    }

private:
    std::string_view text_;
    LineMatcher& matcher_;
    std::vector<Stretch>& out_;
    std::vector<std::int32_t>& cutLines_;
};

} // namespace

bool ChosenStretches(std::string_view text, std::span<const ChosenHit> chosen, LineMatcher& matcher,
                     std::vector<Stretch>& out, const BatchHooks& hooks) {
    out.clear();
    LineCursor cursor(text);
    unsigned lines = 0;
    for (std::size_t i = 0; i < chosen.size();) {
        if (++lines % kLinesPerYield == 0 && hooks.yield) hooks.yield();
        const std::int32_t number = chosen[i].line;
        if (!cursor.MoveToLine(number)) return false;
        if (cursor.Number() != number) return false; // not in line order
        const std::string_view line = cursor.Line();
        const std::size_t start = cursor.Start();
        const std::span<const std::int32_t> columns = matcher.Scan(line);
        const std::size_t first = out.size();
        for (; i < chosen.size() && chosen[i].line == number; ++i) {
            if (!std::binary_search(columns.begin(), columns.end(), chosen[i].column)) return false;
            const Stretch stretch = matcher.StretchOf(line, chosen[i].column);
            out.push_back(stretch.MovedTo(start + stretch.start));
        }
        KeepApart(out, first);
    }
    return true;
}

bool AllStretches(std::string_view text, LineMatcher& matcher, const BatchHooks& hooks,
                  std::vector<Stretch>& out, std::vector<std::int32_t>& cutLines) {
    out.clear();
    cutLines.clear();
    LineStretches lines(text, matcher, out, cutLines);
    return matcher.SearchFile(text, hooks, lines);
}

} // namespace kelvara
