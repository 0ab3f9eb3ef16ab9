#include "search/SubstringFinder.h"

#include <cstring>

#include "common/AnsiString.h"
#include "common/CpuFeatures.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace kelvara {

namespace {

// For each byte of the folded pattern, the byte that also matches it: the
// upper-case letter for a letter that is a character of its own.
std::string OtherCases(const std::string& folded, bool ignoreCase, CodePage codePage) {
    std::string other(folded);
    if (!ignoreCase) return other;
    for (std::size_t i = 0; i < other.size(); i += CharLength(other, i, codePage))
        other[i] = UpperByte(other[i]);
    return other;
}

} // namespace

SubstringFinder::SubstringFinder(std::string_view pattern, bool ignoreCase, CodePage codePage)
    : pattern_(ignoreCase ? LowerCaseLetters(pattern, codePage) : std::string(pattern)),
      other_(OtherCases(pattern_, ignoreCase, codePage)), exact_(other_ == pattern_),
      first_(pattern_.empty() ? '\0' : pattern_.front()),
      firstOther_(other_.empty() ? '\0' : other_.front()),
      last_(pattern_.empty() ? '\0' : pattern_.back()),
      lastOther_(other_.empty() ? '\0' : other_.back()) {}

// The bytes between the first and the last, which the filter did not compare.
bool SubstringFinder::InnerBytesMatch(const char* candidate) const {
    if (pattern_.size() <= 2) return true;
    const std::size_t inner = pattern_.size() - 2;
    if (exact_) return std::memcmp(candidate + 1, pattern_.data() + 1, inner) == 0;
    for (std::size_t k = 1; k <= inner; ++k) {
        if (candidate[k] != pattern_[k] && candidate[k] != other_[k]) return false;
    }
    return true;
}

std::size_t SubstringFinder::FindScalar(std::string_view text, std::size_t from) const {
    const std::size_t tail = pattern_.size() - 1;
    for (std::size_t i = from; i + tail < text.size(); ++i) {
        const char head = text[i], end = text[i + tail];
        if ((head == first_ || head == firstOther_) && (end == last_ || end == lastOther_) &&
            InnerBytesMatch(text.data() + i))
            return i;
    }
    return kNotFound;
}

#if defined(__x86_64__)
namespace {

// The first block of 32 positions from `i` on (stepping by 32, up to the
// last possible start `last`) in which some position has the first and the
// last byte of the pattern; the block's mask of such positions in `mask`, 0
// when there is none. Calls nothing, so that its constants stay in registers.
__attribute__((target("avx2"), always_inline)) inline std::size_t
NextCandidates(const char* text, std::size_t i, std::size_t last, std::size_t tail, char first,
               char firstOther, char end, char endOther, unsigned& mask) {
    const __m256i firsts = _mm256_set1_epi8(first), firstOthers = _mm256_set1_epi8(firstOther);
    const __m256i ends = _mm256_set1_epi8(end), endOthers = _mm256_set1_epi8(endOther);
    for (; i + 31 <= last; i += 32) {
        const __m256i head = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i));
        const __m256i tailBytes =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i + tail));
        const __m256i headHits =
            _mm256_or_si256(_mm256_cmpeq_epi8(head, firsts), _mm256_cmpeq_epi8(head, firstOthers));
        const __m256i endHits = _mm256_or_si256(_mm256_cmpeq_epi8(tailBytes, ends),
                                                _mm256_cmpeq_epi8(tailBytes, endOthers));
        mask = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(headHits, endHits)));
        if (mask != 0) return i;
    }
    mask = 0;
    return i;
}

} // namespace

// The filter of Find 32 positions at a time, for processors with AVX2, from
// `from` on; leaves `from` where it stopped when nothing was found.
__attribute__((target("avx2"))) std::size_t SubstringFinder::FindWide(std::string_view text,
                                                                      std::size_t& from) const {
    const std::size_t tail = pattern_.size() - 1;
    const std::size_t last = text.size() - pattern_.size();
    std::size_t i = from;
    for (unsigned mask = 0;; i += 32) {
        i = NextCandidates(text.data(), i, last, tail, first_, firstOther_, last_, lastOther_,
                           mask);
        if (mask == 0) break;
        for (; mask != 0; mask &= mask - 1) {
            const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
            if (InnerBytesMatch(text.data() + at)) return at;
        }
    }
    from = i;
    return kNotFound;
}
#endif

std::size_t SubstringFinder::Find(std::string_view text, std::size_t from) const {
    const std::size_t length = pattern_.size();
    if (length == 0 || from > text.size() || text.size() - from < length) return kNotFound;
    if (length == 1 && first_ == firstOther_) {
        const void* found = std::memchr(text.data() + from, first_, text.size() - from);
        return found ? static_cast<const char*>(found) - text.data() : kNotFound;
    }
    std::size_t i = from;
#if defined(__x86_64__)
    if (HasAvx2()) {
        const std::size_t found = FindWide(text, i);
        if (found != kNotFound) return found;
    }
#endif
#if defined(__SSE2__)
    const std::size_t tail = length - 1;
    const std::size_t last = text.size() - length; // the last possible start
    const __m128i first = _mm_set1_epi8(first_), firstOther = _mm_set1_epi8(firstOther_);
    const __m128i end = _mm_set1_epi8(last_), endOther = _mm_set1_epi8(lastOther_);
    for (; i + 15 <= last; i += 16) {
        const __m128i heads = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        const __m128i ends =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i + tail));
        const __m128i headHits =
            _mm_or_si128(_mm_cmpeq_epi8(heads, first), _mm_cmpeq_epi8(heads, firstOther));
        const __m128i endHits =
            _mm_or_si128(_mm_cmpeq_epi8(ends, end), _mm_cmpeq_epi8(ends, endOther));
        for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(headHits, endHits)));
             mask != 0; mask &= mask - 1) {
            const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
            if (InnerBytesMatch(text.data() + at)) return at;
        }
    }
#endif
    return FindScalar(text, i);
}

} // namespace kelvara
