#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/FileError.h"
#include "common/FileIdentity.h"

namespace kelvara {

// How one line of a file ended. A last line without a break has None.
enum class LineEnd : std::uint8_t { None, Lf, Cr, CrLf };

std::string_view LineEndBytes(LineEnd end) noexcept;

// One line inside a byte buffer: its bytes without the break, and the break.
struct LineSpan {
    std::size_t start = 0;
    std::size_t length = 0;
    LineEnd end = LineEnd::None;
};

// Reads the whole file into `buffer`, reusing its capacity. `identity`, when
// given, receives the identity of the file as read, for a later FileRewrite.
// `progress`, when given, gets the per cent read so far after each piece of a
// few megabytes (a window shows it while a large file loads).
[[nodiscard]] FileStatus ReadFileBytes(const std::string& path, std::string& buffer,
                                       FileIdentity* identity = nullptr,
                                       const std::function<void(int percent)>& progress = {});

// Splits `bytes` into lines: a line ends at CR, at LF, or at CR LF (one break);
// the bytes after the last break form a last line only when not empty. Splitting
// stops at the first NUL byte, as if the text ended there. `lines` is cleared
// and refilled (its capacity reused). Returns true when a NUL byte stopped it.
bool SplitLines(std::string_view bytes, std::vector<LineSpan>& lines);

// SplitLines without the stop: NUL bytes are ordinary bytes of their line.
void SplitAllLines(std::string_view bytes, std::vector<LineSpan>& lines);

// A file read into lines, each remembering its own break.
struct LineFile {
    std::string bytes;
    std::vector<LineSpan> lines;
    bool stoppedAtNul = false;

    std::string_view Line(std::size_t index) const {
        return std::string_view(bytes).substr(lines[index].start, lines[index].length);
    }
};

[[nodiscard]] FileStatus ReadLineFile(const std::string& path, LineFile& file);

// Appends one line and its own break to `out`: the line writer's step.
void AppendLine(std::string& out, std::string_view line, LineEnd end);

// Replaces the file's content with `bytes` without ever leaving it half
// written (FileRewrite): a new file in the same folder renamed over the
// target, or, where a rename would lose the owner, hard links or cannot
// happen in the folder, a safe write in place. A link is followed and its
// target rewritten; mode, owner, group, hard links and extended attributes
// (ACLs) are kept. A target that is read-only (no write permission bit, even
// for root) is refused. On any failure the original is untouched and the
// error names the path and the reason.
[[nodiscard]] FileStatus WriteFileAtomic(const std::string& path, std::string_view bytes);

} // namespace kelvara
