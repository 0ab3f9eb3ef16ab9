#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QTreeView>

#include "platform/FileDialogs.h"
#include "searchui/ResultTreeModel.h"
#include "searchui/WindowFixture.h"

namespace kelvara::test {
namespace {

// The save dialog answers with one name.
class SaveAs : public FileDialogProvider {
public:
    explicit SaveAs(QString name) : name_(std::move(name)) {}
    QStringList OpenFileNames(QWidget*, const QString&) override { return {}; }
    QString SaveFileName(QWidget*, const QString&, const QString&) override { return name_; }

private:
    QString name_;
};

class ExportWindowTest : public WindowTest {
protected:
    ExportWindowTest() {
        a = files.Write("a.txt", "one cat\n  cat, \"x\" cat\n");
        b = files.Write("b.txt", "nothing\ncat\n");
        window = MakeWindow();
        AddAndTick(*window, files.Path(), ".txt");
        window->cb1->setCurrentText("cat");
        window->Button2->click();
    }
    ~ExportWindowTest() override { SetFileDialogs(nullptr); }

    std::string ExportTo(const std::string& name) {
        SetFileDialogs(std::make_unique<SaveAs>(QString::fromStdString(settings / name)));
        window->ButtonExport->click();
        return TestFolder::Read(settings / name);
    }

    std::string a, b;
    std::unique_ptr<Tfrmfindtree> window;
};

TEST_F(ExportWindowTest, ExportWritesTheFormatTheNameAsksFor) {
    EXPECT_EQ(ExportTo("r.txt"), a + ":1:5:one cat\n" + a + ":2:3:  cat, \"x\" cat\n" + a +
                                     ":2:12:  cat, \"x\" cat\n" + b + ":2:1:cat\n");
    EXPECT_EQ(ExportTo("r.CSV"), "path,line,column,text\r\n" + a + ",1,5,one cat\r\n" + a +
                                     ",2,3,\"  cat, \"\"x\"\" cat\"\r\n" + a +
                                     ",2,12,\"  cat, \"\"x\"\" cat\"\r\n" + b + ",2,1,cat\r\n");
    const std::string json = ExportTo("r.jsonl");
    EXPECT_EQ(std::count(json.begin(), json.end(), '\n'),
              2 + 4 + 2 + 1); // begin/end, hits, summary
    EXPECT_NE(json.find("\"submatches\":[{\"match\":{\"text\":\"cat\"},\"start\":11,\"end\":14}]"),
              std::string::npos);
    EXPECT_EQ(messages.size(), 1u); // the find's notice only

    // A file that cannot be written is named, and nothing else changes.
    SetFileDialogs(std::make_unique<SaveAs>(QString::fromStdString(files / "no/such/r.txt")));
    window->ButtonExport->click();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[1].find("no/such/r.txt"), std::string::npos);
}

TEST_F(ExportWindowTest, CopyGivesTheSelectedNodesAsGrepLines) {
    ResultTreeModel& model = window->TreeModel();
    QItemSelectionModel* selection = window->tv1->selectionModel();
    const QModelIndex fileA = model.index(0, 0);
    selection->select(model.index(1, 0, fileA), QItemSelectionModel::Select);
    selection->select(model.index(1, 0), QItemSelectionModel::Select); // file b: all its hits
    window->CopySelection();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              a + ":2:3:  cat, \"x\" cat\n" + b + ":2:1:cat\n");
}

} // namespace
} // namespace kelvara::test
