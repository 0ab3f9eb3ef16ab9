#include "common/Utf8Scan.h"

#include <bit>
#include <cstring>

#include "common/CodePage.h"
#include "common/CpuFeatures.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace kelvara {

namespace {

// One character after the other from `i` on.
bool IsValidUtf8Scalar(std::string_view bytes, std::size_t i) {
    while (i < bytes.size()) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            i += FirstNonAscii(bytes.substr(i));
            continue;
        }
        const std::size_t length = CharLength(bytes, i, CodePage::Utf8);
        if (length == 1) return false;
        i += length;
    }
    return true;
}

#if defined(__x86_64__)
// Validation 32 bytes at a time with table lookups (after Keiser and Lemire,
// "Validating UTF-8 in less than one instruction per byte"): every pair of a
// byte and the one before it is classified by three lookups of their halves,
// whose common bits are the errors the pair shows; a byte that must be the
// third or fourth of a sequence is checked against the bytes two and three
// before it.
constexpr char kTooShort = 1 << 0;  // a lead not followed by a continuation
constexpr char kTooLong = 1 << 1;   // a continuation after ASCII
constexpr char kOverlong3 = 1 << 2; // E0 80..9F
constexpr char kTooLarge = 1 << 3;  // F4 90.., F5..
constexpr char kSurrogate = 1 << 4; // ED A0..BF
constexpr char kOverlong2 = 1 << 5; // C0, C1
constexpr char kTooLarge1000 = 1 << 6;
constexpr char kOverlong4 = 1 << 6; // F0 80..8F
constexpr char kTwoConts = static_cast<char>(1 << 7);
constexpr char kCarry = kTooShort | kTooLong | kTwoConts;

// By the high half of the byte before.
#define KELVARA_BYTE1_HIGH                                                                         \
    kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTwoConts,     \
        kTwoConts, kTwoConts, kTwoConts, kTooShort | kOverlong2, kTooShort,                        \
        kTooShort | kOverlong3 | kSurrogate, kTooShort | kTooLarge | kTooLarge1000 | kOverlong4
// By the low half of the byte before.
#define KELVARA_BYTE1_LOW                                                                          \
    kCarry | kOverlong3 | kOverlong2 | kOverlong4, kCarry | kOverlong2, kCarry, kCarry,            \
        kCarry | kTooLarge, kCarry | kTooLarge | kTooLarge1000,                                    \
        kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,                    \
        kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,                    \
        kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,                    \
        kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000 | kSurrogate,       \
        kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000
// By the high half of the byte itself.
#define KELVARA_BYTE2_HIGH                                                                         \
    kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort,        \
        kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge1000 | kOverlong4,               \
        kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge,                                \
        kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge,                                \
        kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge, kTooShort, kTooShort,          \
        kTooShort, kTooShort

// The block shifted by `n` bytes, the last ones of `previous` coming in front.
template <int n>
__attribute__((target("avx2"), always_inline)) inline __m256i Earlier(__m256i block,
                                                                      __m256i previous) {
    return _mm256_alignr_epi8(block, _mm256_permute2x128_si256(previous, block, 0x21), 16 - n);
}

__attribute__((target("avx2"), always_inline)) inline __m256i HighHalves(__m256i bytes) {
    return _mm256_and_si256(_mm256_srli_epi16(bytes, 4), _mm256_set1_epi8(0x0F));
}

