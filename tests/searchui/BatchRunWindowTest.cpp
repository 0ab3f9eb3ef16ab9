#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QTreeView>

#include "common/PathHelpers.h"
#include "searchui/ResultTreeModel.h"
#include "searchui/WindowFixture.h"

namespace kelvara::test {
namespace {

using BatchRunWindowTest = WindowTest;

QString Caption(Tfrmfindtree& window, int file, int hit = -1) {
    const QAbstractItemModel& model = window.TreeModel();
    const QModelIndex fileIndex = model.index(file, 0);
    return hit < 0 ? fileIndex.data().toString() : model.index(hit, 0, fileIndex).data().toString();
}

TEST_F(BatchRunWindowTest, FindFillsTheTreeWithCaptionsUnderEachOption) {
    const std::string a = files.Write("a.txt", "Alpha alpha\n  alphabet\n");
    files.Write("b.txt", "nothing here\n");
    const std::string c = files.Write("c.txt", "x ALPHA\n");
    auto window = MakeWindow();
    AddAndTick(*window, files.Path(), ".txt");
    window->cb1->setCurrentText("alpha");
    window->Button2->click();

    // Letter case ignored: five hits in two files; captions show the folded text.
    ResultTreeModel& model = window->TreeModel();
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(Caption(*window, 0).toStdString(), a);
    EXPECT_EQ(Caption(*window, 1).toStdString(), c);
    ASSERT_EQ(model.rowCount(model.index(0, 0)), 3);
    EXPECT_EQ(Caption(*window, 0, 2), QString::fromUtf8("被找字：alpha 在: 行： 2 列: 3"));
    EXPECT_EQ(window->Label6->text(), "6"); // nodes left after pruning
    EXPECT_EQ(window->Label8->text(), QString::fromUtf8("文件 2 个，找到 4 处"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "查找完毕");

    window->chkdaxiao->setChecked(true);
    window->Button2->click();
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 2);

    window->chkdaxiao->setChecked(false);
    window->chkquanzi->setChecked(true);
    window->Button2->click();
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(Caption(*window, 0, 1), QString::fromUtf8("被找字：alpha 在: 行： 1 列: 7"));

    window->chkquanzi->setChecked(false);
    window->chkspace->setChecked(true);
    window->cb1->setCurrentText("  alphabet ");
    window->Button2->click();
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(Caption(*window, 0, 0), QString::fromUtf8("被找字：alphabet 在: 行： 2 列: 1"));

    // Selecting a hit shows its file in the status panel; the context menu copies.
    window->tv1->setCurrentIndex(model.index(0, 0, model.index(0, 0)));
    EXPECT_EQ(window->Panel2->text().toStdString(), a);
    window->CopyPath();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), a);
    window->CopyCaption();
    EXPECT_EQ(QApplication::clipboard()->text(), Caption(*window, 0, 0));
}

// What the window shows: the tree's rows (file nodes expanded marked "+"),
// the current row, the progress labels and the status panel.
struct Shown {
    std::vector<std::string> rows;
    std::string current;
    std::string labels;
    std::string status;
    friend bool operator==(const Shown&, const Shown&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Shown& shown) {
        for (const std::string& row : shown.rows)
            out << row << " | ";
        return out << "current " << shown.current << ", labels " << shown.labels << ", status "
                   << shown.status;
    }
};

Shown WhatIsShown(Tfrmfindtree& window) {
    Shown shown;
    const QAbstractItemModel& model = window.TreeModel();
    for (int file = 0; file < model.rowCount(); ++file) {
        const QModelIndex fileIndex = model.index(file, 0);
        const std::string name = FileNameOfPath(fileIndex.data().toString().toStdString());
        shown.rows.push_back((window.tv1->isExpanded(fileIndex) ? "+" : "") + name);
        for (int hit = 0; hit < model.rowCount(fileIndex); ++hit)
            shown.rows.push_back(model.index(hit, 0, fileIndex).data().toString().toStdString());
    }
    const QModelIndex current = window.tv1->currentIndex();
    shown.current = current.data().toString().toStdString();
    if (current.isValid() && !current.parent().isValid())
        shown.current = FileNameOfPath(shown.current);
    shown.labels = (window.Label6->text() + " / " + window.Label7->text()).toStdString();
    shown.status = FileNameOfPath(window.Panel2->text().toStdString());
    return shown;
}

