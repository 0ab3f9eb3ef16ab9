#include <QStatusBar>
#include <QTest>
#include <random>

#include "FrameFixture.h"
#include "app/DocumentFile.h"
#include "platform/EditorWidget.h"

namespace kelvara {
namespace {

TEST(DocumentFile, LineBreakStyleAndTheBytesASaveWrites) {
    bool mixed = true;
    EXPECT_EQ(DetectLineBreaks("a\r\nb\r\n", mixed), LineBreakStyle::CrLf);
    EXPECT_FALSE(mixed);
    EXPECT_EQ(DetectLineBreaks("a\rb", mixed), LineBreakStyle::Cr);
    EXPECT_EQ(DetectLineBreaks("no break", mixed), LineBreakStyle::Lf);
    EXPECT_EQ(DetectLineBreaks("a\nb\r\n", mixed), LineBreakStyle::Lf);
    EXPECT_TRUE(mixed);
    EXPECT_EQ(DetectLineBreaks("a\r", mixed), LineBreakStyle::Cr);
    EXPECT_FALSE(mixed);
    EXPECT_EQ(TextForFile("a\r\nb\r\n", LineBreakStyle::Lf), "a\nb\n");
    EXPECT_EQ(TextForFile("a\r\n\r\nb", LineBreakStyle::Cr), "a\r\rb");
    EXPECT_EQ(TextForFile("a\r\nb", LineBreakStyle::CrLf), "a\r\nb");

    // The text is written as it lies around the editor's gap, wherever that
    // is: also between the CR and the LF of a break.
    const TempFolder folder;
    const std::string path = folder.Path("saved.txt");
    const auto written = [&](std::string_view text, std::size_t gap, LineBreakStyle style) {
        EXPECT_FALSE(WriteEditorText(path, {}, {text.substr(0, gap), text.substr(gap)}, style));
        return TempFolder::Read(path);
    };
    for (std::size_t gap = 0; gap <= 6; ++gap) {
        EXPECT_EQ(written("a\r\nb\r\n", gap, LineBreakStyle::Lf), "a\nb\n") << gap;
        EXPECT_EQ(written("a\r\n\r\nb", gap, LineBreakStyle::Cr), "a\r\rb") << gap;
        EXPECT_EQ(written("a\r\nb", gap % 5, LineBreakStyle::CrLf), "a\r\nb") << gap;
    }
}

// Opening a file and saving it without an edit gives back its very bytes.
TEST_F(FrameTest, SavingWithoutAnEditGivesBackIdenticalBytes) {
    SetTextCodePage(CodePage::Gbk);
    const std::vector<std::string> contents = {
        "lf\nonly\n",
        "crlf\r\nonly",
        "cr\ronly\r",
        "mixed\nand\r\nCR\r",
        std::string("nul\0byte\n", 9),
        "gbk \xd6\xd0\xce\xc4 bad \x81\n\xff",
        "",
    };
    for (std::size_t i = 0; i < contents.size(); ++i) {
        const std::string path = folder.Write("f" + std::to_string(i) + ".txt", contents[i]);
        OpenWithDialog({path});
        Active().SetModified(true);
        Trigger("FileSaveItem");
        EXPECT_EQ(TempFolder::Read(path), contents[i]) << i;
    }
    // An edit in a file of mixed breaks writes the first kind everywhere.
    const std::string mixed = folder.Path("f3.txt");
    frame->ShowDocument(mixed);
    Type("!");
    Trigger("FileSaveItem");
    EXPECT_EQ(TempFolder::Read(mixed), "mixed\nand\nCR\n!");
}

TEST_F(FrameTest, TheTwoViewsShowOneDocument) {
    const std::string a = folder.Write("a.txt", "one\ntwo\n");
    OpenWithDialog({a});
    TMDIChild& window = Active();
    EXPECT_TRUE(window.Memohun().ReadOnly());
    // The plain view's edits reach the highlighted view when it is shown.
    Type("three");
    window.ShowPage(1);
    EXPECT_EQ(window.Memohun().Text(), "one\r\ntwo\r\nthree");
    window.ShowPage(0);

    // An edit in the highlighted view is carried into the plain view as one
    // replacement, and marks the document.
    window.SetModified(false);
    window.ShowPage(1);
    window.Memohun().SetSelStart(5);
    window.Memohun().SetSelLength(3);
    window.Memohun().Selection().SetText("2\r\n2b");
    EXPECT_TRUE(window.Modified());
    EXPECT_EQ(window.Memo1().Text(), "one\r\n2\r\n2b\r\nthree");
    window.Memo1().Undo();
    EXPECT_EQ(window.Memo1().Text(), "one\r\ntwo\r\nthree");
    Trigger("FileSaveItem");
    EXPECT_EQ(TempFolder::Read(a), "one\ntwo\nthree");

    // Loading clears the undo stack, so Ctrl+Z cannot empty the document.
    OpenWithDialog({folder.Write("b.txt", "b")});
    Active().Memo1().Undo();
    EXPECT_EQ(Active().Memo1().Text(), "b");
}

// Edits in either view, across line breaks and over selections, reach the
// other view one by one: the two texts never differ, and undoing the plain
// view's steps gives back the file in both.
TEST_F(FrameTest, EveryEditReachesTheOtherViewAsItIsMade) {
    OpenWithDialog({folder.Write("a.txt", "one\ntwo\r\nthree\rfour\n\nfive")});
    TMDIChild& window = Active();
    window.ShowPage(1);
    const std::string original = window.Memo1().Text();
    static const char* const kPieces[] = {"x", "\r\n", "\n", "\r", "中", "", "ab\r\ncd"};
    std::mt19937 random(15);
    for (int step = 0; step < 300; ++step) {
        TMemoComponent& editor = step % 3 == 0 ? window.Memohun() : window.Memo1();
        const int length = editor.TextLength();
        const int a = static_cast<int>(random() % (length + 1)) + 1;
        const int b = std::min(a - 1 + static_cast<int>(random() % 4), length);
        TMCRange(&editor, a, b).SetText(kPieces[random() % std::size(kPieces)]);
        ASSERT_EQ(window.Memo1().Text(), window.Memohun().Text()) << "step " << step;
    }
    while (window.Memo1().EMCanUndo(0))
        window.Memo1().Undo();
    EXPECT_EQ(window.Memo1().Text(), original);
    EXPECT_EQ(window.Memohun().Text(), original);
}

// The highlighted page of a large file shows at once: its text is coloured
// in slices from the event loop, as a full scan would colour it.
TEST_F(FrameTest, ALargeFileIsColouredInSlicesOnceItsHighlightedPageShows) {
    std::string text;
    while (text.size() < (3 << 20))
        text += "int f(int a) { return (a + 1) * 2; } /* \"x\" */ // 0x1F\n";
    OpenWithDialog({folder.Write("big.txt", text)});
    TMDIChild& window = Active();
    window.ShowPage(1);
    TSourceEdit& view = window.Memohun();
    EXPECT_GT(view.PendingScanFrom(), 0);
    for (int slice = 0; slice < 10000 && view.PendingScanFrom() > 0; ++slice)
        QApplication::processEvents();
    ASSERT_EQ(view.PendingScanFrom(), 0);
    TSourceEdit full;
    full.SetSyntaxColoring(view.SyntaxColoring());
    full.SetText(view.Text());
    ASSERT_EQ(view.SyntaxRuns().Count(), full.SyntaxRuns().Count());
    for (int i = 0; i < full.SyntaxRuns().Count(); ++i) {
        const SyntaxRun a = view.SyntaxRuns().Get(i);
        const SyntaxRun b = full.SyntaxRuns().Get(i);
        ASSERT_TRUE(a.Start == b.Start && a.Bits == b.Bits && a.Level == b.Level) << "run " << i;
    }
}

TEST_F(FrameTest, PlainViewTakesTypingAndSelectsAllWithCtrlA) {
    OpenWithDialog({folder.Write("a.txt", "abc\n")});
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    EditorWidget& view = Active().Memo1Widget();
    view.setFocus();
    QTest::keyClicks(&view, "xy");
    EXPECT_EQ(Active().Memo1().Text(), "xyabc\r\n");
    EXPECT_TRUE(Active().Modified());
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Active().Memo1().SelStart(), 0);
    EXPECT_EQ(Active().Memo1().SelLength(), 7);
}

TEST_F(FrameTest, TheHighlightedViewGetsTheWordsOfTheExtension) {
    folder.Write("reservedword.txt", "[.cpp]\ncount=2\n0=int\n1=return\n"
                                     "[.htm]\ncount=1\n0=body\n[.txt]\ncount=1\n0=never\n");
    auto words = [&]() -> const TWordList& {
        return Active().Memohun().SyntaxColoring().WordLists().Items(0);
    };
    OpenWithDialog({folder.Write("a.cpp", "int a;")});
    EXPECT_EQ(words().Words(), (std::vector<std::string>{"int", "return"}));
    EXPECT_TRUE(words().CaseSensitive());
    OpenWithDialog({folder.Write("b.CPP", "int b;")});
    EXPECT_EQ(words().Words().size(), 2u);
    EXPECT_FALSE(words().CaseSensitive());
    OpenWithDialog({folder.Write("c.htm", "<body>")});
    EXPECT_EQ(words().Words(), std::vector<std::string>{"body"});
    for (const char* name : {"d.txt", "e"}) {
        OpenWithDialog({folder.Write(name, "never")});
        EXPECT_TRUE(words().Words().empty()) << name;
    }
    // A new document saved as a page takes the words of its new extension.
    Trigger("FileNew1");
    EXPECT_TRUE(words().Words().empty());
    dialogs->saves.push_back(QString::fromStdString(folder.Path("f.htm")));
    Trigger("FileSaveAsItem");
    EXPECT_EQ(words().Words(), std::vector<std::string>{"body"});
}

TEST_F(FrameTest, SelectInPlainViewShowsThePlainPageAndClamps) {
    const std::string a = folder.Write("a.txt", "0123456789\n\nabcdefgh\n");
    TMDIChild* window = dynamic_cast<TMDIChild*>(frame->ShowDocument(a));
    ASSERT_NE(window, nullptr);
    window->ShowPage(1);
    window->SelectInPlainView(16, 3); // line 3, column 5 of the hit example
    EXPECT_EQ(window->PageIndex(), 0);
    EXPECT_EQ(window->Memo1().SelStart(), 16);
    EXPECT_EQ(window->Memo1().TextAt(17, 3), "cde");
    EXPECT_EQ(window->Memo1().SelLength(), 3);
    window->SelectInPlainView(1000, 5);
    EXPECT_EQ(window->Memo1().SelLength(), 0);
    // An open file is shown again, not refused.
    EXPECT_EQ(frame->ShowDocument(a), window);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FrameTest, AFileChangedOnDiskIsReloadedWhenTheUserAgrees) {
    const std::string a = folder.Write("a.txt", "old");
    const std::string b = folder.Write("b.txt", "b");
    OpenWithDialog({a, b});
    folder.Write("a.txt", "changed on disk");
    answers = {kIdNo};
    frame->Tabs().setCurrentIndex(0);
    QApplication::processEvents();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("已被其他程序修改"), std::string::npos);
    EXPECT_EQ(Active().Memo1().Text(), "old");
    // Asked once per change.
    frame->Tabs().setCurrentIndex(1);
    frame->Tabs().setCurrentIndex(0);
    QApplication::processEvents();
    EXPECT_EQ(boxes.size(), 1u);
    folder.Write("a.txt", "changed again");
    answers = {kIdYes};
    frame->Tabs().setCurrentIndex(1);
    frame->Tabs().setCurrentIndex(0);
    QApplication::processEvents();
    EXPECT_EQ(Active().Memo1().Text(), "changed again");
    EXPECT_FALSE(Active().Modified());
}

// The words of a page's list run through the status bar while they load; a
// reload ends with the load's closing text, a save as with an empty bar.
TEST_F(FrameTest, NoHighlightingWordStaysInTheStatusBar) {
    folder.Write("reservedword.txt", "[.htm]\ncount=2\n0=body\n1=while\n");
    const std::string page = folder.Write("a.htm", "<body>");
    OpenWithDialog({page, folder.Write("b.txt", "b")});
    const auto status = [&] { return frame->statusBar()->currentMessage().toStdString(); };
    EXPECT_EQ(status(), "加载完毕!");
    folder.Write("a.htm", "<body> changed");
    answers = {kIdYes};
    frame->Tabs().setCurrentIndex(0);
    QApplication::processEvents();
    ASSERT_EQ(Active().Memo1().Text(), "<body> changed");
    EXPECT_EQ(status(), "加载完毕!");
    dialogs->saves.push_back(QString::fromStdString(folder.Path("c.htm")));
    Trigger("FileSaveAsItem");
    EXPECT_EQ(status(), "");
}

} // namespace
} // namespace kelvara
