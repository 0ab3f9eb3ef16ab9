#include <gtest/gtest.h>

#include "FakeHost.h"
#include "common/CodePage.h"

namespace kelvara {
namespace {

using test::WindowedEditor;

class Keyboard : public ::testing::Test {
protected:
    void Press(Key key, ShiftState shift = kNoShift, int times = 1) {
        for (int i = 0; i < times; ++i) {
            editor.KeyDown(key, shift);
        }
    }
    void Type(std::string_view text) {
        for (char c : text)
            editor.KeyPress(c);
    }
    int Caret() { return editor.Selection().CaretPos(); }

    WindowedEditor window;
    TMemoComponent& editor = window.editor;
};

TEST_F(Keyboard, ArrowsCrossRowBreaksAsOneStep) {
    editor.SetText("ab\r\ncd");
    editor.SetSelStart(2);
    Press(Key::Right);
    EXPECT_EQ(Caret(), 5);
    Press(Key::Left);
    EXPECT_EQ(Caret(), 3);
    Press(Key::Delete);
    EXPECT_EQ(editor.Text(), "abcd");
    Type("\r");
    EXPECT_EQ(editor.Text(), "ab\r\ncd");
    Press(Key::Backspace);
    EXPECT_EQ(editor.Text(), "abcd");
    Press(Key::Left, kNoShift, 5);
    EXPECT_EQ(Caret(), 1);
    Press(Key::End, kCtrl);
    EXPECT_EQ(Caret(), 5);
    Press(Key::Right);
    EXPECT_EQ(Caret(), 5);
}

TEST_F(Keyboard, ShiftExtendsFromTheAnchorInEitherDirection) {
    editor.SetText("abcdef");
    editor.SetSelStart(3);
    Press(Key::Left, kShift);
    EXPECT_TRUE(editor.Selection().Backwards());
    EXPECT_EQ(editor.Selection().GetText(), "c");
    EXPECT_EQ(Caret(), editor.Selection().RStart());
    Press(Key::Right, kShift, 3);
    EXPECT_FALSE(editor.Selection().Backwards());
    EXPECT_EQ(editor.Selection().GetText(), "de");
    Press(Key::Home, kShift);
    EXPECT_EQ(editor.Selection().GetText(), "abc");
    Press(Key::Right); // collapses to the end without moving further
    EXPECT_EQ(Caret(), 4);
    EXPECT_EQ(editor.Selection().RLength(), 0);
    Press(Key::Left, kShift, 2);
    Press(Key::Left);
    EXPECT_EQ(Caret(), 2);
    editor.SetAlwaysShowCaret(true);
    Press(Key::Right, kShift, 2);
    Press(Key::Left); // moves from the caret instead
    EXPECT_EQ(Caret(), 3);
}

TEST_F(Keyboard, VerticalMovesKeepTheDisplayColumn) {
    editor.SetText("abcdef\r\nx\r\nabcdefgh");
    editor.SetSelStart(4);
    Press(Key::Down);
    EXPECT_EQ(editor.OffsetToPoint(Caret()), (TextPoint{2, 2}));
    Press(Key::Down);
    EXPECT_EQ(editor.OffsetToPoint(Caret()), (TextPoint{3, 5}));
    Press(Key::Down);
    EXPECT_EQ(Caret(), editor.TextLength() + 1);
    Press(Key::Up, kNoShift, 5);
    EXPECT_EQ(Caret(), 1);

    editor.SetTabSize(4);
    editor.SetText("abcdef\r\n\tx");
    editor.SetSelStart(2); // display column 3
    Press(Key::Down);
    EXPECT_EQ(editor.OffsetToPoint(Caret()), (TextPoint{2, 1}));
    editor.SetSelStart(4); // display column 5
    Press(Key::Down);
    EXPECT_EQ(editor.OffsetToPoint(Caret()), (TextPoint{2, 2}));
}

TEST_F(Keyboard, PagesMoveByTheVisibleRows) {
    std::string text;
    for (int row = 1; row <= 30; ++row)
        text += "line\r\n";
    editor.SetText(text);
    editor.SetSelStart(2);
    Press(Key::PageDown);
    EXPECT_EQ(editor.OffsetToPoint(Caret()), (TextPoint{10, 3}));
    EXPECT_EQ(editor.View().TopRow(), 1);
    Press(Key::PageDown, kShift);
    EXPECT_EQ(editor.OffsetToPoint(Caret()), (TextPoint{19, 3}));
    EXPECT_EQ(editor.View().TopRow(), 10);
    EXPECT_EQ(editor.Selection().GetStartPoint(), (TextPoint{10, 3}));
    Press(Key::Home, kCtrl);
    EXPECT_EQ(Caret(), 1);
    EXPECT_EQ(editor.View().TopRow(), 1);

    test::RecordingEditor alone; // no window, no visible rows: pages step one row
    alone.SetText(text);
    alone.KeyDown(Key::PageDown, kNoShift);
    EXPECT_EQ(alone.OffsetToPoint(alone.Selection().CaretPos()), (TextPoint{2, 1}));
    alone.KeyDown(Key::PageUp, kNoShift);
    EXPECT_EQ(alone.Selection().CaretPos(), 1);
}

TEST_F(Keyboard, WordMovementStopsAtClassChanges) {
    editor.SetText("abc  def;$x");
    editor.SetSelStart(0);
    Press(Key::Right, kCtrl);
    EXPECT_EQ(Caret(), 4);
    Press(Key::Right, kCtrl);
    EXPECT_EQ(Caret(), 6);
    Press(Key::Right, kCtrl, 2);
    EXPECT_EQ(Caret(), 11); // stops at "$"
    Press(Key::Left, kCtrl);
    EXPECT_EQ(Caret(), 9);
    Press(Key::Left, kCtrl, 3);
    EXPECT_EQ(Caret(), 1);
}

TEST_F(Keyboard, TwoByteCharactersAreSteppedOverWhole) {
    editor.SetCodePage(CodePage::Gbk);
    // Two GBK characters, the second with an ASCII-range trail byte.
    const std::string text = "a\xB0\xA1\xB0\x41z";
    editor.SetText(text);
    editor.SetSelStart(1);
    Press(Key::Right);
    EXPECT_EQ(Caret(), 4);
    Press(Key::Right);
    EXPECT_EQ(Caret(), 6);
    Press(Key::Left);
    EXPECT_EQ(Caret(), 4);
    Press(Key::Delete);
    EXPECT_EQ(editor.Text(), "a\xB0\xA1z");
    Press(Key::Backspace);
    EXPECT_EQ(editor.Text(), "az");
    editor.ClearUndo();
    Type("\xD6\xD0"); // a character typed as its two bytes
    EXPECT_EQ(editor.Text(), "a\xD6\xD0z");
    EXPECT_EQ(editor.UndoRecords().Count(), 1);
    editor.SetText("x\xB0\x41y");
    editor.SetSelStart(0);
    Press(Key::Right, kCtrl); // the trail byte is no word character
    EXPECT_EQ(Caret(), 2);
    Press(Key::Right, kCtrl);
    EXPECT_EQ(Caret(), 4);
    Press(Key::Left, kCtrl);
    EXPECT_EQ(Caret(), 2);
    editor.SetText("ab\xB0\xA1\xB0\x41\x81\x61");
    editor.SetSelStart(editor.TextLength());
    Press(Key::Left, kCtrl); // over three characters whose last bytes look like letters
    EXPECT_EQ(Caret(), 3);
    editor.SetText("\x81\r\nab"); // a lone lead byte ends its row
    editor.SetSelStart(0);
    Press(Key::Right);
    EXPECT_EQ(Caret(), 2);
    Press(Key::Right);
    EXPECT_EQ(Caret(), 4);
    editor.SetSelStart(0);
    Press(Key::Delete);
    EXPECT_EQ(editor.Text(), "\r\nab");

    editor.SetCodePage(CodePage::Utf8);
    editor.SetText("a\xC3\xA9\xE4\xB8\xADz");
    editor.SetSelStart(1);
    Press(Key::Right);
    EXPECT_EQ(Caret(), 4);
    Press(Key::Right);
    EXPECT_EQ(Caret(), 7);
    Press(Key::Backspace);
    EXPECT_EQ(editor.Text(), "a\xC3\xA9z");
    Press(Key::Left);
    EXPECT_EQ(Caret(), 2);
}

// A combining mark joins its base: the caret steps over both, and Delete
// and Backspace take both. After a line break a mark stands alone.
TEST_F(Keyboard, ACombiningMarkGoesWithTheCharacterBeforeIt) {
    editor.SetCodePage(CodePage::Utf8);
    const std::string acute = "\xCC\x81";
    const std::string dots = "\xE2\x83\x9B"; // three dots above
    editor.SetText("e" + acute + dots + "\xE4\xB8\xAD" + acute + "x\r\n" + acute + "y");
    editor.SetSelStart(0);
    Press(Key::Right);
    EXPECT_EQ(Caret(), 7);
    Press(Key::Right);
    EXPECT_EQ(Caret(), 12);
    Press(Key::Left, kShift);
    EXPECT_EQ(editor.Selection().GetText(), "\xE4\xB8\xAD" + acute);
    Press(Key::Right, kNoShift, 3); // to the selection's end, past x and the row break
    EXPECT_EQ(Caret(), 15);
    Press(Key::Right);
    EXPECT_EQ(Caret(), 17); // over the lone mark
    Press(Key::Left, kNoShift, 2);
    EXPECT_EQ(Caret(), 13);
    editor.SetSelStart(11);
    Press(Key::Backspace);
    EXPECT_EQ(editor.Text(), "e" + acute + dots + "x\r\n" + acute + "y");
    editor.SetSelStart(0);
    Press(Key::Delete);
    EXPECT_EQ(editor.Text(), "x\r\n" + acute + "y");
}

TEST_F(Keyboard, TypingReplacesTheSelectionAndEnterBreaksTheRow) {
    editor.SetText("abcd");
    editor.Selection().SetRStart(2);
    editor.Selection().SetREnd(3);
    Type("X\r");
    EXPECT_EQ(editor.Text(), "aX\r\nd");
    Type("\x1b\x08");
    EXPECT_EQ(editor.Text(), "aX\r\nd");
    Press(Key::Tab);
    EXPECT_EQ(editor.Text(), "aX\r\n\td");
    Press(Key::Backspace, kAlt); // the break and the tab were typed in one run
    EXPECT_EQ(editor.Text(), "aXd");
    Press(Key::Backspace, kShift | kAlt);
    EXPECT_EQ(editor.Text(), "aX\r\n\td");
    Press(Key::Z, kCtrl);
    Press(Key::Z, kCtrl);
    EXPECT_EQ(editor.Text(), "abcd");
    Press(Key::Z, kCtrl | kShift);
    EXPECT_EQ(editor.Text(), "aXd");
}

TEST_F(Keyboard, ClipboardKeysCopyCutAndPaste) {
    editor.SetText("hello world");
    editor.Selection().SetRStart(1);
    editor.Selection().SetREnd(5);
    Press(Key::C, kCtrl);
    EXPECT_EQ(window.host.clipboard, "hello");
    Press(Key::X, kCtrl);
    EXPECT_EQ(editor.Text(), " world");
    Press(Key::End);
    Press(Key::Insert, kShift);
    EXPECT_EQ(editor.Text(), " worldhello");
    Press(Key::Left, kShift, 5);
    Press(Key::Delete, kShift);
    EXPECT_EQ(editor.Text(), " world");
    window.host.clipboard = "A\nB";
    Press(Key::V, kCtrl);
    EXPECT_EQ(editor.Text(), " worldA\r\nB");
    Press(Key::Home, kCtrl | kShift);
    window.host.clipboard.clear();
    editor.PasteFromClipboard();
    EXPECT_EQ(editor.Text(), "");

    test::RecordingEditor alone; // without a host there is no clipboard
    alone.SetText("keep");
    alone.Selection().SetREnd(4);
    alone.CutToClipboard();
    alone.PasteFromClipboard();
    EXPECT_EQ(alone.Text(), "keep");
}

TEST_F(Keyboard, ReadOnlyKeysOnlyScrollAndCopy) {
    std::string text;
    for (int row = 1; row <= 30; ++row)
        text += "a long line of text that is wider than the view\r\n";
    editor.SetText(text);
    editor.SetSelStart(0);
    EXPECT_TRUE(window.host.caretVisible);
    editor.SetReadOnly(true);
    EXPECT_FALSE(window.host.caretVisible);
    for (Key key : {Key::Backspace, Key::Delete, Key::Tab, Key::Clear, Key::Left, Key::Z})
        Press(key);
    Type("x\r");
    window.host.clipboard = "pasted";
    Press(Key::V, kCtrl);
    Press(Key::X, kCtrl);
    Press(Key::Insert, kShift);
    Press(Key::Delete, kShift);
    Press(Key::Z, kCtrl); // the loaded text could be undone
    Press(Key::Backspace, kAlt);
    EXPECT_EQ(editor.Text(), text);
    Press(Key::PageDown);
    EXPECT_EQ(editor.View().TopRow(), 11);
    Press(Key::End, kCtrl);
    EXPECT_EQ(editor.View().TopRow(), 22);
    Press(Key::End);
    EXPECT_EQ(editor.View().LeftCol(), 47 - 40 + 1);
    Press(Key::Home, kCtrl);
    EXPECT_EQ(editor.View().TopRow(), 1);
    EXPECT_EQ(editor.View().LeftCol(), 1);
    Press(Key::Right, kShift, 3);
    EXPECT_EQ(editor.View().LeftCol(), 4);
    EXPECT_EQ(Caret(), 1);
    editor.Selection().SetREnd(4);
    Press(Key::C, kCtrl);
    EXPECT_EQ(window.host.clipboard, "a lo");
}

TEST_F(Keyboard, CaretFollowsFocusAndSelection) {
    editor.SetText("abc\r\ndef");
    EXPECT_TRUE(editor.CaretCreated());
    editor.SetSelStart(6);
    EXPECT_TRUE(window.host.caretVisible);
    EXPECT_EQ(window.host.caret, (TPoint{9, 17}));
    Press(Key::Right, kShift);
    EXPECT_FALSE(window.host.caretVisible);
    editor.SetAlwaysShowCaret(true);
    EXPECT_TRUE(window.host.caretVisible);
    editor.FocusLost();
    EXPECT_FALSE(editor.CaretCreated());
    EXPECT_FALSE(window.host.caretVisible);
    editor.FocusGained();
    EXPECT_TRUE(window.host.caretVisible);
}

} // namespace
} // namespace kelvara
