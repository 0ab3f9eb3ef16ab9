#include "search/LineMatcher.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "CodePageScope.h"
#include "common/AnsiString.h"
#include "search/Matcher.h"

// The fast matcher against a plain rendering of the scan, over random lines
// in both code pages.
namespace kelvara {
namespace {

// The character starts of `text`, classified from its first byte.
std::vector<std::size_t> CharStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i))
        starts.push_back(i);
    return starts;
}

// Every character start of the prepared line where the search text stands:
// overlapping occurrences all count, none starts inside a character.
std::vector<std::int32_t> ReferenceScan(const std::string& search, std::string_view line,
                                        const MatchOptions& options) {
    std::vector<std::int32_t> columns;
    if (search.empty()) return columns;
    const std::string prepared = PrepareLine(line, options, TextCodePage());
    for (const std::size_t start : CharStarts(prepared)) {
        if (prepared.compare(start, search.size(), search) != 0) continue;
        const auto column = static_cast<std::int32_t>(start + 1);
        if (!options.WholeWord || IsWholeWordHit(prepared, column, search.size()))
            columns.push_back(column);
    }
    return columns;
}

struct ReplaceResult {
    std::string line;
    std::vector<std::string> captions;
};

ReplaceResult ReferenceReplace(const std::string& search, const std::string& replacement,
                               const std::string& line, const MatchOptions& options) {
    ReplaceResult result;
    if (!options.WholeWord) {
        // Left to right without overlaps, letters compared folded unless case counts.
        const std::string folded =
            options.CaseSensitive ? line : LowerCaseLetters(line, TextCodePage());
        std::size_t copied = 0;
        for (const std::size_t start : CharStarts(line)) {
            if (search.empty() || start < copied ||
                folded.compare(start, search.size(), search) != 0)
                continue;
            result.line += line.substr(copied, start - copied) + replacement;
            copied = start + search.size();
        }
        result.line += line.substr(copied);
        if (AnsiPos(replacement, result.line) > 0) result.captions.push_back(result.line);
        return result;
    }
    const std::size_t front = options.IgnoreSpaces ? TrimView(line).data() - line.data() : 0;
    result.line = line;
    std::ptrdiff_t shift = 0;
    std::size_t replacedEnd = 0;
    for (const std::int32_t column : ReferenceScan(search, line, options)) {
        const std::size_t start = front + column - 1;
        if (start < replacedEnd) continue;
        result.line.replace(start + shift, search.size(), replacement);
        shift += static_cast<std::ptrdiff_t>(replacement.size() - search.size());
        replacedEnd = start + search.size();
        result.captions.push_back(result.line);
    }
    return result;
}

void CompareWithReference(CodePage codePage, const std::vector<std::string>& pieces) {
    CodePageScope page(codePage);
    std::mt19937 random(20240611);
    auto below = [&](std::size_t bound) { return random() % bound; };
    auto somePieces = [&](std::size_t most) {
        std::string text;
        for (std::size_t count = below(most + 1); count > 0; --count)
            text += pieces[below(pieces.size())];
        return text;
    };
    std::string out;
    for (int round = 0; round < 20000; ++round) {
        const std::string line = somePieces(14);
        const unsigned bits = below(8);
        const MatchOptions options{.CaseSensitive = (bits & 1) != 0,
                                   .WholeWord = (bits & 2) != 0,
                                   .IgnoreSpaces = (bits & 4) != 0};
        // Mostly a stretch of the line, so that hits are common.
        const std::string typed = line.empty() || below(4) == 0
                                      ? somePieces(3)
                                      : line.substr(below(line.size()), 1 + below(4));
        const std::string search = PrepareSearchText(typed, options, codePage);
        const std::string replacement = somePieces(2);
        SCOPED_TRACE("line '" + line + "' search '" + search + "' replacement '" + replacement +
                     "' options " + std::to_string(options.CaseSensitive) +
                     std::to_string(options.WholeWord) + std::to_string(options.IgnoreSpaces));

        LineMatcher matcher(search, options, codePage);
        const auto columns = matcher.Scan(line);
        ASSERT_EQ(std::vector<std::int32_t>(columns.begin(), columns.end()),
                  ReferenceScan(search, line, options));

        ResultTree tree;
        const NodeRef file = tree.AppendFileNode("f", search, codePage);
        const bool replaced = matcher.ReplaceLine(line, replacement, 1, "f", tree, file, out);
        const ReplaceResult expected = ReferenceReplace(search, replacement, line, options);
        ASSERT_EQ(replaced ? out : line, expected.line);
        ASSERT_EQ(tree.ChildCount(file), expected.captions.size());
        for (std::uint32_t i = 0; i < expected.captions.size(); ++i)
            ASSERT_EQ(tree.Caption({0, i}), expected.captions[i]);
    }
}

TEST(LineMatcherRandom, AgreesWithThePlainScanInGbk) {
    CompareWithReference(CodePage::Gbk, {"a", "A", "b", " ", "a a ", "\t", "\xB0\xA1", "\xA1\xB0",
                                         "\xC4", "\xB0", "qqqqqqqqqq",
                                         "\xB0"
                                         "a",
                                         "\xFF"});
}

TEST(LineMatcherRandom, AgreesWithThePlainScanInUtf8) {
    CompareWithReference(CodePage::Utf8,
                         {"a", "A", "b", " ", "a a ", "\t", "\xC3\xA9", "\xE2\x82\xAC", "\xA9",
                          "\xC3", "qqqqqqqqqq", "\xE4\xB8\xAD"});
}

} // namespace
} // namespace kelvara
