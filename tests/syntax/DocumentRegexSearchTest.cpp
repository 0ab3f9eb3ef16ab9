#include <gtest/gtest.h>

#include "SourceEditFixture.h"
#include "common/CodePage.h"

namespace kelvara {
namespace {

using test::TestSourceEdit;

constexpr std::uint8_t kForwardWhole = soForward | soWholeText | soFromEdge;

void Press(TSourceEdit& editor, std::uint8_t options) {
    editor.SetSearchOptions(0);
    editor.SetSearchOptions(options);
}

void UseRegex(TSourceEdit& editor, std::string_view pattern, std::string_view replacement = {},
              RegexOptions options = {}) {
    PatternError error;
    std::shared_ptr<const RegexPattern> compiled = RegexPattern::Compile(pattern, options, error);
    ASSERT_TRUE(compiled) << error.message;
    std::string problem;
    auto parsed = RegexReplacement::Parse(replacement, *compiled, problem);
    ASSERT_TRUE(parsed) << problem;
    editor.SetSearchRegex(compiled, std::make_shared<RegexReplacement>(std::move(*parsed)));
}

std::pair<int, int> Selection(const TSourceEdit& editor) {
    return {editor.SelStart(), editor.SelLength()};
}

TEST(DocumentRegexSearch, MatchesAreFoundRowByRowInEitherDirection) {
    TestSourceEdit editor;
    editor.SetText("ab1 ab22\r\nab333");
    UseRegex(editor, "ab\\d+$|^ab\\d+");
    Press(editor, kForwardWhole);
    EXPECT_TRUE(editor.FindNext({}));
    EXPECT_EQ(Selection(editor), std::make_pair(0, 3));
    EXPECT_TRUE(editor.FindNext({}));
    EXPECT_EQ(Selection(editor), std::make_pair(4, 4));
    EXPECT_TRUE(editor.FindNext({})); // "$" and "^" hold at the row's ends
    EXPECT_EQ(Selection(editor), std::make_pair(10, 5));
    EXPECT_FALSE(editor.FindNext({}));

    Press(editor, soBackward | soWholeText | soFromEdge);
    EXPECT_TRUE(editor.FindNext({}));
    EXPECT_EQ(Selection(editor), std::make_pair(10, 5));
    EXPECT_TRUE(editor.FindNext({}));
    EXPECT_EQ(Selection(editor), std::make_pair(4, 4));

    // From the caret, a match starts at it or later; the row before it is
    // still seen by a lookbehind.
    editor.SetSelStart(5);
    editor.SetSelLength(0);
    UseRegex(editor, "(?<=a)b\\d");
    Press(editor, soForward | soWholeText | soFromCaret);
    EXPECT_TRUE(editor.FindNext({}));
    EXPECT_EQ(Selection(editor), std::make_pair(5, 2));
    // Back to the text.
    editor.SetSearchRegex(nullptr);
    Press(editor, kForwardWhole);
    EXPECT_FALSE(editor.FindNext("b\\d"));
    EXPECT_TRUE(editor.FindNext("ab2"));
}

TEST(DocumentRegexSearch, ReplacementsExpandGroupsForEachMatch) {
    TestSourceEdit editor;
    editor.SetText("a=1, bb=22\r\nc=3");
    UseRegex(editor, "(\\w+)=(\\d+)", "$2=${1}");
    Press(editor, kForwardWhole);
    editor.ReplaceFound({}, {}, true);
    EXPECT_EQ(editor.Text(), "1=a, 22=bb\r\n3=c");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "a=1, bb=22\r\nc=3"); // one undo step

    // One at a time: the selection when it is a match, else the next match.
    Press(editor, kForwardWhole);
    editor.SetSelStart(5);
    editor.SetSelLength(5);
    editor.ReplaceFound({}, {}, false);
    EXPECT_EQ(editor.Text(), "a=1, 22=bb\r\nc=3");
    editor.ReplaceFound({}, {}, false);
    EXPECT_EQ(editor.Text(), "a=1, 22=bb\r\n3=c");
}

TEST(DocumentRegexSearch, GbkRowsAreMatchedByCharacterAndTheLimitIsReported) {
    const CodePage saved = TextCodePage();
    SetTextCodePage(CodePage::Gbk);
    TestSourceEdit editor;
    editor.SetText("\xB0\x41"
                   "A\xD6\xD0\xCE\xC4");
    UseRegex(editor, "[a-z]", {}, {.caseless = true});
    Press(editor, kForwardWhole);
    EXPECT_TRUE(editor.FindNext({}));
    EXPECT_EQ(Selection(editor), std::make_pair(2, 1)); // B0 41 is one character
    UseRegex(editor, "中.", "[$0]");
    Press(editor, kForwardWhole);
    editor.ReplaceFound({}, {}, true);
    EXPECT_EQ(editor.Text(), "\xB0\x41"
                             "A[\xD6\xD0\xCE\xC4]");
    SetTextCodePage(saved);

    editor.SetText("x\r\n" + std::string(3000, 'a') + "b\r\naaa");
    UseRegex(editor, "(a+)+$");
    Press(editor, kForwardWhole);
    EXPECT_TRUE(editor.FindNext({}));
    EXPECT_EQ(editor.RegexLimitRow(), 2);
    EXPECT_EQ(editor.SelStart(), 3 + 3001 + 2);
}

} // namespace
} // namespace kelvara
