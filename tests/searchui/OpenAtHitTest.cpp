#include <QCheckBox>
#include <QComboBox>
#include <QTreeView>

#include "common/CodePageConversion.h"
#include "searchui/ResultTreeModel.h"
#include "searchui/WindowFixture.h"

namespace kelvara::test {
namespace {

class OpenAtHitTest : public WindowTest {
protected:
    void Run(const std::string& text, bool trim = false, bool regex = false) {
        window = MakeWindow();
        window->SetFrame(&frame);
        AddAndTick(*window, files.Path(), ".txt");
        window->chkspace->setChecked(trim);
        window->chkregex->setChecked(regex);
        window->cb1->setCurrentText(QString::fromUtf8(text.c_str()));
        window->Button2->click();
    }
    void Open(int file, int hit) {
        ResultTreeModel& model = window->TreeModel();
        window->tv1->setCurrentIndex(model.index(hit, 0, model.index(file, 0)));
        window->N1Click();
    }

    FakeFrame frame;
    std::unique_ptr<Tfrmfindtree> window;
};

TEST_F(OpenAtHitTest, GbkHitsAreSelectedWithAndWithoutTrimming) {
    CodePageScope gbk(CodePage::Gbk);
    const std::string line1 = TextFromUtf8("  中文 abc");
    const std::string path = files.Write("g.txt", line1 + "\r\n\t" + TextFromUtf8("中文字") + "\n");
    Run("中文");
    Open(0, 1);
    EXPECT_EQ(frame.SelStart(path), static_cast<int>(line1.size()) + 2 + 1);
    EXPECT_EQ(frame.SelLength(path), 4);
    EXPECT_EQ(frame.documents[path]->page, 0);

    Run(" 中文 ", true);
    Open(0, 0);
    EXPECT_EQ(frame.SelStart(path), 2); // the trimmed blanks counted back in
    EXPECT_EQ(frame.SelLength(path), 4);
    EXPECT_TRUE(messages.size() == 2u); // the two notices
}

// A regular expression's hit is selected as long as its match; a bad pattern
// is named at its column before anything is read.
TEST_F(OpenAtHitTest, RegexHitsAreSelectedWholeAndABadPatternIsNamed) {
    const std::string gbk = files.Write("a.txt", "  x \xD6\xD0\xCE\xC4=12\r\n");
    const std::string utf8 = files.Write("b.txt", "中文=345\n");
    Run("中.=\\d+", true, true);
    ResultTreeModel& model = window->TreeModel();
    ASSERT_EQ(model.rowCount(), 2);
    Open(0, 0);
    EXPECT_EQ(frame.SelStart(gbk), 4);
    EXPECT_EQ(frame.SelLength(gbk), 7);
    Open(1, 0);
    EXPECT_EQ(frame.SelStart(utf8), 0);
    EXPECT_EQ(frame.SelLength(utf8), 10);

    messages.clear();
    Run("a(b", false, true);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("第 4 个字符"), std::string::npos) << messages[0];
    EXPECT_EQ(window->Tree().FileNodeCount(), 0u);
}

// GBK, UTF-8 and UTF-16 files in one folder: each shows its hits, and a hit
// opened selects the text in the file's own bytes, after a replace too.
TEST_F(OpenAtHitTest, MixedEncodingsShowAndSelectEachFilesHits) {
    const std::string gbk = files.Write("a.txt", "x \xD6\xD0\xCE\xC4\r\n");
    const std::string utf8 = files.Write("b.txt", "中文 x\n");
    files.Write("c.txt", std::string("\xFF\xFE\x2D\x4E\x87\x65", 6));
    Run("中文");
    ResultTreeModel& model = window->TreeModel();
    ASSERT_EQ(model.rowCount(), 3);
    const auto caption = [&](int file) { return model.index(0, 0, model.index(file, 0)).data(); };
    EXPECT_EQ(caption(0), QString::fromUtf8("被找字：中文 在: 行： 1 列: 3"));
    EXPECT_EQ(caption(1), QString::fromUtf8("被找字：中文 在: 行： 1 列: 1"));
    EXPECT_EQ(caption(2), QString::fromUtf8("被找字：中文 在: 行： 1 列: 1"));
    Open(0, 0);
    EXPECT_EQ(frame.SelStart(gbk), 2);
    EXPECT_EQ(frame.SelLength(gbk), 4);
    Open(1, 0);
    EXPECT_EQ(frame.SelStart(utf8), 0);
    EXPECT_EQ(frame.SelLength(utf8), 6);
    // GBK chosen for the run: the UTF-8 file is taken as GBK and has no hit.
    window->cbcodepage->setCurrentIndex(window->cbcodepage->findText("GBK"));
    window->Button2->click();
    EXPECT_EQ(model.rowCount(), 2);
    window->cbcodepage->setCurrentIndex(0);

    answer = kIdYes;
    window->cb4->setCurrentText(QString::fromUtf8("汉字"));
    window->Button3->click();
    ASSERT_EQ(TestFolder::Read(gbk), "x \xBA\xBA\xD7\xD6\r\n");
    frame.documents.clear();
    Open(0, 0);
    EXPECT_EQ(frame.SelStart(gbk), 2);
    EXPECT_EQ(frame.SelLength(gbk), 4);
    Open(1, 0);
    EXPECT_EQ(frame.SelLength(utf8), 6);
}

TEST_F(OpenAtHitTest, Utf8HitsAreSelectedWithTrimming) {
    const std::string path = files.Write("u.txt", "   价格 price\nx 价格\n");
    Run(" 价格 ", true);
    Open(0, 1);
    EXPECT_EQ(frame.SelStart(path), 15 + 2 + 2);
    EXPECT_EQ(frame.SelLength(path), 6);
    Open(0, 0);
    EXPECT_EQ(frame.SelStart(path), 3);
}

TEST_F(OpenAtHitTest, ChangedFileIsToldInsteadOfSelected) {
    const std::string path = files.Write("a.txt", "first\nthe key\n");
    Run("key");
    files.Write("a.txt", "first\nthe lock\n");
    messages.clear();
    Open(0, 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(path), std::string::npos);
    EXPECT_EQ(frame.SelLength(path), 0);

    files.Write("b.txt", "key\n");
    std::filesystem::remove(path);
    Run("key");
    files.Write("b.txt", "");
    messages.clear();
    Open(0, 0); // the line is gone
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(OpenAtHitTest, ReplaceHitsSelectTheReplacement) {
    const std::string path = files.Write("r.txt", "one two two\r\n");
    answer = kIdYes;
    window = MakeWindow();
    window->SetFrame(&frame);
    AddAndTick(*window, files.Path(), ".txt");
    window->cb1->setCurrentText("two");
    window->cb4->setCurrentText("2");
    window->chkquanzi->setChecked(true);
    window->Button3->click();
    ASSERT_EQ(TestFolder::Read(path), "one 2 2\r\n");
    Open(0, 1);
    EXPECT_EQ(frame.SelStart(path), 6);
    EXPECT_EQ(frame.SelLength(path), 1);

    files.Write("r.txt", "one two\r\n");
    window->chkquanzi->setChecked(false);
    window->cb4->setCurrentText("TWO");
    window->Button3->click();
    frame.documents.clear(); // opened anew from the disk
    Open(0, 0);              // a replaced line: its first replacement
    EXPECT_EQ(frame.SelStart(path), 4);
    EXPECT_EQ(frame.SelLength(path), 3);
}

} // namespace
} // namespace kelvara::test
