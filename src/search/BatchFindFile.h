#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "search/BatchRun.h"
#include "search/SubstringFinder.h"

namespace kelvara {

// A stretch of a file without candidates is searched in pieces of this size,
// with a yield between them, so that a window stays live on a huge file.
inline constexpr std::size_t kYieldStretch = 1u << 20;

// Takes the lines of a file that hold an occurrence of the search text.
class CandidateLines {
public:
    virtual ~CandidateLines() = default;
    // The line without its break, cut where the file's text ends.
    virtual void Take(std::int32_t lineNumber, std::string_view line) = 0;
};

// Searches the bytes of one file. Only the lines that hold an occurrence of
// the search text can hold a hit, so the search jumps from occurrence to
// occurrence (found in the whole file, letter case folded on the fly when it
// does not count) and hands each such line to `lines`, once, in order. The
// text of a file ends at its first NUL byte. Before each line the stop flag
// is checked and the yield hook called, and between long stretches without an
// occurrence too. Returns false when a stop was requested.
bool SearchFileBytes(std::string_view bytes, const SubstringFinder& finder, std::size_t patternSize,
                     const BatchHooks& hooks, CandidateLines& lines);

// The same where no text tells the lines that can hold a hit: every line of
// the text (up to its first NUL byte) is handed over.
bool SearchEveryLine(std::string_view bytes, const BatchHooks& hooks, CandidateLines& lines);

} // namespace kelvara
