#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Regex.h"

namespace kelvara {

// A replacement text with references to the match: "$0" the whole match,
// "$1" (all the digits that follow), "${1}" and "${name}" a group, "$$" a
// dollar sign; a "$" before anything else stands for itself. An unset group
// gives nothing.
class RegexReplacement {
public:
    // Nullopt, with `error` saying why, when it refers to a group the pattern
    // does not have. `text` is UTF-8.
    static std::optional<RegexReplacement> Parse(std::string_view text, const RegexPattern& pattern,
                                                 std::string& error);

    // The first character of the replacement's own text that `codePage`
    // cannot hold: such a file cannot take the replacement.
    std::optional<char32_t> MissingFrom(CodePage codePage) const {
        return missing_[static_cast<std::size_t>(codePage)];
    }

    // Appends the replacement of hit `hit` of the matcher's last Scan (made
    // with groups) of `line`, in the matcher's code page: group texts are the
    // line's own bytes.
    void Append(const RegexMatcher& matcher, std::string_view line, std::size_t hit,
                std::string& out) const;

private:
    static constexpr std::size_t kText = SIZE_MAX;
    struct Piece {
        std::size_t group = kText;
        std::array<std::string, 2> text; // in each code page
    };

    void AddText(std::string_view utf8);

    std::vector<Piece> pieces_;
    std::array<std::optional<char32_t>, 2> missing_;
};

} // namespace kelvara
