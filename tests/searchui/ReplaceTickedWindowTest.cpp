#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include "searchui/FakeFrame.h"
#include "searchui/PreviewPane.h"
#include "searchui/ResultTreeModel.h"
#include "searchui/WindowFixture.h"

namespace kelvara::test {
namespace {

using ReplaceTickedWindowTest = WindowTest;

TEST_F(ReplaceTickedWindowTest, TicksPreviewReplaceTheTickedHitsAndUndo) {
    const std::string a = files.Write("a.txt", "cat cat\nno\n");
    const std::string b = files.Write("b.txt", "cat\n");
    auto window = MakeWindow();
    FakeFrame frame;
    window->SetFrame(&frame);
    AddAndTick(*window, files.Path(), ".txt");
    window->cb1->setCurrentText("cat");
    window->Button2->click();

    ResultTreeModel& model = window->TreeModel();
    ASSERT_EQ(model.rowCount(), 2);
    const QModelIndex fileA = model.index(0, 0);
    EXPECT_EQ(model.data(fileA, Qt::CheckStateRole).toInt(), Qt::Checked);
    // The view's click on the second hit's box.
    ASSERT_TRUE(model.setData(model.index(1, 0, fileA), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(model.data(fileA, Qt::CheckStateRole).toInt(), Qt::PartiallyChecked);

    // The preview follows the selection and the replacement as it is typed.
    window->cb4->setCurrentText("dog");
    window->tv1->setCurrentIndex(model.index(0, 0, fileA));
    EXPECT_TRUE(window->preview_->toPlainText().contains("+ dog cat"));
    window->cb4->setCurrentText("emu");
    EXPECT_TRUE(window->preview_->toPlainText().contains("+ emu cat"));

    answer = kIdYes;
    window->ButtonReplaceTicked->click();
    EXPECT_EQ(TestFolder::Read(a), "emu cat\nno\n");
    EXPECT_EQ(TestFolder::Read(b), "emu\n");
    EXPECT_EQ(frame.rewritten, (std::vector<std::string>{a, b}));
    EXPECT_FALSE(model.Tickable()); // the tree now lists what was written

    frame.rewritten.clear();
    window->ButtonUndo->click();
    EXPECT_EQ(TestFolder::Read(a), "cat cat\nno\n");
    EXPECT_EQ(TestFolder::Read(b), "cat\n");
    EXPECT_EQ(frame.rewritten.size(), 2u);
}

TEST_F(ReplaceTickedWindowTest, AReplaceOverAnOpenDocumentWithUnsavedChangesAsksFirst) {
    const std::string a = files.Write("a.txt", "cat\n");
    auto window = MakeWindow();
    FakeFrame frame;
    window->SetFrame(&frame);
    frame.ShowDocument(a)->SetModified(true);
    AddAndTick(*window, files.Path(), ".txt");
    window->cb1->setCurrentText("cat");
    window->cb4->setCurrentText("dog");
    answer = kIdNo;
    window->Button3->click();
    EXPECT_EQ(TestFolder::Read(a), "cat\n");
    ASSERT_FALSE(messages.empty());
    EXPECT_NE(messages[0].find(a), std::string::npos);
}

// While a find or a replace of the ticked hits runs, the tree follows it
// without opening file nodes: an open file node's rows would be laid out
// again at every slice that follows. At the end the file nodes with hits are
// open and the last hit is the current row.
TEST_F(ReplaceTickedWindowTest, TheTreeFollowsARunWithoutOpeningFileNodes) {
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        files.Write(name, "cat cat\nno\ncat\n");
    auto window = MakeWindow();
    AddAndTick(*window, files.Path(), ".txt");
    window->Pump().SetInterval(std::chrono::milliseconds(0)); // events at every line
    const ResultTreeModel& model = window->TreeModel();
    int slices = 0;
    int opened = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!window->Busy()) return;
        ++slices;
        for (int file = 0; file < model.rowCount(); ++file)
            opened += window->tv1->isExpanded(model.index(file, 0));
    });
    watch.start(0);
    const auto lastRowIsCurrent = [&] {
        const QModelIndex lastFile = model.index(model.rowCount() - 1, 0);
        return window->tv1->isExpanded(lastFile) &&
               window->tv1->currentIndex() ==
                   model.index(model.rowCount(lastFile) - 1, 0, lastFile);
    };

    window->cb1->setCurrentText("cat");
    window->Button2->click();
    EXPECT_GT(slices, 3);
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(lastRowIsCurrent());

    slices = 0;
    window->cb4->setCurrentText("dog");
    answer = kIdYes;
    window->ButtonReplaceTicked->click();
    EXPECT_EQ(TestFolder::Read(files / "c.txt"), "dog dog\nno\ndog\n");
    EXPECT_GT(slices, 3);
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(lastRowIsCurrent());
}

} // namespace
} // namespace kelvara::test
