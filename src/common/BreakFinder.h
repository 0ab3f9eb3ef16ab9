#pragma once

#include <cstring>
#include <string_view>

namespace kelvara {

// Finds the CR and LF bytes of a text in order. Each kind is looked for with
// memchr and only again once passed, so a text that holds only one kind is
// searched for the other once, not at every line.
class BreakFinder {
public:
    explicit BreakFinder(std::string_view text)
        : text_(text), cr_(Find('\r', 0)), lf_(Find('\n', 0)) {}

    // The first CR or LF at or after `from`; npos when there is none.
    std::size_t Next(std::size_t from) {
        if (cr_ < from) cr_ = Find('\r', from);
        if (lf_ < from) lf_ = Find('\n', from);
        return cr_ < lf_ ? cr_ : lf_;
    }

private:
    std::size_t Find(char byte, std::size_t from) const {
        if (from >= text_.size()) return std::string_view::npos;
        const void* hit = std::memchr(text_.data() + from, byte, text_.size() - from);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data())
                   : std::string_view::npos;
    }

    std::string_view text_;
    std::size_t cr_;
    std::size_t lf_;
};

} // namespace kelvara
