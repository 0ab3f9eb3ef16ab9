#include "search/LineCursor.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kelvara {

namespace {

// How many LF bytes [begin, end) holds, sixteen bytes at a time: a run
// with many hits would otherwise call memchr once per line between them.
std::size_t CountLineFeeds(const char* begin, const char* end) noexcept {
    std::size_t count = 0;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    while (end - begin >= 16) {
        // Byte counters (each match adds 1) summed up before they can overflow.
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
    for (; begin < end; ++begin)
        count += *begin == '\n';
    return count;
}

} // namespace

LineCursor::LineCursor(std::string_view text) noexcept : text_(text) {}

std::size_t LineCursor::NextByte(char byte, std::size_t& known, std::size_t from) const noexcept {
    if (known == std::string_view::npos || known < from) {
        const void* found = std::memchr(text_.data() + from, byte, text_.size() - from);
        known = found ? static_cast<const char*>(found) - text_.data() : text_.size();
    }
    return known;
}

// The first line break in [from, to), or `to` when there is none.
std::size_t LineCursor::BreakAt(std::size_t from, std::size_t to) noexcept {
    if (from >= to) return to;
    return std::min({NextByte('\n', nextLf_, from), NextByte('\r', nextCr_, from), to});
}

std::size_t LineCursor::BreakLength(std::size_t at) const noexcept {
    if (at >= text_.size()) return 0;
    return text_[at] == '\r' && at + 1 < text_.size() && text_[at + 1] == '\n' ? 2 : 1;
}

void LineCursor::MoveTo(std::size_t offset) noexcept {
    if (offset > text_.size()) offset = text_.size();
    if (end_ != std::string_view::npos && offset <= end_) return;
    end_ = std::string_view::npos;
    // Without a CR on the way every break is one LF: count them in bulk.
    if (NextByte('\r', nextCr_, start_) >= offset) {
        const char* from = text_.data() + start_;
        const std::size_t feeds = CountLineFeeds(from, text_.data() + offset);
        if (feeds == 0) return;
        const auto* lastFeed = static_cast<const char*>(memrchr(from, '\n', offset - start_));
        start_ = static_cast<std::size_t>(lastFeed - text_.data()) + 1;
        number_ += static_cast<std::int32_t>(feeds);
        return;
    }
    for (std::size_t at = BreakAt(start_, offset); at < offset; at = BreakAt(start_, offset)) {
        start_ = at + BreakLength(at);
        ++number_;
    }
}

std::string_view LineCursor::Line() noexcept {
    if (end_ == std::string_view::npos) end_ = BreakAt(start_, text_.size());
    return text_.substr(start_, end_ - start_);
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
