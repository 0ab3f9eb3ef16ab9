#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/CodePage.h"
#include "search/MatchOptions.h"
#include "search/ResultTree.h"

// One line matched under the options of a batch run. The runs use a
// LineMatcher made once per run; these are the single-line forms.
namespace kelvara {

// Trimmed when IgnoreSpaces, then its letters lower-cased unless CaseSensitive
// (LowerCaseLetters: bytes of two-byte characters stay); a regular expression
// keeps its letters, the expression folds them itself.
std::string PrepareSearchText(std::string_view text, const MatchOptions& options,
                              CodePage codePage);
std::string PrepareLine(std::string_view line, const MatchOptions& options, CodePage codePage);

// Whether the candidate at 1-based `column` of `length` bytes stands between
// spaces in the prepared line; the line start and the line end count as spaces.
bool IsWholeWordHit(std::string_view preparedLine, std::int32_t column,
                    std::size_t length) noexcept;

// Appends one hit node under `fileNode` for every accepted occurrence of the
// prepared search text in the line; texts and line are in `codePage`.
void FindInLine(std::string_view searchText, std::string_view line, std::int32_t lineNumber,
                std::string_view filePath, ResultTree& tree, NodeRef fileNode,
                const MatchOptions& options, CodePage codePage);

// The line with the search text replaced; appends its hit nodes under `fileNode`.
std::string ReplaceInLine(std::string_view searchText, std::string_view replacement,
                          std::string_view line, std::int32_t lineNumber, std::string_view filePath,
                          ResultTree& tree, NodeRef fileNode, const MatchOptions& options,
                          CodePage codePage);

} // namespace kelvara
