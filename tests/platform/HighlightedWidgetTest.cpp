#include <QApplication>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/EditorWidget.h"
#include "syntax/SourceEdit.h"

namespace kelvara {
namespace {

// A highlighted editor hosted by the editor widget, coloured like C.
std::unique_ptr<TMemoComponent> MakeSourceEdit(EditorHost* host) {
    auto editor = std::make_unique<TSourceEdit>(host);
    TSyntaxColoring& settings = editor->SyntaxColoring();
    settings.BeginUpdate();
    TCustomStyle& comment = settings.CustomStyles().Add();
    comment.SetBeginText("//");
    comment.SetEndText("#13");
    settings.WordLists().Add().SetWords({"int"});
    settings.SetParenthesisColors({"$FF00FF"});
    settings.EndUpdate();
    return editor;
}

// True when some pixel of the rectangle is close to the colour (the glyphs
// are smoothed, so their edges blend into the background).
bool InkedWith(const QImage& image, const QRect& rect, const QColor& colour) {
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
                    std::abs(pixel.blue() - colour.blue()) <
                60)
                return true;
        }
    }
    return false;
}

TEST(HighlightedWidget, ShowsEachRunInItsColour) {
    EditorWidget widget(MakeSourceEdit);
    widget.resize(480, 120);
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    TMemoComponent& editor = widget.Editor();
    ASSERT_NE(dynamic_cast<TSourceEdit*>(&editor), nullptr);
    editor.SetText("int x = (42); // note");
    QApplication::processEvents();
    const QImage picture = widget.viewport()->grab().toImage();
    const int cell = editor.CharWidth();
    const int row = editor.LineHeight();
    // Columns are 1-based: the rectangle of `count` cells from `col` on row 1.
    auto cells = [&](int col, int count) {
        return QRect(editor.LeftMargin() + (col - 1) * cell, 0, count * cell, row);
    };
    EXPECT_TRUE(InkedWith(picture, cells(1, 3), QColor(0, 0, 255)));   // the listed word
    EXPECT_TRUE(InkedWith(picture, cells(10, 2), QColor(0, 128, 0)));  // the number
    EXPECT_TRUE(InkedWith(picture, cells(7, 1), QColor(128, 128, 0))); // the symbol
    EXPECT_TRUE(InkedWith(picture, cells(9, 1), QColor(255, 0, 255))); // a parenthesis
    EXPECT_TRUE(InkedWith(picture, cells(15, 7), QColor(128, 0, 0)));  // the comment
    EXPECT_FALSE(InkedWith(picture, cells(5, 1), QColor(0, 0, 255)));  // plain text
}

} // namespace
} // namespace kelvara
