#include <gtest/gtest.h>

#include "SourceEditFixture.h"
#include "editor/FakeHost.h"

namespace kelvara {
namespace {

using test::FakeCanvas;
using test::FakeHost;
using Texts = std::vector<FakeCanvas::Text>;

class HighlightPaint : public ::testing::Test {
protected:
    HighlightPaint() { editor.MeasureFont(); }
    // Draws a row as the view does and returns what reached the canvas.
    const std::vector<FakeCanvas::Text>& DrawRow(int row = 1) {
        return test::DrawRow(editor, host, row);
    }
    static std::vector<std::string> Chars(const Texts& texts) {
        std::vector<std::string> out;
        for (const auto& text : texts)
            out.push_back(text.Chars);
        return out;
    }
    FakeHost host;
    TSourceEdit editor{&host};
};

TEST_F(HighlightPaint, EachRunIsDrawnInTheFontOfItsKind) {
    editor.SetText("x := 3.14;");
    const Texts& texts = DrawRow();
    ASSERT_EQ(Chars(texts), (std::vector<std::string>{"x ", ":=", " ", "3.14", ";"}));
    EXPECT_EQ(texts[0].Font.Color, editor.Font().Color);
    EXPECT_EQ(texts[1].Font.Color, clOlive);
    EXPECT_EQ(texts[3].Font.Color, clGreen);
    EXPECT_EQ(texts[3].Background, editor.Color());

    editor.SyntaxColoring().SetEnabled(false);
    EXPECT_EQ(Chars(DrawRow()), (std::vector<std::string>{"x := 3.14;"}));
    EXPECT_EQ(host.canvas.texts[0].Font, editor.Font());
}

TEST_F(HighlightPaint, ParenthesesTakeTheColourOfTheirLevel) {
    editor.SyntaxColoring().SetParenthesisColors({"$0000FF", "$00FF00"});
    editor.SetText("((a))");
    const Texts& texts = DrawRow();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0].Font.Color, 0x0000FFu);
    EXPECT_EQ(texts[1].Font.Color, 0x00FF00u);
    EXPECT_EQ(texts[3].Font.Color, 0x00FF00u);
    EXPECT_EQ(texts[4].Font.Color, 0x0000FFu);
}

TEST_F(HighlightPaint, ASelectedPartKeepsTheStyleOfItsRun) {
    TWordList& list = editor.SyntaxColoring().WordLists().Add();
    list.SetCustomStyle(true);
    list.SetStyle(static_cast<TFontStyles>(FontStyle::Italic));
    list.AddWord("begin");
    editor.SetText("begin x");
    editor.SetSelStart(2);
    editor.SetSelLength(4);
    const Texts& texts = DrawRow();
    ASSERT_EQ(Chars(texts), (std::vector<std::string>{"be", "gin", " ", "x"}));
    EXPECT_EQ(texts[0].Font.Color, clBlue);
    EXPECT_EQ(texts[1].Font.Color, clHighlightText);
    EXPECT_EQ(texts[1].Background, clHighlight);
    EXPECT_TRUE(HasStyle(texts[1].Font.Style, FontStyle::Italic));
    EXPECT_EQ(texts[2].Background, clHighlight);
    EXPECT_EQ(texts[3].Background, editor.Color());
}

TEST_F(HighlightPaint, ARunOverTwoRowsIsDrawnOnEach) {
    test::UseCStyles(editor.SyntaxColoring());
    editor.SetText("a /* b\r\nc */ d");
    EXPECT_EQ(Chars(DrawRow(1)), (std::vector<std::string>{"a ", "/* b"}));
    const Texts& second = DrawRow(2);
    ASSERT_EQ(Chars(second), (std::vector<std::string>{"c */", " d"}));
    EXPECT_EQ(second[0].Font.Color, clMaroon);
}

TEST_F(HighlightPaint, SplitOnFlySplitsTextRunsWhenPainted) {
    editor.SetSplitOnFly(true);
    editor.SetText("a+=1.5 if");
    editor.SyntaxColoring().WordLists().Add().AddWord("if");
    const Texts& texts = DrawRow();
    ASSERT_EQ(Chars(texts), (std::vector<std::string>{"a", "+=", "1.5", " ", "if"}));
    EXPECT_EQ(texts[1].Font.Color, clOlive);
    EXPECT_EQ(texts[2].Font.Color, clGreen);
    EXPECT_EQ(texts[4].Font.Color, clBlue);
}

TEST_F(HighlightPaint, TypingAnOpeningParenthesisRepaintsTheParenthesesAfterIt) {
    editor.SyntaxColoring().SetParenthesisColors({"$0000FF", "$00FF00"});
    editor.SetText("x\r\n(a)\r\n(b)");
    host.canvas.Clear();
    TMCRange at(&editor, 1, 0);
    at.SetText("(");
    std::vector<std::pair<std::string, TColor>> laterRows;
    for (const auto& text : host.canvas.texts) {
        if (text.Y > 0) laterRows.emplace_back(text.Chars, text.Font.Color);
    }
    EXPECT_EQ(laterRows,
              (std::vector<std::pair<std::string, TColor>>{
                  {"(", 0x00FF00u}, {")", 0x00FF00u}, {"(", 0x00FF00u}, {")", 0x00FF00u}}));
}

} // namespace
} // namespace kelvara
