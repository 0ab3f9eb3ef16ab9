#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

#include "FrameFixture.h"
#include "searchui/ResultTreeModel.h"
#include "searchui/ResultTreeView.h"
#include "searchui/frmfindtree.h"

namespace kelvara {
namespace {

class BatchWindowFrameTest : public FrameTest {
protected:
    // A batch window of the frame that found `text` in the files of `data`.
    Tfrmfindtree& FindInData(const char* text, bool trim) {
        const int before = static_cast<int>(frame->findChildren<Tfrmfindtree*>().size());
        Trigger("piliangfind");
        const QList<Tfrmfindtree*> windows = frame->findChildren<Tfrmfindtree*>();
        EXPECT_EQ(windows.size(), before + 1);
        Tfrmfindtree& window = *windows.back();
        window.SetDirectory(folder.Path("data"));
        window.Button6->click();
        window.cb3->setCurrentText(".txt");
        window.cb3Click();
        window.chkspace->setChecked(trim);
        window.cb1->setCurrentText(QString::fromUtf8(text));
        window.Button2->click();
        return window;
    }
    void Open(Tfrmfindtree& window, int file, int hit) {
        ResultTreeModel& model = window.TreeModel();
        window.tv1->setCurrentIndex(model.index(hit, 0, model.index(file, 0)));
        window.N1Click();
    }
    int Page() { return Active().findChild<QTabWidget*>("PageControl1")->currentIndex(); }
};

TEST_F(BatchWindowFrameTest, HitsOpenInTheFrameWithTheHitSelected) {
    std::filesystem::create_directories(folder.Path("data"));
    SetTextCodePage(CodePage::Gbk);
    const std::string line1 = TextFromUtf8("  中文 abc");
    const std::string gbk = folder.Write("data/g.txt", line1 + "\r\n\t" + TextFromUtf8("中文字\n"));
    Tfrmfindtree& window = FindInData("中文", true);
    Open(window, 0, 1);
    ASSERT_EQ(frame->Documents().size(), 1u);
    EXPECT_EQ(Active().Path(), gbk);
    EXPECT_EQ(Page(), 0);
    EXPECT_EQ(Active().Memo1().SelStart(), static_cast<int>(line1.size()) + 2 + 1);
    EXPECT_EQ(Active().Memo1().SelLength(), 4);
    // The open document is activated, not opened again.
    Open(window, 0, 0);
    EXPECT_EQ(frame->Documents().size(), 1u);
    EXPECT_EQ(Active().Memo1().SelStart(), 2);

    SetTextCodePage(CodePage::Utf8);
    std::filesystem::remove(gbk);
    const std::string utf8 = folder.Write("data/u.txt", "   价格 price\nx 价格\n");
    Tfrmfindtree& second = FindInData(" 价格 ", true);
    Open(second, 0, 1);
    ASSERT_EQ(frame->Documents().size(), 2u);
    EXPECT_EQ(Active().Path(), utf8);
    EXPECT_EQ(Active().Memo1().SelStart(), 15 + 2 + 2);
    EXPECT_EQ(Active().Memo1().SelLength(), 6);
}

// A hit opened in a file with a byte-order mark or in UTF-16 selects the
// found characters in the document, whose text starts after the mark.
TEST_F(BatchWindowFrameTest, HitsOfEveryEncodingSelectTheirTextInTheDocument) {
    std::filesystem::create_directories(folder.Path("data"));
    folder.Write("data/a.txt", "x \xD6\xD0\xCE\xC4\n"); // GBK
    folder.Write("data/b.txt", "\xEF\xBB\xBF"
                               "x \xE4\xB8\xAD\xE6\x96\x87\n");                    // UTF-8 BOM
    folder.Write("data/c.txt", std::string("\xFE\xFF\0x\0 \x4E\x2D\x65\x87", 10)); // UTF-16BE
    Tfrmfindtree& window = FindInData("中文", false);
    ASSERT_EQ(window.TreeModel().rowCount(), 3);
    const char* found[] = {"\xD6\xD0\xCE\xC4", "\xE4\xB8\xAD\xE6\x96\x87",
                           "\xE4\xB8\xAD\xE6\x96\x87"};
    for (int file = 0; file < 3; ++file) {
        Open(window, file, 0);
        EXPECT_EQ(Active().Memo1().SelStart(), 2) << file;
        EXPECT_EQ(Active().Memo1().Selection().GetText(), found[file]) << file;
    }
}

TEST_F(BatchWindowFrameTest, F3InAnOpenedDocumentStepsThroughTheHits) {
    std::filesystem::create_directories(folder.Path("data"));
    const std::string a = folder.Write("data/a.txt", "key\nkey key\n");
    const std::string b = folder.Write("data/b.txt", "no\nkey\n");
    Tfrmfindtree& window = FindInData("key", false);
    // The frame counts as active while its batch window is: ask for the
    // window itself.
    auto active = [](QWidget* window) {
        return QTest::qWaitFor([&] { return QApplication::activeWindow() == window; });
    };
    ASSERT_TRUE(active(&window));
    Open(window, 0, 0); // brings the frame to the front, the document focused
    auto press = [&](QKeyCombination key) {
        ASSERT_TRUE(active(frame.get()));
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        ASSERT_TRUE(frame->isAncestorOf(focus));
        QTest::keyClick(focus, key.key(), key.keyboardModifiers());
    };
    // The views break lines with CR LF.
    press(Qt::Key_F3);
    EXPECT_EQ(Active().Path(), a);
    EXPECT_EQ(Active().Memo1().SelStart(), 5);
    press(Qt::Key_F3);
    press(Qt::Key_F3);
    EXPECT_EQ(Active().Path(), b);
    EXPECT_EQ(Active().Memo1().SelStart(), 4);
    press(Qt::SHIFT | Qt::Key_F3);
    EXPECT_EQ(Active().Path(), a);
    EXPECT_EQ(Active().Memo1().SelStart(), 9);

    // A closed batch window steps no more.
    window.close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    press(Qt::Key_F3);
    EXPECT_EQ(Active().Path(), a);
    EXPECT_EQ(Active().Memo1().SelStart(), 9);
}

TEST_F(BatchWindowFrameTest, ClosingTheFrameKeepsTheWindowsSettings) {
    std::filesystem::create_directories(folder.Path("data"));
    folder.Write("data/a.txt", "needle\n");
    FindInData("needle", false);
    RestartFrame();
    Trigger("piliangfind");
    Tfrmfindtree* window = frame->findChild<Tfrmfindtree*>();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->cb1->count(), 1);
    EXPECT_EQ(window->cb1->itemText(0), "needle");
    EXPECT_EQ(window->Directory(), folder.Path("data"));
}

// Closed by SIGTERM, nobody may be there to answer a box: with the settings
// folder gone, the frame and its batch window tell standard error and the
// frame closes. The close box still asks.
TEST_F(BatchWindowFrameTest, ASignalClosesTheFrameWhoseSettingsCannotBeWritten) {
    std::filesystem::create_directories(folder.Path("conf"));
    std::filesystem::create_directories(folder.Path("data"));
    folder.Write("data/a.txt", "needle\n");
    settingsFile = folder.Path("conf/kelvara.ini");
    frame.reset();
    MakeFrame();
    FindInData("needle", false);
    std::filesystem::remove_all(folder.Path("conf"));
    const QSignalSpy closed(frame.get(), &TMainForm::Closed);
    boxes.clear();
    testing::internal::CaptureStderr();
    frame->CloseOnSignal();
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(boxes.empty()) << LastBox();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(frame->isVisible());
    const std::size_t first = told.find("kelvara.ini");
    ASSERT_NE(first, std::string::npos) << told;
    EXPECT_NE(told.find("kelvara.ini", first + 1), std::string::npos) << told;

    frame.reset();
    MakeFrame();
    EXPECT_TRUE(frame->close());
    EXPECT_FALSE(boxes.empty());
}

} // namespace
} // namespace kelvara
