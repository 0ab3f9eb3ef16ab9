#include <gtest/gtest.h>

#include "FakeHost.h"

namespace kelvara {
namespace {

TEST(View, ANewEditorHasItsConstructionValues) {
    test::FakeHost host;
    host.width = 129;
    host.height = 129;
    TMemoComponent editor(&host);
    EXPECT_EQ(editor.ScrollBars(), TScrollStyle::Both);
    EXPECT_EQ(editor.BorderStyle(), TBorderStyle::Single);
    EXPECT_FALSE(editor.Bitmapped());
    EXPECT_FALSE(editor.ReadOnly());
    EXPECT_TRUE(editor.AllowUndo());
    EXPECT_FALSE(editor.AlwaysShowCaret());
    EXPECT_EQ(editor.LeftMargin(), 2);
    EXPECT_EQ(editor.TopMargin(), 0);
    EXPECT_EQ(editor.TabSize(), 2);
    EXPECT_FALSE(editor.DragDropEditing());
    EXPECT_FALSE(editor.RemoveTrailingSpaces());
    EXPECT_EQ(editor.Font().Name, "Courier New");
    EXPECT_EQ(editor.Font().Size, 10);
    EXPECT_EQ(editor.Color(), clWindow);
    editor.MeasureFont();
    EXPECT_GE(editor.VisibleRows(), 1);
    EXPECT_GE(editor.VisibleCols(), 1);
    EXPECT_EQ(editor.View().TopRow(), 1);
    EXPECT_EQ(editor.View().LeftCol(), 1);

    editor.SetScrollBars(TScrollStyle::Vertical);
    editor.SetScrollBars(TScrollStyle::Vertical);
    editor.SetBorderStyle(TBorderStyle::None);
    EXPECT_EQ(host.recreated, 2);
}

TEST(View, ScrollRequestsStopAtTheEnds) {
    test::FakeHost host;
    host.height = 16 * 20;
    TMemoComponent editor(&host);
    editor.MeasureFont();
    std::string text;
    for (int row = 1; row < 100; ++row)
        text += "row\r\n";
    editor.SetText(text);
    ASSERT_EQ(editor.VisibleRows(), 20);
    editor.View().SetTopRow(75);
    editor.WMVScroll(3, 0); // page down
    EXPECT_EQ(editor.View().TopRow(), 81);
    EXPECT_EQ(host.verticalPos, 81);
    editor.WMVScroll(7, 0);
    EXPECT_EQ(editor.View().TopRow(), 81);
    editor.WMVScroll(5, 70000); // whole bar values, beyond 16 bits, are clamped
    EXPECT_EQ(editor.View().TopRow(), 81);
    editor.WMVScroll(4, 65536 + 3);
    EXPECT_EQ(editor.View().TopRow(), 81);
    editor.WMVScroll(6, 0);
    editor.WMVScroll(0, 0);
    EXPECT_EQ(editor.View().TopRow(), 1);
}

} // namespace
} // namespace kelvara
