#include <gtest/gtest.h>

#include "FakeHost.h"

namespace kelvara {
namespace {

using test::RecordingEditor;
using test::WindowedEditor;

void Type(TMemoComponent& editor, std::string_view text) {
    for (char c : text)
        editor.KeyPress(c);
}

void Press(TMemoComponent& editor, Key key, ShiftState shift = kNoShift) {
    editor.KeyDown(key, shift);
}

TEST(ReplaceUndo, TypingMergesIntoOneRecordUndoneAndRedoneAsOne) {
    RecordingEditor editor;
    editor.SetText("hello");
    editor.ClearUndo();
    editor.SetSelStart(4);
    Type(editor, "abc");
    EXPECT_EQ(editor.Text(), "hellabco");
    ASSERT_EQ(editor.UndoRecords().Count(), 1);
    EXPECT_EQ(editor.UndoRecords().Top().Start, 5);
    EXPECT_EQ(editor.UndoRecords().Top().End, 7);
    editor.Undo();
    EXPECT_EQ(editor.Text(), "hello");
    EXPECT_EQ(editor.Selection().RStart(), 5);
    EXPECT_EQ(editor.EMCanUndo(0), 0);
    EXPECT_EQ(editor.EMCanUndo(1), 1);
    editor.Redo();
    EXPECT_EQ(editor.Text(), "hellabco");
    EXPECT_EQ(editor.Selection().GetText(), "abc");
    editor.Undo();
    Type(editor, "z");
    EXPECT_EQ(editor.EMCanUndo(1), 0); // an edit empties the redo stack
}

TEST(ReplaceUndo, RepeatedDeletingMergesInTextOrder) {
    RecordingEditor editor;
    editor.SetText("abcdefgh");
    editor.ClearUndo();
    editor.SetSelStart(4);
    for (int i = 0; i < 3; ++i)
        Press(editor, Key::Backspace);
    EXPECT_EQ(editor.Text(), "aefgh");
    ASSERT_EQ(editor.UndoRecords().Count(), 1);
    EXPECT_EQ(editor.UndoRecords().Top().Text, "bcd");
    for (int i = 0; i < 3; ++i)
        Press(editor, Key::Delete);
    EXPECT_EQ(editor.Text(), "ah");
    ASSERT_EQ(editor.UndoRecords().Count(), 1); // forward deleting at the same place joins
    EXPECT_EQ(editor.UndoRecords().Top().Text, "bcdefg");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "abcdefgh");
}

// Only pure insertions merge: typing over a selection records the replacement,
// then the typing after it.
TEST(ReplaceUndo, ReplacingASelectionStartsANewRecord) {
    RecordingEditor editor;
    editor.SetText("abcdef");
    editor.ClearUndo();
    editor.Selection().SetRStart(2);
    editor.Selection().SetREnd(4);
    Type(editor, "XYZ");
    EXPECT_EQ(editor.Text(), "aXYZef");
    ASSERT_EQ(editor.UndoRecords().Count(), 2);
    EXPECT_EQ(editor.UndoRecords().Peek(1).Text, "bcd");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "aXef");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "abcdef");
    EXPECT_EQ(editor.Selection().GetText(), "bcd");
}

TEST(ReplaceUndo, SwitchingUndoOffClearsBothStacksAndNotifies) {
    RecordingEditor editor;
    int changes = 0;
    editor.OnChange = [&](TMemoComponent&) { ++changes; };
    editor.SetText("abc");
    EXPECT_EQ(changes, 1);
    editor.Undo();
    editor.SetAllowUndo(false);
    EXPECT_EQ(editor.EMCanUndo(0) + editor.EMCanUndo(1), 0);
    EXPECT_GE(changes, 3);
    editor.SetText("xyz");
    EXPECT_EQ(editor.EMCanUndo(0), 0);
}

