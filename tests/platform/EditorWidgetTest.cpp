#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "../search/CodePageScope.h"
#include "common/AskUser.h"
#include "common/CodePageConversion.h"
#include "platform/EditorWidget.h"

namespace kelvara {
namespace {

// A shown, focused editor widget and the geometry of its character grid.
class EditorWidgetTest : public ::testing::Test {
protected:
    EditorWidgetTest() {
        widget.resize(400, 200);
        widget.show();
        widget.activateWindow();
        widget.setFocus();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&widget));
        QApplication::processEvents();
    }
    ~EditorWidgetTest() override { SetAskUserSink({}); }

    TMemoComponent& Editor() { return widget.Editor(); }
    QWidget* Viewport() { return widget.viewport(); }
    int CellWidth() { return Editor().CharWidth(); }
    int RowHeight() { return Editor().LineHeight(); }
    // Top left pixel of a visible cell (both 1-based).
    QPoint Cell(int col, int row) {
        return {Editor().LeftMargin() + (col - 1) * CellWidth(), (row - 1) * RowHeight()};
    }
    QPoint CellCentre(int col, int row) {
        return Cell(col, row) + QPoint(CellWidth() / 2, RowHeight() / 2);
    }
    QImage Picture() { return Viewport()->grab().toImage(); }
    QColor Base() { return widget.palette().color(QPalette::Active, QPalette::Base); }
    QColor Highlight() { return widget.palette().color(QPalette::Active, QPalette::Highlight); }
    // True when every pixel of the rectangle has the colour.
    static bool Filled(const QImage& image, const QRect& rect, const QColor& colour) {
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                if (image.pixelColor(x, y).rgb() != colour.rgb()) return false;
        return true;
    }
    static bool Inked(const QImage& image, const QRect& rect, const QColor& background) {
        return !Filled(image, rect, background);
    }
    void SendMouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent event(type, at, Viewport()->mapToGlobal(at), button, buttons, modifiers);
        QApplication::sendEvent(Viewport(), &event);
    }

    CodePageScope gbk{CodePage::Gbk};
    EditorWidget widget;
};

