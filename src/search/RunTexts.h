#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "common/CodePage.h"
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

// The search and replacement texts of a run as the user typed them (UTF-8),
// encoded once into each code page: every file is matched with the texts in
// its own code page. A byte of the typed text that is not valid UTF-8 is
// taken over as it is.
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

private:
    std::array<CodePageTexts, 2> texts_;
    bool asciiOnly_;
};

} // namespace kelvara
