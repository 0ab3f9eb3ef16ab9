#include <gtest/gtest.h>

#include "../search/CodePageScope.h"
#include "FakeHost.h"

namespace kelvara {
namespace {

// Two editors of one process, each in its own code page whatever the
// default: characters, widths and word steps follow the editor's.
TEST(EditorCodePage, EachEditorReadsItsTextInItsOwnCodePage) {
    CodePageScope gbk(CodePage::Gbk);
    TMemoComponent utf8;
    utf8.SetCodePage(CodePage::Utf8);
    utf8.SetText("\xE4\xB8\xAD"
                 "a"); // 中 a
    TMemoComponent defaulted;
    EXPECT_EQ(defaulted.GetCodePage(), CodePage::Gbk); // a new editor takes the default
    defaulted.SetText("\xD6\xD0"
                      "a"); // 中 a in GBK
    EXPECT_EQ(utf8.CharLengthAt(1), 3);
    EXPECT_EQ(utf8.PrevCharStart(4), 1);
    EXPECT_EQ(utf8.LineWidth(1), 3);
    EXPECT_EQ(defaulted.CharLengthAt(1), 2);
    EXPECT_EQ(defaulted.PrevCharStart(3), 1);
    EXPECT_EQ(defaulted.LineWidth(1), 3);
}

// Switching the code page measures the same bytes again: row widths, the
// widest row and the checkpoints of a long row.
TEST(EditorCodePage, ChangingTheCodePageMeasuresTheRowsAgain) {
    test::WindowedEditor window;
    TMemoComponent& editor = window.editor;
    editor.SetCodePage(CodePage::Gbk);
    std::string longRow;
    while (longRow.size() < 3 * static_cast<std::size_t>(RowCheckpoints::kLongRow))
        longRow += "\xE4\xB8\xAD\xE6\x96\x87"; // 中文 in UTF-8: 3 GBK characters
    editor.SetText("\xE4\xB8\xAD\r\n" + longRow);
    EXPECT_EQ(editor.LineWidth(1), 3);
    EXPECT_EQ(editor.LineWidth(2), static_cast<int>(longRow.size()));
    EXPECT_EQ(editor.DisplayColumn({2, 7}), 7);
    editor.SetCodePage(CodePage::Utf8);
    EXPECT_EQ(editor.CheckInvariants(), "");
    EXPECT_EQ(editor.LineWidth(1), 2);
    EXPECT_EQ(editor.LineWidth(2), static_cast<int>(longRow.size() / 3 * 2));
    EXPECT_EQ(editor.MaxLineWidth(), editor.LineWidth(2));
    EXPECT_EQ(editor.DisplayColumn({2, 7}), 5);
    EXPECT_EQ(editor.DisplayToTextPoint({2, 5}), (TextPoint{2, 7}));
    EXPECT_EQ(editor.CharLengthAt(1), 3);
}

} // namespace
} // namespace kelvara
