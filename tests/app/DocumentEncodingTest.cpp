#include <QAction>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <algorithm>

#include "FrameFixture.h"
#include "platform/EditorWidget.h"
#include "searchui/frmdaohangtest.h"

// Every document reads, shows and writes the encoding of its own file.
namespace kelvara {
namespace {

class DocumentEncodingTest : public FrameTest {
protected:
    // Commits text at the end of the active document's plain view, as an
    // input method does.
    void Commit(const QString& text) {
        TMemoComponent& editor = Active().Memo1();
        editor.SetSelStart(editor.TextLength());
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(&Active().Memo1Widget(), &event);
    }
    std::string Shown() const {
        return frame->findChild<QLabel*>(QStringLiteral("EncodingLabel"))->text().toStdString();
    }
    // The reopen command that carries the encoding menu's check mark ("": none).
    std::string Checked() const {
        std::string name;
        for (const char* reopen : {"mnureopengbk", "mnureopenutf8"})
            if (frame->findChild<QAction*>(QString::fromLatin1(reopen))->isChecked())
                name += reopen;
        return name;
    }
};

struct EncodedFile {
    const char* name;
    std::string bytes;  // "ab中\n"
    std::string edited; // then "文" typed at the end
};

// "中" and "文": GBK D6D0 CEC4, UTF-8 E4B8AD E69687, UTF-16 U+4E2D U+6587.
const std::vector<EncodedFile>& Files() {
    static const std::vector<EncodedFile> files = {
        {"GBK", "ab\xD6\xD0\n", "ab\xD6\xD0\n\xCE\xC4"},
        {"UTF-8", "ab\xE4\xB8\xAD\n", "ab\xE4\xB8\xAD\n\xE6\x96\x87"},
        {"UTF-8 BOM",
         "\xEF\xBB\xBF"
         "ab\xE4\xB8\xAD\n",
         "\xEF\xBB\xBF"
         "ab\xE4\xB8\xAD\n\xE6\x96\x87"},
        {"UTF-16LE",
         std::string("\xFF\xFE"
                     "a\0b\0\x2D\x4E\n\0",
                     10),
         std::string("\xFF\xFE"
                     "a\0b\0\x2D\x4E\n\0\x87\x65",
                     12)},
        {"UTF-16BE", std::string("\xFE\xFF\0a\0b\x4E\x2D\0\n", 10),
         std::string("\xFE\xFF\0a\0b\x4E\x2D\0\n\x65\x87", 12)},
    };
    return files;
}

TEST_F(DocumentEncodingTest, EachEncodingIsShownEditedInChineseAndSavedBackByteExact) {
    for (const EncodedFile& file : Files()) {
        SCOPED_TRACE(file.name);
        const std::string path = folder.Write(std::string(file.name) + ".txt", file.bytes);
        OpenWithDialog({path});
        EXPECT_EQ(Shown(), file.name);
        EXPECT_EQ(EncodingName(Active().Encoding()), file.name);
        const std::string name = file.name;
        EXPECT_EQ(Checked(), name.starts_with("UTF-16") ? ""
                             : name == "GBK"            ? "mnureopengbk"
                                                        : "mnureopenutf8");
        // Saved without an edit: the very bytes.
        Active().SetModified(true);
        Trigger("FileSaveItem");
        EXPECT_EQ(TempFolder::Read(path), file.bytes);
        Commit(QStringLiteral("文"));
        EXPECT_TRUE(Active().Modified());
        Trigger("FileSaveItem");
        EXPECT_EQ(TempFolder::Read(path), file.edited);
        EXPECT_EQ(LastBox(), "已经保存了");
    }
    // The label follows the active document, and is empty without one.
    frame->Tabs().setCurrentIndex(0);
    QApplication::processEvents();
    EXPECT_EQ(Shown(), "GBK");
    EXPECT_EQ(Checked(), "mnureopengbk");
    Trigger("mnucloseall");
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(Checked(), "");
}

TEST_F(DocumentEncodingTest, ASaveTheCodePageCannotHoldIsRefusedAndTheFileStaysAsItWas) {
    // "한" (U+D55C) has no GBK code.
    const std::string korean = "line one\nline \xED\x95\x9C two\n";
    const std::string path = folder.Write("k.txt", korean);
    OpenWithDialog({path});
    Commit(QStringLiteral("中"));
    Trigger("mnusavegbk");
    EXPECT_EQ(TempFolder::Read(path), korean);
    EXPECT_NE(LastBox().find("第 2 行"), std::string::npos) << LastBox();
    EXPECT_NE(LastBox().find("U+D55C"), std::string::npos) << LastBox();
    EXPECT_EQ(EncodingName(Active().Encoding()), "UTF-8");
    EXPECT_TRUE(Active().Modified());

    // Bytes that are no UTF-8 character have no GBK form either.
    const std::string broken = "ok\n\xE4\xB8\xAD \xFF\n";
    const std::string utf8 = folder.Write("b.txt", broken);
    OpenWithDialog({utf8});
    ASSERT_EQ(EncodingName(Active().Encoding()), "GBK"); // not valid UTF-8
    Trigger("mnusaveutf8");
    EXPECT_EQ(TempFolder::Read(utf8), broken);
    EXPECT_NE(LastBox().find("第 2 行"), std::string::npos) << LastBox();

    // A UTF-16 file that is not valid UTF-16 opens read-only, and saves back
    // unchanged until edited.
    const std::string odd("\xFF\xFE"
                          "a\0\x00\xD8"
                          "b\0",
                          8); // a lone surrogate
    const std::string damaged = folder.Write("d.txt", odd);
    OpenWithDialog({damaged});
    EXPECT_NE(LastBox().find("第 5 个字节"), std::string::npos) << LastBox();
    EXPECT_EQ(Active().Memo1().Text(), "a\xEF\xBF\xBD"
                                       "b"); // U+FFFD for the bad unit
    EXPECT_TRUE(Active().Memo1().ReadOnly());
    Active().SetModified(true);
    Trigger("FileSaveItem");
    EXPECT_EQ(TempFolder::Read(damaged), odd);
}

TEST_F(DocumentEncodingTest, TheEncodingMenuReopensAndSavesInAnotherEncoding) {
    const std::string path = folder.Write("a.txt", "\xE4\xB8\xAD\xE6\x96\x87\n"); // 中文 in UTF-8
    OpenWithDialog({path});
    ASSERT_EQ(Shown(), "UTF-8");
    EXPECT_EQ(Checked(), "mnureopenutf8");
    Trigger("mnureopengbk");
    EXPECT_EQ(Shown(), "GBK");
    EXPECT_EQ(Checked(), "mnureopengbk");
    EXPECT_EQ(Active().Memo1().GetCodePage(), CodePage::Gbk);
    EXPECT_EQ(Active().Memo1().Text(), "\xE4\xB8\xAD\xE6\x96\x87\r\n");
    // A reopen loses unsaved edits only when the user agrees.
    Commit(QStringLiteral("x"));
    answers = {kIdNo};
    Trigger("mnureopenutf8");
    EXPECT_EQ(Shown(), "GBK");
    EXPECT_EQ(Checked(), "mnureopengbk");
    EXPECT_TRUE(Active().Modified());
    answers = {kIdYes};
    Trigger("mnureopenutf8");
    EXPECT_EQ(Shown(), "UTF-8");
    EXPECT_FALSE(Active().Modified());

    // Saved as GBK, the text goes on in GBK: typing and the next save too.
    Trigger("mnusavegbk");
    EXPECT_EQ(TempFolder::Read(path), "\xD6\xD0\xCE\xC4\n");
    EXPECT_EQ(Shown(), "GBK");
    EXPECT_EQ(Active().Memo1().Text(), "\xD6\xD0\xCE\xC4\r\n");
    Commit(QStringLiteral("字"));
    Trigger("FileSaveItem");
    EXPECT_EQ(TempFolder::Read(path), "\xD6\xD0\xCE\xC4\n\xD7\xD6");
    Trigger("mnusaveutf8bom");
    EXPECT_EQ(TempFolder::Read(path), "\xEF\xBB\xBF\xE4\xB8\xAD\xE6\x96\x87\n\xE5\xAD\x97");
    EXPECT_EQ(Shown(), "UTF-8 BOM");

    // A new document has no file to read again; saved in an encoding, it
    // goes through the save dialog.
    Trigger("FileNew1");
    Trigger("mnureopengbk");
    EXPECT_NE(LastBox().find("不能重新打开"), std::string::npos) << LastBox();
    Commit(QStringLiteral("中"));
    dialogs->saves.push_back(QString::fromStdString(folder.Path("new.txt")));
    Trigger("mnusavegbk");
    EXPECT_EQ(TempFolder::Read(folder.Path("new.txt")), "\xD6\xD0");
}

TEST_F(DocumentEncodingTest, NewAndPureAsciiDocumentsTakeTheDefaultCodePage) {
    SetTextCodePage(CodePage::Gbk);
    Trigger("FileNew1");
    EXPECT_EQ(Shown(), "GBK");
    Commit(QStringLiteral("中"));
    EXPECT_EQ(Active().Memo1().Text(), "\xD6\xD0");
    OpenWithDialog({folder.Write("ascii.txt", "plain\n")});
    EXPECT_EQ(Shown(), "GBK");
    SetTextCodePage(CodePage::Utf8);
    OpenWithDialog({folder.Write("ascii2.txt", "plain\n")});
    EXPECT_EQ(Shown(), "UTF-8");
    Commit(QStringLiteral("中"));
    Trigger("FileSaveItem");
    EXPECT_EQ(TempFolder::Read(folder.Path("ascii2.txt")), "plain\n\xE4\xB8\xAD");
}

// After a batch replace the documents read their files again, each in the
// code page it had: one the user reopened as GBK stays GBK.
TEST_F(DocumentEncodingTest, DocumentsKeepTheirCodePageWhenABatchReplaceRewritesTheirFiles) {
    const std::string chosen = folder.Write("chosen.txt", "\xE4\xB8\xAD foo\n");
    const std::string wide = folder.Write("wide.txt", std::string("\xFF\xFE\x2D\x4E \0f\0", 8));
    OpenWithDialog({chosen});
    Trigger("mnureopengbk");
    OpenWithDialog({wide});
    folder.Write("chosen.txt", "\xE4\xB8\xAD bar\n");
    folder.Write("wide.txt", std::string("\xFF\xFE\x2D\x4E \0g\0", 8));
    frame->FilesRewritten({chosen, wide});
    TMDIChild& first = *frame->Documents()[1];
    ASSERT_EQ(first.Path(), chosen);
    EXPECT_EQ(EncodingName(first.Encoding()), "GBK");
    EXPECT_EQ(first.Memo1().GetCodePage(), CodePage::Gbk);
    EXPECT_EQ(first.Memo1().Text(), "\xE4\xB8\xAD bar\r\n");
    EXPECT_EQ(EncodingName(Active().Encoding()), "UTF-16LE");
    EXPECT_EQ(Active().Memo1().Text(), "\xE4\xB8\xAD g");
}

// The highlighting words are compared with the document's bytes: they take
// its code page, whatever reservedword.txt is written in.
TEST_F(DocumentEncodingTest, HighlightingWordsFollowTheDocumentsCodePage) {
    SetTextCodePage(CodePage::Gbk);
    folder.Write("reservedword.txt", "[.cpp]\ncount=3\n0=int\n1=\xE5\x87\xBD\xE6\x95\xB0\n"
                                     "2=\xED\x95\x9C\n"); // UTF-8: int 函数 한
    const auto words = [&] {
        return Active().Memohun().SyntaxColoring().WordLists().Items(0).Words();
    };
    const std::string path = folder.Write("a.cpp", "int \xBA\xAF\xCA\xFD;\n"); // GBK 函数
    OpenWithDialog({path});
    ASSERT_EQ(Shown(), "GBK");
    EXPECT_EQ(words(), (std::vector<std::string>{"int", "\xBA\xAF\xCA\xFD"})); // no 한 in GBK
    Trigger("mnusaveutf8");
    ASSERT_EQ(Shown(), "UTF-8");
    auto utf8 = words();
    std::sort(utf8.begin(), utf8.end());
    EXPECT_EQ(utf8, (std::vector<std::string>{"int", "\xE5\x87\xBD\xE6\x95\xB0", "\xED\x95\x9C"}));
    EXPECT_EQ(frame->statusBar()->currentMessage().toStdString(), "");
    Trigger("mnureopengbk");
    EXPECT_EQ(words().size(), 2u);
    EXPECT_EQ(frame->statusBar()->currentMessage().toStdString(), "加载完毕!");
}

// The find dialog looks for the text as typed in each document's own code
// page.
TEST_F(DocumentEncodingTest, TheFindDialogFindsTypedChineseInEveryCodePage) {
    for (const EncodedFile& file : Files()) {
        SCOPED_TRACE(file.name);
        OpenWithDialog({folder.Write(std::string("f") + file.name, file.bytes)});
        Tfrmdaohangtest* dialog =
            Tfrmdaohangtest::Open(*frame, Active(), Tfrmdaohangtest::Mode::Find);
        dialog->Edit1->setText(QStringLiteral("中"));
        dialog->BitBtn1->click();
        TSourceEdit& view = Active().Memohun();
        EXPECT_EQ(view.SelStart(), 2);
        EXPECT_EQ(view.Selection().GetText(),
                  Active().Memo1().GetCodePage() == CodePage::Gbk ? "\xD6\xD0" : "\xE4\xB8\xAD");
    }
}

} // namespace
} // namespace kelvara
