// Regex hits and replacements against Python's re on the same decoded lines,
// over a seeded random set of patterns, lines and options in UTF-8 and GBK.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "common/AnsiString.h"
#include "common/CodePageConversion.h"
#include "common/Regex.h"
#include "common/RegexCases.h"
#include "common/RegexReplacement.h"

namespace kelvara {
namespace {

TEST(RegexOracleTest, HitsAndReplacementsAgreeWithPythonsRe) {
    if (std::system("command -v python3 >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
    Generator generate(18);
    TempFolder folder;
    std::ostringstream cases;
    std::vector<std::string> expected; // Kelvara's answer per case
    std::vector<std::string> described;
    for (int i = 0; i < 3000; ++i) {
        const bool gbk = generate.Chance(50);
        const CodePage codePage = gbk ? CodePage::Gbk : CodePage::Utf8;
        const RegexOptions options{generate.Chance(50), generate.Chance(25)};
        const bool trim = generate.Chance(25);
        const std::string pattern = generate.Pattern();
        std::string line = generate.Line();
        if (gbk) {
            std::string encoded;
            RecodeLenient(line, CodePage::Utf8, CodePage::Gbk, encoded);
            line = encoded;
        }
        PatternError error;
        const auto compiled = RegexPattern::Compile(pattern, options, error);
        ASSERT_TRUE(compiled) << pattern << ": " << error.message;
        std::string parts;
        const std::string replacementText = generate.Replacement(compiled->GroupCount(), parts);
        std::string problem;
        const auto replacement = RegexReplacement::Parse(replacementText, *compiled, problem);
        ASSERT_TRUE(replacement) << problem;

        // Kelvara: the (trimmed) line's hits and the line with them replaced.
        const std::string_view scanned = trim ? TrimView(line) : std::string_view(line);
        RegexMatcher matcher(*compiled, codePage);
        std::vector<RegexHit> hits;
        ASSERT_TRUE(matcher.Scan(scanned, hits, true));
        std::string shown, out;
        std::size_t copied = 0;
        for (std::size_t hit = 0; hit < hits.size(); ++hit) {
            shown += (hit ? " " : "") + std::to_string(hits[hit].start) + "-" +
                     std::to_string(hits[hit].end);
            out.append(scanned.substr(copied, hits[hit].start - copied));
            replacement->Append(matcher, scanned, hit, out);
            copied = hits[hit].end;
        }
        out.append(scanned.substr(copied));
        expected.push_back(shown + "|" + Hex(out));
        described.push_back(pattern + " on " + Hex(scanned) + (gbk ? " (GBK)" : "") +
                            (options.caseless ? " caseless" : "") +
                            (options.wholeWord ? " word" : "") + " -> " + replacementText);

        cases << OracleCase(pattern, scanned, codePage, options.caseless, options.wholeWord, parts);
    }
    const std::vector<std::string> answers = AskOracle(folder.Path(), cases.str());
    ASSERT_GE(answers.size(), expected.size()) << (answers.empty() ? "" : answers[0]);
    int failures = 0;
    for (std::size_t i = 0; i < expected.size() && failures < 10; ++i) {
        if (answers[i] != expected[i]) ++failures;
        EXPECT_EQ(expected[i], answers[i]) << described[i];
    }
}

} // namespace
} // namespace kelvara
