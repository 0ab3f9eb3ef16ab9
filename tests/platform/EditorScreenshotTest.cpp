// Not a check: with KELVARA_SCREENSHOTS=<folder> set (scripts/screenshots),
// renders the editor widget with Chinese text, tabs, a selection and an
// invalid byte into editor-widget.png there.
#include <QApplication>
#include <QTest>

#include <cstdlib>

#include <gtest/gtest.h>

#include "../search/CodePageScope.h"
#include "common/CodePageConversion.h"
#include "platform/EditorWidget.h"

namespace kelvara {
namespace {

TEST(Screenshots, EditorWidget) {
    const char* target = std::getenv("KELVARA_SCREENSHOTS");
    if (!target || !*target) GTEST_SKIP() << "KELVARA_SCREENSHOTS not set";
    CodePageScope utf8(CodePage::Utf8);
    EditorWidget widget;
    widget.resize(560, 230);
    widget.Editor().SetTabSize(4);
    widget.Editor().SetText(TextFromUtf8("// 批量替换：每个文件只写一次\r\n"
                                         "int Replace(const char* text) {\r\n"
                                         "\tif (!text) return 0;\t// 空文本\r\n"
                                         "\treturn Count(text, \"中文\");\r\n"
                                         "}\r\n"
                                         "混合 mixed 文字 and tabs:\tx\ty\r\n") +
                            "invalid byte: \xFF kept as it is\r\n");
    widget.Editor().SetSelStart(widget.Editor().PointToOffset({2, 5}) - 1);
    widget.Editor().SetSelLength(7);
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    ASSERT_TRUE(widget.grab().save(QString::fromLocal8Bit(target) + "/editor-widget.png"));
}

} // namespace
} // namespace kelvara
