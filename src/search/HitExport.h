#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "common/CodePage.h"
#include "common/FileError.h"
#include "search/FileLines.h"
#include "search/MatchOptions.h"
#include "search/ResultTree.h"

namespace kelvara {

// A hit as listings and exports show it: its column as the result tree
// records it, and its bytes in the line (0-based, end excluded). A hit whose
// record holds no place in the line (column 0, a replaced line) has start
// and end 0.
struct ExportedHit {
    std::int32_t column = 0;
    std::size_t start = 0;
    std::size_t end = 0;
};

// Writes one format (grep lines, CSV, JSON lines) from the hits of the files
// in order, with the lines around them when asked.
class HitPrinter {
public:
    virtual ~HitPrinter() = default;
    virtual void BeginFile(std::string_view path, CodePage codePage) = 0;
    // Once for each hit of a hit line.
    virtual void Hit(const FileLine& line, const ExportedHit& hit) = 0;
    virtual void Context(const FileLine& line) = 0;
    // After each run of lines that follow one another.
    virtual void GroupEnd() = 0;
    virtual void EndFile() = 0;
};

struct ExportSettings {
    int before = 0;            // lines shown ahead of a hit line
    int after = 0;             // and after it
    bool ignoreSpaces = false; // the run's columns count in the trimmed line
    // The length in bytes of the hit that starts at `start` in `line`, a line
    // of a file whose text is in `codePage`.
    std::function<std::size_t(std::string_view line, std::size_t start, CodePage codePage)>
        hitLength;
};

// The hit length of a find for `text` (as typed, UTF-8): the length of the
// prepared text in each file's code page, or for a regular expression the
// length of the match found there again.
std::function<std::size_t(std::string_view, std::size_t, CodePage)>
SearchTextLength(std::string_view text, const MatchOptions& options);

// Hands the hits of a result tree's files to a printer, with their lines read
// again from the files (the tree keeps positions, not texts).
class HitExporter {
public:
    HitExporter(HitPrinter& printer, ExportSettings settings);

    // The hits of file node `file`. When the file cannot be read again, each
    // hit is still handed over, with an empty line, and the reason returned.
    FileStatus ExportFile(const ResultTree& tree, std::uint32_t file, CodePage codePage);
    // The same for some of its hits: indexes of hit nodes, ascending.
    FileStatus ExportHits(const ResultTree& tree, std::uint32_t file, CodePage codePage,
                          std::span<const std::uint32_t> hits);

private:
    ExportedHit Place(const FileLine& line, std::int32_t column, CodePage codePage) const;

    HitPrinter& printer_;
    ExportSettings settings_;
    FileLines lines_;
    std::vector<std::uint32_t> allHits_;
    std::vector<std::int32_t> hitLines_;
};

} // namespace kelvara
