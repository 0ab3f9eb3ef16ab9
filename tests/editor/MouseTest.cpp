#include <gtest/gtest.h>

#include "../search/CodePageScope.h"
#include "FakeHost.h"

namespace kelvara {
namespace {

using test::WindowedEditor;

// Pixel of the left edge of display column `col` on visible row `row`.
int X(int col) { return 2 + (col - 1) * 8; }
int Y(int row) { return (row - 1) * 16 + 3; }

class Mouse : public ::testing::Test {
protected:
    void Click(int col, int row, ShiftState shift = kNoShift,
               MouseButton button = MouseButton::Left) {
        editor.MouseDown(button, shift, X(col), Y(row));
        editor.MouseUp(button, shift, X(col), Y(row));
    }
    WindowedEditor window;
    test::RecordingEditor& editor = window.editor;
    test::FakeHost& host = window.host;
};

TEST_F(Mouse, ClicksPlaceTheCaretAndShiftClickExtends) {
    editor.SetText("hello world\r\nsecond row");
    Click(3, 1);
    EXPECT_EQ(editor.SelStart(), 2);
    EXPECT_EQ(editor.SelLength(), 0);
    Click(4, 2, kShift);
    EXPECT_EQ(editor.Selection().GetText(), "llo world\r\nsec");
    Click(30, 2); // past a row's end: its end
    EXPECT_EQ(editor.SelStart(), editor.TextLength());
    EXPECT_TRUE(host.timers.empty());

    // The right button places the caret only when nothing is selected.
    Click(2, 1, kNoShift, MouseButton::Right);
    EXPECT_EQ(editor.SelStart(), 1);
    editor.MouseDown(MouseButton::Right, kNoShift, X(2), Y(1));
    editor.MouseMove(kNoShift, X(5), Y(1));
    editor.MouseUp(MouseButton::Right, kNoShift, X(5), Y(1));
    EXPECT_EQ(editor.Selection().GetText(), "ell");
    Click(8, 1, kNoShift, MouseButton::Right);
    EXPECT_EQ(editor.Selection().GetText(), "ell");
    Click(8, 1, kNoShift, MouseButton::Middle);
    EXPECT_EQ(editor.Selection().GetText(), "ell");
}

TEST_F(Mouse, DraggingBelowTheWindowScrollsOnEveryTick) {
    std::string text;
    for (int row = 1; row <= 100; ++row)
        text += "row " + std::to_string(row) + "\r\n";
    editor.SetText(text);
    editor.MouseDown(MouseButton::Left, kNoShift, X(1), Y(1));
    EXPECT_EQ(host.timers.at(TMemoComponent::kDragTimer), 50);
    host.mouse = {X(2), host.height + 25};
    editor.MouseMove(kNoShift, host.mouse.X, host.mouse.Y);
    editor.WMTimer(TMemoComponent::kDragTimer);
    EXPECT_EQ(editor.View().TopRow(), 4); // three rows per tick at 25 pixels
    editor.WMTimer(TMemoComponent::kDragTimer);
    EXPECT_EQ(editor.View().TopRow(), 7);
    // The selection reaches the row under the mouse.
    EXPECT_EQ(editor.OffsetToPoint(editor.Selection().CaretPos()).Row, 7 + 11);
    host.mouse = {X(2), 5}; // back inside: no scrolling
    editor.MouseMove(kNoShift, host.mouse.X, host.mouse.Y);
    editor.WMTimer(TMemoComponent::kDragTimer);
    EXPECT_EQ(editor.View().TopRow(), 7);
    editor.MouseUp(MouseButton::Left, kNoShift, host.mouse.X, host.mouse.Y);
    EXPECT_TRUE(host.timers.empty());
    EXPECT_EQ(editor.OffsetToPoint(editor.Selection().CaretPos()).Row, 7);
    editor.WMTimer(TMemoComponent::kDragTimer); // a late tick does nothing
    EXPECT_EQ(editor.View().TopRow(), 7);
}

// Leaving a row strips its trailing blanks as an edit of its own, also when
// the mouse moves the selection off it.
TEST_F(Mouse, BlanksStrippedWhileTheMouseSelectsAreUndone) {
    editor.SetRemoveTrailingSpaces(true);
    editor.SetText("ab\r\ncd");
    editor.ClearUndo();
    Click(3, 2);
    editor.KeyPress(' ');
    editor.MouseDown(MouseButton::Left, kNoShift, X(4), Y(2));
    editor.MouseMove(kNoShift, X(1), Y(1));
    editor.MouseUp(MouseButton::Left, kNoShift, X(1), Y(1));
    EXPECT_EQ(editor.Text(), "ab\r\ncd");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "ab\r\ncd ");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "ab\r\ncd");
}

