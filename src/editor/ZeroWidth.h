#pragma once

namespace kelvara {

// True for a code point that takes no cell of its own: a combining mark or
// an invisible format character. It joins the character before it (the
// mark's base) in display width, caret movement and painting.
bool IsZeroWidthCodePoint(char32_t codePoint) noexcept;

} // namespace kelvara
