#include "searchui/ResultTreeModel.h"
#include "searchui/WindowFixture.h"

// The batch window on a folder where a GBK file and a UTF-8 file stand side
// by side, both holding the line "中文 foo".
namespace kelvara::test {
namespace {

using MixedEncodingWindowTest = WindowTest;

TEST_F(MixedEncodingWindowTest, BothFilesAreFoundAndEachIsReplacedInItsOwnEncoding) {
    for (const CodePage fallback : {CodePage::Gbk, CodePage::Utf8}) {
        SCOPED_TRACE(fallback == CodePage::Gbk ? "default GBK" : "default UTF-8");
        CodePageScope scope(fallback);
        const std::string gbk = files.Write("a-gbk.txt", "\xD6\xD0\xCE\xC4 foo\n");
        const std::string utf8 = files.Write("b-utf8.txt", "\xE4\xB8\xAD\xE6\x96\x87 foo\n");
        auto window = MakeWindow();
        AddAndTick(*window, files.Path(), ".txt");
        window->cb1->setCurrentText(QString::fromUtf8("中文"));
        window->Button2->click();
        const ResultTreeModel& model = window->TreeModel();
        ASSERT_EQ(model.rowCount(), 2);
        for (int file = 0; file < 2; ++file) {
            const QModelIndex node = model.index(file, 0);
            ASSERT_EQ(model.rowCount(node), 1);
            EXPECT_EQ(model.index(0, 0, node).data().toString(),
                      QString::fromUtf8("被找字：中文 在: 行： 1 列: 1"));
        }

        answer = kIdYes;
        window->cb1->setCurrentText("foo");
        window->cb4->setCurrentText(QString::fromUtf8("汉字"));
        window->Button3->click();
        EXPECT_EQ(TestFolder::Read(gbk), "\xD6\xD0\xCE\xC4 \xBA\xBA\xD7\xD6\n");
        EXPECT_EQ(TestFolder::Read(utf8), "\xE4\xB8\xAD\xE6\x96\x87 \xE6\xB1\x89\xE5\xAD\x97\n");
        answer = kIdOk;
    }
}

} // namespace
} // namespace kelvara::test
