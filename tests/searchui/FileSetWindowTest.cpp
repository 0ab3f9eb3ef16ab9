#include <QCheckBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QTreeView>

#include "searchui/FileSetModel.h"
#include "searchui/FolderView.h"
#include "searchui/WindowFixture.h"

namespace kelvara::test {
namespace {

using FileSetWindowTest = WindowTest;

// The folder list's current folder is `folder`, selected, with its parents
// expanded and its row inside the viewport.
bool FolderShown(Tfrmfindtree& window, const std::string& folder) {
    QTreeView& tree = *window.dlb1;
    const QModelIndex current = tree.currentIndex();
    const auto* model = static_cast<const QFileSystemModel*>(tree.model());
    if (!current.isValid() || model->filePath(current).toStdString() != folder) return false;
    if (!tree.selectionModel()->isSelected(current)) return false;
    for (QModelIndex parent = current.parent(); parent.isValid() && parent != tree.rootIndex();
         parent = parent.parent()) {
        if (!tree.isExpanded(parent)) return false;
    }
    return tree.viewport()->rect().contains(tree.visualRect(current));
}

// Waits until the folder list has listed `count` folders in `folder`, then
// lets it sort them.
void WaitForFolders(Tfrmfindtree& window, const std::string& folder, int count) {
    const auto* model = static_cast<const QFileSystemModel*>(window.dlb1->model());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return model->rowCount(model->index(QString::fromStdString(folder))) == count; },
        10000));
    QTest::qWait(200);
}

// The names the file list shows.
QStringList ListedFiles(Tfrmfindtree& window) {
    QStringList names;
    const QAbstractItemModel& model = *window.flb1->model();
    for (int row = 0; row < model.rowCount(window.flb1->rootIndex()); ++row)
        names << model.index(row, 0, window.flb1->rootIndex()).data().toString();
    names.sort();
    return names;
}

TEST_F(FileSetWindowTest, FolderTreeIsAddedAndTickedByExtension) {
    files.Write("a.txt", "x");
    files.Write("a.TXT", "x");
    files.Write("sub/b.pas", "x");
    files.Write(".svn/c.txt", "x");
    files.Write("z.htm", "x");
    TestFolder outside;
    std::filesystem::create_symlink(outside.Write("o.txt", "x"), files / "link.txt");
    auto window = MakeWindow();
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("查找并形成树结果"));
    EXPECT_EQ(window->cb3->count(), 3);
    EXPECT_EQ(window->cb3->currentText(), ".txt");

    AddAndTick(*window, files.Path(), ".txt");
    FileSetModel& model = window->FileModel();
    ASSERT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.index(0).data().toString().toStdString(), files / "a.TXT");
    EXPECT_EQ(model.index(2).data().toString().toStdString(), files / "sub/b.pas");
    EXPECT_EQ(window->Label5->text(), "4");
    EXPECT_EQ(window->Label3->text(), "1");
    EXPECT_TRUE(window->Panel2->text().startsWith(QString::fromUtf8("跳过 1 项")));
    EXPECT_TRUE(window->Panel2->toolTip().startsWith(QString::fromStdString(files / "link.txt")));
    EXPECT_EQ(model.index(1).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    EXPECT_EQ(model.index(0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);

    // A second walk adds nothing; the count keeps what the last walk added.
    window->Button6->click();
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(window->Label5->text(), "4");

    // A check box ticks one entry; the popup commands act on the marks.
    model.setData(model.index(3), Qt::Checked, Qt::CheckStateRole);
    EXPECT_TRUE(window->Files().Entry(3).ticked);
    window->N5Click(); // remove unticked
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.index(1).data().toString().toStdString(), files / "z.htm");
    window->N3Click(); // untick all
    EXPECT_EQ(window->Files().TickedPaths().size(), 0u);
    window->N4Click(); // remove ticked: nothing is ticked
    EXPECT_EQ(model.rowCount(), 2);
    window->N2Click();
    EXPECT_EQ(window->Files().TickedPaths().size(), 2u);
    window->N6Click();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(FileSetWindowTest, GlobFieldsChooseWhatAFolderWalkTakesAndKeepTheirHistories) {
    files.Write("a.c", "x");
    files.Write("b.h", "x");
    files.Write("vendor/c.c", "x");
    files.Write("build/d.c", "x");
    files.Write(".gitignore", "build/\n");
    {
        auto window = MakeWindow();
        window->cbInclude->setCurrentText("*.c; *.h");
        window->cbExclude->setCurrentText("vendor/**");
        window->chkIgnoreFiles->setChecked(true);
        window->AddDirectoryFiles(files.Path());
        EXPECT_EQ(window->Files().TickedPaths().size(), 0u);
        ASSERT_EQ(window->Files().Count(), 2u);
        EXPECT_EQ(window->Files().Entry(0).path, files / "a.c");
        EXPECT_EQ(window->Files().Entry(1).path, files / "b.h");
        EXPECT_EQ(window->cbExclude->count(), 1);

        // A glob that cannot be used is named and the walk does not start.
        window->Files().Clear();
        window->cbExclude->setCurrentText("[oops");
        window->AddDirectoryFiles(files.Path());
        EXPECT_EQ(window->Files().Count(), 0u);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find("[oops"), std::string::npos);
        window->close();
    }
    auto again = MakeWindow();
    EXPECT_EQ(again->IncludeHistory(), (std::vector<std::string>{"*.c; *.h"}));
    EXPECT_EQ(again->ExcludeHistory(), (std::vector<std::string>{"vendor/**"}));
}