TEST_F(BatchRunWindowTest, ShortRunsShowTheirWholeResultBeforeTheNotice) {
    files.Write("a.txt", "key\nkey\n");
    files.Write("b.txt", "nothing\n");
    files.Write("c.txt", "one key\n");
    files.Write("d.txt", "alpha\n");
    files.Write("e.txt", "none\n");
    auto window = MakeWindow();
    AddAndTick(*window, files.Path(), ".txt");
    window->Pump().SetInterval(std::chrono::hours(1)); // each run ends within one slice
    std::vector<Shown> atNotice;
    SetAskUserSink([&](const MessageBoxRequest&) {
        atNotice.push_back(WhatIsShown(*window));
        return answer;
    });
    const std::string hit1 = "被找字：key 在: 行： 1 列: 1";
    const std::string hit2 = "被找字：key 在: 行： 2 列: 1";
    const std::string hit3 = "被找字：key 在: 行： 1 列: 5";
    const Shown found{{"+a.txt", hit1, hit2, "+c.txt", hit3}, hit3, "5 / e.txt", "c.txt"};
    window->cb1->setCurrentText("key");
    window->Button2->click();
    ASSERT_EQ(atNotice.size(), 1u);
    EXPECT_EQ(atNotice[0], found);
    EXPECT_EQ(WhatIsShown(*window), found);

    // A run without hits leaves no path of the run before in the status panel.
    window->cb1->setCurrentText("zzz");
    window->Button2->click();
    EXPECT_EQ(WhatIsShown(*window), (Shown{{}, "", "0 / e.txt", ""}));

    // A declined replace changes nothing; one that runs keeps every file read,
    // the labels on the last one.
    window->cb1->setCurrentText("key");
    window->cb4->setCurrentText("beta");
    window->Button2->click();
    answer = kIdNo;
    window->Button3->click();
    EXPECT_EQ(WhatIsShown(*window), found);
    answer = kIdYes;
    window->cb1->setCurrentText("alpha");
    window->Button3->click();
    const std::string replaced = "beta";
    const Shown written{
        {"a.txt", "b.txt", "c.txt", "+d.txt", replaced, "e.txt"}, "e.txt", "5 / e.txt", "d.txt"};
    ASSERT_EQ(atNotice.size(), 6u); // with the questions before the replaces
    EXPECT_EQ(atNotice[5], written);
    EXPECT_EQ(WhatIsShown(*window), written);

    // A file that cannot be read: what was read before it is shown behind the error.
    std::filesystem::remove(files / "c.txt");
    window->cb1->setCurrentText("key");
    window->Button2->click();
    const Shown failed{{"+a.txt", hit1, hit2, "b.txt"}, "b.txt", "2 / b.txt", "a.txt"};
    ASSERT_EQ(atNotice.size(), 7u);
    EXPECT_EQ(atNotice[6], failed);
    EXPECT_EQ(WhatIsShown(*window), failed);
}

// Texts are taken as typed, whatever the default code page: a file whose
// code page cannot hold the search text has no hits, and one that cannot hold
// the replacement is left as it was and listed.
TEST_F(BatchRunWindowTest, TextsAreTakenAsTypedAndFilesThatCannotHoldThemAreListed) {
    CodePageScope gbk(CodePage::Gbk);
    const std::string ascii = files.Write("a.txt", "x\n"); // pure ASCII: the default, GBK
    const std::string utf8 = files.Write("u.txt", "x 表情😀\n");
    auto window = MakeWindow();
    AddAndTick(*window, files.Path(), ".txt");
    answer = kIdYes;
    window->cb1->setCurrentText("");
    window->Button2->click();
    window->cb1->setCurrentText(QString::fromUtf8("表情😀"));
    window->Button2->click();
    ASSERT_EQ(window->TreeModel().rowCount(), 1);
    EXPECT_EQ(Caption(*window, 0, 0), QString::fromUtf8("被找字：表情😀 在: 行： 1 列: 3"));

    window->cb1->setCurrentText("x");
    window->cb4->setCurrentText(QString::fromUtf8("🙂"));
    window->Button3->click();
    EXPECT_EQ(TestFolder::Read(ascii), "x\n");
    EXPECT_EQ(TestFolder::Read(utf8), "🙂 表情😀\n");
    ASSERT_EQ(messages.size(), 4u); // empty text, find notice, question, replace notice
    EXPECT_NE(messages[3].find(ascii + ": GBK"), std::string::npos);
    EXPECT_NE(messages[3].find("U+1F642"), std::string::npos);
    EXPECT_EQ(window->FindHistory(), (std::vector<std::string>{"表情😀", "x"}));
}