TEST_F(Mouse, TheWheelScrollsThreeRowsANotchAndAddsUpSmallSteps) {
    std::string text;
    for (int row = 1; row <= 100; ++row)
        text += "x\r\n";
    editor.SetText(text);
    editor.MouseWheel(-120);
    EXPECT_EQ(editor.View().TopRow(), 4);
    editor.MouseWheel(-60);
    EXPECT_EQ(editor.View().TopRow(), 4);
    editor.MouseWheel(-60);
    EXPECT_EQ(editor.View().TopRow(), 7);
    editor.MouseWheel(0);
    editor.MouseWheel(240);
    EXPECT_EQ(editor.View().TopRow(), 1);
    editor.MouseWheel(120); // at the top already
    EXPECT_EQ(editor.View().TopRow(), 1);
}

TEST_F(Mouse, TheSidewaysWheelScrollsSixColumnsANotch) {
    editor.SetText(std::string(200, 'x') + "\r\nshort\r\n");
    editor.MouseWheelSideways(-120);
    EXPECT_EQ(editor.View().LeftCol(), 7);
    editor.MouseWheelSideways(-60);
    editor.MouseWheel(-60); // the other wheel keeps its own steps
    EXPECT_EQ(editor.View().LeftCol(), 7);
    editor.MouseWheelSideways(-60);
    EXPECT_EQ(editor.View().LeftCol(), 13);
    editor.MouseWheelSideways(360);
    EXPECT_EQ(editor.View().LeftCol(), 1);
    EXPECT_EQ(editor.View().TopRow(), 1);
}

TEST_F(Mouse, DoubleClickSelectsATokenOfWholeCharacters) {
    editor.SetText("a = $val1#x + y");
    editor.MouseDown(MouseButton::Left, kNoShift, X(8), Y(1));
    editor.MouseUp(MouseButton::Left, kNoShift, X(8), Y(1));
    editor.DblClick();
    editor.MouseMove(kNoShift, X(15), Y(1)); // no tracking after a double click
    editor.MouseUp(MouseButton::Left, kNoShift, X(15), Y(1));
    EXPECT_EQ(editor.Selection().GetText(), "$val1#x");
    // Ctrl+Right stops at the "$" instead.
    editor.SetSelStart(4);
    editor.KeyDown(Key::Right, kCtrl);
    EXPECT_EQ(editor.SelStart(), 5);

    CodePageScope gbk(CodePage::Gbk);
    editor.SetText("\xB0\x41"
                   "bc"); // a two-byte character whose trail byte is "A"
    Click(3, 1);
    editor.DblClick();
    EXPECT_EQ(editor.Selection().GetText(), "bc");
}

class DragDrop : public Mouse {
protected:
    DragDrop() {
        editor.SetDragDropEditing(true);
        editor.SetText("abcdefgh");
        editor.SetSelStart(1);
        editor.SetSelLength(3); // "bcd"
        editor.ClearUndo();
    }
};

TEST_F(DragDrop, PressAndReleaseInsideTheSelectionPlacesTheCaret) {
    editor.MouseDown(MouseButton::Left, kNoShift, X(3), Y(1));
    EXPECT_TRUE(editor.DragPending());
    EXPECT_EQ(editor.SelLength(), 3);
    editor.MouseUp(MouseButton::Left, kNoShift, X(3), Y(1));
    EXPECT_EQ(editor.SelStart(), 2);
    EXPECT_EQ(editor.SelLength(), 0);
    EXPECT_EQ(editor.Text(), "abcdefgh");
}

