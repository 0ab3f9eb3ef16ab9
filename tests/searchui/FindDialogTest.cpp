#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>

#include "searchui/WindowFixture.h"
#include "searchui/frmdaohangtest.h"

namespace kelvara::test {
namespace {

class FindDialogTest : public WindowTest {
protected:
    FindDialogTest() {
        LastFindText.clear();
        LastReplaceText.clear();
    }
    ~FindDialogTest() override {
        LastFindText.clear();
        LastReplaceText.clear();
    }
    FakeDocument& Document(const std::string& text) {
        frame.ShowDocument(files.Write("doc.txt", text));
        return *frame.active;
    }

    FakeFrame frame;
};

TEST_F(FindDialogTest, FindStepsThroughTheHitsAndWrapsAround) {
    FakeDocument& document = Document("abcabc");
    TMemoComponent& view = document.Memohun();
    Tfrmdaohangtest* dialog = Tfrmdaohangtest::Open(frame, document, Tfrmdaohangtest::Mode::Find);
    EXPECT_EQ(document.FindDialog(), dialog);
    EXPECT_EQ(document.page, 1);
    EXPECT_TRUE(dialog->windowTitle().startsWith(QString::fromUtf8("查找 ")));
    EXPECT_FALSE(dialog->Panel3->isVisibleTo(dialog));
    EXPECT_EQ(dialog->size(), QSize(474, 335));

    dialog->Edit1->setText("ABC");
    dialog->BitBtn1->click();
    EXPECT_EQ(LastFindText, "ABC");
    EXPECT_EQ(view.SelStart(), 0);
    EXPECT_EQ(view.SelLength(), 3);
    dialog->BitBtn2->click();
    EXPECT_EQ(view.SelStart(), 3);
    dialog->BitBtn2->click(); // nothing more: a caret after the last hit
    EXPECT_EQ(view.SelStart(), 6);
    EXPECT_EQ(view.SelLength(), 0);
    dialog->BitBtn2->click();
    EXPECT_EQ(view.SelStart(), 0);
    EXPECT_EQ(view.SelLength(), 3);

    // Letter case significant: "ABC" is not there.
    dialog->CheckBox1->setChecked(true);
    view.SetSelStart(0);
    view.SetSelLength(0);
    dialog->BitBtn1->click();
    EXPECT_EQ(view.SelLength(), 0);

    // The boxes of a group work as a pair; backward finds the last one first.
    dialog->CheckBox1->setChecked(false);
    dialog->CheckBox4->click();
    EXPECT_FALSE(dialog->CheckBox5->isChecked());
    dialog->BitBtn1->click();
    EXPECT_EQ(view.SelStart(), 3);
    EXPECT_FALSE(document.Modified());
}

TEST_F(FindDialogTest, ReplaceReusesTheDialogAndMarksTheDocument) {
    FakeDocument& document = Document("banana");
    Tfrmdaohangtest* dialog = Tfrmdaohangtest::Open(frame, document, Tfrmdaohangtest::Mode::Find);
    dialog->Edit1->setText("a");
    dialog->BitBtn1->click();
    EXPECT_EQ(Tfrmdaohangtest::Open(frame, document, Tfrmdaohangtest::Mode::Replace), dialog);
    EXPECT_TRUE(dialog->Panel3->isVisibleTo(dialog));
    EXPECT_TRUE(dialog->windowTitle().startsWith(QString::fromUtf8("替换 ")));
    EXPECT_EQ(dialog->Edit1->text(), "a");
    dialog->Edit2->setText("aa");
    dialog->CheckBox6->setChecked(true);
    dialog->Button1->click();
    EXPECT_EQ(document.Memohun().Text(), "baanaanaa");
    EXPECT_EQ(document.Memo1().Text(), "banana"); // the plain view is left alone
    EXPECT_TRUE(document.Modified());
    EXPECT_EQ(LastReplaceText, "aa");
}

TEST_F(FindDialogTest, RegularExpressionsFindAndReplaceWithGroups) {
    FakeDocument& document = Document("x=1 yy=22");
    Tfrmdaohangtest* dialog =
        Tfrmdaohangtest::Open(frame, document, Tfrmdaohangtest::Mode::Replace);
    TMemoComponent& view = document.Memohun();
    dialog->CheckBoxRegex->setChecked(true);
    dialog->Edit1->setText("(\\w+)=(\\d+");
    dialog->BitBtn1->click();
    ASSERT_EQ(messages.size(), 1u); // named with its column, nothing searched
    EXPECT_NE(messages[0].find("第 11 个字符"), std::string::npos) << messages[0];
    EXPECT_EQ(view.SelLength(), 0);

    dialog->Edit1->setText("(?<name>\\w+)=(\\d+)");
    dialog->BitBtn1->click();
    EXPECT_EQ(view.SelStart(), 0);
    EXPECT_EQ(view.SelLength(), 3);
    dialog->Edit2->setText("$2:${name}");
    dialog->CheckBox6->setChecked(true);
    dialog->Button1->click();
    EXPECT_EQ(view.Text(), "1:x 22:yy");
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(FindDialogTest, UnencodableTextIsRefusedAndAClosedDialogIsReleased) {
    CodePageScope gbk(CodePage::Gbk);
    FakeDocument& document = Document("text");
    QPointer<Tfrmdaohangtest> dialog =
        Tfrmdaohangtest::Open(frame, document, Tfrmdaohangtest::Mode::Replace);
    LastFindText = "text";
    dialog->Edit1->setText(QString::fromUtf8("😀"));
    dialog->Button1->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("U+1F600"), std::string::npos);
    EXPECT_EQ(LastFindText, "text");
    EXPECT_EQ(document.Memohun().Text(), "text");

    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(document.FindDialog(), nullptr);
    Tfrmdaohangtest* next = Tfrmdaohangtest::Open(frame, document, Tfrmdaohangtest::Mode::Find);
    EXPECT_EQ(document.FindDialog(), next);
    EXPECT_EQ(next->Edit1->text(), "text");
}

} // namespace
} // namespace kelvara::test
