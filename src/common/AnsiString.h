#pragma once

#include <string>
#include <string_view>

#include "common/CodePage.h"

// Byte-string primitives over text in a code page. Positions are 1-based and
// count bytes; 0 means "not found".
namespace kelvara {

// First occurrence of `pattern` in `text` that starts on a character boundary,
// characters classified from the first byte of `text`; 0 when either is empty
// or there is none.
int AnsiPos(std::string_view pattern, std::string_view text, CodePage codePage);
inline int AnsiPos(std::string_view pattern, std::string_view text) {
    return AnsiPos(pattern, text, TextCodePage());
}

// One byte in lower or upper case: only the ASCII letters change.
constexpr char LowerByte(char c) noexcept {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}
constexpr char UpperByte(char c) noexcept {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

// A..Z to a..z; every other byte (trail bytes of two-byte characters included)
// unchanged.
std::string LowerCase(std::string_view text);
void LowerCaseInPlace(std::string& text) noexcept;

// A..Z to a..z where such a byte is a character of its own; a byte of a
// two-byte character stays, even one that looks like a letter (the GBK trail
// byte of 說 is 'f'). Letter case is ignored by comparing texts folded so.
std::string LowerCaseLetters(std::string_view text, CodePage codePage);
void LowerCaseLettersInPlace(std::string& text, CodePage codePage) noexcept;

// Without the leading and trailing bytes of value 0x20 or less.
std::string_view TrimView(std::string_view text) noexcept;
inline std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

// Replaces the non-overlapping occurrences of `oldPattern` (found with AnsiPos)
// from left to right: all of them, or the first only. Ignoring case folds the
// letters as LowerCaseLetters does; the bytes copied to the result always come
// from `text`, whose characters are in `codePage`.
std::string StringReplace(std::string_view text, std::string_view oldPattern,
                          std::string_view newText, bool replaceAll, bool ignoreCase,
                          CodePage codePage);

} // namespace kelvara
