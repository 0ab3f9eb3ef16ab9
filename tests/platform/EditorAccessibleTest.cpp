#include <QAccessible>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>
#include <random>

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

void IgnoreEvent(QAccessibleEvent*) {}

// While a screen reader listens, each edit moves the offset map on instead of
// walking the whole text again; offsets read from it are those of a map made
// afresh, also after bytes that pair the GBK characters after them anew.
TEST(EditorAccessible, OffsetsFollowEveryEdit) {
    CodePageScope gbk(CodePage::Gbk);
    EditorWidget widget;
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += i % 7 == 0 ? "ab\r\n" : "\xD6\xD0\xCE\xC4x";
    widget.Editor().SetText(text);
    EditorAccessible::SetEventSink(IgnoreEvent);
    auto* accessible =
        static_cast<EditorAccessible*>(QAccessible::queryAccessibleInterface(&widget));
    ASSERT_NE(accessible, nullptr);
    static const char* const kPieces[] = {"y", "\xB0\xA1", "\r\n", "\xB0", "", "\xD6\xD0z"};
    std::mt19937 random(19);
    for (int step = 0; step < 400; ++step) {
        TMemoComponent& editor = widget.Editor();
        const int at = static_cast<int>(random() % (editor.TextLength() + 1)) + 1;
        const int end = std::min(at - 1 + static_cast<int>(random() % 5), editor.TextLength());
        TMCRange(&editor, at, end).SetText(kPieces[random() % std::size(kPieces)]);
        const EditorAccessible fresh(&widget);
        ASSERT_EQ(accessible->characterCount(), fresh.characterCount()) << "step " << step;
        for (int probe = 0; probe < 20; ++probe) {
            const int byte = static_cast<int>(random() % (editor.TextLength() + 1));
            ASSERT_EQ(accessible->UnitOfByte(byte), fresh.UnitOfByte(byte)) << "step " << step;
            const int unit = static_cast<int>(random() % (fresh.characterCount() + 1));
            ASSERT_EQ(accessible->ByteOfUnit(unit), fresh.ByteOfUnit(unit)) << "step " << step;
        }
    }
    EditorAccessible::SetEventSink(nullptr);
}

} // namespace
} // namespace kelvara
