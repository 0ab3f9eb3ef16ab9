#pragma once

#include <optional>

#include "common/CodePage.h"

namespace kelvara {

// The options of a batch run, all off by default.
struct MatchOptions {
    bool CaseSensitive = false; // off: one-byte ASCII letters compare folded
    bool WholeWord = false;     // on: a hit must stand between spaces or line ends
    bool IgnoreSpaces = false;  // on: search text and lines lose their outer bytes <= 0x20
    // Empty: each file's code page is told from its bytes; set: every file
    // without a byte-order mark is taken to be in this one.
    std::optional<CodePage> ForcedCodePage = std::nullopt;
    // On: the search text is a regular expression (PCRE2); letter case, whole
    // words and blanks keep their meaning.
    bool Regex = false;
};

} // namespace kelvara
