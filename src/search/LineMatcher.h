#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/CodePage.h"
#include "search/BatchFindFile.h"
#include "search/MatchOptions.h"
#include "search/ResultTree.h"
#include "search/RunTexts.h"
#include "search/Stretch.h"
#include "search/SubstringFinder.h"

namespace kelvara {

// Matches the lines of one run against one prepared search text. Made once
// per run; matching a line allocates nothing but the hits it records. Lines
// are never copied: folding letter case only changes letters, which neither
// the character classification nor the whole-word test looks at, so the
// finder compares letters folded on the unfolded line instead.
//
// With the run's regular expression the same steps match it instead (hits
// never overlap, each is as long as its match, a replacement is expanded for
// each); the text that every match holds, if any, then finds the lines.
class LineMatcher {
public:
    // `preparedSearchText` comes from PrepareSearchText with the same options;
    // `regex` (with the Regex option) must outlive the matcher.
    LineMatcher(std::string_view preparedSearchText, const MatchOptions& options, CodePage codePage,
                const RunRegex* regex = nullptr);
    ~LineMatcher();
    LineMatcher(LineMatcher&&) noexcept;

    const std::string& SearchText() const { return searchText_; }
    const MatchOptions& Options() const { return options_; }
    CodePage Page() const { return codePage_; }
    // Hands `lines` the lines of a file's text that can hold a hit: those
    // holding the search text (letter case folded unless CaseSensitive), or
    // the text every match of the regular expression holds, or else every
    // line. False when a stop was requested.
    bool SearchFile(std::string_view text, const BatchHooks& hooks, CandidateLines& lines) const;
    // What every line with a hit holds (letter case folded unless
    // CaseSensitive); empty when every line must be tried.
    std::string_view CandidateText() const { return candidateText_; }
    // The last Scan stopped at PCRE2's match limit: the rest of that line was
    // not searched.
    bool LineCutShort() const { return lineCut_; }

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

    std::span<const std::int32_t> ScanRegex(std::string_view line);
    void AddExpansion(std::string_view line, std::size_t hit, Stretch& stretch) const;

    std::string searchText_;
    MatchOptions options_;
    CodePage codePage_;
    // The regular expression's matcher and replacement; null for a text.
    std::unique_ptr<RegexMatcher> regex_;
    const RegexReplacement* replacement_ = nullptr;
    std::string candidateText_; // the search text, or what every match holds
    SubstringFinder finder_;    // of candidateText_; ignores case unless CaseSensitive
    bool needsClassification_;  // false when every occurrence starts a character
    std::vector<std::int32_t> columns_;
    std::vector<Stretch> stretches_;
    std::vector<RegexHit> regexHits_; // of the last Scan, in the prepared line
    bool lineCut_ = false;
};

} // namespace kelvara