TEST_F(BatchRunWindowTest, UnreadableFileIsReportedWithItsPath) {
    files.Write("a.txt", "x\n");
    const std::string gone = files.Write("b.txt", "x\n");
    auto window = MakeWindow();
    AddAndTick(*window, files.Path(), ".txt");
    std::filesystem::remove(gone);
    window->cb1->setCurrentText("x");
    window->Button2->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind(gone + ": ", 0), 0u);
    EXPECT_EQ(window->TreeModel().rowCount(), 1);
    EXPECT_TRUE(window->Button2->isEnabled());
}

TEST_F(BatchRunWindowTest, StopEndsARunOnAGeneratedTree) {
    std::string lines;
    for (int i = 0; i < 2000; ++i)
        lines += "static int value" + std::to_string(i) + ";\n";
    for (int file = 0; file < 100; ++file)
        files.Write("src/f" + std::to_string(file) + ".txt", lines);
    auto window = MakeWindow();
    AddAndTick(*window, files.Path(), ".txt");
    window->Pump().SetInterval({});
    window->cb1->setCurrentText("static");
    bool startDisabled = false;
    // Worker threads may still be reading when the first slices pass: stop
    // once hits have reached the tree.
    AtSlice stopper([&] { return window->Tree().NodeCount() > 0; },
                    [&] {
                        startDisabled =
                            !window->Button2->isEnabled() && !window->Button3->isEnabled();
                        window->Button4->click();
                    });
    window->Button2->click();
    EXPECT_TRUE(startDisabled);
    EXPECT_LT(window->Tree().FileNodeCount(), 100u);
    EXPECT_GT(window->Tree().NodeCount(), 0u);
    EXPECT_EQ(window->TreeModel().rowCount(), static_cast<int>(window->Tree().FileNodeCount()));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "查找完毕");
    EXPECT_TRUE(window->Button2->isEnabled());
}

TEST_F(BatchRunWindowTest, ClosingTheWindowStopsTheRun) {
    std::string lines;
    for (int i = 0; i < 2000; ++i)
        lines += "static int value;\n";
    for (int file = 0; file < 50; ++file)
        files.Write("f" + std::to_string(file) + ".txt", lines);
    auto window = MakeWindow();
    AddAndTick(*window, files.Path(), ".txt");
    window->Pump().SetInterval({});
    window->cb1->setCurrentText("static");
    AtSlice closer(1, [&] { window->close(); });
    window->Button2->click();
    EXPECT_LT(window->Tree().FileNodeCount(), 50u);
    EXPECT_FALSE(window->isVisible());
    EXPECT_NE(TestFolder::Read(settings / "kelvara.ini").find("0.vvalue=static"),
              std::string::npos);
}

TEST_F(BatchRunWindowTest, ReplaceAsksAndRewritesOnlyWhenAnsweredYes) {
    const std::string a = files.Write("a.txt", "one two\r\ntwo\n");
    const std::string b = files.Write("b.txt", "none\n");
    auto window = MakeWindow();
    AddAndTick(*window, files.Path(), ".txt");
    window->cb1->setCurrentText("two");
    window->cb4->setCurrentText("2");

    answer = kIdNo;
    window->Button3->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "确定要替换吗？");
    EXPECT_EQ(TestFolder::Read(a), "one two\r\ntwo\n");
    EXPECT_TRUE(window->FindHistory().empty());

    answer = kIdYes;
    window->Button3->click();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2], "替换完毕");
    EXPECT_EQ(TestFolder::Read(a), "one 2\r\n2\n");
    EXPECT_EQ(TestFolder::Read(b), "none\n");
    EXPECT_EQ(window->TreeModel().rowCount(), 2); // a replace keeps every file read
    EXPECT_EQ(window->cb4->count(), 1);
}