TEST_F(DragDrop, DraggingMovesTheTextAndOneUndoPutsItBack) {
    int changes = 0;
    editor.OnChange = [&changes](TMemoComponent&) { ++changes; };
    editor.MouseDown(MouseButton::Left, kNoShift, X(3), Y(1));
    editor.MouseMove(kNoShift, X(6), Y(1));
    EXPECT_TRUE(editor.DragMoving());
    EXPECT_TRUE(host.dragCursor);
    editor.MouseMove(kNoShift, X(7), Y(1)); // two characters right of the selection's end
    EXPECT_EQ(editor.Text(), "aefbcdgh");
    EXPECT_EQ(editor.Selection().GetText(), "bcd");
    EXPECT_EQ(changes, 0); // nothing is announced while dragging
    editor.MouseUp(MouseButton::Left, kNoShift, X(7), Y(1));
    EXPECT_FALSE(editor.DragMoving());
    EXPECT_FALSE(host.dragCursor);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(editor.CheckInvariants(), "");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "abcdefgh");
    EXPECT_EQ(editor.EMCanUndo(0), 0);

    // Far to the left the dragged text itself moves.
    editor.SetText("0123456789abc");
    editor.SetSelStart(9);
    editor.SetSelLength(3); // "9ab"
    editor.ClearUndo();
    editor.MouseDown(MouseButton::Left, kNoShift, X(10), Y(1));
    editor.MouseMove(kNoShift, X(11), Y(1));
    editor.MouseMove(kNoShift, X(2), Y(1));
    EXPECT_EQ(editor.Text(), "09ab12345678c");
    editor.MouseUp(MouseButton::Left, kNoShift, X(2), Y(1));
    EXPECT_EQ(editor.Selection().GetText(), "9ab");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "0123456789abc");
}

TEST_F(DragDrop, ControlLeavesACopyAndOneUndoRemovesTheNewOne) {
    editor.MouseDown(MouseButton::Left, kNoShift, X(3), Y(1));
    editor.MouseMove(kNoShift, X(6), Y(1));
    // The copy appears at the origin, and the text follows the mouse.
    editor.MouseMove(kCtrl, X(9), Y(1));
    EXPECT_EQ(editor.Text(), "abcdebcdfgh");
    // Releasing Control turns the copy back into a move.
    host.mouse = {X(9), Y(1)};
    editor.KeyUp(Key::Control, kNoShift);
    EXPECT_EQ(editor.Text(), "aefghbcd");
    editor.KeyDown(Key::Control, kCtrl);
    editor.MouseUp(MouseButton::Left, kCtrl, X(9), Y(1));
    EXPECT_EQ(editor.Text(), "abcdefghbcd");
    EXPECT_EQ(editor.Selection().GetText(), "bcd");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "abcdefgh");
}

TEST_F(DragDrop, EscapeAndADropOntoItselfChangeNothing) {
    editor.MouseDown(MouseButton::Left, kNoShift, X(3), Y(1));
    editor.MouseMove(kNoShift, X(4), Y(1)); // inside the dragged text
    editor.MouseUp(MouseButton::Left, kNoShift, X(4), Y(1));
    EXPECT_EQ(editor.Text(), "abcdefgh");
    EXPECT_EQ(editor.EMCanUndo(0), 0);

    editor.SetSelStart(1);
    editor.SetSelLength(3);
    editor.MouseDown(MouseButton::Left, kNoShift, X(3), Y(1));
    editor.MouseMove(kNoShift, X(8), Y(1));
    EXPECT_EQ(editor.Text(), "aefgbcdh");
    editor.KeyDown(Key::Escape, kNoShift);
    EXPECT_EQ(editor.Text(), "abcdefgh");
    EXPECT_EQ(editor.Selection().GetText(), "bcd");
    EXPECT_FALSE(editor.DragMoving());
    EXPECT_TRUE(host.timers.empty());
    editor.MouseUp(MouseButton::Left, kNoShift, X(8), Y(1));
    EXPECT_EQ(editor.Text(), "abcdefgh");
    EXPECT_EQ(editor.EMCanUndo(0), 0);
    EXPECT_EQ(editor.CheckInvariants(), "");
}

