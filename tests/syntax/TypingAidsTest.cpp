#include <gtest/gtest.h>

#include "SourceEditFixture.h"
#include "common/CodePage.h"

namespace kelvara {
namespace {

using test::TestSourceEdit;

// An editor holding `text` with the caret at the 0-based offset.
void Place(TSourceEdit& editor, std::string_view text, int caret) {
    editor.SetText(text);
    editor.SetSelStart(caret);
}

TEST(TypingAids, EnterCopiesTheLeadingBlanksBeforeTheCaret) {
    TestSourceEdit editor;
    Place(editor, "  \tx = 1;", 9);
    editor.KeyPress('\r');
    EXPECT_EQ(editor.Text(), "  \tx = 1;\r\n  \t");
    EXPECT_EQ(editor.SelStart(), 14);
    Place(editor, "    x", 2);
    editor.KeyPress('\r');
    EXPECT_EQ(editor.Text(), "  \r\n    x");
    EXPECT_EQ(editor.SelStart(), 6);
    editor.SetAutoIndent(false);
    Place(editor, "  x", 3);
    editor.KeyPress('\r');
    EXPECT_EQ(editor.Text(), "  x\r\n");
}

TEST(TypingAids, EnterAfterAnOpeningBraceExpandsABlock) {
    TestSourceEdit editor;
    editor.SetAutoIndentIncrease(true);
    Place(editor, "if (a) {", 8);
    editor.KeyPress('\r');
    EXPECT_EQ(editor.Text(), "if (a) {\r\n\t\r\n}");
    EXPECT_EQ(editor.SelStart(), 11);
    // A brace first on its row, after a tab, or as the trail byte of a
    // two-byte character only indents.
    Place(editor, "{", 1);
    editor.KeyPress('\r');
    EXPECT_EQ(editor.Text(), "{\r\n");
    Place(editor, "\t{", 2);
    editor.KeyPress('\r');
    EXPECT_EQ(editor.Text(), "\t{\r\n\t");
    const CodePage saved = TextCodePage();
    SetTextCodePage(CodePage::Gbk);
    Place(editor, "a \xB1{", 4);
    editor.KeyPress('\r');
    EXPECT_EQ(editor.Text(), "a \xB1{\r\n");
    SetTextCodePage(saved);
}

TEST(TypingAids, TypingTheOpeningCharacterOnABlankRowOpensABlock) {
    TestSourceEdit editor;
    editor.SetAutoIndentIncrease(true);
    Place(editor, "x\r\n  ", 5);
    editor.KeyPress('{');
    EXPECT_EQ(editor.Text(), "x\r\n  {\r\n  \t\r\n  }");
    EXPECT_EQ(editor.SelStart(), 11);
    Place(editor, "  a", 3);
    editor.KeyPress('{');
    EXPECT_EQ(editor.Text(), "  a{");
    Place(editor, "  a", 2);
    editor.KeyPress('{');
    EXPECT_EQ(editor.Text(), "  {a");
}

TEST(TypingAids, TabIndentsSelectedRowsAndShiftTabUnindents) {
    TestSourceEdit editor;
    editor.SetText("a\r\nb\r\nc");
    editor.SetSelStart(0);
    editor.SetSelLength(4);
    editor.KeyDown(Key::Tab, kNoShift);
    EXPECT_EQ(editor.Text(), "\ta\r\n\tb\r\nc");
    editor.KeyDown(Key::Tab, kShift);
    EXPECT_EQ(editor.Text(), "a\r\nb\r\nc");
    editor.SetSelStart(1);
    editor.SetSelLength(0);
    editor.KeyDown(Key::Tab, kShift);
    EXPECT_EQ(editor.Text(), "a\r\nb\r\nc");
    editor.SetSelStart(6);
    editor.SetSelLength(1);
    editor.KeyDown(Key::Tab, kNoShift); // inside one row: the selection becomes a tab
    EXPECT_EQ(editor.Text(), "a\r\nb\r\n\t");
}

TEST(TypingAids, ReadOnlyEditorsIgnoreEveryAid) {
    TestSourceEdit editor;
    editor.SetAutoIndentIncrease(true);
    Place(editor, "  {\r\n\tx", 3);
    editor.SetReadOnly(true);
    editor.KeyPress('\r');
    editor.KeyPress('{');
    editor.SetSelLength(4);
    editor.KeyDown(Key::Tab, kNoShift);
    editor.KeyDown(Key::Tab, kShift);
    EXPECT_EQ(editor.Text(), "  {\r\n\tx");
}

} // namespace
} // namespace kelvara
