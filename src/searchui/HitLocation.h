#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/CodePage.h"
#include "common/Regex.h"

namespace kelvara {

class TMemoComponent;

// Where a hit of the result tree should stand in a document's plain view.
struct HitTarget {
    std::int32_t line = 0;   // 1-based
    std::int32_t column = 0; // 1-based; 0: anywhere in the line (a replaced line)
    // The bytes that stand there: the search text, or after a replace the
    // replacement, in the code page of the file's text.
    std::string text;
    CodePage codePage = CodePage::Utf8;
    bool ignoreCase = false; // the run folded ASCII letters
    // The run ignored blanks: the column counts from the first byte after the
    // line's leading blanks (bytes up to 0x20).
    bool trimmed = false;
    // A find for a regular expression: a match of it must start at the
    // column, and is selected whole (`text` is not used).
    std::shared_ptr<const RegexPattern> regex;
};

enum class HitPlace {
    Found,
    LineMissing, // the document has fewer lines
    TextDiffers, // the line no longer holds the text there
};

struct HitSelection {
    HitPlace place = HitPlace::LineMissing;
    int selStart = 0; // 0-based, CR LF counting two bytes, as SelStart
    int selLength = 0;
};

// Finds the hit in the view's text and checks that its bytes are still
// there, so that a file changed since the run is never selected at a wrong
// place. An empty text at column 0 (a line a regular expression replaced)
// places the caret at the line's start.
HitSelection LocateHit(const TMemoComponent& view, const HitTarget& target);

} // namespace kelvara
