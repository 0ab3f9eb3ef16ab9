#pragma once

#include "editor/EditorHost.h"

namespace kelvara {

// Colours of the syntax settings, written like the settings files write them:
// $00BBGGRR, blue in the high byte.
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clBlue = 0xFF0000;

} // namespace kelvara
