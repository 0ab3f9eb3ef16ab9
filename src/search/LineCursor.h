#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kelvara {

// Walks the lines of a text forward, numbering them as the file reader does
// (a line ends at CR, LF or CR LF), without splitting the whole text: a run
// jumps straight to the lines that hold a candidate.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) noexcept;

    // Moves forward to the line that holds byte `offset` (for an offset inside
    // a line break, one of its two neighbours). Never moves backwards.
    void MoveTo(std::size_t offset) noexcept;
    // Moves past the current line's break; false when no line follows.
    bool NextLine() noexcept;
    // Moves forward to line `number`, as NextLine would, line by line; false
    // where NextLine would be.
    bool MoveToLine(std::int32_t number) noexcept;

    std::size_t Start() const noexcept { return start_; }
    std::int32_t Number() const noexcept { return number_; }
    // The current line without its break.
    std::string_view Line() noexcept;

private:
    std::size_t BreakLength(std::size_t at) const noexcept;
    // Moves to the line that holds byte `offset`, past the `breaks` line
    // breaks that begin between the current line's start and it.
    void MovePast(std::size_t offset, std::size_t breaks) noexcept;

    std::string_view text_;
    std::size_t start_ = 0;
    std::size_t end_ = std::string_view::npos; // break of the current line, found lazily
    std::int32_t number_ = 1;
};

} // namespace kelvara
