#include "search/TextDiff.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/CpuFeatures.h"

namespace kelvara {

namespace {

#if defined(__x86_64__)
// The LF bytes of [begin, end) 64 at a time, for processors with AVX2; moves
// `begin` past the bytes it counted.
__attribute__((target("avx2"))) std::size_t CountLineFeedsWide(const char*& begin,
                                                               const char* end) noexcept {
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i zero = _mm256_setzero_si256();
    std::size_t count = 0;
    while (end - begin >= 64) {
        // Two rows of byte counters, summed up before they can overflow.
        __m256i low = zero;
        __m256i high = zero;
        for (int round = 0; round < 255 && end - begin >= 64; ++round, begin += 64) {
            const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(begin));
            const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(begin + 32));
            low = _mm256_sub_epi8(low, _mm256_cmpeq_epi8(first, lf));
            high = _mm256_sub_epi8(high, _mm256_cmpeq_epi8(second, lf));
        }
        const __m256i sums =
            _mm256_add_epi64(_mm256_sad_epu8(low, zero), _mm256_sad_epu8(high, zero));
        count += static_cast<std::size_t>(_mm256_extract_epi64(sums, 0)) +
                 static_cast<std::size_t>(_mm256_extract_epi64(sums, 1)) +
                 static_cast<std::size_t>(_mm256_extract_epi64(sums, 2)) +
                 static_cast<std::size_t>(_mm256_extract_epi64(sums, 3));
    }
    return count;
}
#endif

// The LF bytes in [begin, end): the diff numbers the lines up to each
// change, through every byte of a changed file, so they are counted many at
// a time.
std::size_t CountLineFeeds(const char* begin, const char* end) noexcept {
    std::size_t count = 0;
#if defined(__x86_64__)
    if (HasAvx2()) count += CountLineFeedsWide(begin, end);
#endif
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    while (end - begin >= 16) {
        // Byte counters summed up before they can overflow.
        __m128i counters = _mm_setzero_si128();
        for (int round = 0; round < 255 && end - begin >= 16; ++round, begin += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin));
            counters = _mm_sub_epi8(counters, _mm_cmpeq_epi8(bytes, lf));
        }
        const __m128i sums = _mm_sad_epu8(counters, _mm_setzero_si128());
        count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    }
#endif
    return count + static_cast<std::size_t>(std::count(begin, end, '\n'));
}

// An LF line of the old text that holds stretches.
struct ChangedLine {
    std::size_t number = 0; // 1-based
    std::size_t start = 0;  // its first byte
    std::size_t end = 0;    // its LF, or the end of the text
    std::size_t firstStretch = 0;
    std::size_t stretchEnd = 0; // one past its last stretch
};

// What the replace made of one changed line: its new text (LFs of the
// replacement included, its own LF not) and where the replacements lie in it.
struct NewLine {
    std::size_t textStart = 0; // in the hunk's buffer
    std::size_t textEnd = 0;
    std::size_t firstMark = 0; // in the hunk's marks
    std::size_t markEnd = 0;
    std::size_t breaks = 0; // the LFs the replacements brought in
};

class Differ {
public:
    Differ(std::string_view text, std::span<const Stretch> stretches, std::string_view replacement,
           std::size_t context, DiffSink& sink)
        : text_(text), stretches_(stretches), replacement_(replacement), context_(context),
          sink_(sink), replacementBreaks_(CountLineFeeds(replacement.data(),
                                                         replacement.data() + replacement.size())) {
    }

    void Run(std::span<const NumberedLine> lines) {
        if (!TakeChangedLines(lines)) FindChangedLines();
        for (std::size_t first = 0; first < changed_.size();) {
            std::size_t last = first;
            while (last + 1 < changed_.size() &&
                   changed_[last + 1].number - changed_[last].number - 1 <= 2 * context_)
                ++last;
            TellHunk(first, last);
            first = last + 1;
        }
    }

private:
    std::size_t LineEnd(std::size_t from) const {
        const void* lf = std::memchr(text_.data() + from, '\n', text_.size() - from);
        return lf == nullptr ? text_.size() : static_cast<const char*>(lf) - text_.data();
    }
    bool HasBreak(std::size_t end) const { return end < text_.size(); }

    // The changed lines from the find's lines, when they are LF lines and
    // hold every stretch; false otherwise.
    bool TakeChangedLines(std::span<const NumberedLine> lines) {
        if (lines.empty()) return false;
        const std::size_t checked = std::min(lines.back().end + 1, text_.size());
        if (std::memchr(text_.data(), '\r', checked) != nullptr) return false;
        std::size_t k = 0;
        for (std::size_t i = 0; i < stretches_.size(); ++i) {
            const std::size_t at = stretches_[i].start;
            while (k < lines.size() && lines[k].end < at)
                ++k;
            if (k == lines.size() || at < lines[k].start || lines[k].end > text_.size()) {
                changed_.clear();
                return false;
            }
            if (!changed_.empty() && changed_.back().start == lines[k].start)
                changed_.back().stretchEnd = i + 1;
            else
                changed_.push_back({lines[k].number, lines[k].start, lines[k].end, i, i + 1});
        }
        return true;
    }

