#include <algorithm>

#include "common/AnsiString.h"
#include "common/TextCompare.h"
#include "editor/LineBreaks.h"
#include "syntax/SourceEdit.h"

namespace kelvara {

void TSourceEdit::SetSearchOptions(std::uint8_t value) {
    searchOptions_ = value;
    if (value == 0) searchRangeStart_ = searchRangeEnd_ = searchResume_ = 0;
    if (value & soSelection) {
        searchRangeStart_ = SelStart();
        searchRangeEnd_ = SelStart() + SelLength() - 1;
    }
    if (value & soWholeText) {
        searchRangeStart_ = 0;
        searchRangeEnd_ = TextLength() - 1;
    }
    if (value & soFromCaret) {
        // Backward, the search ends before the caret, never at the character after it.
        if (value & soBackward) {
            searchRangeEnd_ = SelStart() - 1;
        } else {
            searchRangeStart_ = SelStart();
        }
    }
}

// Every hit of the pattern that starts and ends on a character boundary
// (a CR LF pair is one) and lies within the 0-based offsets from..to, in
// text order; overlapping hits included. With `firstOnly`, the first.
std::vector<TSourceEdit::Hit> TSourceEdit::FindHits(std::string_view pattern, int from, int to,
                                                    HitsWanted wanted) const {
    if (regex_) return FindRegexHits(from, to, wanted);
    std::vector<Hit> hits;
    const int length = static_cast<int>(pattern.size());
    if (length == 0 || from < 0 || to - from + 1 < length) return hits;
    const bool matchCase = (searchOptions_ & soMatchCase) != 0;
    const std::string_view text = TextView(1, TextLength());
    auto unitAt = [&](int i) {
        if (text[i] == '\r' && i + 1 < static_cast<int>(text.size()) && text[i + 1] == '\n')
            return 2;
        // An ASCII byte is a character of its own in either code page.
        if (static_cast<unsigned char>(text[i]) < 0x80) return 1;
        return CharLengthAt(i + 1);
    };
    // Character boundaries are known only from a row start on.
    const std::size_t rowBreak = from > 0 ? text.rfind('\n', from - 1) : std::string_view::npos;
    int s = rowBreak == std::string_view::npos ? 0 : static_cast<int>(rowBreak) + 1;
    while (s < from)
        s += unitAt(s);
    const auto first = static_cast<unsigned char>(LowerByte(pattern[0]));
    for (; s + length - 1 <= to; s += unitAt(s)) {
        if (static_cast<unsigned char>(LowerByte(text[s])) != first) continue;
        const std::string_view candidate = text.substr(s, length);
        if (matchCase ? candidate != pattern
                      : CompareTextFolded(candidate, pattern, GetCodePage()) != 0)
            continue;
        int end = s;
        while (end < s + length)
            end += unitAt(end);
        if (end != s + length) continue;
        if (wanted == HitsWanted::Last) hits.clear(); // a backward step needs no other
        hits.push_back({s, length});
        if (wanted == HitsWanted::First) break;
    }
    return hits;
}

bool TSourceEdit::FindNext(std::string_view text) {
    const bool forward = (searchOptions_ & soForward) != 0;
    const bool backward = (searchOptions_ & soBackward) != 0;
    // A range made before later edits is cut to the text.
    const int rangeStart = std::max(searchRangeStart_, 0);
    const int rangeEnd = std::min(searchRangeEnd_, TextLength() - 1);
    std::vector<Hit> hits;
    if (forward) {
        hits = FindHits(text, rangeStart + searchResume_, rangeEnd, HitsWanted::First);
    } else if (backward) {
        hits = FindHits(text, rangeStart, rangeEnd - searchResume_, HitsWanted::Last);
    }
    if (hits.empty()) {
        searchResume_ = 0;
        return false;
    }
    const Hit hit = forward ? hits.front() : hits.back();
    SetSelStart(hit.Start);
    SetSelLength(hit.Length);
    searchResume_ =
        forward ? hit.Start + hit.Length - searchRangeStart_ : searchRangeEnd_ - hit.Start + 1;
    ScrollToCaret();
    return true;
}

// True when the selection is a hit of the pattern under the options.
bool TSourceEdit::SelectionHolds(std::string_view pattern) const {
    if (regex_) {
        const std::vector<Hit> hits =
            FindRegexHits(SelStart(), SelStart() + SelLength() - 1, HitsWanted::First);
        return !hits.empty() && hits.front().Start == SelStart() &&
               hits.front().Length == SelLength();
    }
    if (SelLength() != static_cast<int>(pattern.size())) return false;
    const std::vector<Hit> hits =
        FindHits(pattern, SelStart(), SelStart() + SelLength() - 1, HitsWanted::First);
    return !hits.empty() && hits.front().Start == SelStart();
}

// Replaces 0-based start..start+length-1 and returns the length inserted.
int TSourceEdit::ReplaceAt(int start, int length, std::string_view newText) {
    TMCRange span(this, start + 1, start + length);
    span.SetText(newText);
    return span.RLength();
}

void TSourceEdit::ReplaceFound(std::string_view oldText, std::string_view newText, bool all) {
    if (regex_) return ReplaceRegexFound(all);
    const bool forward = (searchOptions_ & soForward) != 0;
    const int oldLength = static_cast<int>(oldText.size());
    if (!all) {
        if (!SelectionHolds(oldText) && !FindNext(oldText)) return;
        const int start = SelStart();
        const int inserted = ReplaceAt(start, SelLength(), newText);
        searchRangeEnd_ += inserted - oldLength;
        searchResume_ =
            forward ? start + inserted - searchRangeStart_ : searchRangeEnd_ - start + 1;
        SetSelStart(start + inserted);
        return;
    }
    // Every hit from the resume point on, taken greedily in the search
    // direction, goes in one replacement (one undo step, one re-scan).
    const int rangeStart = std::max(searchRangeStart_, 0);
    const int rangeEnd = std::min(searchRangeEnd_, TextLength() - 1);
    std::vector<Hit> hits;
    if (forward) {
        for (const Hit& hit :
             FindHits(oldText, rangeStart + searchResume_, rangeEnd, HitsWanted::All)) {
            if (hits.empty() || hit.Start >= hits.back().Start + oldLength) hits.push_back(hit);
        }
    } else if (searchOptions_ & soBackward) {
        const std::vector<Hit> found =
            FindHits(oldText, rangeStart, rangeEnd - searchResume_, HitsWanted::All);
        for (auto hit = found.rbegin(); hit != found.rend(); ++hit) {
            if (hits.empty() || hit->Start + oldLength <= hits.back().Start) hits.push_back(*hit);
        }
        std::reverse(hits.begin(), hits.end());
    }
    searchResume_ = 0;
    if (hits.empty()) return;
    const int first = hits.front().Start;
    const int last = hits.back().Start + oldLength;
    const std::string_view text = TextView(first + 1, last - first);
    std::string replacement;
    int copied = first;
    for (const Hit& hit : hits) {
        replacement.append(text.substr(copied - first, hit.Start - copied));
        replacement.append(newText);
        copied = hit.Start + oldLength;
    }
    const int inserted = ReplaceAt(first, last - first, replacement);
    searchRangeEnd_ += inserted - (last - first);
    // The caret ends after the text that replaced the last hit in the search direction.
    const int perHit = static_cast<int>(AdjustLineBreaks(newText).size());
    SetSelStart(forward ? first + inserted : first + perHit);
    ScrollToCaret();
}

} // namespace kelvara
