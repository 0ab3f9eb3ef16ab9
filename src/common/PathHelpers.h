#pragma once

#include <string>
#include <string_view>

// Path routines on byte strings. The separator is the platform's "/"; the
// names that speak of a backslash are kept and mean that separator.
namespace kelvara {

inline constexpr char kPathSeparator = '/';

// 1-based position of the last `c` in `text`; 0 when there is none.
int LastPos(std::string_view text, char c);

// The part after the last separator; the whole text when there is none.
std::string FileNameOfPath(std::string_view path);

// The text with a separator appended unless it already ends in one; an empty
// text gives the separator alone.
std::string WithTrailingBackslash(std::string_view text);

// Empty for an empty name; the name unchanged when a "." follows its last
// separator; otherwise the name followed by `extension` (".txt").
std::string DefaultExtension(std::string_view fileName, std::string_view extension);

// The part of the path from its last "." on, dot included; empty when no "."
// follows the last separator.
std::string ExtractFileExt(std::string_view path);

} // namespace kelvara
