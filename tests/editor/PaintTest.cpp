#include <gtest/gtest.h>

#include "FakeHost.h"
#include "editor/DisplayWidth.h"

namespace kelvara {
namespace {

using test::FakeCanvas;
using test::FakeHost;

// A plain editor drawing on the recording canvas (8 x 16 cells, margin 2).
class Paint : public ::testing::Test {
protected:
    Paint() { editor.MeasureFont(); }
    // Draws a row as the view does and returns what reached the canvas.
    const std::vector<FakeCanvas::Text>& DrawRow(int row = 1) {
        return test::DrawRow(editor, host, row);
    }
    FakeHost host;
    TMemoComponent editor{&host};
};

TEST_F(Paint, TabsExpandToTheNextStopAndThePhaseCarriesAcrossRuns) {
    editor.SetTabSize(4);
    editor.SetText("\tab\tc");
    ASSERT_EQ(DrawRow().size(), 1u);
    EXPECT_EQ(host.canvas.texts[0].Chars, "    ab  c");
    EXPECT_EQ(host.canvas.texts[0].Clip, (TRect{2, 0, 2 + 9 * 8, 16}));

    // "ab" selected: the tab in the next run still stops at column 9.
    editor.SetSelStart(1);
    editor.SetSelLength(2);
    const auto& texts = DrawRow();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].Chars, "    ");
    EXPECT_EQ(texts[1].Chars, "ab");
    EXPECT_EQ(texts[1].X, 2 + 4 * 8);
    EXPECT_EQ(texts[2].Chars, "  c");
    EXPECT_EQ(texts[2].X, 2 + 6 * 8);

    editor.SetTabSize(1);
    editor.SetSelLength(0);
    EXPECT_EQ(DrawRow()[0].Chars, " ab c");
}

TEST_F(Paint, SelectionGivesThreeRunsInTheHighlightColours) {
    editor.SetText("abcdef\r\nxyz");
    editor.SetSelStart(2);
    editor.SetSelLength(2);
    const auto& texts = DrawRow();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].Chars, "ab");
    EXPECT_EQ(texts[0].Background, clWindow);
    EXPECT_EQ(texts[0].Font.Color, clWindowText);
    EXPECT_EQ(texts[1].Chars, "cd");
    EXPECT_EQ(texts[1].Background, clHighlight);
    EXPECT_EQ(texts[1].Font.Color, clHighlightText);
    EXPECT_EQ(texts[1].Clip, (TRect{2 + 16, 0, 2 + 32, 16}));
    // The run holding the line break fills the rest of the row.
    EXPECT_EQ(texts[2].Chars, "ef");
    EXPECT_EQ(texts[2].Clip, (TRect{2 + 32, 0, host.width, 16}));

    editor.Selection().SetHidden(true);
    ASSERT_EQ(DrawRow().size(), 1u);
    EXPECT_EQ(host.canvas.texts[0].Background, clWindow);

    // A selection over the line break colours the rest of the row.
    editor.Selection().SetHidden(false);
    editor.SetSelStart(5);
    editor.SetSelLength(4);
    const auto& broken = DrawRow();
    ASSERT_EQ(broken.size(), 2u);
    EXPECT_EQ(broken[1].Chars, "f");
    EXPECT_EQ(broken[1].Background, clHighlight);
    EXPECT_EQ(broken[1].Clip.Right, host.width);
}

TEST_F(Paint, TheLastRowIsFollowedByTheControlColour) {
    editor.SetText("ab\r\ncd");
    DrawRow(2);
    ASSERT_EQ(host.canvas.texts.size(), 1u);
    EXPECT_EQ(host.canvas.texts[0].Clip, (TRect{2, 16, 2 + 16, 32}));
    ASSERT_EQ(host.canvas.fills.size(), 1u);
    EXPECT_EQ(host.canvas.fills[0].Rect, (TRect{2 + 16, 16, host.width, 32}));
    EXPECT_EQ(host.canvas.fills[0].Color, clWindow);
    // A row that is not the last draws nothing past its line break.
    DrawRow(1);
    EXPECT_TRUE(host.canvas.fills.empty());
}

TEST_F(Paint, CourierItalicIsRaisedByAPixel) {
    TFont font;
    font.Name = "Courier New";
    font.Style = static_cast<TFontStyles>(FontStyle::Italic);
    editor.SetFont(font);
    editor.SetText("abc");
    ASSERT_EQ(DrawRow().size(), 1u);
    EXPECT_EQ(host.canvas.texts[0].Font.Style, static_cast<TFontStyles>(FontStyle::Italic));
    EXPECT_EQ(host.canvas.texts[0].Y, -1);
}

