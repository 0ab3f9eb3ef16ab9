#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/CodePage.h"
#include "common/Regex.h"
#include "common/RegexReplacement.h"
#include "search/MatchOptions.h"

namespace kelvara {

// The texts of a run in one code page.
struct CodePageTexts {
    // The prepared search text (PrepareSearchText in this code page).
    std::string searchText;
    // False when the code page cannot hold the search text: its files have
    // no hits (`searchText` then keeps the bytes of what it cannot hold).
    bool holdsSearchText = true;
    std::string replacement;
    // The first character of the replacement that the code page cannot hold.
    std::optional<char32_t> missingFromReplacement;
};

// A run's regular expression, compiled once for all its threads, and its
// replacement parsed against it.
struct RunRegex {
    std::shared_ptr<const RegexPattern> pattern;
    std::shared_ptr<const RegexReplacement> replacement; // null without a replacement text
};

// The search and replacement texts of a run as the user typed them (UTF-8),
// encoded once into each code page: every file is matched with the texts in
// its own code page. A byte of the typed text that is not valid UTF-8 is
// taken over as it is. With the Regex option the search text is a regular
// expression, compiled here (its text, encoded, shows in captions), and the
// replacement refers to its groups.
class RunTexts {
public:
    RunTexts(std::string_view text, std::string_view replacement, const MatchOptions& options);

    // The prepared search text in UTF-8.
    const std::string& SearchText() const noexcept { return In(CodePage::Utf8).searchText; }
    const std::string& Replacement() const noexcept { return In(CodePage::Utf8).replacement; }
    const CodePageTexts& In(CodePage codePage) const noexcept {
        return texts_[static_cast<std::size_t>(codePage)];
    }
    // Both texts are ASCII: they are the same bytes in every code page, and
    // match a line of nothing but ASCII alike whatever its file's code page.
    bool AsciiOnly() const noexcept { return asciiOnly_; }

    // The regular expression; null without the Regex option, or when it
    // cannot be used (RegexError says why).
    const RunRegex* Regex() const noexcept { return regex_.pattern ? &regex_ : nullptr; }
    // Why the regular expression or its replacement cannot be used.
    const std::optional<PatternError>& RegexError() const noexcept { return regexError_; }

private:
    RunRegex regex_;
    std::optional<PatternError> regexError_;
    std::array<CodePageTexts, 2> texts_;
    bool asciiOnly_;
};

// Whether the regular expression `text` and the `replacement` (when not
// empty) can be used under `options`; the fault when not, its column counted
// in `text` as typed. The window and the command line ask before a run.
std::optional<PatternError> CheckRegex(std::string_view text, std::string_view replacement,
                                       const MatchOptions& options);

} // namespace kelvara