    void FindChangedLines() {
        std::size_t lineStart = 0;
        std::size_t number = 1;
        for (std::size_t i = 0; i < stretches_.size(); ++i) {
            const std::size_t at = stretches_[i].start;
            if (!changed_.empty() && at < changed_.back().end) {
                changed_.back().stretchEnd = i + 1;
                continue;
            }
            const char* from = text_.data() + lineStart;
            number += CountLineFeeds(from, text_.data() + at);
            const void* lf = memrchr(from, '\n', at - lineStart);
            if (lf != nullptr) lineStart = static_cast<const char*>(lf) - text_.data() + 1;
            changed_.push_back({number, lineStart, LineEnd(at), i, i + 1});
        }
    }

    // The start of the line before the one starting at `start` (> 0).
    std::size_t PreviousLineStart(std::size_t start) const {
        const void* lf = start < 2 ? nullptr : memrchr(text_.data(), '\n', start - 1);
        return lf == nullptr ? 0 : static_cast<const char*>(lf) - text_.data() + 1;
    }

    // Fills the new texts of changed lines [first, last].
    void MakeNewLines(std::size_t first, std::size_t last) {
        newText_.clear();
        newLines_.clear();
        marks_.clear();
        for (std::size_t k = first; k <= last; ++k) {
            const ChangedLine& line = changed_[k];
            NewLine made{newText_.size(), 0, marks_.size(), 0, 0};
            std::size_t copied = line.start;
            for (std::size_t i = line.firstStretch; i < line.stretchEnd; ++i) {
                newText_.append(text_.substr(copied, stretches_[i].start - copied));
                const std::optional<std::string>& own = stretches_[i].replacement;
                const std::string_view replacement = own ? std::string_view(*own) : replacement_;
                made.breaks += own ? CountLineFeeds(own->data(), own->data() + own->size())
                                   : replacementBreaks_;
                marks_.push_back({newText_.size() - made.textStart, replacement.size()});
                newText_.append(replacement);
                copied = stretches_[i].End();
            }
            newText_.append(text_.substr(copied, line.end - copied));
            made.textEnd = newText_.size();
            made.markEnd = marks_.size();
            newLines_.push_back(made);
        }
    }

    // The LF lines of a changed line's new text; a last line without a
    // break is one only when it holds something.
    template <typename Visit>
    void ForNewPieces(const NewLine& made, bool hasBreak, Visit visit) const {
        const std::string_view text(newText_.data() + made.textStart,
                                    made.textEnd - made.textStart);
        if (made.breaks == 0) {
            if (hasBreak || !text.empty()) visit(0, text.size(), !hasBreak);
            return;
        }
        for (std::size_t from = 0;;) {
            const std::size_t lf = text.find('\n', from);
            if (lf == std::string_view::npos) {
                if (hasBreak || from < text.size()) visit(from, text.size(), !hasBreak);
                return;
            }
            visit(from, lf, false);
            from = lf + 1;
        }
    }

    // As many as ForNewPieces visits: one after each LF, and the last one.
    std::size_t NewPieceCount(std::size_t index, bool hasBreak) const {
        const NewLine& made = newLines_[index];
        const bool lastEmpty = made.textEnd == made.textStart || newText_[made.textEnd - 1] == '\n';
        return made.breaks + (hasBreak || !lastEmpty ? 1 : 0);
    }

    void TellContext(std::size_t start, std::size_t end) {
        sink_.Line(DiffLineKind::Context, text_.substr(start, end - start), {}, !HasBreak(end));
    }

    void TellChangedRun(std::size_t first, std::size_t last, std::size_t hunkFirst) {
        for (std::size_t k = first; k <= last; ++k) {
            const ChangedLine& line = changed_[k];
            markBuffer_.clear();
            for (std::size_t i = line.firstStretch; i < line.stretchEnd; ++i)
                markBuffer_.push_back({stretches_[i].start - line.start, stretches_[i].length});
            sink_.Line(DiffLineKind::Removed, text_.substr(line.start, line.end - line.start),
                       markBuffer_, !HasBreak(line.end));
        }
        for (std::size_t k = first; k <= last; ++k) {
            const NewLine& made = newLines_[k - hunkFirst];
            const std::string_view text(newText_.data() + made.textStart,
                                        made.textEnd - made.textStart);
            ForNewPieces(made, HasBreak(changed_[k].end),
                         [&](std::size_t from, std::size_t to, bool noBreak) {
                             markBuffer_.clear();
                             for (std::size_t m = made.firstMark; m < made.markEnd; ++m) {
                                 const std::size_t begin = std::max(marks_[m].start, from);
                                 const std::size_t end = std::min(marks_[m].End(), to);
                                 // An empty replacement marks the place it left.
                                 if (begin < end || (marks_[m].length == 0 && begin == end))
                                     markBuffer_.push_back({begin - from, end - begin});
                             }
                             sink_.Line(DiffLineKind::Added, text.substr(from, to - from),
                                        markBuffer_, noBreak);
                         });
        }
    }

