#pragma once

#include <string_view>

namespace kelvara::syntax {

// Byte classes of the scanner; bytes 128-255 belong to none of them.
constexpr bool IsDigit(unsigned char c) noexcept { return c >= '0' && c <= '9'; }
constexpr bool IsHexDigit(unsigned char c) noexcept {
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
constexpr bool IsWordChar(unsigned char c) noexcept {
    return c == '$' || IsDigit(c) || (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z');
}
constexpr bool IsTokenChar(unsigned char c) noexcept {
    return IsWordChar(c) || c == '#' || c == '+' || c == '-' || c == '.';
}
constexpr bool IsNumberStart(unsigned char c) noexcept {
    return IsDigit(c) || c == '#' || c == '.';
}
// Printable ASCII punctuation except "$", "_" and "`".
constexpr bool IsSymbolChar(unsigned char c) noexcept {
    return (c >= 33 && c <= 35) || (c >= 37 && c <= 47) || (c >= 58 && c <= 64) ||
           (c >= 91 && c <= 94) || (c >= 123 && c <= 126);
}
constexpr bool IsParenthesis(unsigned char c) noexcept { return c == '(' || c == ')'; }

// A token that is drawn as a number: one that starts like a number, or "$"
// followed by hex digits. Not empty.
constexpr bool IsNumberToken(std::string_view token) noexcept {
    if (IsNumberStart(static_cast<unsigned char>(token[0]))) return true;
    if (token[0] != '$' || token.size() < 2) return false;
    for (const char c : token.substr(1))
        if (!IsHexDigit(static_cast<unsigned char>(c))) return false;
    return true;
}

} // namespace kelvara::syntax
