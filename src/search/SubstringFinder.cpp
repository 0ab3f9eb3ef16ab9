#include "search/SubstringFinder.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kelvara {

namespace {

// Scalar search of [from, last]: first and last byte, then the middle.
std::size_t FindScalar(const char* text, std::size_t from, std::size_t last,
                       std::string_view pattern) {
    const std::size_t tail = pattern.size() - 1;
    for (std::size_t i = from; i <= last; ++i) {
        if (text[i] == pattern.front() && text[i + tail] == pattern.back() &&
            std::memcmp(text + i + 1, pattern.data() + 1, tail - 1) == 0)
            return i;
    }
    return SubstringFinder::kNotFound;
}

} // namespace

std::size_t SubstringFinder::Find(std::string_view text, std::size_t from) const {
    const std::size_t length = pattern_.size();
    if (length == 0 || from > text.size() || text.size() - from < length) return kNotFound;
    if (length == 1) {
        const void* found = std::memchr(text.data() + from, pattern_[0], text.size() - from);
        return found ? static_cast<const char*>(found) - text.data() : kNotFound;
    }
    const std::size_t last = text.size() - length; // the last possible start
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(pattern_.front());
    const __m128i lastByte = _mm_set1_epi8(pattern_.back());
    const std::size_t tail = length - 1;
    for (; i + 15 <= last; i += 16) {
        const auto* starts = reinterpret_cast<const __m128i*>(text.data() + i);
        const auto* ends = reinterpret_cast<const __m128i*>(text.data() + i + tail);
        const __m128i both = _mm_and_si128(_mm_cmpeq_epi8(first, _mm_loadu_si128(starts)),
                                           _mm_cmpeq_epi8(lastByte, _mm_loadu_si128(ends)));
        for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(both)); mask != 0;
             mask &= mask - 1) {
            const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
            if (std::memcmp(text.data() + at + 1, pattern_.data() + 1, tail - 1) == 0) return at;
        }
    }
#endif
    return FindScalar(text.data(), i, last, pattern_);
}

} // namespace kelvara
