#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QFont>
#include <QString>

#include "common/CodePageConversion.h"
#include "platform/UiText.h"

// Texts at the boundary between Kelvara's byte strings and Qt's widgets, as
// the batch windows need them besides the shared ones (TextToQt, TextFromQt).
namespace kelvara {

// A text as typed (a search or replacement text, in UTF-8), for a widget.
inline QString Utf8ToQt(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The windows' font: a CJK-capable monospace font at 12 pixels.
QFont WindowFont();

} // namespace kelvara
