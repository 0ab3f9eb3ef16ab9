#pragma once

#include <cstddef>
#include <string_view>

namespace kelvara {

// The text code page: every text Kelvara handles is a byte string in it.
enum class CodePage { Gbk, Utf8 };

CodePage TextCodePage() noexcept;
void SetTextCodePage(CodePage codePage) noexcept;

// Number of bytes of the character that starts at `text[i]`, at least 1 and
// never past the end of the text. GBK: a byte 0x81..0xFE followed by another
// byte is a two-byte character. UTF-8: a well-formed sequence is one
// character; any malformed byte is a character of its own.
std::size_t CharLength(std::string_view text, std::size_t i, CodePage codePage) noexcept;

inline std::size_t CharLength(std::string_view text, std::size_t i) noexcept {
    return CharLength(text, i, TextCodePage());
}

// True when the byte can only start a character of more than one byte.
bool IsLeadByte(unsigned char byte, CodePage codePage) noexcept;

} // namespace kelvara
