#pragma once

#include <cstddef>
#include <string_view>

// The byte scans that tell a file's encoding, many bytes at a time.
namespace kelvara {

// The position of the first byte above 0x7F; the size when there is none.
std::size_t FirstNonAscii(std::string_view bytes) noexcept;

// Whether every sequence is well-formed UTF-8 (no overlong forms, surrogates
// or values past U+10FFFF, none cut short).
bool IsValidUtf8(std::string_view bytes) noexcept;

} // namespace kelvara
