#include <gtest/gtest.h>

#include "../search/CodePageScope.h"
#include "SourceEditFixture.h"

namespace kelvara {
namespace {

using test::Describe;
using test::TestSourceEdit;
using V = std::vector<std::string>;

// The scanner, the word lists and the in-document search read the text in
// the editor's code page; changing it colours the text anew.
TEST(SourceCodePage, ScanWordsAndSearchFollowTheEditorsCodePage) {
    CodePageScope utf8(CodePage::Utf8); // the default plays no part
    TestSourceEdit editor;
    test::UseCStyles(editor.SyntaxColoring());
    TWordList& words = editor.SyntaxColoring().WordLists().Items(0);
    words.SetCaseSensitive(false);
    words.AddWord("\xB0\x41"); // a GBK character whose trail byte is "A"
    editor.SetCodePage(CodePage::Gbk);
    editor.SetText("\xB0/*x");
    EXPECT_EQ(Describe(editor), (V{"NormalTextRange:\xB0/", "SymbolRange:*", "NormalTextRange:x"}));
    EXPECT_FALSE(words.ContainsWord("\xB0\x61")); // another GBK character
    EXPECT_TRUE(words.ContainsWord("\xB0\x41"));
    editor.SetSearchOptions(soWholeText | soFromEdge | soForward);
    EXPECT_FALSE(editor.FindNext("\xB0\x61"));

    const int rescans = editor.rescans;
    editor.SetCodePage(CodePage::Utf8);
    EXPECT_EQ(editor.rescans, rescans + 1);
    EXPECT_EQ(Describe(editor), (V{"NormalTextRange:\xB0", "CustomStyleRange:/*x"}));
    EXPECT_TRUE(words.ContainsWord("\xB0\x61")); // a bad byte and a letter
    EXPECT_EQ(editor.CheckInvariants(), "");
    editor.SetText("x\xB0\x61");
    editor.SetSearchOptions(soWholeText | soFromEdge | soForward);
    EXPECT_TRUE(editor.FindNext("\xB0\x41"));
    EXPECT_EQ(editor.SelStart(), 1);
}

} // namespace
} // namespace kelvara
