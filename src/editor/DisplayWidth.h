#pragma once

#include <cstddef>
#include <string_view>

#include "common/CodePage.h"

namespace kelvara {

// Screen cells of the character of `length` bytes at text[i]: in GBK its byte
// count (a two-byte character fills two cells); in UTF-8 two for East Asian
// wide and full-width characters, none for combining marks and other
// zero-width characters (drawn in the cells of the character before them),
// one for every other character and for a malformed byte. Geometry, tab
// phase and painting all count with this.
int CharCells(std::string_view text, std::size_t i, std::size_t length, CodePage codePage) noexcept;

// Walks the characters of `chars` that start before byte `limit`, adding
// their cells to `width` (a tab advances to the next multiple of `tabSize`).
// Returns the bytes walked: `limit`, or more when a character crosses it.
// Sets `sawTab` when a tab was met.
std::size_t WalkCells(std::string_view chars, std::size_t limit, int& width, int tabSize,
                      CodePage codePage, bool& sawTab) noexcept;

// Display width after all of `chars`, starting from `width`; `chars` starts a
// character.
int AdvanceCells(std::string_view chars, int width, int tabSize, CodePage codePage) noexcept;
// The same for text in pieces (the two sides of the editor's gap): in GBK,
// `afterLead` says that the piece before ended in a lead byte whose second
// byte starts `chars`, and is set for the piece after.
int AdvanceCells(std::string_view chars, int width, int tabSize, CodePage codePage,
                 bool& afterLead) noexcept;

// True for East Asian wide and full-width code points.
bool IsWideCodePoint(char32_t codePoint) noexcept;

} // namespace kelvara