// While a text is dragged only Escape and Control act: a typed character,
// Delete or an arrow key would change the text behind the drag's back.
TEST_F(DragDrop, KeysDuringADragDoNothingAndUndoBringsTheTextBack) {
    editor.MouseDown(MouseButton::Left, kNoShift, X(3), Y(1));
    editor.MouseMove(kNoShift, X(6), Y(1));
    ASSERT_EQ(editor.Text(), "aebcdfgh");
    editor.KeyPress('x');
    for (const Key key : {Key::Delete, Key::Backspace, Key::Left, Key::Tab, Key::Z})
        editor.KeyDown(key, key == Key::Z ? kCtrl : kNoShift);
    EXPECT_EQ(editor.Text(), "aebcdfgh");
    EXPECT_EQ(editor.Selection().GetText(), "bcd");
    EXPECT_TRUE(editor.DragMoving());
    editor.MouseUp(MouseButton::Left, kNoShift, X(6), Y(1));
    editor.Undo();
    EXPECT_EQ(editor.Text(), "abcdefgh");
    EXPECT_EQ(editor.EMCanUndo(0), 0);

    // A key between the press and the first move: no drag follows.
    editor.SetSelStart(1);
    editor.SetSelLength(3);
    editor.ClearUndo();
    editor.MouseDown(MouseButton::Left, kNoShift, X(3), Y(1));
    editor.KeyPress('x');
    editor.MouseMove(kNoShift, X(6), Y(1));
    EXPECT_FALSE(editor.DragMoving());
    editor.MouseUp(MouseButton::Left, kNoShift, X(6), Y(1));
    EXPECT_EQ(editor.Text(), "axefgh");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "abcdefgh");
}

// A selection or an edit from code, as the find dialog makes them, ends the
// drag where it stands; the drag is then one undo step of its own.
TEST_F(DragDrop, ChangesFromCodeEndTheDragFirst) {
    editor.MouseDown(MouseButton::Left, kNoShift, X(3), Y(1));
    editor.MouseMove(kNoShift, X(6), Y(1));
    editor.SetSelStart(0);
    EXPECT_FALSE(editor.DragMoving());
    EXPECT_TRUE(host.timers.empty());
    editor.MouseMove(kNoShift, X(2), Y(1)); // the button is still down
    editor.MouseUp(MouseButton::Left, kNoShift, X(2), Y(1));
    EXPECT_EQ(editor.Text(), "aebcdfgh");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "abcdefgh");

    editor.SetSelStart(1);
    editor.SetSelLength(3);
    editor.ClearUndo();
    editor.MouseDown(MouseButton::Left, kNoShift, X(3), Y(1));
    editor.MouseMove(kCtrl, X(9), Y(1)); // a copy
    TMCRange(&editor, 1, 0).SetText("<");
    editor.MouseUp(MouseButton::Left, kNoShift, X(9), Y(1));
    EXPECT_EQ(editor.Text(), "<abcdebcdfgh");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "abcdebcdfgh");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "abcdefgh");
    EXPECT_EQ(editor.CheckInvariants(), "");
}

