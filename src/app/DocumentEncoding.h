#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/FileEncoding.h"

// The text a document shows of its file's bytes, and the bytes a save
// writes of a document's text, in the encoding of the document's file.
namespace kelvara {

struct DocumentText {
    FileEncoding encoding;
    // In encoding.codePage: the bytes after the byte-order mark, or the
    // UTF-8 decoding of a UTF-16 file.
    std::string_view text;
    // A UTF-16 file that is not valid UTF-16: the offset of its first bad
    // byte; the text has U+FFFD for every unit that is no character.
    std::optional<std::size_t> damagedAt;
};

// The text of a file's bytes. Without `chosen`, the encoding is detected,
// pure ASCII taking `defaultPage`; a code page the user chose takes every
// byte as text in it (a UTF-8 byte-order mark stays one for UTF-8). The text
// views `bytes` or `decoded`.
DocumentText ReadDocumentText(std::string_view bytes, CodePage defaultPage,
                              std::optional<CodePage> chosen, std::string& decoded);

// Why a text cannot be written in an encoding.
struct EncodingProblem {
    enum class Kind {
        Unencodable, // a character the target code page cannot hold
        NotText,     // bytes that are no character of the text's code page
        Damaged,     // an edited text of a UTF-16 file that was not valid UTF-16
    };
    Kind kind = Kind::Unencodable;
    int line = 0;           // 1-based, in the text
    char32_t codePoint = 0; // of the unencodable character
};

// Appends the bytes of a file holding `text` (in `from`) in `target`: the
// text converted to the target's code page, then its byte-order mark and
// UTF-16 form. Stops at the first character that cannot be written.
std::optional<EncodingProblem> EncodeDocument(std::string_view text, CodePage from,
                                              const FileEncoding& target, std::string& out);

} // namespace kelvara
