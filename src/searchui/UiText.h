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

// The windows' font: a CJK-capable monospace font at 12 pixels.
QFont WindowFont();

} // namespace kelvara
