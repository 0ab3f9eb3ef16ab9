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

// A UTF-8 text written in the source (a caption), for a widget.
inline QString Caption(const char* utf8) { return QString::fromUtf8(utf8); }

// The windows' font: a CJK-capable monospace font at 12 pixels.
QFont WindowFont();

} // namespace kelvara
