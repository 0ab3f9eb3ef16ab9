#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>

#include "FrameFixture.h"
#include "app/AboutBox.h"
#include "common/IniFile.h"
#include "common/Language.h"
#include "platform/Translations.h"
#include "searchui/frmdaohangtest.h"
#include "searchui/frmfindtree.h"

namespace kelvara {
namespace {

bool HasChinese(const QString& text) {
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if ((unit >= 0x4E00 && unit <= 0x9FFF) || (unit >= 0x3000 && unit <= 0x303F) ||
            (unit >= 0xFF00 && unit <= 0xFFEF))
            return true;
    }
    return false;
}

void AddAction(const QAction* action, QStringList& texts) {
    texts << action->text() << action->iconText() << action->statusTip() << action->toolTip();
    if (action->menu()) texts << action->menu()->title();
}

// Every text a user reads on the widget and the widgets and actions in it.
QStringList TextsOf(const QWidget& top) {
    QStringList texts{top.windowTitle()};
    QList<const QWidget*> widgets{&top};
    for (const QWidget* child : top.findChildren<QWidget*>())
        widgets << child;
    for (const QWidget* widget : widgets) {
        texts << widget->toolTip() << widget->statusTip();
        if (auto* button = qobject_cast<const QAbstractButton*>(widget)) texts << button->text();
        if (auto* label = qobject_cast<const QLabel*>(widget)) texts << label->text();
        if (auto* group = qobject_cast<const QGroupBox*>(widget)) texts << group->title();
        if (auto* menu = qobject_cast<const QMenu*>(widget)) texts << menu->title();
        if (auto* tabs = qobject_cast<const QTabBar*>(widget))
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i) << tabs->tabToolTip(i);
        for (const QAction* action : widget->actions())
            AddAction(action, texts);
    }
    for (const QAction* action : top.findChildren<QAction*>())
        AddAction(action, texts);
    texts.removeAll(QString());
    return texts;
}

// The frame with a document, its find dialog and a batch window, made in the
// language that the settings and the environment choose.
class LanguageTest : public FrameTest {
protected:
    void SetUp() override {
        TestApplication();
        FrameTest::SetUp();
    }
    void TearDown() override {
        InstallTranslations(Language::Chinese, KELVARA_TRANSLATIONS_DIR);
        FrameTest::TearDown();
        RestoreLocale();
    }

    void UseLocale(const char* locale) {
        if (saved_.empty()) {
            const char* all = std::getenv("LC_ALL");
            saved_ = all ? all : "-";
        }
        setenv("LC_ALL", locale, 1);
        InstallTranslations(ChosenLanguage(TIniFile(settingsFile)), KELVARA_TRANSLATIONS_DIR);
        RestartFrame();
    }
    void RestoreLocale() {
        if (saved_ == "-")
            unsetenv("LC_ALL");
        else if (!saved_.empty())
            setenv("LC_ALL", saved_.c_str(), 1);
    }

    // Every window there is, with a document open: their texts.
    QStringList AllTexts() {
        OpenWithDialog({folder.Write("notes.txt", "text\n")});
        Trigger("findcurrent");
        Trigger("piliangfind");
        TAboutBox about(frame.get());
        about.show();
        QApplication::processEvents();
        QStringList texts = TextsOf(*frame) + TextsOf(about);
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<Tfrmfindtree*>(window) || qobject_cast<Tfrmdaohangtest*>(window))
                texts += TextsOf(*window);
        texts << frame->statusBar()->currentMessage();
        // A message box: the document is open already.
        OpenWithDialog({folder.Path("notes.txt")});
        texts << QString::fromStdString(LastBox());
        return texts;
    }

    std::string saved_;
};

TEST_F(LanguageTest, AnEnglishLocaleGetsEveryCaptionInEnglish) {
    UseLocale("en_US.UTF-8");
    const QStringList texts = AllTexts();
    EXPECT_GT(texts.size(), 150);
    for (const QString& text : texts)
        EXPECT_FALSE(HasChinese(text)) << text.toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("&File")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Find All")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Loaded.")));
    EXPECT_TRUE(texts.contains(QStringLiteral("This file is already open.")));
}

TEST_F(LanguageTest, ChineseAndPlainLocalesGetTheChineseCaptions) {
    for (const char* locale : {"zh_CN.UTF-8", "C.UTF-8"}) {
        UseLocale(locale);
        const QStringList texts = AllTexts();
        for (const char* caption : {"文件", "处理", "帮助", "批量查找替换", "开始批量查找",
                                    "查找下一个", "高亮显示", "加载完毕!", "重复了"})
            EXPECT_TRUE(texts.contains(QString::fromUtf8(caption))) << locale << " " << caption;
    }
}

TEST_F(LanguageTest, TheSettingsFileChoosesEnglishUnderAChineseLocale) {
    folder.Write("kelvara.ini", "[options]\nlanguage=en\n");
    UseLocale("zh_CN.UTF-8");
    EXPECT_EQ(frame->menuBar()->actions().front()->text(), QStringLiteral("&File"));
}

} // namespace
} // namespace kelvara
