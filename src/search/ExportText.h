#pragma once

#include <string>
#include <string_view>

#include "common/CodePage.h"

// Texts of a file's code page as the export formats write them.
namespace kelvara {

// Appends `bytes` as UTF-8. A byte that is not part of a valid character of
// `codePage`, and a control byte other than a tab, is written "\xHH", so that
// nothing is dropped and a line break inside a path cannot split a line.
void AppendEscapedUtf8(std::string_view bytes, CodePage codePage, std::string& out);

// Appends the UTF-8 form of `bytes` and returns true when every byte belongs
// to a valid character of `codePage`; otherwise appends nothing.
bool AppendUtf8IfValid(std::string_view bytes, CodePage codePage, std::string& out);

// Appends `bytes` in base64 (RFC 4648, with padding).
void AppendBase64(std::string_view bytes, std::string& out);

// Appends a UTF-8 text as a JSON string, quotes included.
void AppendJsonString(std::string_view utf8, std::string& out);

} // namespace kelvara
