// The line matcher against the plain character-by-character scan: every hit
// of Scan, FindInLine and ReplaceLine, under every option, in both code pages.
#include <algorithm>
#include <string>

#include "fuzz/FuzzInput.h"
#include "search/LineMatcher.h"
#include "search/MatcherOracle.h"

using namespace kelvara;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const unsigned bits = input.Byte();
    SetTextCodePage((bits & 8) != 0 ? CodePage::Utf8 : CodePage::Gbk);
    const MatchOptions options{.CaseSensitive = (bits & 1) != 0,
                               .WholeWord = (bits & 2) != 0,
                               .IgnoreSpaces = (bits & 4) != 0};
    const std::string typed(input.Bytes(12));
    const std::string replacement(input.Bytes(8));
    // A line read from a file holds no line break.
    std::string line(input.Rest());
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');

    const std::string search = PrepareSearchText(typed, options, TextCodePage());
    LineMatcher matcher(search, options, TextCodePage());
    const auto columns = matcher.Scan(line);
    const std::vector<std::int32_t> expected = test::ReferenceScan(search, line, options);
    fuzz::Require(std::equal(columns.begin(), columns.end(), expected.begin(), expected.end()),
                  "Scan finds the hits of the plain scan");

    ResultTree tree;
    const NodeRef file = tree.AppendFileNode("f", search, TextCodePage());
    fuzz::Require(matcher.FindInLine(line, 1, "f", tree, file) == expected.size(),
                  "FindInLine appends a node per hit");

    ResultTree replaced;
    const NodeRef replacedFile = replaced.AppendFileNode("f", search, TextCodePage());
    std::string out;
    const bool changed =
        matcher.ReplaceLine(line, replacement, 1, "f", replaced, replacedFile, out);
    const test::ReplaceResult reference =
        test::ReferenceReplace(search, replacement, line, options);
    fuzz::Require((changed ? out : line) == reference.line,
                  "ReplaceLine gives the line of the plain replace");
    fuzz::Require(replaced.ChildCount(replacedFile) == reference.captions.size(),
                  "ReplaceLine appends a node per replaced line or hit");
    for (std::uint32_t i = 0; i < reference.captions.size(); ++i)
        fuzz::Require(replaced.Caption({0, i}) == reference.captions[i],
                      "each replace node is captioned with its line");
    return 0;
}
