#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/CodePage.h"

// Conversion between byte strings in a code page and Unicode. Decoding never
// fails and never loses a byte: a byte that does not start a valid character
// becomes the private-use code point kByteEscapeBase + byte (U+F780..U+F7FF),
// and encoding turns those code points back into the byte. A valid character
// that decodes into that range is taken as invalid bytes, so that decoding and
// encoding again gives back the very same bytes for any byte string. (A
// character of that private range typed by the user is therefore written as
// the byte it stands for.)
namespace kelvara {

inline constexpr char32_t kByteEscapeBase = 0xF700;

// A character that the target code page cannot hold, and where it was: the
// index of its first code unit in the UTF-16 text, or of its first byte when
// recoding a byte string.
struct UnencodableChar {
    char32_t codePoint = 0; // a lone surrogate is reported as itself
    std::size_t position = 0;
};

// True for the code points that stand for invalid bytes.
constexpr bool IsByteEscape(char32_t codePoint) noexcept {
    return codePoint >= kByteEscapeBase + 0x80 && codePoint <= kByteEscapeBase + 0xFF;
}

// One character of a byte string: its code point (an escape for a byte that
// does not start a valid character) and the bytes it takes.
struct DecodedChar {
    char32_t codePoint = 0;
    std::size_t length = 1;
};
DecodedChar DecodeCharAt(std::string_view bytes, std::size_t i, CodePage codePage);

// Appends the Unicode form of `bytes` to `out`.
void DecodeText(std::string_view bytes, CodePage codePage, std::u16string& out);
std::u16string DecodeText(std::string_view bytes, CodePage codePage);

// Appends the bytes of `text` to `out`; stops at the first character that the
// code page cannot hold and reports it (nothing is ever replaced by "?").
[[nodiscard]] std::optional<UnencodableChar> EncodeText(std::u16string_view text, CodePage codePage,
                                                        std::string& out);

// Converts `bytes` from one code page to the other, appending to `out`. Bytes
// that are invalid in `from` are copied as they are; a character that `to`
// cannot hold stops the conversion and is reported.
[[nodiscard]] std::optional<UnencodableChar> RecodeText(std::string_view bytes, CodePage from,
                                                        CodePage to, std::string& out);

// As RecodeText, but a character that `to` cannot hold keeps its bytes.
void RecodeLenient(std::string_view bytes, CodePage from, CodePage to, std::string& out);

// A UTF-8 text (such as a message written in the source) in the text code page.
std::string TextFromUtf8(std::string_view utf8);

// "U+20AC": how a character is named in messages.
std::string CodePointName(char32_t codePoint);

} // namespace kelvara
