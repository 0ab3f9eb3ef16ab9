#include <gtest/gtest.h>

#include "SourceEditFixture.h"
#include "common/CodePage.h"
#include "common/IniFile.h"
#include "common/TempFolder.h"
#include "syntax/ReservedWords.h"

namespace kelvara {
namespace {

using test::TestSourceEdit;

TEST(SyntaxColoring, ParenthesisColoursCycleAndFallBackToTheTextColour) {
    TSyntaxColoring settings;
    EXPECT_EQ(settings.GetParenthesisColor(0), clBlack);
    settings.SetParenthesisColors({"$0000FF", "65280"});
    EXPECT_EQ(settings.GetParenthesisColor(0), 0x0000FFu);
    EXPECT_EQ(settings.GetParenthesisColor(1), 0x00FF00u);
    EXPECT_EQ(settings.GetParenthesisColor(2), 0x0000FFu);
    EXPECT_EQ(settings.GetParenthesisColor(-1), clWindowText);
    settings.SetParenthesisColors({"red", "$", "$1G", "-5"});
    for (int level = 0; level < 4; ++level)
        EXPECT_EQ(settings.GetParenthesisColor(level), clWindowText);
    settings.SetParenthesisColors({});
    EXPECT_EQ(settings.GetParenthesisColor(0), clWindowText);
}

TEST(SyntaxColoring, EndTextsTakeHash13AsOneCarriageReturnOnly) {
    TCustomStyle style;
    style.SetBeginText("#13");
    EXPECT_EQ(style.BeginText(), "\r");
    style.SetEndText("#10");
    EXPECT_EQ(style.EndText(), "#10");
    style.SetIgnoreChar("\\\\");
    EXPECT_EQ(style.IgnoreChar(), "\\");
}

TEST(SyntaxColoring, WordListsMatchByTheirLetterCaseRule) {
    TWordList list;
    list.SetWords({"begin", "End"});
    EXPECT_TRUE(list.ContainsWord("begin"));
    EXPECT_FALSE(list.ContainsWord("BEGIN"));
    EXPECT_FALSE(list.ContainsWord("end"));
    list.SetCaseSensitive(false);
    EXPECT_TRUE(list.ContainsWord("BEGIN"));
    EXPECT_TRUE(list.ContainsWord("eNd"));
    EXPECT_FALSE(list.ContainsWord("beginx"));
    // Two spellings of one word: a case-sensitive list matches the one that
    // sorts first, the one added last.
    TWordList twice;
    twice.SetWords({"Begin", "begin"});
    EXPECT_EQ(twice.Words(), (std::vector<std::string>{"begin", "Begin"}));
    EXPECT_TRUE(twice.ContainsWord("begin"));
    EXPECT_FALSE(twice.ContainsWord("Begin"));
}

TEST(SyntaxColoring, WordListSortingFoldsOnlyOneByteLetters) {
    const CodePage saved = TextCodePage();
    SetTextCodePage(CodePage::Gbk);
    TWordList list;
    list.SetCaseSensitive(false);
    list.SetWords({"\xB0\x41", "b", "A"});
    EXPECT_TRUE(list.ContainsWord("a"));
    EXPECT_FALSE(list.ContainsWord("\xB0\x61")); // a trail byte is not a letter
    EXPECT_TRUE(list.ContainsWord("\xB0\x41"));
    SetTextCodePage(saved);
}

TEST(SyntaxColoring, FirstMatchingCustomStyleWins) {
    TCustomStyles styles;
    TCustomStyle& slash = styles.Add();
    slash.SetBeginText("/");
    TCustomStyle& comment = styles.Add();
    comment.SetBeginText("//");
    EXPECT_EQ(styles.FindByBeginText("// x"), &slash);
    EXPECT_EQ(styles.FindByBeginText("x"), nullptr);
    TCustomStyles other;
    TCustomStyle& begin = other.Add();
    begin.SetBeginText("rem");
    EXPECT_EQ(other.FindByBeginText("REM x"), &begin);
    begin.SetCaseSensitive(true);
    EXPECT_EQ(other.FindByBeginText("REM x"), nullptr);
}

TEST(SyntaxColoring, ChangesRecolourOncePerBracketAndOnlyWhenSomethingChanged) {
    TestSourceEdit editor;
    editor.SetText("if (x) 1");
    TSyntaxColoring& settings = editor.SyntaxColoring();
    editor.rescans = 0;
    settings.SetSymbolColor(settings.SymbolColor());
    EXPECT_EQ(editor.rescans, 0);
    settings.BeginUpdate();
    settings.SetNumberColor(clBlue);
    settings.SetSymbolCustomStyle(true);
    TWordList& list = settings.WordLists().Add();
    list.AddWord("if");
    EXPECT_EQ(editor.rescans, 0);
    settings.EndUpdate();
    EXPECT_EQ(editor.rescans, 1);
    EXPECT_EQ(editor.FirstSyntaxRange().Kind(), SyntaxKind::WordList);
    list.AddWord("x");
    list.AddWord("y");
    EXPECT_EQ(editor.rescans, 3);
    settings.CustomStyles().Add().SetBeginText("(");
    EXPECT_EQ(editor.rescans, 5); // the new item, then its begin text

    TSyntaxColoring copy;
    copy.Assign(settings);
    editor.rescans = 0;
    editor.SetSyntaxColoring(copy);
    EXPECT_EQ(editor.rescans, 1);
    EXPECT_EQ(editor.SyntaxColoring().WordLists().Items(0).Words().size(), 3u);
}

TEST(SyntaxColoring, RunFontsDeriveFromTheEditorFont) {
    TestSourceEdit editor;
    TFont font = editor.Font();
    font.Style = static_cast<TFontStyles>(FontStyle::Italic);
    editor.SetFont(font);
    TSyntaxColoring& settings = editor.SyntaxColoring();
    TWordList& plain = settings.WordLists().Add();
    plain.SetCustomColor(false);
    plain.SetStyle(static_cast<TFontStyles>(FontStyle::Bold));
    TWordList& bold = settings.WordLists().Add();
    bold.SetStyle(static_cast<TFontStyles>(FontStyle::Bold));
    bold.SetCustomStyle(true);
    settings.SetNumberStyle(static_cast<TFontStyles>(FontStyle::Underline));
    EXPECT_EQ(plain.RunFont().Color, font.Color);
    EXPECT_EQ(plain.RunFont().Style, font.Style); // the style flag is off
    EXPECT_EQ(bold.RunFont().Color, clBlue);
    EXPECT_EQ(bold.RunFont().Style, static_cast<TFontStyles>(FontStyle::Bold));
    EXPECT_EQ(settings.NumberFont().Color, clGreen);
    EXPECT_EQ(settings.NumberFont().Style, font.Style);
    EXPECT_EQ(settings.SymbolFont().Color, clOlive);

    // A new editor font reaches every derived font and re-colours once.
    font.Size += 2;
    editor.rescans = 0;
    editor.SetFont(font);
    EXPECT_EQ(editor.rescans, 1);
    EXPECT_EQ(bold.RunFont().Size, font.Size);
    EXPECT_EQ(settings.ParenthesisFont().Size, font.Size);
}

TEST(ReservedWords, LoadTheSectionOfTheExtension) {
    TempFolder folder;
    const std::string path = folder.Write("reservedword.txt", "[.cpp]\r\ncount=3\r\n0=int\r\n"
                                                              "1=return\r\n2=Int\r\n[.htm]\r\n"
                                                              "count=1\r\n0=body\r\n");
    const TIniFile file(path);
    TestSourceEdit editor;
    editor.SetText("int Int INT body");
    TWordList& list = editor.SyntaxColoring().WordLists().Add();
    list.AddWord("stale");
    editor.rescans = 0;
    std::vector<std::string> shown;
    EXPECT_EQ(LoadReservedWords(file, ".cpp", list,
                                [&](const std::string& word) { shown.push_back(word); }),
              3);
    EXPECT_EQ(editor.rescans, 1);
    EXPECT_EQ(shown, (std::vector<std::string>{"int", "return", "Int"}));
    EXPECT_TRUE(list.CaseSensitive());
    EXPECT_TRUE(list.ContainsWord("Int"));
    EXPECT_FALSE(list.ContainsWord("int")); // "Int" was added last and sorts first
    EXPECT_FALSE(list.ContainsWord("stale"));

    EXPECT_EQ(LoadReservedWords(file, ".CPP", list), 3);
    EXPECT_FALSE(list.CaseSensitive());
    EXPECT_TRUE(list.ContainsWord("INT"));
    EXPECT_EQ(LoadReservedWords(file, ".htm", list), 1);
    EXPECT_TRUE(list.ContainsWord("BODY"));
    EXPECT_EQ(LoadReservedWords(file, ".pas", list), 0);
    EXPECT_TRUE(list.Words().empty());
    EXPECT_EQ(LoadReservedWords(TIniFile(folder.Path("missing.txt")), ".cpp", list), 0);
    // A damaged count without its words loads as many empty words, sorted in
    // one go rather than inserted one by one at the front.
    const TIniFile damaged(folder.Write("damaged.txt", "[.cpp]\r\ncount=200000\r\n9=word\r\n"));
    EXPECT_EQ(LoadReservedWords(damaged, ".cpp", list), 200000);
    EXPECT_TRUE(list.ContainsWord("word"));
    EXPECT_EQ(list.Words().back(), "word");
}

} // namespace
} // namespace kelvara