TEST_F(EditorWidgetTest, KeysAndAChineseInputMethodEdit) {
    QTest::keyClicks(&widget, "abc");
    QTest::keyClick(&widget, Qt::Key_Return);
    QTest::keyClick(&widget, Qt::Key_Tab);
    QTest::keyClick(&widget, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(&widget, Qt::Key_Delete);
    QInputMethodEvent composing(QStringLiteral("zhong"), {});
    QApplication::sendEvent(&widget, &composing);
    EXPECT_EQ(widget.PreeditText(), QStringLiteral("zhong"));
    QInputMethodEvent committed;
    committed.setCommitString(QStringLiteral("中文"));
    QApplication::sendEvent(&widget, &committed);
    EXPECT_TRUE(widget.PreeditText().isEmpty());
    EXPECT_EQ(Editor().Text(), "abc\r\n\xD6\xD0\xCE\xC4"); // GBK
    QTest::keyClick(&widget, Qt::Key_Backspace);
    EXPECT_EQ(Editor().Text(), "abc\r\n\xD6\xD0");
    QTest::keyClick(&widget, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Editor().Text(), "abc\r\n\xD6\xD0\xCE\xC4");

    // A character GBK cannot hold is refused with a message, nothing typed.
    std::string message;
    SetAskUserSink([&message](const MessageBoxRequest& request) {
        message = request.text;
        return kIdOk;
    });
    QInputMethodEvent emoji;
    emoji.setCommitString(QString::fromUtf8("a\xF0\x9F\x98\x80"));
    QApplication::sendEvent(&widget, &emoji);
    EXPECT_NE(message.find("U+1F600"), std::string::npos);
    EXPECT_EQ(Editor().Text(), "abc\r\n\xD6\xD0\xCE\xC4");
}

// An input method reads the caret's row around the caret, in UTF-16 units.
TEST_F(EditorWidgetTest, AnInputMethodReadsTheTextAroundTheCaret) {
    Editor().SetText("ab\r\nx\xD6\xD0\xCE\xC4y"); // x中文y in GBK
    Editor().SetSelStart(5);
    Editor().SetSelLength(4);
    const auto query = [&](Qt::InputMethodQuery what) {
        QInputMethodQueryEvent event(what);
        QApplication::sendEvent(&widget, &event);
        return event.value(what);
    };
    EXPECT_EQ(query(Qt::ImSurroundingText).toString(), QStringLiteral("x中文y"));
    EXPECT_EQ(query(Qt::ImCursorPosition).toInt(), 3);
    EXPECT_EQ(query(Qt::ImAnchorPosition).toInt(), 1);
    EXPECT_EQ(query(Qt::ImCurrentSelection).toString(), QStringLiteral("中文"));

    Editor().SetText(std::string(5000, 'a')); // too long a row to decode at every query
    EXPECT_TRUE(query(Qt::ImSurroundingText).toString().isEmpty());
    EXPECT_EQ(query(Qt::ImCursorPosition).toInt(), 0);
}

TEST_F(EditorWidgetTest, TheClipboardCarriesUnicodeAndRefusesWhatTheCodePageLacks) {
    Editor().SetText("x\xD6\xD0y");
    Editor().SetSelStart(1);
    Editor().SetSelLength(2);
    QTest::keyClick(&widget, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("中"));
    QApplication::clipboard()->setText(QStringLiteral("文\n字"));
    QTest::keyClick(&widget, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Editor().Text(), "x\xCE\xC4\r\n\xD7\xD6y");

    int asked = 0;
    SetAskUserSink([&asked](const MessageBoxRequest&) { return ++asked, kIdOk; });
    Editor().SetSelStart(0);
    Editor().SetSelLength(1);
    QApplication::clipboard()->setText(QString::fromUtf8("\xE2\x82\xAC\xF0\x9F\x98\x80"));
    QTest::keyClick(&widget, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Editor().Text(), "x\xCE\xC4\r\n\xD7\xD6y"); // no "?" anywhere
    EXPECT_EQ(Editor().SelLength(), 1);
}

TEST_F(EditorWidgetTest, TheSelectionColourFillsExactlyTheSelectedCells) {
    Editor().SetText("abcdef\r\nxy");
    Editor().SetSelStart(1);
    Editor().SetSelLength(3); // "bcd"
    const QImage picture = Picture();
    const int w = CellWidth();
    const int h = RowHeight();
    for (int col = 2; col <= 4; ++col) {
        // The cell's corners are background, never ink.
        EXPECT_EQ(picture.pixelColor(Cell(col, 1)).rgb(), Highlight().rgb()) << col;
        EXPECT_EQ(picture.pixelColor(Cell(col, 1) + QPoint(w - 1, h - 1)).rgb(), Highlight().rgb())
            << col;
    }
    EXPECT_EQ(picture.pixelColor(Cell(1, 1) + QPoint(w - 1, 0)).rgb(), Base().rgb());
    EXPECT_EQ(picture.pixelColor(Cell(5, 1)).rgb(), Base().rgb());
    // Nothing is drawn past a row's end, nor below the last row.
    const QRect pastEnd(Cell(7, 1), QPoint(Viewport()->width() - 1, h - 1));
    EXPECT_TRUE(Filled(picture, pastEnd, Base()));
    const QRect below(Cell(1, 3), QPoint(Viewport()->width() - 1, Viewport()->height() - 1));
    EXPECT_TRUE(Filled(picture, below, Base()));
    EXPECT_TRUE(Inked(picture, QRect(Cell(1, 1), QSize(w, h)), Base()));
}

TEST_F(EditorWidgetTest, AWideCharacterCoversTwoCellsAndTheCaretSitsOnItsCell) {
    Editor().SetText("\xD6\xD0"
                     "a\r\n");
    Editor().SetSelLength(2); // the wide character
    QImage picture = Picture();
    const int w = CellWidth();
    const int h = RowHeight();
    EXPECT_TRUE(Inked(picture, QRect(Cell(1, 1), QSize(w, h)), Highlight()));
    EXPECT_TRUE(Inked(picture, QRect(Cell(2, 1), QSize(w, h)), Highlight()));
    EXPECT_EQ(picture.pixelColor(Cell(2, 1) + QPoint(w - 1, 0)).rgb(), Highlight().rgb());
    EXPECT_EQ(picture.pixelColor(Cell(3, 1)).rgb(), Base().rgb());
    EXPECT_TRUE(Inked(picture, QRect(Cell(3, 1), QSize(w, h)), Base()));

    // The caret after the wide character stands at the left edge of cell 3.
    QTest::keyClick(&widget, Qt::Key_Right);
    EXPECT_EQ(Editor().SelStart(), 2);
    ASSERT_TRUE(widget.CaretShown());
    EXPECT_EQ(widget.CaretRect().x(), Cell(3, 1).x() - 1);
    EXPECT_EQ(widget.CaretRect().y(), 1);
    picture = Picture();
    const QColor text = widget.palette().color(QPalette::Active, QPalette::Text);
    EXPECT_EQ(picture.pixelColor(Cell(3, 1) + QPoint(-1, h / 2)).rgb(), text.rgb());
}

TEST_F(EditorWidgetTest, DraggingPastTheBottomScrollsOnTheTimer) {
    std::string text;
    for (int row = 1; row <= 200; ++row)
        text += "row " + std::to_string(row) + "\r\n";
    Editor().SetText(text);
    SendMouse(QEvent::MouseButtonPress, CellCentre(2, 1), Qt::LeftButton, Qt::LeftButton);
    const QPoint below(20, Viewport()->height() + 25);
    SendMouse(QEvent::MouseMove, below, Qt::NoButton, Qt::LeftButton);
    QTest::qWait(180);
    const int top = Editor().View().TopRow();
    EXPECT_GE(top, 1 + 3 * 2); // three rows a tick, 50 ms a tick
    EXPECT_EQ(widget.verticalScrollBar()->value(), top);
    SendMouse(QEvent::MouseButtonRelease, below, Qt::LeftButton, Qt::NoButton);
    QTest::qWait(120);
    EXPECT_EQ(Editor().View().TopRow(), top); // the timer stopped
    EXPECT_EQ(Editor().SelStart(), 1);
    EXPECT_GT(Editor().SelLength(), 100);
}

TEST_F(EditorWidgetTest, DoubleClickSelectsAWordAndTheWheelScrolls) {
    std::string text = "call $my_var2 now\r\n";
    for (int row = 1; row <= 100; ++row)
        text += "x\r\n";
    text += std::string(400, 'y');
    Editor().SetText(text);
    // A double click: press, release, then the double-click press and release.
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, CellCentre(8, 1));
    QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, CellCentre(8, 1));
    EXPECT_EQ(Editor().Selection().GetText(), "$my_var2");

    QWheelEvent down(QPointF(50, 50), Viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                     QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Viewport(), &down);
    EXPECT_EQ(Editor().View().TopRow(), 4);
    QWheelEvent right(QPointF(50, 50), Viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(-120, 0), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Viewport(), &right);
    EXPECT_EQ(Editor().View().LeftCol(), 7);
    EXPECT_EQ(Editor().View().TopRow(), 4);
}

