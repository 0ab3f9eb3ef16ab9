#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace kelvara::fuzz {

// A property a fuzz target checks: when it does not hold, says which and
// aborts, so that libFuzzer (or the replay program) stops at the input.
inline void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

// The same for a consistency check that describes the first fault it found.
inline void RequireNoFault(const std::string& fault, const char* what) {
    if (fault.empty()) return;
    std::fprintf(stderr, "fuzz check failed: %s: %s\n", what, fault.c_str());
    std::abort();
}

// The fuzzer's bytes taken from the front; what is missing reads as zeros.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    bool Empty() const noexcept { return rest_.empty(); }
    unsigned Byte() {
        if (rest_.empty()) return 0;
        const auto byte = static_cast<unsigned char>(rest_.front());
        rest_.remove_prefix(1);
        return byte;
    }
    // Up to `most` bytes, as many as the next byte says.
    std::string_view Bytes(std::size_t most) {
        const std::size_t wanted = Byte() % (most + 1); // read before the size is taken
        const std::size_t length = std::min(wanted, rest_.size());
        const std::string_view bytes = rest_.substr(0, length);
        rest_.remove_prefix(length);
        return bytes;
    }
    std::string_view Rest() {
        const std::string_view bytes = rest_;
        rest_ = {};
        return bytes;
    }
    std::string_view& Remaining() noexcept { return rest_; }

private:
    std::string_view rest_;
};

} // namespace kelvara::fuzz