// Another press, a double click or the middle button's release while a text
// is dragged leave the drag as it is; the release of its button ends it.
TEST_F(DragDrop, OtherButtonsDuringADragLeaveItAlone) {
    editor.MouseDown(MouseButton::Left, kNoShift, X(3), Y(1));
    editor.MouseMove(kNoShift, X(6), Y(1));
    editor.MouseDown(MouseButton::Left, kShift, X(1), Y(1));
    editor.DblClick();
    editor.MouseDown(MouseButton::Middle, kNoShift, X(1), Y(1));
    editor.MouseUp(MouseButton::Middle, kNoShift, X(1), Y(1));
    EXPECT_TRUE(editor.DragMoving());
    EXPECT_EQ(editor.Selection().GetText(), "bcd");
    editor.MouseMove(kNoShift, X(7), Y(1));
    editor.MouseUp(MouseButton::Left, kNoShift, X(7), Y(1));
    EXPECT_EQ(editor.Text(), "aefbcdgh");
    EXPECT_FALSE(editor.NotificationsLocked());
    editor.Undo();
    EXPECT_EQ(editor.Text(), "abcdefgh");
}

// With trailing blanks removed, a drag still moves text as it is: neither
// the dragged text nor the text it passes loses a blank, so that one undo
// puts back the text before the drag.
TEST_F(DragDrop, TrailingBlanksMoveWithTheTextAndUndoKeepsThem) {
    editor.SetRemoveTrailingSpaces(true);
    editor.SetText("ab\r\ncd");
    editor.SetSelStart(0);
    editor.KeyPress(' ');
    editor.SetSelLength(6); // "ab\r\ncd"
    editor.MouseDown(MouseButton::Left, kNoShift, X(3), Y(1));
    editor.MouseMove(kNoShift, X(1), Y(1)); // the blank goes behind the dragged text
    editor.MouseUp(MouseButton::Left, kNoShift, X(1), Y(1));
    EXPECT_EQ(editor.Text(), "ab\r\ncd ");
    editor.Undo();
    EXPECT_EQ(editor.Text(), " ab\r\ncd");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "ab\r\ncd");

    // A dragged text that holds a blank before a line break.
    editor.SetText("x\r\nab\r\ncd");
    editor.SetSelStart(5);
    editor.KeyPress(' ');
    ASSERT_EQ(editor.Text(), "x\r\nab \r\ncd");
    editor.SetSelStart(3);
    editor.SetSelLength(7); // "ab \r\ncd"
    editor.ClearUndo();
    editor.MouseDown(MouseButton::Left, kNoShift, X(2), Y(2));
    editor.MouseMove(kNoShift, X(1), Y(1));
    editor.MouseUp(MouseButton::Left, kNoShift, X(1), Y(1));
    EXPECT_EQ(editor.Selection().GetText(), "ab \r\ncd");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "x\r\nab \r\ncd");
    EXPECT_EQ(editor.CheckInvariants(), "");
}

// Offsets from code that fall between CR and LF take the whole line break.
TEST_F(DragDrop, ASelectionFromCodeNeverSplitsALineBreak) {
    editor.SetText("ab\r\ncd\r\nef");
    editor.SetSelStart(3); // between the first CR and LF
    EXPECT_EQ(editor.SelStart(), 2);
    editor.SetSelLength(5); // up to the second CR
    EXPECT_EQ(editor.Selection().GetText(), "\r\ncd\r\n");
    editor.ClearUndo();
    editor.MouseDown(MouseButton::Left, kNoShift, X(3), Y(2));
    editor.MouseMove(kNoShift, X(1), Y(1));
    editor.MouseUp(MouseButton::Left, kNoShift, X(1), Y(1));
    EXPECT_EQ(editor.Text(), "\r\ncd\r\nabef");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "ab\r\ncd\r\nef");
}

TEST_F(Mouse, ARefusedClipboardPastesNothingAndChangesAreAnnounced) {
    editor.SetText("keep");
    editor.SetSelLength(2);
    host.refuseClipboard = true;
    const int before = host.changes;
    editor.PasteFromClipboard();
    EXPECT_EQ(editor.Text(), "keep");
    EXPECT_EQ(editor.SelLength(), 2);
    EXPECT_EQ(host.changes, before);
    host.refuseClipboard = false;
    host.clipboard = "x";
    editor.PasteFromClipboard();
    EXPECT_EQ(editor.Text(), "xep");
    EXPECT_GT(host.changes, before);
}

} // namespace
} // namespace kelvara
