#include "search/ResultTree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvara {
namespace {

// Logs every notification as one character: + appending, a appended,
// - removing, r removed, [ resetting, ] reset, s selection changed.
struct LoggingListener : ResultTreeListener {
    std::string log;
    void NodeAppending(NodeRef) override { log += '+'; }
    void NodeAppended(NodeRef) override { log += 'a'; }
    void NodeRemoving(NodeRef) override { log += '-'; }
    void NodeRemoved(NodeRef) override { log += 'r'; }
    void TreeResetting() override { log += '['; }
    void TreeReset() override { log += ']'; }
    void SelectionChanged(NodeRef) override { log += 's'; }
};

// The captions in display order.
std::vector<std::string> Walk(const ResultTree& tree) {
    std::vector<std::string> names;
    for (NodeRef node = tree.First(); node.IsValid(); node = tree.Next(node))
        names.push_back(tree.Caption(node));
    return names;
}

// Files named by their number, each with `hits[i]` replace-style hits.
ResultTree MakeTree(const std::vector<int>& hits) {
    ResultTree tree;
    for (std::size_t i = 0; i < hits.size(); ++i) {
        const std::string path = "f" + std::to_string(i);
        const NodeRef file = tree.AppendFileNode(path, "s", CodePage::Utf8);
        for (int h = 0; h < hits[i]; ++h)
            tree.AppendChild(file, path + "." + std::to_string(h), {path, 1, h + 1, "s"});
    }
    return tree;
}

TEST(ResultTree, KeepsTwoLevelsInDisplayOrder) {
    ResultTree tree = MakeTree({2, 0, 1});
    EXPECT_EQ(Walk(tree), (std::vector<std::string>{"f0", "f0.0", "f0.1", "f1", "f2", "f2.0"}));
    EXPECT_EQ(tree.NodeCount(), 6u);
    EXPECT_EQ(tree.FileNodeCount(), 3u);
    EXPECT_EQ(tree.ChildCount({2}), 1u);
    EXPECT_TRUE(NodeRef({0}).IsFileNode());
    EXPECT_TRUE(NodeRef({0, 1}).IsHitNode());
    EXPECT_EQ(tree.FileNodeOf({2, 0}), NodeRef({2}));
    EXPECT_EQ(tree.Record({0}).Line, 0);
    EXPECT_EQ(tree.Record({0, 1}).Column, 2);
    EXPECT_EQ(ResultTree().First(), NodeRef{});
}

TEST(ResultTree, RecordsCutLongTextsButCaptionsKeepThemWhole) {
    ResultTree tree;
    const std::string path = "/" + std::string(257, 'p');
    const std::string search(300, 's');
    const NodeRef file = tree.AppendFileNode(path, search, CodePage::Utf8);
    const NodeRef hit = tree.AppendFindHit(file, {path, 7, 9, search});
    EXPECT_EQ(tree.Caption(file), path);
    EXPECT_EQ(tree.Record(file).FileName, path.substr(0, 255));
    EXPECT_EQ(tree.Record(hit).FileName, path.substr(0, 255));
    EXPECT_EQ(tree.Record(hit).SearchText, search.substr(0, 255));
    EXPECT_EQ(tree.Caption(hit), "被找字：" + search + " 在: 行： 7 列: 9");
    // A hit may name another path or search text than its file node.
    const NodeRef other = tree.AppendFindHit(file, {"/x", 1, 1, "t"});
    EXPECT_EQ(tree.Record(other).FileName, "/x");
    EXPECT_EQ(tree.Record(other).SearchText, "t");
    EXPECT_EQ(tree.Record(hit).FileName, path.substr(0, 255));
}

TEST(ResultTree, DeleteAndPruneKeepTheSelectionOnItsNode) {
    ResultTree tree = MakeTree({1, 3, 0});
    tree.Select({1, 2});
    tree.Delete({1, 0});
    EXPECT_EQ(tree.Selected(), NodeRef({1, 1}));
    tree.Delete({0});
    EXPECT_EQ(tree.Selected(), NodeRef({0, 1}));
    EXPECT_EQ(Walk(tree), (std::vector<std::string>{"f1", "f1.1", "f1.2", "f2"}));
    EXPECT_EQ(tree.NodeCount(), 4u);
    tree.Delete({0, 1});
    EXPECT_EQ(tree.Selected(), NodeRef{});

    tree = MakeTree({0, 2, 0, 0, 1, 0});
    tree.Select({4, 0});
    EXPECT_EQ(tree.PruneChildlessFileNodes(), 4u);
    EXPECT_EQ(Walk(tree), (std::vector<std::string>{"f1", "f1.0", "f1.1", "f4", "f4.0"}));
    EXPECT_EQ(tree.Selected(), NodeRef({1, 0}));
    EXPECT_EQ(tree.NodeCount(), 5u);
    tree.Select({0});
    tree.Delete({0});
    EXPECT_EQ(tree.Selected(), NodeRef{});
    EXPECT_EQ(tree.NodeCount(), 2u);

    tree = MakeTree({0, 0});
    tree.Select({1});
    EXPECT_EQ(tree.PruneChildlessFileNodes(), 2u);
    EXPECT_EQ(tree.NodeCount(), 0u);
    EXPECT_EQ(tree.Selected(), NodeRef{});
    tree.Clear();
    EXPECT_EQ(tree.First(), NodeRef{});
}

TEST(ResultTree, TicksAndIdentitiesStayWithTheirFileNodes) {
    ResultTree tree = MakeTree({0, 2, 0, 3});
    const FileIdentity read{1, 2, 3, 4, 5};
    tree.SetIdentity({1}, read);
    tree.SetTicked({1, 0}, false);
    tree.SetTicked({3}, false);
    tree.SetTicked({3, 2}, true);
    EXPECT_EQ(tree.PruneChildlessFileNodes(), 2u);
    EXPECT_EQ(tree.Identity({0}), read);
    EXPECT_EQ(tree.Ticks({0}), TickState::Partial);
    EXPECT_EQ(tree.Ticks({0, 0}), TickState::Unticked);
    EXPECT_EQ(tree.Ticks({0, 1}), TickState::Ticked);
    EXPECT_EQ(tree.Identity({1}), FileIdentity{}); // never given one
    EXPECT_EQ(tree.Ticks({1}), TickState::Partial);
    tree.Delete({1, 2});
    EXPECT_EQ(tree.Ticks({1}), TickState::Unticked);
    tree.SetTicked({1}, true);
    EXPECT_EQ(tree.Ticks({1, 1}), TickState::Ticked);
    // A hit appended after an untick comes ticked, also into room made for it.
    tree.AppendChild({0}, "late", {"f1", 2, 1, "s"});
    EXPECT_EQ(tree.Ticks({0, 2}), TickState::Ticked);
    EXPECT_EQ(tree.Ticks({0}), TickState::Partial);
    tree.ReserveHits({0}, 3);
    for (int h = 0; h < 3; ++h)
        tree.AppendChild({0}, "reserved", {"f1", 3, h + 1, "s"});
    EXPECT_EQ(tree.ChildCount({0}), 6u);
    EXPECT_EQ(tree.Ticks({0, 0}), TickState::Unticked);
    EXPECT_EQ(tree.Ticks({0, 5}), TickState::Ticked);
    tree.SetTicked({0, 5}, false);
    EXPECT_EQ(tree.Ticks({0, 4}), TickState::Ticked);
    EXPECT_EQ(tree.Ticks({0, 5}), TickState::Unticked);
}

TEST(ResultTree, TellsTheListenerAboutEveryChange) {
    ResultTree tree;
    LoggingListener listener;
    tree.SetListener(&listener);
    const NodeRef file = tree.AppendFileNode("a", "s", CodePage::Utf8);
    tree.AppendChild(file, "line", {"a", 1, 0, "s"});
    tree.AppendFileNode("b", "s", CodePage::Utf8);
    tree.Delete({0, 0});
    tree.PruneChildlessFileNodes();
    tree.Clear();
    EXPECT_EQ(listener.log, "+as+as+as-r[][]");
    tree.SetListener(nullptr);
    tree.AppendFileNode("c", "s", CodePage::Utf8);
    EXPECT_EQ(listener.log.size(), 15u);
}

} // namespace
} // namespace kelvara
