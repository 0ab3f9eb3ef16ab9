#include "common/ContentHash.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace kelvara {

namespace {

ContentDigest ToDigest(XXH128_hash_t hash) noexcept {
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, hash);
    ContentDigest digest;
    static_assert(sizeof canonical.digest == sizeof digest.bytes);
    for (std::size_t i = 0; i < digest.bytes.size(); ++i)
        digest.bytes[i] = canonical.digest[i];
    return digest;
}

} // namespace

std::string ContentDigest::Hex() const {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint8_t byte : bytes) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex;
}

ContentDigest DigestOf(std::string_view bytes) noexcept {
    return ToDigest(XXH3_128bits(bytes.data(), bytes.size()));
}

struct ContentHash::State {
    XXH3_state_t xxh;
};

ContentHash::ContentHash() : state_(std::make_unique<State>()) { Reset(); }
ContentHash::~ContentHash() = default;

void ContentHash::Reset() noexcept { XXH3_128bits_reset(&state_->xxh); }

void ContentHash::Add(std::string_view bytes) noexcept {
    XXH3_128bits_update(&state_->xxh, bytes.data(), bytes.size());
}

ContentDigest ContentHash::Digest() const noexcept {
    return ToDigest(XXH3_128bits_digest(&state_->xxh));
}

} // namespace kelvara
