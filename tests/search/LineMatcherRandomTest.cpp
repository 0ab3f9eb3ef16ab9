#include "search/LineMatcher.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "CodePageScope.h"
#include "MatcherOracle.h"
#include "search/Matcher.h"

// The fast matcher against a plain rendering of the scan, over random lines
// in both code pages.
namespace kelvara {
namespace {

using test::ReferenceReplace;
using test::ReferenceScan;
using test::ReplaceResult;

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