TEST_F(Paint, TwoByteCharactersFillTwoCellsInEitherCodePage) {
    editor.SetCodePage(CodePage::Gbk);
    editor.SetText("a\xD6\xD0\tb"); // a 中 tab b
    editor.SetTabSize(4);
    ASSERT_EQ(DrawRow().size(), 1u);
    EXPECT_EQ(host.canvas.texts[0].Chars, "a\xD6\xD0 b");
    EXPECT_EQ(host.canvas.texts[0].Clip.Right, 2 + 5 * 8);
    EXPECT_EQ(host.canvas.texts[0].Page, CodePage::Gbk);
    editor.SetCodePage(CodePage::Utf8);
    editor.SetText("a\xE4\xB8\xAD\tb\xC3\xA9"); // a 中 tab b é
    ASSERT_EQ(DrawRow().size(), 1u);
    EXPECT_EQ(host.canvas.texts[0].Chars, "a\xE4\xB8\xAD b\xC3\xA9");
    EXPECT_EQ(host.canvas.texts[0].Clip.Right, 2 + 6 * 8);
    EXPECT_TRUE(IsWideCodePoint(0x4E2D));
    EXPECT_TRUE(IsWideCodePoint(0xFF01));
    EXPECT_TRUE(IsWideCodePoint(0x20000));
    EXPECT_FALSE(IsWideCodePoint(0xE9));
    EXPECT_FALSE(IsWideCodePoint(0xFF61)); // half-width katakana
}

// A combining mark is drawn with its base, and the cells after it follow on.
TEST_F(Paint, ACombiningMarkIsDrawnInTheCellOfItsBase) {
    editor.SetCodePage(CodePage::Utf8);
    editor.SetText("e\xCC\x81xy");
    editor.SetSelStart(3);
    editor.SetSelLength(1); // the x
    ASSERT_EQ(DrawRow().size(), 3u);
    EXPECT_EQ(host.canvas.texts[0].Chars, "e\xCC\x81");
    EXPECT_EQ(host.canvas.texts[0].Clip.Right, 2 + 8);
    EXPECT_EQ(host.canvas.texts[1].Clip.Left, 2 + 8);
    EXPECT_EQ(host.canvas.texts[2].Clip.Left, 2 + 2 * 8);
}

TEST_F(Paint, BitmappedRowsGoToThePictureWhichThePaintCopies) {
    editor.SetText("ab");
    editor.SetBitmapped(true);
    host.canvas.Clear();
    editor.Paint();
    ASSERT_NE(host.bitmap, nullptr);
    EXPECT_EQ(host.bitmap->width, host.width);
    EXPECT_EQ(host.bitmap->height, host.height);
    ASSERT_EQ(host.canvas.draws.size(), 1u);
    EXPECT_TRUE(host.canvas.texts.empty());

    editor.View().Repaint();
    ASSERT_FALSE(host.bitmap->canvas.texts.empty());
    EXPECT_EQ(host.bitmap->canvas.texts.back().Chars, "ab");

    editor.SetBitmapped(false);
    EXPECT_EQ(editor.Bitmap(), nullptr);
    host.canvas.Clear();
    editor.Paint();
    EXPECT_TRUE(host.canvas.draws.empty());
    // Margins, then the row.
    ASSERT_GE(host.canvas.fills.size(), 2u);
    EXPECT_EQ(host.canvas.fills[0].Rect, (TRect{0, 0, host.width, 0}));
    EXPECT_EQ(host.canvas.fills[1].Rect, (TRect{0, 0, 2, host.height}));
    ASSERT_EQ(host.canvas.texts.size(), 1u);
    EXPECT_EQ(host.canvas.texts[0].Chars, "ab");
}

// A descendant's runs are drawn as given, its own runs are not freed.
class TwoColourEditor : public TMemoComponent {
public:
    explicit TwoColourEditor(EditorHost* host) : TMemoComponent(host), word_(&Ranges()) {
        word_.SetColor(0x00FF00);
        TFont bold;
        bold.Style = static_cast<TFontStyles>(FontStyle::Bold);
        word_.SetFont(&bold);
    }
    void GetFormattedRanges(TMCRange& segment, TFormattedRangeList& runs) override {
        word_.SetRStart(segment.RStart());
        word_.SetREnd(segment.RStart() + 1);
        runs.Add(word_);
        runs.AddTemporary(
            std::make_unique<TNormalFormattedRange>(this, segment.RStart() + 2, segment.REnd()));
    }
    TFormattedRange word_;
};

TEST(PaintRuns, ADescendantsRunsAreDrawnWithoutWideningStylesAndItsOwnRunsSurvive) {
    FakeHost host;
    TwoColourEditor editor(&host);
    editor.MeasureFont();
    editor.SetText("ab\tc");
    host.canvas.Clear();
    editor.View().Repaint();
    // The fake host's bold is a pixel wider than its normal face.
    EXPECT_EQ(editor.SuppressedStyles(), static_cast<TFontStyles>(FontStyle::Bold));
    ASSERT_EQ(host.canvas.texts.size(), 2u);
    EXPECT_EQ(host.canvas.texts[0].Background, 0x00FF00u);
    EXPECT_EQ(host.canvas.texts[0].Font.Style, 0u);
    EXPECT_EQ(editor.word_.Font()->Style, 0u);
    EXPECT_EQ(host.canvas.texts[1].Chars, "  c");
    EXPECT_FALSE(editor.word_.Temporary());
    EXPECT_EQ(editor.word_.RLength(), 2);
}

} // namespace
} // namespace kelvara
