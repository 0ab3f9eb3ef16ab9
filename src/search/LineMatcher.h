#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/CodePage.h"
#include "search/MatchOptions.h"
#include "search/ResultTree.h"
#include "search/Stretch.h"
#include "search/SubstringFinder.h"

namespace kelvara {

// Matches the lines of one run against one prepared search text. Made once
// per run; matching a line allocates nothing but the hits it records. Lines
// are never copied: folding letter case only changes letters, which neither
// the character classification nor the whole-word test looks at, so the
// finder compares letters folded on the unfolded line instead.
class LineMatcher {
public:
    // `preparedSearchText` comes from PrepareSearchText with the same options.
    LineMatcher(std::string_view preparedSearchText, const MatchOptions& options,
                CodePage codePage);

    const std::string& SearchText() const { return searchText_; }
    const MatchOptions& Options() const { return options_; }
    CodePage Page() const { return codePage_; }
    // Finds the occurrences of the search text, letter case folded unless
    // CaseSensitive, wherever they start: a run looks for the lines that
    // hold one with it.
    const SubstringFinder& Finder() const { return finder_; }

    // The 1-based columns of the accepted hits in the prepared line, in order
    // (whole-word test included when WholeWord is on). Valid until the next call.
    std::span<const std::int32_t> Scan(std::string_view line);
    // Where the hit at `column` (as Scan gives it) lies in the line as read,
    // before trimming.
    Stretch StretchOf(std::string_view line, std::int32_t column) const;
    // The stretches of the line that its replace changes: every hit, less
    // those overlapping one before them. Valid until the next call.
    std::span<const Stretch> ReplacedStretches(std::string_view line);

    // Appends one hit node under `fileNode` per accepted hit; returns how many.
    std::size_t FindInLine(std::string_view line, std::int32_t lineNumber,
                           std::string_view filePath, ResultTree& tree, NodeRef fileNode);

    // The replace step of one line, hit nodes included. Returns true when at
    // least one occurrence was replaced, the new line then in `out`; returns
    // false and leaves `out` alone when the line stays as it was.
    bool ReplaceLine(std::string_view line, std::string_view replacement, std::int32_t lineNumber,
                     std::string_view filePath, ResultTree& tree, NodeRef fileNode,
                     std::string& out);

private:
    std::string_view Prepare(std::string_view line) const;
    std::size_t FindFrom(std::string_view text, std::size_t from, std::size_t& walked) const;
    bool IsBoundary(std::string_view text, std::size_t& walked, std::size_t candidate) const;
    bool ReplaceWholeWords(std::string_view line, std::string_view replacement,
                           std::int32_t lineNumber, std::string_view filePath, ResultTree& tree,
                           NodeRef fileNode, std::string& out);

    std::string searchText_;
    MatchOptions options_;
    CodePage codePage_;
    SubstringFinder finder_;   // ignores case unless CaseSensitive
    bool needsClassification_; // false when every occurrence starts a character
    std::vector<std::int32_t> columns_;
    std::vector<Stretch> stretches_;
};

} // namespace kelvara
