#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/FileError.h"

// Replacing stretches of a text: the one step that the replace runs, the
// preview and `replace --dry-run` share, so that what is shown and what is
// written cannot differ.
namespace kelvara {

// Bytes [start, start + length) of a text, and what replaces them when it is
// not the one replacement of the run (a regular expression's replacement,
// expanded for this match).
struct Stretch {
    std::size_t start = 0;
    std::size_t length = 0;
    std::optional<std::string> replacement = std::nullopt;

    std::size_t End() const noexcept { return start + length; }
    std::string_view ReplacedBy(std::string_view runReplacement) const noexcept {
        return replacement ? std::string_view(*replacement) : runReplacement;
    }
    // The same stretch, replacement and all, starting at `newStart` (the
    // stretch counted in a line placed in the whole text, or back).
    Stretch MovedTo(std::size_t newStart) const {
        Stretch moved = *this;
        moved.start = newStart;
        return moved;
    }
    friend bool operator==(const Stretch&, const Stretch&) = default;
};

// Drops, from index `from` on, each stretch that begins before the end of the
// one kept before it: a hit overlapping one already replaced is left, as the
// replace of a line leaves it. The stretches are in order of their starts.
void KeepApart(std::vector<Stretch>& stretches, std::size_t from = 0);

// Appends `text` with each stretch (in order, apart) replaced by `replacement`.
void AppendReplaced(std::string_view text, std::span<const Stretch> stretches,
                    std::string_view replacement, std::string& out);

// The same, handed to `sink` piece by piece (a file's new content goes straight
// into its rewrite); stops at the first error of the sink.
using PieceSink = std::function<FileStatus(std::string_view piece)>;
[[nodiscard]] FileStatus WriteReplaced(std::string_view text, std::span<const Stretch> stretches,
                                       std::string_view replacement, const PieceSink& sink);

// Where each replaced stretch lies in the new text.
std::vector<Stretch> NewStretches(std::span<const Stretch> stretches, std::string_view replacement);

} // namespace kelvara
