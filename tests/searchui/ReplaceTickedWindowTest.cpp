#include <QComboBox>
#include <QPushButton>
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

} // namespace
} // namespace kelvara::test
