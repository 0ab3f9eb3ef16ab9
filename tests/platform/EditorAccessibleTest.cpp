#include <QAccessible>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "../search/CodePageScope.h"
#include "platform/EditorAccessible.h"
#include "platform/EditorWidget.h"

namespace kelvara {
namespace {

TEST(EditorAccessible, ReadsAndDrivesTheTextInUnicodeOffsets) {
    CodePageScope gbk(CodePage::Gbk);
    EditorWidget widget;
    widget.resize(300, 120);
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    widget.Editor().SetText("ab\xD6\xD0\xCE\xC4"
                            "cd\r\nxy"); // ab中文cd / xy
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&widget);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::EditableText);
    EXPECT_TRUE(accessible->state().editable);
    EXPECT_TRUE(accessible->state().multiLine);
    QAccessibleTextInterface* text = accessible->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->characterCount(), 10);
    EXPECT_EQ(accessible->text(QAccessible::Value), QStringLiteral("ab中文cd\r\nxy"));
    EXPECT_EQ(text->text(2, 4), QStringLiteral("中文"));

    widget.Editor().SetSelStart(4); // before 文
    EXPECT_EQ(text->cursorPosition(), 3);
    text->setSelection(0, 2, 5); // 中文c
    EXPECT_EQ(widget.Editor().Selection().GetText(), "\xD6\xD0\xCE\xC4"
                                                     "c");
    int start = 0;
    int end = 0;
    EXPECT_EQ(text->selectionCount(), 1);
    text->selection(0, &start, &end);
    EXPECT_EQ(start, 2);
    EXPECT_EQ(end, 5);
    text->setCursorPosition(9);
    EXPECT_EQ(widget.Editor().SelStart(), 11); // before "y"

    // A wide character's rectangle spans two cells; a point maps back to it.
    const int cell = widget.Editor().CharWidth();
    const QRect wide = text->characterRect(2);
    EXPECT_EQ(wide.width(), 2 * cell);
    EXPECT_EQ(text->characterRect(3).left(), wide.left() + 2 * cell);
    EXPECT_EQ(text->characterRect(4).left(), wide.left() + 4 * cell);
    EXPECT_EQ(text->offsetAtPoint(wide.center()), 2);

    // Edits are seen at once.
    widget.Editor().SetText("\xB0\xA1z");
    EXPECT_EQ(text->characterCount(), 2);
    EXPECT_EQ(text->text(0, 2), QStringLiteral("啊z"));
}

// What a screen reader was told of the text's changes.
std::vector<QString> gUpdates;

void RecordUpdate(QAccessibleEvent* event) {
    if (event->type() != QAccessible::TextUpdated) return;
    const auto* update = static_cast<QAccessibleTextUpdateEvent*>(event);
    gUpdates.push_back(QString::number(update->changePosition()) + " -" + update->textRemoved() +
                       " +" + update->textInserted());
}

// Each change is told with its place in Unicode offsets and both its texts,
// typed, deleted, pasted over a selection and undone alike.
TEST(EditorAccessible, ScreenReadersAreToldWhatEachEditChanged) {
    CodePageScope gbk(CodePage::Gbk);
    EditorWidget widget;
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    widget.Editor().SetText("\xD6\xD0x"); // 中x
    EditorAccessible::SetEventSink(RecordUpdate);
    gUpdates.clear();
    widget.Editor().SetSelStart(2);
    QTest::keyClicks(&widget, "ab");
    QTest::keyClick(&widget, Qt::Key_Backspace);
    widget.Editor().SetSelStart(0);
    widget.Editor().SetSelLength(2);
    widget.Editor().Selection().SetText("\xCE\xC4\xD7\xD6"); // 文字 over 中
    widget.Editor().Undo();
    EditorAccessible::SetEventSink(nullptr);
    EXPECT_EQ(gUpdates,
              (std::vector<QString>{"1 - +a", "2 - +b", "2 -b +", "0 -中 +文字", "0 -文字 +中"}));
}

} // namespace
} // namespace kelvara