TEST(ReplaceUndo, TrailingBlanksAreStrippedBeforeBreaksOnly) {
    RecordingEditor editor;
    editor.SetRemoveTrailingSpaces(true);
    editor.Selection().SetText("x\t\r\n \t\r\ny  ");
    EXPECT_EQ(editor.Text(), "x\r\n\r\ny  ");
    editor.SetRemoveTrailingSpaces(false);
    editor.SetText("a  \r\nb\t");
    editor.SetRemoveTrailingSpaces(true); // switching on cleans every row
    EXPECT_EQ(editor.Text(), "a\r\nb");
    editor.SetText("ab  \r\ncd");
    editor.SetSelStart(2);
    Press(editor, Key::Down); // leaving the row strips it
    EXPECT_EQ(editor.Text(), "ab\r\ncd");
    EXPECT_EQ(editor.CheckInvariants(), "");

    // Undo and redo put back the very text they took, blanks included.
    editor.SetText("q");
    editor.ClearUndo();
    editor.SetSelStart(1);
    editor.KeyPress(' ');
    editor.KeyPress('\r');
    const std::string typed = editor.Text();
    editor.Undo();
    EXPECT_EQ(editor.Text(), "q");
    editor.Redo();
    EXPECT_EQ(editor.Text(), typed);
}

TEST(ReplaceUndo, IndentingIsOneUndoStep) {
    RecordingEditor editor;
    editor.SetText("a\r\n\tb\r\nc");
    editor.ClearUndo();
    editor.Selection().SetRStart(1);
    editor.Selection().SetREnd(editor.TextLength());
    editor.IndentLines(1);
    EXPECT_EQ(editor.Text(), "\ta\r\n\t\tb\r\n\tc");
    EXPECT_EQ(editor.Selection().RStart(), 1);
    editor.IndentLines(-2);
    EXPECT_EQ(editor.Text(), "a\r\nb\r\nc");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "\ta\r\n\t\tb\r\n\tc");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "a\r\n\tb\r\nc");
    editor.Redo();
    EXPECT_EQ(editor.Text(), "\ta\r\n\t\tb\r\n\tc");
    editor.SetText("  x");
    editor.IndentLines(-1);
    EXPECT_EQ(editor.Text(), "  x");
}

TEST(ReplaceUndo, ACrLfPairIsNeverSplit) {
    RecordingEditor editor;
    editor.SetText("a\r\nb");
    TMCRange(&editor, 3, 3).SetText(""); // just the LF: the whole break goes
    EXPECT_EQ(editor.Text(), "ab");
    editor.SetText("a\r\nb");
    TMCRange(&editor, 3, 2).SetText("x"); // between CR and LF: before the break
    EXPECT_EQ(editor.Text(), "ax\r\nb");
    EXPECT_EQ(editor.CheckInvariants(), "");
}

TEST(ReplaceUndo, WholeTextReplacementKeepsTheSameTopTextAndClampsTheView) {
    WindowedEditor window;
    TMemoComponent& editor = window.editor;
    std::string text;
    for (int row = 1; row <= 40; ++row)
        text += "row\r\n";
    editor.SetText(text);
    editor.View().SetTopRow(20);
    TMCRange(&editor, 1, 0).SetText("new\r\nnew\r\n");
    EXPECT_EQ(editor.View().TopRow(), 22);
    editor.SetText("one\r\ntwo");
    EXPECT_EQ(editor.View().TopRow(), 1);
    EXPECT_EQ(window.host.verticalMax, 2);
}

TEST(ReplaceUndo, NotificationsFollowTheLock) {
    RecordingEditor editor;
    int changes = 0, selections = 0;
    editor.OnChange = [&](TMemoComponent&) { ++changes; };
    editor.OnSelectionChange = [&](TMemoComponent&) { ++selections; };
    editor.KeyPress('a');
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(selections, 1);
    editor.SetNotificationLock(true);
    editor.KeyPress('b');
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(selections, 1);
}

} // namespace
} // namespace kelvara
