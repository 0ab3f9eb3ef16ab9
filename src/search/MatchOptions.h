#pragma once

namespace kelvara {

// The three options of a batch run, all off by default.
struct MatchOptions {
    bool CaseSensitive = false; // off: one-byte ASCII letters compare folded
    bool WholeWord = false;     // on: a hit must stand between spaces or line ends
    bool IgnoreSpaces = false;  // on: search text and lines lose their outer bytes <= 0x20
};

} // namespace kelvara