// A large result keeps the rows the view lays out few: only the file node of
// the latest hit is expanded, and the others open as the user steps into
// them or expands them all.
TEST_F(BatchRunWindowTest, ALargeResultShowsOnlyTheLatestHitsFileExpanded) {
    std::string lines;
    for (int i = 0; i < 10001; ++i)
        lines += "k\n";
    files.Write("a.txt", lines);
    files.Write("b.txt", "none\n");
    const std::string c = files.Write("c.txt", lines);
    auto window = MakeWindow();
    FakeFrame frame;
    window->SetFrame(&frame);
    AddAndTick(*window, files.Path(), ".txt");
    window->cb1->setCurrentText("k");
    window->Button2->click();

    const QAbstractItemModel& model = window->TreeModel();
    ASSERT_EQ(model.rowCount(), 2);
    const QModelIndex aIndex = model.index(0, 0);
    const QModelIndex cIndex = model.index(1, 0);
    EXPECT_FALSE(window->tv1->isExpanded(aIndex));
    EXPECT_TRUE(window->tv1->isExpanded(cIndex));
    EXPECT_EQ(window->tv1->currentIndex(), model.index(10000, 0, cIndex));
    EXPECT_EQ(window->Panel2->text().toStdString(), c);
    EXPECT_EQ(window->Label8->text(), QString::fromUtf8("文件 2 个，找到 20002 处"));

    // F3 with no node selected opens the first hit, which shows.
    window->tv1->setCurrentIndex({});
    window->StepHit(true);
    EXPECT_EQ(window->tv1->currentIndex(), model.index(0, 0, aIndex));
    EXPECT_TRUE(window->tv1->isExpanded(aIndex));
    window->tv1->collapseAll();
    window->tv1->ExpandAllFiles();
    EXPECT_TRUE(window->tv1->isExpanded(aIndex));
    EXPECT_TRUE(window->tv1->isExpanded(cIndex));

    // A small result after it is shown whole again.
    window->cb1->setCurrentText("none");
    window->Button2->click();
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_TRUE(window->tv1->isExpanded(model.index(0, 0)));
}

TEST_F(BatchRunWindowTest, F3StepsThroughTheHitsAndOpensThem) {
    const std::string a = files.Write("a.txt", "key\nkey key\n");
    const std::string b = files.Write("b.txt", "no\nkey\n");
    auto window = MakeWindow();
    FakeFrame frame;
    window->SetFrame(&frame);
    AddAndTick(*window, files.Path(), ".txt");
    window->cb1->setCurrentText("key");
    window->Button2->click();
    window->tv1->setCurrentIndex({});
    window->StepHit(true);
    window->StepHit(true);
    window->StepHit(true);
    window->StepHit(true);
    EXPECT_EQ(frame.opened, (std::vector<std::string>{a, a, a, b}));
    EXPECT_EQ(frame.SelStart(a), 9);
    EXPECT_EQ(frame.SelStart(b), 4);
    window->StepHit(true);              // after the last hit: stays
    frame.documents[b]->stepper(false); // F3 in the document opened last
    EXPECT_EQ(frame.opened.back(), a);
    EXPECT_EQ(frame.SelStart(a), 9);

    // Enter on a hit node opens it; on a file node it does nothing.
    ResultTreeModel& model = window->TreeModel();
    window->tv1->setCurrentIndex(model.index(0, 0, model.index(0, 0)));
    QTest::keyClick(window->tv1, Qt::Key_Return);
    EXPECT_EQ(frame.opened.size(), 6u);
    EXPECT_EQ(frame.SelStart(a), 0);
    window->tv1->setCurrentIndex(model.index(1, 0));
    QTest::keyClick(window->tv1, Qt::Key_Return);
    EXPECT_EQ(frame.opened.size(), 6u);
}

} // namespace
} // namespace kelvara::test
