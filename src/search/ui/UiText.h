#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QFont>
#include <QString>

#include "common/CodePageConversion.h"

// Texts at the boundary between Kelvara's byte strings and Qt's widgets.
namespace kelvara {

// A text in the text code page, for a widget.
QString TextToQString(std::string_view bytes);
// A UTF-8 text written in the source (a caption), for a widget.
inline QString Caption(const char* utf8) { return QString::fromUtf8(utf8); }

// A widget's text in the text code page, or the first character that the code
// page cannot hold (then `out` is left alone).
std::optional<UnencodableChar> QStringToText(const QString& text, std::string& out);

// File names are bytes in the file system's encoding, not in the text code page.
QString PathToQString(std::string_view path);
std::string PathFromQString(const QString& path);

// The windows' font: a CJK-capable monospace font at 12 pixels.
QFont WindowFont();

} // namespace kelvara
