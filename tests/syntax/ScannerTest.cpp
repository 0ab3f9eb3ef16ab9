#include <gtest/gtest.h>

#include <functional>

#include "../search/CodePageScope.h"
#include "SourceEditFixture.h"
#include "common/CodePage.h"
#include "syntax/Scanner.h"

namespace kelvara {
namespace {

using test::Describe;
using test::TestSourceEdit;
using V = std::vector<std::string>;

std::vector<std::string> Scan(TestSourceEdit& editor, std::string_view text) {
    editor.SetText(text);
    EXPECT_EQ(editor.CheckInvariants(), "");
    return Describe(editor);
}

TEST(Scanner, SplitsSymbolsNumbersAndPlainText) {
    TestSourceEdit editor;
    EXPECT_EQ(Scan(editor, "x := 3.14;"),
              (V{"NormalTextRange:x ", "SymbolRange::=", "NormalTextRange: ", "NumberRange:3.14",
                 "SymbolRange:;"}));
    EXPECT_EQ(Scan(editor, "a.b"), (V{"NormalTextRange:a", "SymbolRange:.", "NormalTextRange:b"}));
    EXPECT_EQ(Scan(editor, "1.5 .5"),
              (V{"NumberRange:1.5", "NormalTextRange: ", "NumberRange:.5"}));
    EXPECT_EQ(Scan(editor, "(12.)"),
              (V{"ParenthesisRange:(:1", "NumberRange:12.", "ParenthesisRange:):1"}));
    EXPECT_EQ(Scan(editor, " 12.)"),
              (V{"NormalTextRange: ", "NumberRange:12", "SymbolRange:.", "ParenthesisRange:):0"}));
    EXPECT_EQ(Scan(editor, "1e+5 a+b"),
              (V{"NumberRange:1e+5", "NormalTextRange: a", "SymbolRange:+", "NormalTextRange:b"}));
    EXPECT_EQ(Scan(editor, "$1F $ $G1 #13"),
              (V{"NumberRange:$1F", "NormalTextRange: $ $G1 ", "SymbolRange:#", "NumberRange:13"}));
    EXPECT_EQ(Scan(editor, "[{}]"), (V{"SymbolRange:[{}]"}));
}

TEST(Scanner, ParenthesisLevelsNestAndGoBelowZero) {
    TestSourceEdit editor;
    EXPECT_EQ(Scan(editor, "((a))"),
              (V{"ParenthesisRange:(:1", "ParenthesisRange:(:2", "NormalTextRange:a",
                 "ParenthesisRange:):2", "ParenthesisRange:):1"}));
    EXPECT_EQ(Scan(editor, ")a("),
              (V{"ParenthesisRange:):0", "NormalTextRange:a", "ParenthesisRange:(:0"}));
    editor.SetText("((x)");
    TSyntaxRange last = editor.LastSyntaxRange();
    EXPECT_EQ(last.ParenthesisLevel(), 2);
    EXPECT_EQ(last.GetLevelAfter(), 1);
}

TEST(Scanner, WordListsMatchWholeTokens) {
    TestSourceEdit editor;
    TWordList& list = editor.SyntaxColoring().WordLists().Add();
    list.SetWords({"if", "begin"});
    EXPECT_EQ(Scan(editor, "if x; iffy begin"),
              (V{"WordListRange:if", "NormalTextRange: x", "SymbolRange:;",
                 "NormalTextRange: iffy ", "WordListRange:begin"}));
    EXPECT_EQ(Scan(editor, "IF"), (V{"NormalTextRange:IF"}));
    list.SetCaseSensitive(false);
    EXPECT_EQ(Scan(editor, "IF"), (V{"WordListRange:IF"}));
    EXPECT_EQ(editor.FirstSyntaxRange().WordList(), &list);
}

TEST(Scanner, CustomStylesRunToTheirEndText) {
    TestSourceEdit editor;
    test::UseCStyles(editor.SyntaxColoring());
    EXPECT_EQ(Scan(editor, "a // x\r\nb"),
              (V{"NormalTextRange:a ", "CustomStyleRange:// x\r\n", "NormalTextRange:b"}));
    EXPECT_EQ(Scan(editor, "\"a\\\"b\" c"),
              (V{"CustomStyleRange:\"a\\\"b\"", "NormalTextRange: c"}));
    EXPECT_EQ(Scan(editor, "\"a\\\\\" c"), (V{"CustomStyleRange:\"a\\\\\"", "NormalTextRange: c"}));
    EXPECT_EQ(Scan(editor, "\"a?\?/\"b\" c"),
              (V{"CustomStyleRange:\"a?\?/\"b\"", "NormalTextRange: c"}));
    EXPECT_EQ(Scan(editor, "x /* abc"), (V{"NormalTextRange:x ", "CustomStyleRange:/* abc"}));
    EXPECT_EQ(Scan(editor, "/**/("), (V{"CustomStyleRange:/**/", "ParenthesisRange:(:1"}));
    EXPECT_EQ(editor.FirstSyntaxRange().Style(), &editor.SyntaxColoring().CustomStyles().Items(0));
}

TEST(Scanner, BeginTextsObeyLineStartWindowAndOrder) {
    TestSourceEdit editor;
    TCustomStyles& styles = editor.SyntaxColoring().CustomStyles();
    TCustomStyle& directive = styles.Add();
    directive.SetBeginText("#");
    directive.SetEndText("#13");
    directive.SetLineStartOnly(true);
    EXPECT_EQ(Scan(editor, "#a\r\nb #c"), (V{"CustomStyleRange:#a\r\n", "NormalTextRange:b ",
                                             "SymbolRange:#", "NormalTextRange:c"}));
    styles.Clear();
    styles.Add().SetBeginText(std::string(21, 'q'));
    EXPECT_EQ(Scan(editor, std::string(22, 'q')), (V{"NormalTextRange:" + std::string(22, 'q')}));
    styles.Clear();
    TCustomStyle& slash = styles.Add();
    slash.SetBeginText("/");
    slash.SetEndText("/");
    TCustomStyle& twoSlashes = styles.Add();
    twoSlashes.SetBeginText("//");
    twoSlashes.SetEndText("#13");
    EXPECT_EQ(Scan(editor, "//x"), (V{"CustomStyleRange://", "NormalTextRange:x"}));
}

TEST(Scanner, SwitchableStylesHandOverOnTheSameEndText) {
    TestSourceEdit editor;
    TCustomStyles& styles = editor.SyntaxColoring().CustomStyles();
    TCustomStyle& script = styles.Add();
    script.SetBeginText("<%");
    script.SetEndText(">");
    script.SetSwitchable(true);
    TCustomStyle& tag = styles.Add();
    tag.SetBeginText("<");
    tag.SetEndText(">");
    tag.SetSwitchable(true);
    EXPECT_EQ(Scan(editor, "a<b<%c>d"), (V{"NormalTextRange:a", "CustomStyleRange:<b",
                                           "CustomStyleRange:<%c>", "NormalTextRange:d"}));
}

// A GBK character is one unit: its trail byte never escapes, opens a word or
// makes a symbol.
TEST(Scanner, TwoByteCharactersAreOneUnit) {
    const CodePage saved = TextCodePage();
    SetTextCodePage(CodePage::Gbk);
    TestSourceEdit editor;
    test::UseCStyles(editor.SyntaxColoring());
    EXPECT_EQ(Scan(editor, "\"\xB1\\\" x"),
              (V{"CustomStyleRange:\"\xB1\\\"", "NormalTextRange: x"}));
    EXPECT_EQ(Scan(editor, "\xB1{\xB0if"), (V{"NormalTextRange:\xB1{\xB0if"}));
    EXPECT_EQ(Scan(editor, "\xB0/*x"),
              (V{"NormalTextRange:\xB0/", "SymbolRange:*", "NormalTextRange:x"}));
    SetTextCodePage(saved);
}

TEST(Scanner, SplitOnFlyKeepsTextRunsWhole) {
    TestSourceEdit editor;
    editor.SetSplitOnFly(true);
    EXPECT_EQ(Scan(editor, "a+=1.5 (b)"), (V{"CustomTextRange:a+=1.5 ", "ParenthesisRange:(:1",
                                             "CustomTextRange:b", "ParenthesisRange:):1"}));
    const std::string longRun = std::string(130, 'a') + "+b";
    EXPECT_EQ(Scan(editor, longRun),
              (V{"CustomTextRange:" + std::string(130, 'a'), "CustomTextRange:+b"}));
}

TEST(Scanner, DeletingAnEndTextExtendsTheStyle) {
    TestSourceEdit editor;
    test::UseCStyles(editor.SyntaxColoring());
    editor.SetText("/* a */ b /* c */ d");
    TMCRange end(&editor, 6, 7);
    end.Clear();
    EXPECT_EQ(Describe(editor), (V{"CustomStyleRange:/* a  b /* c */", "NormalTextRange: d"}));
    TMCRange last(&editor, 14, 15);
    last.Clear();
    EXPECT_EQ(Describe(editor), (V{"CustomStyleRange:/* a  b /* c  d"}));
    EXPECT_EQ(editor.CheckInvariants(), "");
}

// The runs after an edit, and those of the same text scanned whole.
std::pair<V, V> AfterEdit(const std::function<void(TSyntaxColoring&)>& configure,
                          std::string_view text, int at, int length, std::string_view typed) {
    TestSourceEdit edited;
    configure(edited.SyntaxColoring());
    edited.SetText(text);
    TMCRange(&edited, at, at + length - 1).SetText(typed);
    EXPECT_EQ(edited.CheckInvariants(), "");
    TestSourceEdit whole;
    configure(whole.SyntaxColoring());
    whole.SetText(edited.Text());
    return {Describe(edited), Describe(whole)};
}

// An empty begin text matches everywhere and an escape character may end a
// begin text: neither lets a re-scan stop where a full scan goes on.
TEST(Scanner, EscapesAndEmptyBeginTextsRescanLikeAFullScan) {
    const CodePage saved = TextCodePage();
    SetTextCodePage(CodePage::Gbk);
    const auto nines = [](TSyntaxColoring& settings) {
        settings.BeginUpdate();
        TCustomStyle& begun = settings.CustomStyles().Add();
        begun.SetBeginText("999");
        begun.SetEndText("9");
        begun.SetIgnoreChar("9");
        begun.SetSwitchable(true);
        TCustomStyle& everywhere = settings.CustomStyles().Add();
        everywhere.SetIgnoreChar("9");
        everywhere.SetSwitchable(true);
        settings.EndUpdate();
    };
    auto [edited, whole] = AfterEdit(nines,
                                     std::string("\0\0"
                                                 "99999N",
                                                 8),
                                     3, 1, "");
    EXPECT_EQ(edited, whole);

    // A begin text of escape characters: the escapes counted before the end
    // text of a later style run reach back over the change.
    const auto plainNines = [&nines](TSyntaxColoring& settings) {
        nines(settings);
        settings.CustomStyles().Items(0).SetSwitchable(false);
    };
    std::tie(edited, whole) = AfterEdit(plainNines, "999999N", 1, 0, "9");
    EXPECT_EQ(edited, whole);
    SetTextCodePage(saved);
}

TEST(Scanner, DiagnosticsDescribeTheRuns) {
    TestSourceEdit editor;
    editor.SetText("f(1);");
    EXPECT_FALSE(editor.FindFirstGap());
    EXPECT_FALSE(editor.FindFirstOverlap());
    TDebuggableRanges ranges;
    editor.GetDebuggableRanges(ranges);
    ASSERT_EQ(ranges.size(), 5u);
    EXPECT_EQ(ranges[2].Start, 3);
    EXPECT_EQ(ranges[2].End, 3);
    EXPECT_EQ(ranges[2].Text, "1");
    EXPECT_EQ(ranges[2].ClassName, "TNumberRange");
    EXPECT_EQ(editor.FindSyntaxRange(3).Index(), 2);
    EXPECT_EQ(editor.FindSyntaxRangeFrom(5, editor.FirstSyntaxRange()).Index(), 4);
    EXPECT_FALSE(editor.FindSyntaxRange(6));
    EXPECT_TRUE(editor.FindSyntaxRange(2).SameAs(editor.FindSyntaxRange(2)));
    EXPECT_FALSE(editor.FindSyntaxRange(2).SameAs(editor.FindSyntaxRange(4)));
}

TEST(Scanner, DisabledColouringKeepsNoRuns) {
    TestSourceEdit editor;
    editor.SetText("a (b)");
    EXPECT_FALSE(editor.SyntaxRuns().Empty());
    editor.SyntaxColoring().SetEnabled(false);
    editor.SetText("x + 1");
    EXPECT_TRUE(editor.SyntaxRuns().Empty());
    EXPECT_EQ(editor.CheckInvariants(), "");
    editor.SyntaxColoring().SetEnabled(true);
    EXPECT_EQ(Describe(editor),
              (V{"NormalTextRange:x ", "SymbolRange:+", "NormalTextRange: ", "NumberRange:1"}));
}

TEST(Scanner, EditsRescanOnlyNearTheChange) {
    TestSourceEdit editor;
    test::UseCStyles(editor.SyntaxColoring());
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "int x" + std::to_string(i) + " = f(a, \"s\"); /* c */\r\n";
    editor.SetText(text);
    TMCRange typed(&editor, 20001, 20000);
    typed.SetText("y");
    EXPECT_EQ(editor.CheckInvariants(), "");
    TMCRange opener(&editor, 1, 0);
    opener.SetText("/*");
    EXPECT_EQ(editor.FirstSyntaxRange().GetText(), "/*int x0 = f(a, \"s\"); /* c */");
    EXPECT_EQ(editor.CheckInvariants(), "");
}

// Kind, style or list, and level of every byte from `from` on, one letter each.
std::string PaintedKinds(const TSourceEdit& editor, int from) {
    std::string out;
    const TSyntaxRuns& runs = editor.SyntaxRuns();
    for (int i = std::max(runs.IndexAt(from), 0); i < runs.Count(); ++i) {
        const SyntaxRun run = runs.Get(i);
        const char code = static_cast<char>('A' + static_cast<int>(run.Kind()) * 8 +
                                            run.Payload() * 2 + run.Level);
        out.append(runs.End(i, editor.TextLength()) - std::max(run.Start, from) + 1, code);
    }
    return out;
}

// Wherever the scanner cuts a long text run, the bytes after the cut are
// coloured as if the run went on: no word or number is split, and decimal
// points, exponents and escapes read the same.
TEST(Scanner, CuttingALongTextRunChangesNoColour) {
    CodePageScope gbk(CodePage::Gbk);
    const std::string tail = " ifx x1.5e+3 1.) 9.5 $1F if\t\\\"s\" \xB0\xA1 12.) .5 a.b 7e-2)";
    TestSourceEdit shortText;
    test::UseCStyles(shortText.SyntaxColoring());
    shortText.SetText("\xB0\xA1" + tail);
    const std::string expected = PaintedKinds(shortText, 3);
    // The scanner may cut once the run is kCutLength long: that point moves
    // over every byte of the tail.
    const int cut = syntax::Scanner::kCutLength;
    for (int length = cut - static_cast<int>(tail.size()) - 2; length <= cut + 2; ++length) {
        std::string text;
        while (static_cast<int>(text.size()) < length)
            text += "\xB0\xA1";
        const int from = static_cast<int>(text.size()) + 1;
        TestSourceEdit longText;
        test::UseCStyles(longText.SyntaxColoring());
        longText.SetText(text + tail);
        ASSERT_EQ(PaintedKinds(longText, from), expected) << "text run of " << length;
    }
}

// A line of Chinese prose without a symbol is one text run to the scanner;
// cut every few KB, it still has places to stop, so a character typed or
// deleted anywhere in a 1 MB line re-scans a few KB, not the rest of it.
TEST(Scanner, EditsInALongLineOfWideCharactersRescanAFewKilobytes) {
    CodePageScope gbk(CodePage::Gbk);
    TestSourceEdit editor;
    test::UseCStyles(editor.SyntaxColoring());
    std::string text;
    for (int i = 0; text.size() < (1 << 20); ++i) {
        text += static_cast<char>(0xB0 + i % 39);
        text += static_cast<char>(0xA1 + i % 93);
    }
    editor.SetText(text);
    const int length = editor.TextLength();
    for (const int at : {length / 2 + 1, 1, length - 5}) {
        TMCRange typed(&editor, at, at - 1);
        typed.SetText("\xD6\xD0");
        EXPECT_LE(editor.scannedTo - editor.scannedFrom, 3 * syntax::Scanner::kCutLength);
        TMCRange deleted(&editor, at + 2, at + 3);
        deleted.Clear();
        EXPECT_LE(editor.scannedTo - editor.scannedFrom, 3 * syntax::Scanner::kCutLength);
        EXPECT_EQ(editor.CheckInvariants(), "");
    }
    TestSourceEdit fresh;
    test::UseCStyles(fresh.SyntaxColoring());
    fresh.SetText(editor.Text());
    EXPECT_EQ(test::Colouring(editor), test::Colouring(fresh));
}

} // namespace
} // namespace kelvara
