#include "search/Matcher.h"

#include "common/AnsiString.h"
#include "search/LineMatcher.h"

namespace kelvara {

std::string PrepareSearchText(std::string_view text, const MatchOptions& options,
                              CodePage codePage) {
    std::string prepared(options.IgnoreSpaces ? TrimView(text) : text);
    if (!options.CaseSensitive && !options.Regex) LowerCaseLettersInPlace(prepared, codePage);
    return prepared;
}

std::string PrepareLine(std::string_view line, const MatchOptions& options, CodePage codePage) {
    return PrepareSearchText(line, options, codePage);
}

bool IsWholeWordHit(std::string_view preparedLine, std::int32_t column,
                    std::size_t length) noexcept {
    if (column < 1) return false;
    const auto start = static_cast<std::size_t>(column - 1);
    const std::size_t end = start + length;
    if (end > preparedLine.size()) return false;
    const bool spaceBefore = start == 0 || preparedLine[start - 1] == ' ';
    const bool spaceAfter = end == preparedLine.size() || preparedLine[end] == ' ';
    return spaceBefore && spaceAfter;
}

void FindInLine(std::string_view searchText, std::string_view line, std::int32_t lineNumber,
                std::string_view filePath, ResultTree& tree, NodeRef fileNode,
                const MatchOptions& options, CodePage codePage) {
    LineMatcher(searchText, options, codePage)
        .FindInLine(line, lineNumber, filePath, tree, fileNode);
}

std::string ReplaceInLine(std::string_view searchText, std::string_view replacement,
                          std::string_view line, std::int32_t lineNumber, std::string_view filePath,
                          ResultTree& tree, NodeRef fileNode, const MatchOptions& options,
                          CodePage codePage) {
    std::string replaced;
    LineMatcher matcher(searchText, options, codePage);
    if (!matcher.ReplaceLine(line, replacement, lineNumber, filePath, tree, fileNode, replaced))
        return std::string(line);
    return replaced;
}

} // namespace kelvara
