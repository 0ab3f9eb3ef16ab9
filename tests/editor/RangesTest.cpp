#include <gtest/gtest.h>

#include "FakeHost.h"

namespace kelvara {
namespace {

using test::RecordingEditor;
using test::WindowedEditor;

// A range registered with the editor (owned by its container).
TMCRange& Registered(TMemoComponent& editor, int start, int end) {
    auto* range = new TMCRange(&editor.Ranges());
    range->SetRStart(start);
    range->SetREnd(end);
    return *range;
}

void Replace(TMemoComponent& editor, int start, int end, std::string_view text) {
    TMCRange(&editor, start, end).SetText(text);
}

TEST(Ranges, SettersClampToTheText) {
    RecordingEditor editor;
    editor.SetText("0123456789");
    TMCRange range(&editor, 3, 5);
    range.SetRStart(0);
    EXPECT_EQ(range.RStart(), 1);
    range.SetREnd(-4);
    EXPECT_EQ(range.REnd(), 0);
    range.SetREnd(99);
    EXPECT_EQ(range.REnd(), 10);
    range.SetRStart(15);
    EXPECT_EQ(range.RStart(), 11);
    EXPECT_EQ(range.RLength(), 0);
    TWholeTextRange whole(&editor);
    EXPECT_EQ(whole.GetText(), "0123456789");
    TMCRange orphan(nullptr);
    EXPECT_EQ(orphan.GetText(), "");
    EXPECT_EQ(orphan.GetEndPixel(), (TPoint{0, 0}));
}

TEST(Ranges, InsertionMovesGrowsOrKeepsRanges) {
    RecordingEditor editor;
    editor.SetText("0123456789ABCDEF");
    TMCRange& caret = Registered(editor, 5, 4);
    TMCRange& atPoint = Registered(editor, 5, 8);
    TMCRange& around = Registered(editor, 3, 6);
    TMCRange& before = Registered(editor, 1, 4);
    Replace(editor, 5, 4, "xyz");
    EXPECT_EQ(caret.RStart(), 5);
    EXPECT_EQ(caret.REnd(), 4);
    EXPECT_EQ(atPoint.RStart(), 8);
    EXPECT_EQ(atPoint.REnd(), 11);
    EXPECT_EQ(around.RStart(), 3);
    EXPECT_EQ(around.REnd(), 9);
    EXPECT_EQ(before.REnd(), 4);
    EXPECT_EQ(editor.CheckInvariants(), "");
}

TEST(Ranges, DeletionCutsRangesBackAndReportsCollapsedOnes) {
    RecordingEditor editor;
    editor.SetText("0123456789ABCDEF");
    TMCRange& after = Registered(editor, 6, 10);
    TMCRange& into = Registered(editor, 3, 6);
    TMCRange& inside = Registered(editor, 5, 7);
    TMCRange& caret = Registered(editor, 8, 7);
    int overwrites = 0;
    for (TMCRange* range : {&after, &into, &inside, &caret})
        range->OnOverwrite = [&](TCustomRange& r) { overwrites += &r == &inside ? 1 : 100; };
    Replace(editor, 5, 7, "");
    EXPECT_EQ(after.RStart(), 5);
    EXPECT_EQ(after.REnd(), 7);
    EXPECT_EQ(into.RStart(), 3);
    EXPECT_EQ(into.REnd(), 4);
    EXPECT_EQ(inside.RStart(), 5);
    EXPECT_EQ(inside.RLength(), 0);
    EXPECT_EQ(caret.RStart(), 5);
    EXPECT_EQ(overwrites, 1);

    editor.SetText("0123456789ABCDEF");
    TMCRange& pulled = Registered(editor, 6, 10);
    Replace(editor, 5, 7, "vwxyz");
    EXPECT_EQ(pulled.RStart(), 5);
    EXPECT_EQ(pulled.REnd(), 12);
}

TEST(Ranges, UpdateBracketsNotifyOnceOnTheOutermostLevel) {
    RecordingEditor editor;
    editor.SetText("0123456789");
    TMCRange range(&editor, 1, 0);
    int changes = 0;
    range.OnChange = [&](TCustomRange&) { ++changes; };
    range.BeginUpdate();
    range.SetRStart(3);
    range.SetREnd(5);
    EXPECT_EQ(changes, 0);
    range.EndUpdate();
    EXPECT_EQ(changes, 1);
    range.BeginUpdate();
    range.SetRStart(4);
    range.EndUpdateQuiet();
    EXPECT_EQ(changes, 1);
    TMCRange copy(&editor, 1, 0);
    range.AssignTo(copy);
    EXPECT_EQ(copy.GetText(), "34");
}

TEST(Ranges, TabsAndTwoByteCharactersOnTheGrid) {
    RecordingEditor editor;
    editor.SetTabSize(4);
    editor.SetText("\tx\r\nab\tc\r\na\xB0\xA1"
                   "b");
    EXPECT_EQ(editor.DisplayColumn({1, 2}), 5);
    EXPECT_EQ(editor.DisplayColumn({2, 4}), 5);
    EXPECT_EQ(editor.LineWidth(1), 5);
    EXPECT_EQ(editor.LineWidth(2), 5);
    EXPECT_EQ(editor.MaxLineWidth(), 5);
    EXPECT_EQ(editor.TabWidthAt(editor.PointToOffset({2, 3})), 2);
    EXPECT_EQ(editor.DisplayToTextPoint({1, 3}), (TextPoint{1, 1})); // inside the tab
    EXPECT_EQ(editor.DisplayToTextPoint({1, 5}), (TextPoint{1, 2}));
    EXPECT_EQ(editor.DisplayToTextPoint({1, 40}), (TextPoint{1, 3}));
    EXPECT_EQ(editor.DisplayToTextPoint({9, 2}), (TextPoint{3, 2}));
    EXPECT_EQ(editor.DisplayToTextPoint({3, 3}), (TextPoint{3, 2})); // second byte of a character
    int start = 0;
    EXPECT_EQ(editor.DisplayToTextPointStart({2, 4}, start), (TextPoint{2, 3}));
    EXPECT_EQ(start, 3);
    editor.SetTabSize(1);
    EXPECT_EQ(editor.MaxLineWidth(), 4);
    EXPECT_EQ(editor.DisplayColumn({2, 4}), 4);
}

TEST(Ranges, PixelsAndCellsOnAWindow) {
    WindowedEditor window;
    TMemoComponent& editor = window.editor;
    EXPECT_EQ(editor.PixelToCell(2 + 4, 17), (TextPoint{2, 2}));
    EXPECT_EQ(editor.PixelToCell(2 + 3, 0), (TextPoint{1, 1}));
    EXPECT_EQ(editor.CellToPixel({2, 3}), (TPoint{18, 16}));
    editor.SetText("abc\r\ndef");
    editor.SetSelStart(6); // row 2, column 2
    EXPECT_EQ(editor.Selection().GetEndPixel(), (TPoint{10, 16}));
    EXPECT_EQ(window.host.caret, (TPoint{9, 17}));
    editor.SetSelStart(5); // start of row 2: the CR LF counts as the next row's column 0
    EXPECT_EQ(editor.Selection().GetEndPixel(), (TPoint{2, 16}));
}

TEST(Ranges, ScrollIntoViewKeepsTheMarginInView) {
    WindowedEditor window;
    TMemoComponent& editor = window.editor;
    std::string text;
    for (int row = 1; row <= 50; ++row)
        text += "row " + std::to_string(row) + "\r\n";
    editor.SetText(text);
    ASSERT_EQ(editor.VisibleRows(), 10);
    editor.View().SetTopRow(10);
    editor.SetSelStart(editor.PointToOffset({20, 1}) - 1); // one row below the view
    editor.Selection().ScrollIntoView(0);
    EXPECT_EQ(editor.View().TopRow(), 11);
    editor.SetSelStart(editor.PointToOffset({12, 1}) - 1); // second row of the view
    editor.Selection().ScrollIntoView(4);
    EXPECT_EQ(editor.View().TopRow(), 8);
    editor.SetSelStart(0);
    editor.Selection().ScrollIntoView(4);
    EXPECT_EQ(editor.View().TopRow(), 1);
    editor.View().SetTopRow(500);
    EXPECT_EQ(editor.View().TopRow(), 42); // clamped: the last page
}

} // namespace
} // namespace kelvara
