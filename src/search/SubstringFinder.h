#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/CodePage.h"

namespace kelvara {

// Finds one byte string in many texts. Candidates are filtered by the first
// and the last byte of the pattern 32 positions at a time (16 without AVX2),
// which stays fast on short lines and on patterns with common bytes.
//
// Ignoring case, each byte of the pattern that is a letter and a character of
// its own also matches its other case; a byte of a two-byte character matches
// only itself. Lead bytes are never letters, so an occurrence that starts on
// a character boundary of the text has the pattern's characters: the GBK
// character 說 (D5 66) is never found for 誇 (D5 46). Whether an occurrence
// starts on a boundary is the caller's to check.
class SubstringFinder {
public:
    static constexpr std::size_t kNotFound = std::string_view::npos;

    SubstringFinder(std::string_view pattern, bool ignoreCase, CodePage codePage);

    // Position of the first occurrence starting at or after `from`, or kNotFound.
    // An empty pattern is never found.
    std::size_t Find(std::string_view text, std::size_t from) const;

private:
    bool InnerBytesMatch(const char* candidate) const;
    std::size_t FindScalar(std::string_view text, std::size_t from) const;
#if defined(__x86_64__)
    std::size_t FindWide(std::string_view text, std::size_t& i) const;
#endif

    std::string pattern_; // its letters lower-cased when ignoring case
    std::string other_;   // per byte the other byte that matches (the byte itself if none)
    bool exact_;          // no byte of the pattern has another byte that matches
    char first_, firstOther_;
    char last_, lastOther_;
};

} // namespace kelvara
