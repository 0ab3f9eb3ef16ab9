#pragma once

#include <QString>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "common/CodePageConversion.h"

// Texts between Kelvara and Qt. Texts are byte strings in the text code page;
// paths are the file system's bytes, as the system calls take them.
namespace kelvara {

// A text in the text code page, for display (invalid bytes survive).
QString TextToQt(std::string_view text);
// The same for a text in `codePage` (a file's own).
QString TextToQt(std::string_view text, CodePage codePage);
// A text typed or pasted, in the text code page; or the first character that
// the code page cannot hold (then `out` is left alone).
std::optional<UnencodableChar> TextFromQt(const QString& text, std::string& out);
// The same in `codePage` (a document's own).
std::optional<UnencodableChar> TextFromQt(const QString& text, CodePage codePage, std::string& out);

// The monospace family with Chinese glyphs that editors and windows use (a
// Noto Sans Mono CJK face, else the system's fixed font), looked up once.
const QString& MonospaceCjkFamily();

// A path's bytes for display, and the bytes of a path Qt gave.
QString PathToQt(std::string_view path);
std::string PathFromQt(const QString& path);

// A path inside a message in the text code page.
std::string PathInText(std::string_view path);

// A translated message for AskUser and the status texts, in the text code
// page, with %1 ... %9 replaced by texts already in it (paths through
// PathInText).
std::string MessageText(const QString& message, std::initializer_list<std::string_view> args = {});

// The file name part of a path, for captions of tabs, entries and windows.
QString FileNameToQt(std::string_view path);

} // namespace kelvara
