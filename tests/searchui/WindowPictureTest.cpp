#include <cstdlib>

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTreeView>

#include "common/CodePageConversion.h"
#include "common/FileEncoding.h"
#include "searchui/PreviewPane.h"
#include "searchui/ResultTreeModel.h"
#include "searchui/ResultTreeView.h"
#include "searchui/WindowFixture.h"

namespace kelvara::test {
namespace {

using WindowPictureTest = WindowTest;

std::string InEncoding(std::string_view utf8, const FileEncoding& encoding) {
    std::string bytes;
    if (encoding.codePage == CodePage::Gbk)
        EXPECT_FALSE(RecodeText(utf8, CodePage::Utf8, CodePage::Gbk, bytes));
    else
        EXPECT_FALSE(AppendFileBytes(utf8, encoding, bytes));
    return bytes;
}

// Paints the window with results from files in GBK, UTF-8 and UTF-16; the
// picture goes to $KELVARA_SCREENSHOT when that is set (the README's
// screenshot is made so).
TEST_F(WindowPictureTest, WindowWithResultsPaints) {
    files.Write("网页/index.htm",
                InEncoding("<p>中文网页</p>\n<p>更多中文</p>\n", PlainEncoding(CodePage::Gbk)));
    files.Write("网页/about.htm", "<h1>关于</h1>\n");
    files.Write("源程序/main.pas", "// 中文注释\nbegin\n  中文 := 1;\nend.\n");
    files.Write("说明.txt",
                InEncoding("这是中文说明。\n", {CodePage::Utf8, true, Utf16Order::LittleEndian}));
    auto window = MakeWindow();
    window->SetDirectory(files.Path());
    window->Button6->click();
    window->N2Click();
    window->cb1->setCurrentText(QString::fromUtf8("中文"));
    window->cb4->setCurrentText(QString::fromUtf8("汉语"));
    window->Button2->click();
    window->tv1->ExpandAllFiles();
    ResultTreeModel& model = window->TreeModel();
    ASSERT_EQ(model.rowCount(), 3);
    for (int file = 0; file < 3; ++file)
        EXPECT_TRUE(window->tv1->isExpanded(model.index(file, 0)));
    window->tv1->setCurrentIndex(model.index(1, 0, model.index(0, 0)));
    QApplication::processEvents();
    const QImage picture = window->grab().toImage();
    EXPECT_EQ(picture.width(), window->width() * picture.devicePixelRatio());
    if (const char* path = std::getenv("KELVARA_SCREENSHOT")) {
        EXPECT_TRUE(picture.save(path));
    }
}

// The preview of a replace of the ticked hits, with one hit unticked; the
// picture goes to $KELVARA_PREVIEW_SCREENSHOT when that is set.
TEST_F(WindowPictureTest, PreviewPaintsWhatGoesOutAndComesIn) {
    files.Write("网页/index.htm", "<html>\n<p>中文网页</p>\n<p>更多中文, 中文</p>\n</html>\n");
    files.Write("说明.txt", "这是中文说明。\n");
    auto window = MakeWindow();
    window->resize(900, 560);
    window->SetDirectory(files.Path());
    window->Button6->click();
    window->N2Click();
    window->cb1->setCurrentText(QString::fromUtf8("中文"));
    window->cb4->setCurrentText(QString::fromUtf8("汉语"));
    window->Button2->click();
    window->tv1->ExpandAllFiles();
    ResultTreeModel& model = window->TreeModel();
    ASSERT_EQ(model.rowCount(), 2);
    const QModelIndex page = model.index(0, 0);
    model.setData(model.index(2, 0, page), Qt::Unchecked, Qt::CheckStateRole);
    window->tv1->setCurrentIndex(page);
    QApplication::processEvents();
    const QString shown = window->preview_->toPlainText();
    EXPECT_TRUE(shown.contains(QString::fromUtf8("+ <p>更多汉语, 中文</p>")))
        << shown.toStdString();
    const QImage picture = window->grab().toImage();
    if (const char* path = std::getenv("KELVARA_PREVIEW_SCREENSHOT")) {
        EXPECT_TRUE(picture.save(path));
    }
}

} // namespace
} // namespace kelvara::test