    void TellHunk(std::size_t first, std::size_t last) {
        MakeNewLines(first, last);
        // The starts of the unchanged lines before the first changed one,
        // nearest first, and the ends of those after the last one: each
        // looked up once.
        before_.clear();
        for (std::size_t start = changed_[first].start; before_.size() < context_ && start > 0;) {
            start = PreviousLineStart(start);
            before_.push_back(start);
        }
        after_.clear();
        for (std::size_t end = changed_[last].end;
             after_.size() < context_ && end + 1 < text_.size();) {
            end = LineEnd(end + 1);
            after_.push_back(end);
        }
        const std::size_t oldStart = changed_[first].number - before_.size();
        const std::size_t oldCount = changed_[last].number + after_.size() - oldStart + 1;
        std::size_t newCount = oldCount;
        for (std::size_t k = first; k <= last; ++k)
            newCount += NewPieceCount(k - first, HasBreak(changed_[k].end)) - 1;
        const std::size_t newStart = oldStart + shift_;
        sink_.Hunk(oldStart, oldCount, newCount == 0 ? newStart - 1 : newStart, newCount);
        shift_ += newCount - oldCount;

        for (std::size_t i = before_.size(); i-- > 0;)
            TellContext(before_[i], (i == 0 ? changed_[first].start : before_[i - 1]) - 1);
        for (std::size_t k = first; k <= last;) {
            std::size_t runEnd = k;
            while (runEnd < last && changed_[runEnd + 1].number == changed_[runEnd].number + 1)
                ++runEnd;
            TellChangedRun(k, runEnd, first);
            std::size_t at = changed_[runEnd].end + 1;
            if (runEnd < last) {
                for (std::size_t end; at < changed_[runEnd + 1].start; at = end + 1) {
                    end = LineEnd(at);
                    TellContext(at, end);
                }
            } else {
                for (const std::size_t end : after_) {
                    TellContext(at, end);
                    at = end + 1;
                }
            }
            k = runEnd + 1;
        }
    }

    std::string_view text_;
    std::span<const Stretch> stretches_;
    std::string_view replacement_;
    std::size_t context_;
    DiffSink& sink_;
    std::vector<ChangedLine> changed_;
    // The new lines of the hunk being told, reused from hunk to hunk.
    std::string newText_;
    std::vector<NewLine> newLines_;
    std::vector<Stretch> marks_;
    std::vector<Stretch> markBuffer_;
    std::vector<std::size_t> before_; // the context lines of the hunk being told
    std::vector<std::size_t> after_;
    std::size_t replacementBreaks_; // the LFs of the run's replacement
    // Lines the hunks so far added to the new text; unsigned, a net loss
    // wraps round and the sums still come out right.
    std::size_t shift_ = 0;
};

// Writes "start" or "start,count" at `at`; returns the end. A hunk head
// is made in one small buffer and appended at once: a diff has one for
// every few lines.
char* PutRange(char* at, std::size_t start, std::size_t count) {
    at = std::to_chars(at, at + 20, start).ptr;
    if (count == 1) return at;
    *at++ = ',';
    return std::to_chars(at, at + 20, count).ptr;
}

} // namespace

void DiffReplaced(std::string_view oldText, std::span<const Stretch> stretches,
                  std::string_view replacement, std::size_t context, DiffSink& sink,
                  std::span<const NumberedLine> lines) {
    Differ(oldText, stretches, replacement, context, sink).Run(lines);
}

void UnifiedDiffPrinter::Hunk(std::size_t oldStart, std::size_t oldCount, std::size_t newStart,
                              std::size_t newCount) {
    char head[96] = "@@ -";
    char* at = PutRange(head + 4, oldStart, oldCount);
    *at++ = ' ';
    *at++ = '+';
    at = PutRange(at, newStart, newCount);
    out_.append(head, at).append(" @@\n");
}

void UnifiedDiffPrinter::Line(DiffLineKind kind, std::string_view text, std::span<const Stretch>,
                              bool noBreak) {
    out_ += kind == DiffLineKind::Context ? ' ' : kind == DiffLineKind::Removed ? '-' : '+';
    out_.append(text);
    out_ += '\n';
    if (noBreak) out_ += "\\ No newline at end of file\n";
}

} // namespace kelvara
