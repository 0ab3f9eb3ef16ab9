#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvara {

// Finds one byte string in many texts, byte for byte. Candidates are filtered
// by the first and the last byte of the pattern sixteen positions at a time,
// which stays fast on short lines and on patterns with common bytes.
class SubstringFinder {
public:
    static constexpr std::size_t kNotFound = std::string_view::npos;

    explicit SubstringFinder(std::string_view pattern) : pattern_(pattern) {}

    // Position of the first occurrence starting at or after `from`, or kNotFound.
    // An empty pattern is never found.
    std::size_t Find(std::string_view text, std::size_t from) const;

private:
    std::string pattern_;
};

} // namespace kelvara
