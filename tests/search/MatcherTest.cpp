#include "search/Matcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/HitCaption.h"
#include "search/LineMatcher.h"

namespace kelvara {
namespace {

constexpr MatchOptions kNone{};
constexpr MatchOptions kCase{.CaseSensitive = true};
constexpr MatchOptions kWord{.CaseSensitive = true, .WholeWord = true};

std::vector<std::int32_t> Columns(std::string_view search, std::string_view line,
                                  const MatchOptions& options, CodePage codePage) {
    LineMatcher matcher(PrepareSearchText(search, options, codePage), options, codePage);
    const auto columns = matcher.Scan(line);
    return {columns.begin(), columns.end()};
}

using Cols = std::vector<std::int32_t>;

TEST(Matcher, PreparationTrimsThenFoldsAsciiOnly) {
    const MatchOptions spaces{.IgnoreSpaces = true};
    // \xC4 without a continuation stands alone in UTF-8.
    EXPECT_EQ(PrepareSearchText(" \tAbC\xC4\x41 \x01", spaces, CodePage::Utf8), "abc\xC4\x61");
    EXPECT_EQ(PrepareLine("  ABC ", kCase, CodePage::Gbk), "  ABC ");
    EXPECT_EQ(PrepareLine("  ABC ", kNone, CodePage::Gbk), "  abc ");
}

TEST(Matcher, ScanFindsOverlappingCandidatesUnderTheOptions) {
    for (const CodePage page : {CodePage::Gbk, CodePage::Utf8}) {
        EXPECT_EQ(Columns("aa", "aaaa", kNone, page), (Cols{1, 2, 3}));
        EXPECT_EQ(Columns("ABC", "xAbC", kNone, page), (Cols{2}));
        EXPECT_EQ(Columns("ABC", "xAbC", kCase, page), Cols{});
        EXPECT_EQ(Columns("foo", "   foo", {.IgnoreSpaces = true}, page), (Cols{1}));
        EXPECT_EQ(Columns("foo", "   foo", kNone, page), (Cols{4}));
        EXPECT_EQ(Columns("   ", "a   b", {.IgnoreSpaces = true}, page), Cols{});
        EXPECT_EQ(Columns("x", "", kNone, page), Cols{});
    }
}

TEST(Matcher, WholeWordsStandBetweenSpacesOrLineEnds) {
    for (const CodePage page : {CodePage::Gbk, CodePage::Utf8}) {
        EXPECT_EQ(Columns("foo", "foo bar", kWord, page), (Cols{1}));
        EXPECT_EQ(Columns("foo", "foobar foo x", kWord, page), (Cols{8}));
        // The line end is a word boundary.
        EXPECT_EQ(Columns("foo", "bar foo", kWord, page), (Cols{5}));
        EXPECT_EQ(Columns("foo", "foo", kWord, page), (Cols{1}));
        EXPECT_EQ(Columns("foo", "xfoo", kWord, page), Cols{});
        // A tab is no separator unless trimming removed it.
        EXPECT_EQ(Columns("foo", "\tfoo bar", kWord, page), Cols{});
        EXPECT_EQ(Columns("foo", "\tfoo bar", {.WholeWord = true, .IgnoreSpaces = true}, page),
                  (Cols{1}));
        // A candidate where the scan resumed is judged by the byte before it.
        EXPECT_EQ(Columns("aa", "aaa x", kWord, page), Cols{});
        EXPECT_EQ(Columns("a", "aa a", kWord, page), (Cols{4}));
        EXPECT_EQ(Columns("a a", "a a a ", kWord, page), (Cols{1, 3}));
    }
    EXPECT_FALSE(IsWholeWordHit("ab", 0, 1));
    EXPECT_FALSE(IsWholeWordHit("ab", 2, 2));
    EXPECT_TRUE(IsWholeWordHit("a b", 3, 1));
}

TEST(Matcher, GbkCandidatesStartOnCharacters) {
    const std::string ah = "\xB0\xA1"; // one two-byte character
    // Two characters whose bytes spell it across their boundary.
    EXPECT_EQ(Columns(ah, "\xC4\xB0\xA1\xA1", kCase, CodePage::Gbk), Cols{});
    EXPECT_EQ(Columns(ah, ah + ah + "x" + ah, kCase, CodePage::Gbk), (Cols{1, 3, 6}));
    // An ASCII trail byte is no character of its own.
    EXPECT_EQ(Columns("a",
                      "\xB0"
                      "aa",
                      kCase, CodePage::Gbk),
              (Cols{3}));
    // A long ASCII stretch before a Chinese one keeps the classification right.
    const std::string ascii(37, 'q');
    EXPECT_EQ(Columns("\xA1\xB0", ascii + "\xB0\xA1\xB0\xA1\xB0", kCase, CodePage::Gbk), Cols{});
    EXPECT_EQ(Columns("\xA1\xB0", ascii + "x\xA1\xB0", kCase, CodePage::Gbk), (Cols{39}));
}

// 說 is D5 66 and 誇 is D5 46 in GBK: trail bytes that spell 'f' and 'F'.
TEST(Matcher, IgnoringCaseNeverFoldsAByteOfATwoByteCharacter) {
    const CodePage gbk = CodePage::Gbk;
    const std::string shuo = "\xD5\x66", kua = "\xD5\x46";
    EXPECT_EQ(PrepareSearchText(kua + "A", kNone, gbk), kua + "a");
    EXPECT_EQ(PrepareLine("\xC4\x41" + kua + "Z", kNone, gbk), "\xC4\x41" + kua + "z");
    EXPECT_EQ(Columns(shuo, kua + " " + shuo, kNone, CodePage::Gbk), (Cols{4}));
    EXPECT_EQ(Columns(kua, shuo + kua + shuo, kNone, CodePage::Gbk), (Cols{3}));
    EXPECT_EQ(Columns(kua + "x", kua + "X" + shuo + "X", kNone, CodePage::Gbk), (Cols{1}));
    EXPECT_EQ(Columns("a" + kua, "A" + shuo + "A" + kua, kNone, CodePage::Gbk), (Cols{4}));

    // Replacing 說 by 话 leaves 誇 alone, with whole words too.
    const std::string hua = "\xBB\xB0";
    ResultTree tree;
    const NodeRef file = tree.AppendFileNode("f", shuo, gbk);
    EXPECT_EQ(ReplaceInLine(shuo, hua, kua + shuo + kua, 1, "f", tree, file, kNone, gbk),
              kua + hua + kua);
    EXPECT_EQ(
        ReplaceInLine(shuo, hua, kua + " " + shuo, 1, "f", tree, file, {.WholeWord = true}, gbk),
        kua + " " + hua);
    EXPECT_EQ(ReplaceInLine(shuo, hua, kua, 1, "f", tree, file, kNone, gbk), kua);
}

// After a hit the scan resumes on the character that follows the hit's first
// one, classified from the line start: hits that follow each other directly
// are all found, also when the text ends in a two-byte character.
TEST(Matcher, AdjacentHitsEndingInATwoByteCharacterAreAllFound) {
    const std::string lei = "\xC0\xE0", di = "\xB5\xDA", zhang = "\xD5\xC2"; // 类 第 章
    EXPECT_EQ(Columns("A" + lei, "A" + lei + "A" + lei, kCase, CodePage::Gbk), (Cols{1, 4}));
    EXPECT_EQ(Columns("a" + lei, "A" + lei + "A" + lei + "A" + lei, kNone, CodePage::Gbk),
              (Cols{1, 4, 7}));
    EXPECT_EQ(Columns("1" + zhang, di + "1" + zhang + di + "1" + zhang, kCase, CodePage::Gbk),
              (Cols{3, 8}));
    EXPECT_EQ(Columns(di + "1" + zhang, di + "1" + zhang + di + "1" + zhang, kCase, CodePage::Gbk),
              (Cols{1, 6}));
    EXPECT_EQ(Columns(lei + "A", lei + "A" + lei + "A", kCase, CodePage::Gbk), (Cols{1, 4}));
    const std::string ah = "\xB0\xA1";
    EXPECT_EQ(Columns("x" + ah, "x" + ah + "x" + ah, kCase, CodePage::Gbk), (Cols{1, 4}));
    // Overlapping hits still count, one character apart.
    EXPECT_EQ(Columns(ah + ah, ah + ah + ah, kCase, CodePage::Gbk), (Cols{1, 3}));
    const std::string zhong = "\xE4\xB8\xAD"; // 中 in UTF-8
    EXPECT_EQ(Columns("A" + zhong, "A" + zhong + "A" + zhong, kCase, CodePage::Utf8), (Cols{1, 5}));
    // A whole-word replace replaces every one of them.
    ResultTree tree;
    const NodeRef file = tree.AppendFileNode("f", "", CodePage::Gbk);
    const std::string word = "1" + zhang + " 1" + zhang + "1" + zhang + " 1" + zhang;
    EXPECT_EQ(ReplaceInLine("1" + zhang, "x", word, 1, "f", tree, file, kWord, CodePage::Gbk),
              "x 1" + zhang + "1" + zhang + " x");
}

TEST(Matcher, Utf8CandidatesStartOnCharacters) {
    EXPECT_EQ(Columns("\xC3\xA9", "\xC3\xA9\xC3\xA9", kCase, CodePage::Utf8), (Cols{1, 3}));
    const std::string euro = "\xE2\x82\xAC";
    EXPECT_EQ(Columns(euro, euro + euro, kCase, CodePage::Utf8), (Cols{1, 4}));
    // A stray continuation byte is a character; one inside a sequence is not.
    EXPECT_EQ(Columns("\xA9", "\xC3\xA9\xA9", kCase, CodePage::Utf8), (Cols{3}));
    EXPECT_EQ(Columns("\xA9", "\xC3\xA9", kCase, CodePage::Gbk), Cols{});
}

TEST(Matcher, FoldingChangesAsciiCapitalsOnly) {
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        if (lower == 'q') continue;
        // Nine pairs, so that both the eight-byte and the single-byte folding run.
        std::string line;
        for (int i = 0; i < 9; ++i)
            line += std::string{c, 'Q'};
        const std::string search{lower, 'q'};
        EXPECT_EQ(Columns(search, line, kNone, CodePage::Utf8),
                  (Cols{1, 3, 5, 7, 9, 11, 13, 15, 17}))
            << "byte " << byte;
    }
}

TEST(Matcher, FindInLineAppendsCaptionedHits) {
    ResultTree tree;
    const NodeRef file = tree.AppendFileNode("/d/a.txt", "abc", CodePage::Utf8);
    FindInLine("abc", "xAbC abc", 12, "/d/a.txt", tree, file, kNone, CodePage::Utf8);
    ASSERT_EQ(tree.ChildCount(file), 2u);
    EXPECT_EQ(tree.Caption({0, 0}), "被找字：abc 在: 行： 12 列: 2");
    EXPECT_EQ(tree.Caption({0, 1}), "被找字：abc 在: 行： 12 列: 6");
    const HitRecord record = tree.Record({0, 1});
    EXPECT_EQ(record.FileName, "/d/a.txt");
    EXPECT_EQ(record.Line, 12);
    EXPECT_EQ(record.Column, 6);
    EXPECT_EQ(record.SearchText, "abc");
    EXPECT_EQ(tree.Selected(), (NodeRef{0, 1}));
}

TEST(Matcher, CaptionWordsFollowTheCodePage) {
    EXPECT_EQ(HitCaption("x", 1, 2, CodePage::Gbk), "\xB1\xBB\xD5\xD2\xD7\xD6\xA3\xBA"
                                                    "x \xD4\xDA: \xD0\xD0\xA3\xBA 1 \xC1\xD0: 2");
    EXPECT_EQ(HitCaption("x", -5, 2147483647, CodePage::Utf8),
              "被找字：x 在: 行： -5 列: 2147483647");
}

struct Replaced {
    std::string line;
    std::vector<std::string> captions;
    std::vector<std::int32_t> columns;
};

Replaced Replace(std::string_view search, std::string_view replacement, std::string_view line,
                 const MatchOptions& options) {
    const CodePage gbk = CodePage::Gbk;
    ResultTree tree;
    const NodeRef file = tree.AppendFileNode("f", "", gbk);
    Replaced result;
    result.line = ReplaceInLine(PrepareSearchText(search, options, gbk), replacement, line, 3, "f",
                                tree, file, options, gbk);
    for (std::uint32_t i = 0; i < tree.ChildCount(file); ++i) {
        result.captions.push_back(tree.Caption({0, i}));
        result.columns.push_back(tree.Column({0, i}));
        EXPECT_EQ(tree.Line({0, i}), 3);
    }
    return result;
}

TEST(Matcher, ReplaceWithoutWholeWordsGivesOneNodePerLine) {
    Replaced r = Replace("cat", "dog", "Cat cat", kNone);
    EXPECT_EQ(r.line, "dog dog");
    EXPECT_EQ(r.captions, std::vector<std::string>{"dog dog"});
    EXPECT_EQ(r.columns, Cols{0});
    EXPECT_EQ(Replace("cat", "dog", "Cat cat", kCase).line, "Cat dog");
    EXPECT_EQ(Replace("abc", "XyZ", "ABC abc", kNone).line, "XyZ XyZ");
    // The replacement already in the line gives a node without a change.
    r = Replace("cat", "dog", "hot dog", kNone);
    EXPECT_EQ(r.line, "hot dog");
    EXPECT_EQ(r.captions.size(), 1u);
    EXPECT_TRUE(Replace("cat", "dog", "nothing", kNone).captions.empty());
    // Occurrences do not overlap; with blanks ignored only the search text is trimmed.
    EXPECT_EQ(Replace("aa", "b", "aaaaa", kNone).line, "bba");
    EXPECT_EQ(Replace(" a ", "x", " a a", {.IgnoreSpaces = true}).line, " x x");
    EXPECT_EQ(Replace("   ", "x", "a   b", {.IgnoreSpaces = true}).line, "a   b");
}

TEST(Matcher, WholeWordReplaceKeepsTheLineAroundEachHit) {
    const MatchOptions options{.WholeWord = true, .IgnoreSpaces = true};
    const Replaced r = Replace("cat", "tiger", "  A cat and a CAT x", options);
    EXPECT_EQ(r.line, "  A tiger and a tiger x");
    EXPECT_EQ(r.captions,
              (std::vector<std::string>{"  A tiger and a CAT x", "  A tiger and a tiger x"}));
    EXPECT_EQ(r.columns, (Cols{3, 13}));
    // Trimming removed the blank after the last word; the line end bounds it.
    EXPECT_EQ(Replace("x", "y", "a x ", options).line, "a y ");
    // A hit overlapping a replaced one is skipped.
    const Replaced overlap = Replace("a a", "b", "a a a ", {.WholeWord = true});
    EXPECT_EQ(overlap.line, "b a ");
    EXPECT_EQ(overlap.columns, Cols{1});
    EXPECT_EQ(Replace("cat", "dog", "concat cats", {.WholeWord = true}).line, "concat cats");
}

} // namespace
} // namespace kelvara