TEST_F(FileSetWindowTest, VanishedFolderIsReportedAndAddsNothing) {
    auto window = MakeWindow();
    window->SetDirectory(files / "gone");
    window->Button6->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(files / "gone"), std::string::npos);
    EXPECT_EQ(window->FileModel().rowCount(), 0);
}

TEST_F(FileSetWindowTest, StopEndsTheWalkAndTheListFollowsIt) {
    for (int folder = 0; folder < 40; ++folder) {
        for (int file = 0; file < 50; ++file)
            files.Write("d" + std::to_string(folder) + "/f" + std::to_string(file) + ".txt", "");
    }
    auto window = MakeWindow();
    window->SetDirectory(files.Path());
    window->Pump().SetInterval({}); // every entry is a slice
    bool startDisabled = false;
    int shownDuringWalk = 0;
    AtSlice stopper(1, [&] {
        startDisabled = !window->Button2->isEnabled() && !window->Button6->isEnabled();
        shownDuringWalk = window->FileModel().rowCount();
        window->Button4->click();
    });
    window->Button6Click();
    EXPECT_TRUE(startDisabled);
    EXPECT_GT(shownDuringWalk, 0);
    EXPECT_LT(window->Files().Count(), 2000u);
    EXPECT_EQ(window->FileModel().rowCount(), static_cast<int>(window->Files().Count()));
    EXPECT_TRUE(window->Button6->isEnabled());
}

TEST_F(FileSetWindowTest, SelectedFilesOfTheFileListAreAddedAndFiltered) {
    files.Write("one.pas", "x");
    files.Write("two.txt", "x");
    auto window = MakeWindow();
    window->fcb1->setCurrentIndex(1); // All
    window->fcb1Change();
    window->SetDirectory(files.Path());
    QTRY_COMPARE(window->flb1->model()->rowCount(window->flb1->rootIndex()), 2);
    window->flb1->selectAll();
    window->cb3->setCurrentText(".pas");
    window->Button5->click();
    ASSERT_EQ(window->Files().Count(), 2u);
    EXPECT_EQ(window->Files().Entry(0).path, files / "one.pas");
    EXPECT_EQ(window->Files().TickedPaths(), std::vector<std::string>{files / "one.pas"});
    EXPECT_EQ(window->Label5->text(), "2");
    EXPECT_TRUE(window->Label3->text().isEmpty());
}

TEST_F(FileSetWindowTest, FolderListShowsItsCurrentFolder) {
    // Siblings listed before the folder push it below the first screen once
    // the list has read them.
    for (int i = 0; i < 60; ++i)
        files.Write("deep/a" + std::to_string(100 + i) + "/x.txt", "x");
    const std::string remembered = files / "deep/z/folder";
    files.Write("deep/z/folder/x.txt", "x");
    settings.Write("kelvara.ini", "[dlb1]\npath=" + remembered + "\n");
    auto window = MakeWindow();
    EXPECT_EQ(window->Directory(), remembered);
    WaitForFolders(*window, files / "deep", 61);
    EXPECT_TRUE(FolderShown(*window, remembered));

    window->SetDirectory(files / "deep/a130");
    EXPECT_TRUE(QTest::qWaitFor([&] { return FolderShown(*window, files / "deep/a130"); }, 10000));
}

TEST_F(FileSetWindowTest, FileListShowsOnlyFilesMatchingTheMaskExactly) {
    files.Write("a.txt", "x");
    files.Write("e.TXT", "x");
    files.Write("b.pas", "x");
    files.Write("sub.txt/inner.txt", "x");
    std::filesystem::create_symlink(files / "sub.txt", files / "folderlink.txt");
    std::filesystem::create_symlink(files / "a.txt", files / "filelink.txt");
    auto window = MakeWindow();
    window->fcb1->setCurrentIndex(0); // Text: *.txt
    window->fcb1Change();
    // Walking down and back up makes the folders on the way known to the list.
    window->SetDirectory(files / "sub.txt");
    window->SetDirectory(files.Path());
    const QStringList expected{"a.txt", "filelink.txt"};
    EXPECT_TRUE(QTest::qWaitFor([&] { return ListedFiles(*window) == expected; }, 10000))
        << ListedFiles(*window).join(' ').toStdString();

    window->flb1->selectAll();
    window->Button5->click();
    EXPECT_EQ(window->Files().Count(), 2u);
    window->cb1->setCurrentText("x");
    window->Button2->click();
    EXPECT_EQ(messages, std::vector<std::string>{"查找完毕"});
}

TEST_F(FileSetWindowTest, SettingsRoundTripKeepsOtherSections) {
    const std::string ini = settings.Write("kelvara.ini", "[options]\ncodepage=65001\n");
    files.Write("a.txt", "alpha beta\n");
    {
        auto window = MakeWindow();
        AddAndTick(*window, files.Path(), ".txt");
        window->cb1->setCurrentText("alpha");
        window->Button2->click();
        window->cb1->setCurrentText("beta");
        window->Button2->click();
        window->cb1->setCurrentText("ALPHA"); // the same text in other letters
        window->Button2->click();
        window->close();
    }
    const std::string written = TestFolder::Read(ini);
    EXPECT_NE(written.find("codepage=65001"), std::string::npos);
    EXPECT_NE(written.find("count=2"), std::string::npos);
    EXPECT_NE(written.find("path=" + files.Path()), std::string::npos);

    auto next = MakeWindow();
    ASSERT_EQ(next->cb1->count(), 2);
    EXPECT_EQ(next->cb1->itemText(0), "alpha");
    EXPECT_EQ(next->cb1->itemText(1), "beta");
    EXPECT_EQ(next->Directory(), files.Path());
}

} // namespace
} // namespace kelvara::test
