#include "FrameFixture.h"

// Open documents follow a batch replace or an undo that rewrote their files.
namespace kelvara {
namespace {

TEST_F(FrameTest, ACleanDocumentReloadsKeepingItsCaretAndAModifiedOneAsks) {
    const std::string a = folder.Write("a.txt", "one cat\ntwo cat\nthree\n");
    const std::string b = folder.Write("b.txt", "cat\n");
    OpenWithDialog({a, b});
    ASSERT_EQ(frame->Documents().size(), 2u);
    TMDIChild& clean = *frame->Documents()[1];
    ASSERT_EQ(clean.Path(), a);
    clean.Memo1().SetSelStart(9);
    TMDIChild& edited = Active();
    Type("mine ");
    ASSERT_TRUE(edited.Modified());
    EXPECT_EQ(frame->UnsavedAmong({a, b}), (std::vector<std::string>{b}));

    // What a batch replace does to both files.
    folder.Write("a.txt", "one dog\ntwo dog\nthree\n");
    folder.Write("b.txt", "dog\n");
    answers = {kIdYes}; // keep the editor's text
    frame->FilesRewritten({a, b});
    EXPECT_EQ(clean.Memo1().Text(), "one dog\r\ntwo dog\r\nthree\r\n"); // the editor keeps CR LF
    EXPECT_EQ(clean.Memo1().SelStart(), 9);
    EXPECT_FALSE(clean.Modified());
    EXPECT_TRUE(edited.Modified());
    EXPECT_NE(LastBox().find("批量替换"), std::string::npos);

    // Asked again after the next rewrite, the user takes the file.
    folder.Write("b.txt", "emu\n");
    answers = {kIdNo};
    frame->FilesRewritten({b});
    EXPECT_EQ(edited.Memo1().Text(), "emu\r\n");
    EXPECT_FALSE(edited.Modified());
}

} // namespace
} // namespace kelvara
