#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "search/Stretch.h"

// The change a replace makes to a text, told as a diff: hunks of changed
// lines with unchanged lines around them. Lines end at LF, as diff and patch
// count them (a CR stays in its line), so that the unified form applies with
// `patch`.
namespace kelvara {

enum class DiffLineKind : std::uint8_t { Context, Removed, Added };

class DiffSink {
public:
    virtual ~DiffSink() = default;
    // A hunk begins: its first line (1-based; for an empty side the line
    // before it) and its line count, in the old and in the new text.
    virtual void Hunk(std::size_t oldStart, std::size_t oldCount, std::size_t newStart,
                      std::size_t newCount) = 0;
    // One line without its LF. `marks` are the stretches of the line that the
    // replace took out (on a removed line) or put in (on an added line).
    // `noBreak`: the last line of its text, without an LF.
    virtual void Line(DiffLineKind kind, std::string_view text, std::span<const Stretch> marks,
                      bool noBreak) = 0;
};

// A line of a text as a find numbers it (a line ends at CR, LF or CR LF):
// its number, from 1, and its bytes [start, end) without its break.
struct NumberedLine {
    std::size_t number = 0;
    std::size_t start = 0;
    std::size_t end = 0;
};

// Tells `sink` the diff from `oldText` to the text with each stretch (in
// order, apart) replaced by `replacement`, with up to `context` unchanged
// lines around the changed ones. Nothing is told without stretches.
// `lines`, when given, are the lines that hold the stretches, in order, as
// the find that found them numbered them. Where they are the diff's own lines
// (no CR comes before the end of the last) the diff takes their numbers
// instead of counting the breaks of the whole text up to each change.
void DiffReplaced(std::string_view oldText, std::span<const Stretch> stretches,
                  std::string_view replacement, std::size_t context, DiffSink& sink,
                  std::span<const NumberedLine> lines = {});

// Writes the unified form: hunk heads "@@ -a,b +c,d @@", lines after " ",
// "-" or "+", and "\ No newline at end of file" after a last line without one.
class UnifiedDiffPrinter : public DiffSink {
public:
    explicit UnifiedDiffPrinter(std::string& out) : out_(out) {}
    void Hunk(std::size_t oldStart, std::size_t oldCount, std::size_t newStart,
              std::size_t newCount) override;
    void Line(DiffLineKind kind, std::string_view text, std::span<const Stretch> marks,
              bool noBreak) override;

private:
    std::string& out_;
};

} // namespace kelvara
