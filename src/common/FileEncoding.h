#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/CodePage.h"
#include "common/Utf8Scan.h"

// How a file's text is stored, found per file from its bytes. Kelvara works on
// a file's text in its code page; the text of a UTF-16 file is its UTF-8
// decoding, encoded back in the file's byte order when the file is written.
namespace kelvara {

enum class Utf16Order : std::uint8_t { None, LittleEndian, BigEndian };

struct FileEncoding {
    CodePage codePage = CodePage::Utf8; // of the text: UTF-8 for a UTF-16 file
    bool bom = false;                   // the file begins with a byte-order mark
    Utf16Order utf16 = Utf16Order::None;

    friend bool operator==(const FileEncoding&, const FileEncoding&) = default;
};

// A file of `codePage` without a byte-order mark.
constexpr FileEncoding PlainEncoding(CodePage codePage) noexcept {
    return {codePage, false, Utf16Order::None};
}

// How a file's code page is chosen.
struct CodePageChoice {
    CodePage fallback = CodePage::Utf8; // for pure-ASCII files
    std::optional<CodePage> forced;     // for every file without a byte-order mark
};

// The encoding that the byte-order mark at the start of `bytes` gives, if any.
std::optional<FileEncoding> EncodingOfBom(std::string_view bytes) noexcept;

// The encoding of a file's bytes. A byte-order mark decides (EF BB BF UTF-8,
// FF FE UTF-16 LE, FE FF UTF-16 BE); else a forced code page; else bytes that
// are valid UTF-8 and hold a non-ASCII character are UTF-8, bytes that are
// not valid UTF-8 are GBK, and pure ASCII takes the fallback. Many bytes at a
// time; GBK is told at its first characters.
FileEncoding DetectEncoding(std::string_view bytes, const CodePageChoice& choice) noexcept;

// "GBK", "UTF-8", "UTF-8 BOM", "UTF-16LE" or "UTF-16BE".
std::string_view EncodingName(const FileEncoding& encoding) noexcept;

// The byte-order mark the file starts with; empty for none.
std::string_view BomBytes(const FileEncoding& encoding) noexcept;

// The text of a file's bytes in its encoding: the bytes after the byte-order
// mark, or for a UTF-16 file their UTF-8 decoding, kept in `decoded` (whose
// capacity is reused). A UTF-16 file that is not valid (an odd number of
// bytes, a surrogate without its partner) has no text: returns the offset in
// the file of the first byte that is not part of a character.
[[nodiscard]] std::optional<std::size_t> FileText(std::string_view bytes,
                                                  const FileEncoding& encoding,
                                                  std::string& decoded, std::string_view& text);

// Appends the UTF-16 form of a UTF-8 text in the byte order, without a
// byte-order mark; a text split between whole characters can be encoded piece
// by piece. Stops at the first byte that is not part of a well-formed
// character and returns its offset in `utf8`.
[[nodiscard]] std::optional<std::size_t> AppendUtf16(std::string_view utf8, Utf16Order order,
                                                     std::string& out);

// Appends the bytes of a file that holds `text` in the encoding, its
// byte-order mark first. For UTF-16 the text must be valid UTF-8: returns the
// offset in `text` of the first byte that is not (`out` then has a part).
[[nodiscard]] std::optional<std::size_t>
AppendFileBytes(std::string_view text, const FileEncoding& encoding, std::string& out);

} // namespace kelvara
