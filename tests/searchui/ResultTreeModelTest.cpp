#include "searchui/ResultTreeModel.h"

#include <gtest/gtest.h>

#include "searchui/WindowFixture.h"

namespace kelvara::test {
namespace {

// A run drops the node of each file without hits as the next file's comes,
// mostly before the view was shown it: such a node goes without a word to
// the view, and the rows the view knows stay as they were.
TEST(ResultTreeModelTest, NodesTheViewWasNeverShownGoWithoutTellingIt) {
    EnsureApplication();
    ResultTree tree;
    ResultTreeModel model(tree);
    int removed = 0;
    QObject::connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, [&] { ++removed; });
    const NodeRef a = tree.AppendFileNode("a", "s", CodePage::Utf8);
    tree.AppendFindHit(a, {"a", 1, 1, "s"});
    EXPECT_TRUE(model.ShowAdded());

    tree.AppendFileNode("b", "s", CodePage::Utf8);
    tree.Delete({1});
    tree.AppendFindHit(a, {"a", 2, 1, "s"});
    tree.Delete({0, 1});
    EXPECT_EQ(removed, 0);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 1);
    model.ShowAdded();
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 1);

    // Shown nodes are removed from the view, also a shown one among unshown ones.
    tree.AppendFileNode("c", "s", CodePage::Utf8);
    model.ShowAdded();
    tree.AppendFindHit(a, {"a", 3, 1, "s"});
    tree.Delete({1});
    EXPECT_EQ(removed, 1);
    tree.Delete({0, 0});
    EXPECT_EQ(removed, 2);
    model.ShowAdded();
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 1);
    EXPECT_EQ(model.index(0, 0, model.index(0, 0)).data().toString(),
              QString::fromUtf8("被找字：s 在: 行： 3 列: 1"));
}

} // namespace
} // namespace kelvara::test
