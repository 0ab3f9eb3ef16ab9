#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvara {

// One glob as the command line's -g and .gitignore files write them, matched
// against a path relative to a base folder ("drivers/net/a.c"):
// - "*" is any run of characters within one name, "?" one character (a UTF-8
//   sequence counts as one), "[a-z]" / "[!a-z]" / "[^a-z]" one character of a
//   class, "\x" the character x itself;
// - "**/" at the start is any number of leading folders, "/**/" any number of
//   folders in between (none too), "/**" at the end everything inside;
// - a glob without a "/" (but at its end) matches the last name at any depth;
//   one with a "/" is anchored at the base folder (a leading "/" only anchors);
// - a "/" at the end makes it match folders only;
// - a leading "!" negates it (kept apart: Negated()).
class PathGlob {
public:
    // Nullopt, with `error` saying why, for a glob that cannot be used (an
    // unclosed class, a "\" at the end, nothing but "!" or "/").
    static std::optional<PathGlob> Parse(std::string_view glob, std::string& error);

    bool Negated() const noexcept { return negated_; }
    bool FoldersOnly() const noexcept { return foldersOnly_; }
    const std::string& Text() const noexcept { return text_; }

    // Whether the glob matches the entry at `relative` (no leading or
    // trailing "/"). Safe to call from several threads.
    bool Matches(std::string_view relative, bool isFolder) const;

private:
    enum class Kind {
        Literal,    // `text`
        One,        // "?"
        Class,      // `ranges`, or outside them when `negatedClass`
        Star,       // "*"
        AnyFolders, // "**/" at the start: empty or anything ending in "/"
        Inside,     // "/**/": "/" then empty or anything ending in "/"
        Rest,       // "/**" at the end: "/" and anything after it
        Anything,   // a lone "**"
    };
    struct Token {
        explicit Token(Kind kind) : kind(kind) {}
        Kind kind;
        std::string text;
        bool negatedClass = false;
        std::vector<std::pair<char32_t, char32_t>> ranges;
    };

    bool ParseBody(std::string_view body, std::string& error);
    bool MatchFrom(std::size_t token, std::size_t at, std::string_view path,
                   std::vector<unsigned char>& memo) const;
    bool StepToken(const Token& token, std::size_t index, std::size_t at, std::string_view path,
                   std::vector<unsigned char>& memo) const;

    std::string text_;
    bool negated_ = false;
    bool foldersOnly_ = false;
    bool anchored_ = false;
    std::vector<Token> tokens_;
};

} // namespace kelvara
