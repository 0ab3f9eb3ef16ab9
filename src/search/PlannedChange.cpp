#include "search/PlannedChange.h"

#include <cstring>

namespace kelvara {

namespace {

// Every stretch a replace changes in each candidate line, placed in the
// whole text.
class ChangedLines : public CandidateLines {
public:
    ChangedLines(FileMatch& match, PlannedChange& change, std::vector<std::int32_t>& cutLines)
        : match_(match), change_(change), cutLines_(cutLines) {}
    void Take(std::int32_t number, std::string_view line) override {
        const std::size_t start = static_cast<std::size_t>(line.data() - match_.Text().data());
        LineMatcher& matcher = *match_.MatcherFor(line);
        const std::size_t before = change_.stretches.size();
        for (const Stretch& stretch : matcher.ReplacedStretches(line))
            change_.stretches.push_back(stretch.MovedTo(start + stretch.start));
        if (change_.stretches.size() > before)
            change_.lines.push_back({static_cast<std::size_t>(number), start, start + line.size()});
        if (matcher.LineCutShort()) cutLines_.push_back(number);
    }

private:
    FileMatch& match_;
    PlannedChange& change_;
    std::vector<std::int32_t>& cutLines_;
};

} // namespace

void PlannedChange::Clear() {
    stretches.clear();
    lines.clear();
    text = {};
    nul = false;
    replacementProblem.reset();
}

bool PlanChange(FileMatch& match, std::string_view bytes, const BatchHooks& hooks,
                PlannedChange& change, std::vector<std::int32_t>& cutLines) {
    change.Clear();
    const LineMatcher* matcher = match.Matcher();
    if (matcher == nullptr) return true; // the file's code page cannot hold the text
    ChangedLines lines(match, change, cutLines);
    const std::string_view text = match.Text();
    if (!matcher->SearchFile(text, hooks, lines)) return false;
    if (change.stretches.empty()) return true;
    change.nul = std::memchr(text.data(), '\0', text.size()) != nullptr;
    if (change.nul) return true;
    change.replacementProblem = match.ReplacementProblem();
    if (change.replacementProblem) return true;
    const FileEncoding& encoding = match.Encoding();
    if (encoding.utf16 != Utf16Order::None) {
        change.text = text;
        return true;
    }
    // The diff is one of the file's own bytes, which patch applies.
    change.text = bytes;
    const std::size_t bom = BomBytes(encoding).size();
    for (Stretch& stretch : change.stretches)
        stretch.start += bom;
    for (NumberedLine& line : change.lines) {
        line.start += bom;
        line.end += bom;
    }
    return true;
}

} // namespace kelvara
