#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvara {

// Finds one byte string in many texts. Candidates are filtered by the first
// and the last byte of the pattern sixteen positions at a time, which stays
// fast on short lines and on patterns with common bytes. Ignoring case folds
// ASCII letters only, so no folded copy of the text is needed.
class SubstringFinder {
public:
    static constexpr std::size_t kNotFound = std::string_view::npos;

    explicit SubstringFinder(std::string_view pattern, bool ignoreCase = false);

    // Position of the first occurrence starting at or after `from`, or kNotFound.
    // An empty pattern is never found.
    std::size_t Find(std::string_view text, std::size_t from) const;

private:
    bool InnerBytesMatch(const char* candidate) const;
    std::size_t FindScalar(std::string_view text, std::size_t from) const;

    std::string pattern_; // lower-cased when ignoring case
    bool ignoreCase_;
    char first_, firstOther_; // the first byte and its other letter case
    char last_, lastOther_;
};

} // namespace kelvara
