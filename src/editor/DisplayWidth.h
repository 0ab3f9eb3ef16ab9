#pragma once

#include <cstddef>
#include <string_view>

#include "common/CodePage.h"

namespace kelvara {

// Screen cells of the character of `length` bytes at text[i]: in GBK its byte
// count (a two-byte character fills two cells); in UTF-8 two for East Asian
// wide and full-width characters, one for every other character and for a
// malformed byte. Geometry, tab phase and painting all count with this.
int CharCells(std::string_view text, std::size_t i, std::size_t length, CodePage codePage) noexcept;

// True for East Asian wide and full-width code points.
bool IsWideCodePoint(char32_t codePoint) noexcept;

} // namespace kelvara
