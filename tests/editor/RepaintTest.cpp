#include <gtest/gtest.h>

#include "FakeHost.h"

namespace kelvara {
namespace {

using Segment = test::RecordingEditor::Segment;
using test::WindowedEditor;

class Repaint : public ::testing::Test {
protected:
    void Clear() {
        window.editor.painted.clear();
        window.host.canvas.fills.clear();
    }
    WindowedEditor window;
    test::RecordingEditor& editor = window.editor;
};

TEST_F(Repaint, TheViewDrawsEachRowAndFillsBelowTheText) {
    editor.SetText("ab\r\n\tc");
    Clear();
    editor.View().Repaint();
    const std::vector<Segment> expected{{1, 4, 2, 2, 0}, {5, 6, 2, 2, 16}};
    EXPECT_EQ(editor.painted, expected);
    // Below the last row the control colour is filled.
    const TRect below{2, 32, window.host.width, window.host.height};
    bool filled = false;
    for (const auto& fill : window.host.canvas.fills)
        filled = filled || (fill.Rect == below && fill.Color == clWindow);
    EXPECT_TRUE(filled);

    editor.SetText("");
    Clear();
    editor.View().Repaint();
    EXPECT_TRUE(editor.painted.empty());
    ASSERT_EQ(window.host.canvas.fills.size(), 1u);
    EXPECT_EQ(window.host.canvas.fills[0].Rect,
              (TRect{0, 0, window.host.width, window.host.height}));
}

TEST_F(Repaint, ATabStraddlingTheLeftEdgeStartsLeftOfTheMargin) {
    editor.SetTabSize(4);
    editor.SetText("\tabcdef" + std::string(60, 'x'));
    editor.View().SetLeftCol(3);
    Clear();
    editor.View().Repaint();
    ASSERT_FALSE(editor.painted.empty());
    EXPECT_EQ(editor.painted[0].Start, 1);
    EXPECT_EQ(editor.painted[0].X, (1 - 3) * 8 + 2);
    EXPECT_EQ(editor.painted[0].TabPhase, 4);
    editor.View().SetLeftCol(6); // column 6 is the "b"
    Clear();
    editor.View().Repaint();
    EXPECT_EQ(editor.painted[0].Start, 3);
    EXPECT_EQ(editor.painted[0].X, 2);
    EXPECT_EQ(editor.painted[0].TabPhase, 3);
}

TEST_F(Repaint, SelectionChangesRepaintOnlyTheDifference) {
    editor.SetText("abcdef\r\nghij");
    editor.SetSelStart(1);
    Clear();
    editor.Selection().ExtendTo(4); // grows by "bc"
    EXPECT_EQ(editor.painted, (std::vector<Segment>{{2, 3, 10, 1, 0}}));
    Clear();
    editor.Selection().ExtendTo(3); // shrinks by "c"
    EXPECT_EQ(editor.painted, (std::vector<Segment>{{3, 3, 18, 2, 0}}));
    editor.SetSelStart(0);
    Clear();
    editor.SetSelStart(9); // a caret that only moves repaints nothing
    EXPECT_TRUE(editor.painted.empty());
}

TEST_F(Repaint, ScrollingByARowMovesThePictureAndDrawsTheNewRow) {
    std::string text;
    for (int row = 1; row <= 30; ++row)
        text += "row\r\n";
    editor.SetText(text);
    Clear();
    editor.WMVScroll(1, 0);
    EXPECT_EQ(editor.View().TopRow(), 2);
    EXPECT_EQ(window.host.scrolledBy, std::vector<int>{-16});
    ASSERT_FALSE(editor.painted.empty());
    EXPECT_EQ(editor.OffsetToPoint(editor.painted.front().Start).Row, 11);
    Clear();
    editor.WMVScroll(6, 0);
    editor.WMVScroll(0, 0); // line up at the top changes nothing
    EXPECT_EQ(editor.View().TopRow(), 1);
    Clear();
    editor.WMVScroll(0, 0);
    EXPECT_TRUE(editor.painted.empty());
    editor.WMVScroll(5, 25);
    EXPECT_EQ(editor.View().TopRow(), 22); // the last page
}

TEST_F(Repaint, NothingIsDrawnWithoutAWindow) {
    window.host.window = false;
    Clear();
    editor.SetText("abc");
    editor.View().Repaint();
    EXPECT_TRUE(editor.painted.empty());
    EXPECT_TRUE(window.host.canvas.fills.empty());
}

} // namespace
} // namespace kelvara