// The errors of a block whose first bytes may continue `previous`.
__attribute__((target("avx2"), always_inline)) inline __m256i BlockErrors(__m256i block,
                                                                          __m256i previous) {
    const __m256i byte1HighTable = _mm256_setr_epi8(KELVARA_BYTE1_HIGH, KELVARA_BYTE1_HIGH);
    const __m256i byte1LowTable = _mm256_setr_epi8(KELVARA_BYTE1_LOW, KELVARA_BYTE1_LOW);
    const __m256i byte2HighTable = _mm256_setr_epi8(KELVARA_BYTE2_HIGH, KELVARA_BYTE2_HIGH);
    const __m256i before = Earlier<1>(block, previous);
    const __m256i special = _mm256_and_si256(
        _mm256_and_si256(
            _mm256_shuffle_epi8(byte1HighTable, HighHalves(before)),
            _mm256_shuffle_epi8(byte1LowTable, _mm256_and_si256(before, _mm256_set1_epi8(0x0F)))),
        _mm256_shuffle_epi8(byte2HighTable, HighHalves(block)));
    // Bytes two after E0..FF and three after F0..FF must be continuations.
    const __m256i third = _mm256_subs_epu8(Earlier<2>(block, previous), _mm256_set1_epi8(0x60));
    const __m256i fourth = _mm256_subs_epu8(Earlier<3>(block, previous), _mm256_set1_epi8(0x70));
    const __m256i mustContinue =
        _mm256_and_si256(_mm256_or_si256(third, fourth), _mm256_set1_epi8(static_cast<char>(0x80)));
    return _mm256_xor_si256(mustContinue, special);
}

// Whether a block ends inside a sequence: a lead among its last three bytes
// that the end leaves without all its continuations.
__attribute__((target("avx2"), always_inline)) inline __m256i EndsInside(__m256i block) {
    const __m256i limits =
        _mm256_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                         -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, static_cast<char>(0xEF),
                         static_cast<char>(0xDF), static_cast<char>(0xBF));
    return _mm256_subs_epu8(block, limits);
}

// What the blocks so far leave for the next one.
struct Utf8Blocks {
    __m256i previous;
    __m256i endsInside;
    __m256i errors;
};

__attribute__((target("avx2"), always_inline)) inline void Take(Utf8Blocks& state, __m256i block) {
    if (_mm256_movemask_epi8(block) == 0) {
        // ASCII cannot finish a sequence.
        state.errors = _mm256_or_si256(state.errors, state.endsInside);
        state.endsInside = _mm256_setzero_si256();
    } else {
        state.errors = _mm256_or_si256(state.errors, BlockErrors(block, state.previous));
        state.endsInside = EndsInside(block);
    }
    state.previous = block;
}

__attribute__((target("avx2"))) bool IsValidUtf8Wide(const char* bytes, std::size_t size) {
    // ASCII before the start.
    Utf8Blocks state{_mm256_setzero_si256(), _mm256_setzero_si256(), _mm256_setzero_si256()};
    std::size_t i = 0;
    for (; i + 32 <= size; i += 32) {
        Take(state, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + i)));
        // GBK is told at its first characters: stop at the first error.
        if (!_mm256_testz_si256(state.errors, state.errors)) return false;
    }
    // The rest, followed by ASCII: a sequence cut short at the end shows.
    char last[32] = {};
    std::memcpy(last, bytes + i, size - i);
    Take(state, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(last)));
    Take(state, _mm256_setzero_si256());
    return _mm256_testz_si256(state.errors, state.errors);
}
#endif

} // namespace

std::size_t FirstNonAscii(std::string_view bytes) noexcept {
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    const char* at = begin;
#if defined(__SSE2__)
    // Most text is ASCII: 64 bytes at a time, one test for all of them.
    for (; end - at >= 64; at += 64) {
        const auto* block = reinterpret_cast<const __m128i*>(at);
        const __m128i any =
            _mm_or_si128(_mm_or_si128(_mm_loadu_si128(block), _mm_loadu_si128(block + 1)),
                         _mm_or_si128(_mm_loadu_si128(block + 2), _mm_loadu_si128(block + 3)));
        if (_mm_movemask_epi8(any) != 0) break;
    }
    for (; end - at >= 16; at += 16) {
        const auto high = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at))));
        if (high != 0) return static_cast<std::size_t>(at - begin) + std::countr_zero(high);
    }
#endif
    while (at < end && static_cast<unsigned char>(*at) < 0x80)
        ++at;
    return static_cast<std::size_t>(at - begin);
}

bool IsValidUtf8(std::string_view bytes) noexcept {
    const std::size_t first = FirstNonAscii(bytes);
    if (first == bytes.size()) return true;
#if defined(__x86_64__)
    if (HasAvx2()) return IsValidUtf8Wide(bytes.data() + first, bytes.size() - first);
#endif
    return IsValidUtf8Scalar(bytes, first);
}

} // namespace kelvara
