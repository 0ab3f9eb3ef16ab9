#include "search/LineCursor.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kelvara {

namespace {

// How many line breaks begin in [begin, end), `begin` being a line's start:
// every CR and every LF, less the CR LF pairs (an LF right after a CR ends
// the same line). Sixteen bytes at a time: Windows files (CR LF) would
// otherwise take two memchr calls per line between hits.
std::size_t CountBreaks(const char* begin, const char* end) noexcept {
    std::size_t count = 0;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    // A block also looks at the byte after it, which must lie before `end`.
    while (end - begin > 16) {
        // Byte counters (each lane adds 0 or 1 a block) summed up before they
        // can overflow.
        __m128i counters = _mm_setzero_si128();
        for (int round = 0; round < 255 && end - begin > 16; ++round, begin += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin));
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(begin + 1));
            const __m128i crs = _mm_cmpeq_epi8(bytes, cr);
            const __m128i breaks = _mm_or_si128(crs, _mm_cmpeq_epi8(bytes, lf));
            const __m128i pairs = _mm_and_si128(crs, _mm_cmpeq_epi8(next, lf));
            counters = _mm_add_epi8(_mm_sub_epi8(counters, breaks), pairs);
        }
        const __m128i sums = _mm_sad_epu8(counters, _mm_setzero_si128());
        count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    }
#endif
    for (; begin < end; ++begin) {
        count += *begin == '\r' || *begin == '\n';
        count -= *begin == '\r' && end - begin > 1 && begin[1] == '\n';
    }
    return count;
}

// The first CR or LF at or after `from`; the text's size when there is none.
std::size_t FindBreak(std::string_view text, std::size_t from) noexcept {
    const char* at = text.data() + from;
    const char* const end = text.data() + text.size();
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; end - at >= 16; at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const auto breaks = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, lf), _mm_cmpeq_epi8(bytes, cr))));
        if (breaks != 0)
            return static_cast<std::size_t>(at - text.data()) + std::countr_zero(breaks);
    }
#endif
    while (at < end && *at != '\n' && *at != '\r')
        ++at;
    return static_cast<std::size_t>(at - text.data());
}

} // namespace

LineCursor::LineCursor(std::string_view text) noexcept : text_(text) {}

std::size_t LineCursor::BreakLength(std::size_t at) const noexcept {
    if (at >= text_.size()) return 0;
    return text_[at] == '\r' && at + 1 < text_.size() && text_[at + 1] == '\n' ? 2 : 1;
}

void LineCursor::MoveTo(std::size_t offset) noexcept {
    if (offset > text_.size()) offset = text_.size();
    if (end_ != std::string_view::npos && offset <= end_) return;
    MovePast(offset, CountBreaks(text_.data() + start_, text_.data() + offset));
}

void LineCursor::MovePast(std::size_t offset, std::size_t breaks) noexcept {
    end_ = std::string_view::npos;
    if (breaks == 0) return;
    // The line starts after the last break that begins before `offset`.
    std::size_t last = offset - 1;
    while (text_[last] != '\n' && text_[last] != '\r')
        --last;
    start_ = last + BreakLength(last);
    number_ += static_cast<std::int32_t>(breaks);
}

std::string_view LineCursor::Line() noexcept {
    if (end_ == std::string_view::npos) end_ = FindBreak(text_, start_);
    return text_.substr(start_, end_ - start_);
}

bool LineCursor::MoveToLine(std::int32_t number) noexcept {
    // Stretches of lines before it are passed by counting their breaks
    // sixteen bytes at a time, not by finding the end of each line: a
    // replace of chosen hits knows only their line numbers.
    constexpr std::size_t kStride = 1024;
    while (number - number_ > 1) {
        const std::size_t end = std::min(text_.size(), start_ + kStride);
        const std::size_t breaks = CountBreaks(text_.data() + start_, text_.data() + end);
        if (breaks == 0 || breaks >= static_cast<std::size_t>(number - number_)) break;
        MovePast(end, breaks);
    }
    while (number_ < number)
        if (!NextLine()) return false;
    return true;
}

bool LineCursor::NextLine() noexcept {
    Line();
    if (end_ >= text_.size()) return false;
    start_ = end_ + BreakLength(end_);
    end_ = std::string_view::npos;
    ++number_;
    return start_ < text_.size();
}

} // namespace kelvara
