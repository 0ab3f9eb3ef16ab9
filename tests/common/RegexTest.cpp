#include "common/Regex.h"

#include <gtest/gtest.h>

#include "common/RegexLiteral.h"
#include "common/RegexReplacement.h"

namespace kelvara {
namespace {

std::unique_ptr<RegexPattern> Compile(std::string_view pattern, RegexOptions options = {}) {
    PatternError error;
    auto compiled = RegexPattern::Compile(pattern, options, error);
    EXPECT_TRUE(compiled) << pattern << ": " << error.message;
    return compiled;
}

// "start-end" of each hit.
std::string Hits(std::string_view pattern, std::string_view line,
                 CodePage codePage = CodePage::Utf8, RegexOptions options = {}) {
    const auto compiled = Compile(pattern, options);
    if (!compiled) return "?";
    RegexMatcher matcher(*compiled, codePage);
    std::vector<RegexHit> hits;
    EXPECT_TRUE(matcher.Scan(line, hits));
    std::string shown;
    for (const RegexHit& hit : hits)
        shown += std::to_string(hit.start) + "-" + std::to_string(hit.end) + " ";
    return shown;
}

TEST(RegexTest, MatchesGoOnWhereTheLastEndedAndEmptyMatchesAreNone) {
    EXPECT_EQ(Hits("a+", "baaca"), "1-3 4-5 ");
    EXPECT_EQ(Hits("x*", "axxbx"), "1-3 4-5 ");
    EXPECT_EQ(Hits("x*", "abc"), "");
    EXPECT_EQ(Hits("^", "abc"), "");
    EXPECT_EQ(Hits("aa", "aaaa"), "0-2 2-4 "); // no overlaps, unlike the literal search
    EXPECT_EQ(Hits("K", "k K", CodePage::Utf8, {.caseless = true}), "0-1 2-3 ");
}

TEST(RegexTest, DotIsOneCharacterInEveryCodePage) {
    // UTF-8: 中 is three bytes; a byte that is not valid UTF-8 is a character.
    EXPECT_EQ(Hits("a.b", "a中b"), "0-5 ");
    EXPECT_EQ(Hits("a.b", "a\xff"
                          "b"),
              "0-3 ");
    EXPECT_EQ(Hits("\\W", "-中\xff"), "0-1 1-4 4-5 ");
    EXPECT_EQ(Hits("cat", "\xff"
                          "cat"),
              "1-4 ");
    // GBK: the line is matched as Unicode and the hit mapped back to its bytes.
    const std::string gbk = "x\xD6\xD0\xCE\xC4y"; // x中文y
    EXPECT_EQ(Hits("中.", gbk, CodePage::Gbk), "1-5 ");
    EXPECT_EQ(Hits("(?<=x).", gbk, CodePage::Gbk), "1-3 ");
    // A trail byte that looks like a letter is never one: 說 is D5 66 ("f").
    EXPECT_EQ(Hits("f", "\xD5\x66", CodePage::Gbk), "");
    // A byte that is not valid GBK is a character of its own.
    EXPECT_EQ(Hits("a.b",
                   "a\x80\x80"
                   "b",
                   CodePage::Gbk),
              "");
    EXPECT_EQ(Hits("a..b",
                   "a\xFF\xFF"
                   "b",
                   CodePage::Gbk),
              "0-4 ");
}

TEST(RegexTest, WholeWordsStandBetweenSpacesOrLineEnds) {
    const RegexOptions word{.wholeWord = true};
    EXPECT_EQ(Hits("c.t", "cat x cut\tcot", CodePage::Utf8, word), "0-3 ");
    EXPECT_EQ(Hits("a|ab", "ab a", CodePage::Utf8, word), "0-2 3-4 ");
    EXPECT_EQ(Hits("\\Qa(", "x a( y", CodePage::Utf8, word), "2-4 ");
    PatternError error;
    EXPECT_FALSE(RegexPattern::Compile("(?x)a # note", word, error));
    EXPECT_NE(error.message.find("不能做全字匹配"), std::string::npos);
}

TEST(RegexTest, ABadPatternIsNamedAtItsColumn) {
    PatternError error;
    EXPECT_FALSE(RegexPattern::Compile("中文(ab", {}, error));
    EXPECT_NE(error.message.find("missing closing parenthesis"), std::string::npos);
    EXPECT_EQ(error.column, 6u);
    EXPECT_FALSE(RegexPattern::Compile("a{2,1}", {}, error));
    EXPECT_EQ(error.column, 6u);
}

TEST(RegexTest, AMatchLimitEndsOnlyThatLinesSearch) {
    const auto pattern = Compile("(a+)+$");
    RegexMatcher matcher(*pattern, CodePage::Utf8);
    std::vector<RegexHit> hits;
    EXPECT_FALSE(matcher.Scan(std::string(5000, 'a') + "b", hits));
    EXPECT_TRUE(matcher.Scan("aaa", hits));
    EXPECT_EQ(hits.size(), 1u);
}

std::string Replaced(std::string_view pattern, std::string_view replacement, std::string_view line,
                     CodePage codePage = CodePage::Utf8) {
    const auto compiled = Compile(pattern);
    std::string error;
    const auto parsed = RegexReplacement::Parse(replacement, *compiled, error);
    if (!parsed) return "error: " + error;
    RegexMatcher matcher(*compiled, codePage);
    std::vector<RegexHit> hits;
    EXPECT_TRUE(matcher.Scan(line, hits, true));
    std::string out;
    std::size_t copied = 0;
    for (std::size_t hit = 0; hit < hits.size(); ++hit) {
        out.append(line.substr(copied, hits[hit].start - copied));
        parsed->Append(matcher, line, hit, out);
        copied = hits[hit].end;
    }
    out.append(line.substr(copied));
    return out;
}

TEST(RegexTest, ReplacementsTakeGroupsByNumberAndName) {
    EXPECT_EQ(Replaced("(\\w+)=(\\w+)", "$2=$1", "a=b, cc=dd"), "b=a, dd=cc");
    EXPECT_EQ(Replaced("(?<key>\\w+):", "${key}${1}$$ $0 $x $", "ab:"), "abab$ ab: $x $");
    EXPECT_EQ(Replaced("(a)|(b)", "[$1$2]", "ab"), "[a][b]"); // an unset group gives nothing
    EXPECT_EQ(Replaced("(a)", "$12", "a"), "error: 替换文字引用的分组 12 在表达式里不存在");
    EXPECT_EQ(Replaced("(a)", "${name}", "a").rfind("error:", 0), 0u);
    // GBK: groups are the line's own bytes, the replacement's text is encoded.
    EXPECT_EQ(Replaced("(中)(.)", "$2和$1", "\xD6\xD0\xCE\xC4", CodePage::Gbk),
              "\xCE\xC4\xBA\xCD\xD6\xD0");

    const auto compiled = Compile("x");
    std::string error;
    const auto emoji = RegexReplacement::Parse("\U0001F600", *compiled, error);
    ASSERT_TRUE(emoji);
    EXPECT_EQ(emoji->MissingFrom(CodePage::Gbk), U'\U0001F600');
    EXPECT_FALSE(emoji->MissingFrom(CodePage::Utf8));
}

TEST(RegexTest, RequiredLiteralsAreWhatEveryMatchHolds) {
    EXPECT_EQ(RequiredLiteral("kmalloc_array", false), "kmalloc_array");
    EXPECT_EQ(RequiredLiteral("k[a-z]+_array\\(", false), "_array(");
    EXPECT_EQ(RequiredLiteral("\\bstatic\\s+int\\b", false), "static");
    EXPECT_EQ(RequiredLiteral("\\bstatic\\s+int\\b", true), "tatic"); // s may be the long s
    EXPECT_EQ(RequiredLiteral("colou?r", false), "colo");
    EXPECT_EQ(RequiredLiteral("ab{0,2}cd", false), "cd");
    EXPECT_EQ(RequiredLiteral("ab{2}cd", false), "ab");
    EXPECT_EQ(RequiredLiteral("(foo)+barbaz", false), "barbaz");
    EXPECT_EQ(RequiredLiteral("中文.x", false), "中文");
    EXPECT_EQ(RequiredLiteral("中文.x", true), "x");
    for (const char* none : {"a|b", "(?i)abc", "\\x41bc", "\\Qabc", "(*UCP)abc", "[a-z]+", ""})
        EXPECT_EQ(RequiredLiteral(none, false), "") << none;
}

} // namespace
} // namespace kelvara
