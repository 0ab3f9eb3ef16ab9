#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "common/FileError.h"
#include "search/FileBuffer.h"

namespace kelvara {

// One line of a file as listings and exports show it.
struct FileLine {
    std::int32_t number = 0;
    std::size_t offset = 0;     // of its first byte in the text
    std::string_view text;      // without its break
    std::string_view lineBreak; // "\r\n", "\n", "\r", or empty after the last line
};

// A file read again after a run, to show its hit lines with the lines around
// them. Lines are numbered as the run numbered them: a line ends at CR, LF or
// CR LF, and the text ends at the first NUL byte. The text is the one the run
// matched: without a byte-order mark, a UTF-16 file decoded into UTF-8.
class FileLines {
public:
    [[nodiscard]] FileStatus Read(const std::string& path);

    // Goes through the lines in order: every line from `before` lines ahead
    // of a hit line to `after` lines after it, handed to `take` with whether
    // it is one of `hitLines` (ascending; a number may repeat); `groupEnd`
    // after each run of lines that follow one another. Hit lines past the
    // file's end (it shrank since the run) are not shown.
    void Visit(std::span<const std::int32_t> hitLines, int before, int after,
               const std::function<void(const FileLine& line, bool isHit)>& take,
               const std::function<void()>& groupEnd) const;

private:
    FileBuffer buffer_;
    std::string decoded_; // a UTF-16 file's text
    std::string_view text_;
};

} // namespace kelvara
