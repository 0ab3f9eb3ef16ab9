// The in-document search with a regular expression: matches are looked for
// row by row, as the batch search does line by line.
#include "editor/LineBreaks.h"
#include "syntax/SourceEdit.h"

namespace kelvara {

void TSourceEdit::SetSearchRegex(std::shared_ptr<const RegexPattern> pattern,
                                 std::shared_ptr<const RegexReplacement> replacement) {
    regex_ = std::move(pattern);
    regexReplacement_ = std::move(replacement);
    regexMatcher_ = regex_ ? std::make_unique<RegexMatcher>(*regex_, GetCodePage()) : nullptr;
    regexLimitRow_ = 0;
}

// The matches that lie within the 0-based offsets from..to, each row searched
// from its start (so that what stands before `from` in the row is seen by
// lookbehinds and anchors) or, in the row of `from`, from there on.
std::vector<TSourceEdit::Hit>
TSourceEdit::FindRegexHits(int from, int to, HitsWanted wanted,
                           std::vector<std::string>* expansions) const {
    std::vector<Hit> found;
    if (expansions != nullptr) expansions->clear();
    regexLimitRow_ = 0;
    const std::string_view text = TextView(1, TextLength());
    if (from < 0 || to < from || from >= static_cast<int>(text.size())) return found;
    const std::size_t previousBreak =
        from > 0 ? text.rfind('\n', from - 1) : std::string_view::npos;
    std::size_t rowStart = previousBreak == std::string_view::npos ? 0 : previousBreak + 1;
    std::vector<RegexHit> hits;
    while (rowStart <= static_cast<std::size_t>(to)) {
        std::size_t rowEnd = std::min(text.find('\n', rowStart), text.size());
        std::string_view line = text.substr(rowStart, rowEnd - rowStart);
        if (line.ends_with('\r')) line.remove_suffix(1);
        const std::size_t lineFrom =
            static_cast<std::size_t>(from) > rowStart ? from - rowStart : 0;
        if (!regexMatcher_->Scan(line, hits, expansions != nullptr, lineFrom) &&
            regexLimitRow_ == 0)
            regexLimitRow_ = OffsetToPoint(static_cast<int>(rowStart) + 1).Row;
        for (std::size_t k = 0; k < hits.size(); ++k) {
            const int start = static_cast<int>(rowStart + hits[k].start);
            const int length = static_cast<int>(hits[k].end - hits[k].start);
            if (start + length - 1 > to) return found; // later hits lie beyond too
            if (wanted == HitsWanted::Last) {
                found.clear();
                if (expansions != nullptr) expansions->clear();
            }
            found.push_back({start, length});
            if (expansions != nullptr) {
                expansions->emplace_back();
                regexReplacement_->Append(*regexMatcher_, line, k, expansions->back());
            }
            if (wanted == HitsWanted::First) return found;
        }
        if (rowEnd >= text.size()) break;
        rowStart = rowEnd + 1;
    }
    return found;
}

// As ReplaceFound, each match replaced by its own expansion.
void TSourceEdit::ReplaceRegexFound(bool all) {
    if (!regexReplacement_) return;
    const bool forward = (searchOptions_ & soForward) != 0;
    std::vector<std::string> expansions;
    if (!all) {
        if (!SelectionHolds({}) && !FindNext({})) return;
        const int start = SelStart();
        const int oldLength = SelLength();
        FindRegexHits(start, start + oldLength - 1, HitsWanted::First, &expansions);
        if (expansions.empty()) return;
        const int inserted = ReplaceAt(start, oldLength, expansions.front());
        searchRangeEnd_ += inserted - oldLength;
        searchResume_ =
            forward ? start + inserted - searchRangeStart_ : searchRangeEnd_ - start + 1;
        SetSelStart(start + inserted);
        return;
    }
    const int rangeStart = std::max(searchRangeStart_, 0);
    const int rangeEnd = std::min(searchRangeEnd_, TextLength() - 1);
    std::vector<Hit> hits;
    if (forward) {
        hits = FindRegexHits(rangeStart + searchResume_, rangeEnd, HitsWanted::All, &expansions);
    } else if (searchOptions_ & soBackward) {
        hits = FindRegexHits(rangeStart, rangeEnd - searchResume_, HitsWanted::All, &expansions);
    }
    searchResume_ = 0;
    if (hits.empty()) return;
    const int first = hits.front().Start;
    const int last = hits.back().Start + hits.back().Length;
    const std::string_view text = TextView(first + 1, last - first);
    std::string replacement;
    int copied = first;
    for (std::size_t k = 0; k < hits.size(); ++k) {
        replacement.append(text.substr(copied - first, hits[k].Start - copied));
        replacement.append(expansions[k]);
        copied = hits[k].Start + hits[k].Length;
    }
    const int inserted = ReplaceAt(first, last - first, replacement);
    searchRangeEnd_ += inserted - (last - first);
    // The caret ends after the text that replaced the last hit in the search direction.
    const int firstInserted = static_cast<int>(AdjustLineBreaks(expansions.front()).size());
    SetSelStart(forward ? first + inserted : first + firstInserted);
    ScrollToCaret();
}

} // namespace kelvara
