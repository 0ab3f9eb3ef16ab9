#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kelvara {

// The 128-bit fingerprint of a file's content (XXH3): an undo tells by it
// whether a file still holds what a replace wrote. It is fast enough to take
// of every byte a run writes without being seen in its time.
struct ContentDigest {
    std::array<std::uint8_t, 16> bytes{};

    friend bool operator==(const ContentDigest&, const ContentDigest&) = default;
    // 32 hexadecimal digits.
    std::string Hex() const;
};

ContentDigest DigestOf(std::string_view bytes) noexcept;

// A digest taken piece by piece, as the content is written.
class ContentHash {
public:
    ContentHash();
    ~ContentHash();
    ContentHash(const ContentHash&) = delete;
    ContentHash& operator=(const ContentHash&) = delete;

    void Reset() noexcept;
    void Add(std::string_view bytes) noexcept;
    ContentDigest Digest() const noexcept;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace kelvara
