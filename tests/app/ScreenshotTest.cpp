// Not a check: with KELVARA_SCREENSHOTS=<folder> set (scripts/screenshots),
// renders the real frame into the PNG files the README shows.
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "FrameFixture.h"
#include "app/AboutBox.h"
#include "app/AppIcon.h"
#include "platform/EditorWidget.h"
#include "platform/Translations.h"
#include "searchui/FileSetModel.h"
#include "searchui/ResultTreeModel.h"
#include "searchui/ResultTreeView.h"
#include "searchui/frmfindtree.h"

namespace kelvara {
namespace {

class Screenshots : public FrameTest {
protected:
    void SetUp() override {
        const char* target = std::getenv("KELVARA_SCREENSHOTS");
        if (!target || !*target) GTEST_SKIP() << "KELVARA_SCREENSHOTS not set";
        output = target;
        folder.Write("reservedword.txt", "[.cpp]\ncount=6\n0=int\n1=return\n2=for\n3=const\n"
                                         "4=std\n5=include\n");
        FrameTest::SetUp();
        QApplication::setWindowIcon(AppIcon());
        frame->setGeometry(0, 0, 1000, 640);
    }

    void Save(QWidget& widget, const char* name) {
        QApplication::processEvents();
        const QString path = QString::fromStdString(output + "/" + name);
        ASSERT_TRUE(widget.grab().toImage().save(path)) << name;
    }

    void OpenSamples() {
        const std::string notes = folder.Write(
            "说明.txt", "Kelvara 批量查找替换\n"
                        "====================\n\n"
                        "1. 在“批量查找替换”窗口中从目录或文件列表添加文件。\n"
                        "2. 输入被找字和替换字，选择“全字匹配”或“区分大小写”。\n"
                        "3. 点击“开始批量查找”，结果树中每个文件一个节点，每处一个子节点。\n"
                        "4. 双击结果，在编辑窗口中打开文件并选中被找字。\n\n"
                        "文件以原来的字节保存：换行方式、编码都不变。\n");
        const std::string source = folder.Write(
            "main.cpp", "#include <iostream>\n#include <string>\n\n"
                        "// 统计每一行的长度\n"
                        "int main() {\n"
                        "    std::string line;\n"
                        "    for (int row = 1; std::getline(std::cin, line); ++row)\n"
                        "        std::cout << row << \": \" << line.size() << \"\\n\";\n"
                        "    return 0; // 完成\n"
                        "}\n");
        OpenWithDialog({source, notes});
    }

    // The frame's batch window after a find of 中文 (replacement 汉语) over
    // files of three folders, every file ticked.
    Tfrmfindtree& FindInSamples() {
        std::string gbk;
        EXPECT_FALSE(RecodeText("<html>\n<p>中文网页</p>\n<p>更多中文，中文</p>\n</html>\n",
                                CodePage::Utf8, CodePage::Gbk, gbk));
        for (const char* sub : {"资料/网页", "资料/源程序"})
            std::filesystem::create_directories(folder.Path(sub));
        folder.Write("资料/网页/index.htm", gbk);
        folder.Write("资料/源程序/main.pas", "// 中文注释\nbegin\n  中文 := 1;\nend.\n");
        folder.Write("资料/说明.txt", "这是中文说明。\n");
        Trigger("piliangfind");
        Tfrmfindtree& window = *frame->findChildren<Tfrmfindtree*>().back();
        window.resize(900, 560);
        window.SetDirectory(folder.Path("资料"));
        window.Button6->click();
        window.Files().TickAll();
        window.FileModel().MarksChanged();
        window.cb1->setCurrentText(QStringLiteral("中文"));
        window.cb4->setCurrentText(QStringLiteral("汉语"));
        window.Button2->click();
        return window;
    }

    std::string output;
};

TEST_F(Screenshots, Frame) {
    OpenSamples();
    Active().Memo1().SetSelStart(14);
    Active().Memo1().SetSelLength(12);
    Save(*frame, "frame.png");
    frame->Tabs().setCurrentIndex(0);
    Active().ShowPage(1);
    Save(*frame, "highlighted.png");
}

// The encoding menu open over a GBK document, the status bar naming its
// encoding. The menu is a window of its own: it is drawn into the frame's
// picture where it opens.
TEST_F(Screenshots, EncodingMenu) {
    std::string gbk;
    ASSERT_FALSE(RecodeText("这个文件是 GBK 编码的。\n"
                            "状态栏的右边显示当前文档的编码，\n"
                            "“编码”菜单可以按别的编码重新打开，或用别的编码保存。\n",
                            CodePage::Utf8, CodePage::Gbk, gbk));
    OpenWithDialog({folder.Write("旧文件.txt", gbk)});
    auto* menu = frame->findChild<QMenu*>(QStringLiteral("mnuencoding"));
    ASSERT_NE(menu, nullptr);
    QMenuBar* bar = frame->menuBar();
    const QPoint at = bar->mapTo(frame.get(), bar->actionGeometry(menu->menuAction()).bottomLeft());
    menu->popup(frame->mapToGlobal(at));
    menu->setActiveAction(menu->actions().value(4));
    QApplication::processEvents();
    QImage picture = frame->grab().toImage();
    QPainter(&picture).drawPixmap(at, menu->grab());
    menu->close();
    ASSERT_TRUE(picture.save(QString::fromStdString(output + "/encoding-menu.png")));
}

// The frame of a user whose locale is English.
TEST_F(Screenshots, FrameInEnglish) {
    InstallTranslations(Language::English, KELVARA_TRANSLATIONS_DIR);
    RestartFrame();
    frame->setGeometry(0, 0, 1000, 640);
    const std::string notes = folder.Write(
        "notes.txt",
        "Kelvara: batch find and replace\n"
        "===============================\n\n"
        "1. Open Batch Find/Replace and add files from a folder or a file list.\n"
        "2. Type the text to find and the replacement; choose Whole words or "
        "Match case.\n"
        "3. Find All lists every file with hits, and every hit with its line.\n"
        "4. Double-click a hit to open its file with the hit selected.\n\n"
        "Files are saved byte for byte: line breaks and encoding stay as they were.\n");
    OpenWithDialog({notes});
    Active().Memo1().SetSelStart(9);
    Active().Memo1().SetSelLength(22);
    Save(*frame, "frame-en.png");
    InstallTranslations(Language::Chinese, KELVARA_TRANSLATIONS_DIR);
}

// A hit selected: its line before and after, with the lines around it.
TEST_F(Screenshots, BatchWindow) {
    Tfrmfindtree& window = FindInSamples();
    ResultTreeModel& model = window.TreeModel();
    window.tv1->setCurrentIndex(model.index(0, 0, model.index(1, 0)));
    Save(window, "batch-window.png");
}

// A file node selected, one of its hits unticked: the file's change as a diff.
TEST_F(Screenshots, ReplacePreview) {
    Tfrmfindtree& window = FindInSamples();
    ResultTreeModel& model = window.TreeModel();
    const QModelIndex file = model.index(1, 0); // 网页/index.htm, three hits
    model.setData(model.index(2, 0, file), Qt::Unchecked, Qt::CheckStateRole);
    window.tv1->setCurrentIndex(file);
    Save(window, "replace-preview.png");
}

TEST_F(Screenshots, AboutBox) {
    TAboutBox box(frame.get());
    box.show();
    Save(box, "about.png");
}

} // namespace
} // namespace kelvara