TEST_F(EditorWidgetTest, AContextMenuEndsRightButtonSelecting) {
    Editor().SetText("some text here");
    SendMouse(QEvent::MouseButtonPress, CellCentre(3, 1), Qt::RightButton, Qt::RightButton);
    EXPECT_TRUE(Editor().MouseSelecting());
    QContextMenuEvent menu(QContextMenuEvent::Mouse, CellCentre(3, 1),
                           Viewport()->mapToGlobal(CellCentre(3, 1)));
    QApplication::sendEvent(Viewport(), &menu);
    EXPECT_FALSE(Editor().MouseSelecting());
    SendMouse(QEvent::MouseMove, CellCentre(9, 1), Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(Editor().SelLength(), 0); // the mouse no longer selects
}

TEST_F(EditorWidgetTest, DragAndDropMovesAndWithControlCopies) {
    Editor().SetDragDropEditing(true);
    Editor().SetText("abcdefgh");
    Editor().SetSelStart(1);
    Editor().SetSelLength(3); // "bcd"
    Editor().ClearUndo();
    const QPoint inside = CellCentre(3, 1) - QPoint(CellWidth() / 2 - 1, 0);
    const QPoint target = Cell(7, 1) + QPoint(1, RowHeight() / 2);
    SendMouse(QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
    SendMouse(QEvent::MouseMove, target, Qt::NoButton, Qt::LeftButton);
    SendMouse(QEvent::MouseButtonRelease, target, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Editor().Text(), "aefbcdgh");
    QTest::keyClick(&widget, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Editor().Text(), "abcdefgh");

    Editor().SetSelStart(1);
    Editor().SetSelLength(3);
    SendMouse(QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
    SendMouse(QEvent::MouseMove, target, Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
    SendMouse(QEvent::MouseButtonRelease, target, Qt::LeftButton, Qt::NoButton,
              Qt::ControlModifier);
    EXPECT_EQ(Editor().Text(), "abcdbcdefgh"); // the copy shifted the dragged text
}

TEST_F(EditorWidgetTest, ResizingChangesTheGridAndTheScrollBars) {
    std::string text;
    for (int row = 1; row <= 50; ++row)
        text += std::string(80, 'x') + "\r\n";
    Editor().SetText(text);
    const int rows = Editor().VisibleRows();
    EXPECT_EQ(rows, Viewport()->height() / RowHeight());
    EXPECT_EQ(widget.verticalScrollBar()->maximum(), Editor().LineCount() - rows + 1);
    EXPECT_TRUE(widget.horizontalScrollBar()->isEnabled());
    widget.resize(900, 600);
    QApplication::processEvents();
    EXPECT_GT(Editor().VisibleRows(), rows);
    EXPECT_EQ(Editor().VisibleCols(), (Viewport()->width() - 2) / CellWidth());
    EXPECT_FALSE(widget.horizontalScrollBar()->isEnabled()); // 80 columns fit
    widget.verticalScrollBar()->setValue(10);
    EXPECT_EQ(Editor().View().TopRow(), 10);
}

} // namespace
} // namespace kelvara

namespace kelvara {
namespace {

TEST_F(EditorWidgetTest, InUtf8AWideCharacterFillsTwoCellsAndABadByteShowsAMark) {
    Editor().SetCodePage(CodePage::Utf8);
    Editor().SetText("\xE4\xB8\xAD"
                     "a\xFF"
                     "b"); // 中 a, an invalid byte, b
    const QImage picture = Picture();
    const int w = CellWidth();
    const int h = RowHeight();
    EXPECT_TRUE(Inked(picture, QRect(Cell(1, 1), QSize(w, h)), Base()));
    EXPECT_TRUE(Inked(picture, QRect(Cell(2, 1), QSize(w, h)), Base()));
    EXPECT_TRUE(Inked(picture, QRect(Cell(3, 1), QSize(w, h)), Base())); // a
    EXPECT_TRUE(Inked(picture, QRect(Cell(4, 1), QSize(w, h)), Base())); // the mark
    EXPECT_TRUE(Inked(picture, QRect(Cell(5, 1), QSize(w, h)), Base())); // b
    EXPECT_TRUE(Filled(picture, QRect(Cell(6, 1), QSize(w * 4, h)), Base()));
    EXPECT_EQ(Editor().Text(), "\xE4\xB8\xAD"
                               "a\xFF"
                               "b"); // drawing changes no byte
}

// A combining mark is drawn on its base, in the base's cell; the next
// character keeps the next cell.
TEST_F(EditorWidgetTest, InUtf8ACombiningMarkIsDrawnOnItsBase) {
    Editor().SetCodePage(CodePage::Utf8);
    // The ring above comes from another font than the letters.
    Editor().SetText("e\xCC\x81x\r\nex\r\na\xCC\x8Ax\r\nax");
    const QImage picture = Picture();
    const QSize cell(CellWidth(), RowHeight());
    const auto at = [&](int col, int row) { return picture.copy(QRect(Cell(col, row), cell)); };
    for (const int row : {1, 3}) {
        EXPECT_NE(at(1, row), at(1, row + 1)); // the mark over the letter
        EXPECT_EQ(at(2, row), at(2, row + 1)); // the x in the second cell of both rows
        EXPECT_TRUE(Filled(picture, QRect(Cell(3, row), cell), Base()));
    }
}

} // namespace
} // namespace kelvara
