#pragma once

#include <cstdint>
#include <vector>

#include <QAbstractItemModel>

#include "search/ResultTree.h"

namespace kelvara {

// The result tree `tv1` as a model that reads the core result tree directly:
// no item per hit. During a run the tree grows on every hit; the model only
// notes where, and shows the new rows once per yield slice (ShowAdded), so a
// million hits cost the view a few hundred insertions. Removals and resets
// are passed on at once.
class ResultTreeModel : public QAbstractItemModel, private ResultTreeListener {
    Q_OBJECT

public:
    explicit ResultTreeModel(ResultTree& tree, QObject* parent = nullptr);
    ~ResultTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Ticks a node (Qt::CheckStateRole), a file node with all its hits.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Whether the nodes show their ticks: after a find, for "替换所选".
    void SetTickable(bool tickable);
    bool Tickable() const noexcept { return tickable_; }

    // The tree's node at an index (invalid for an invalid index) and back.
    NodeRef NodeAt(const QModelIndex& index) const;
    QModelIndex IndexOf(NodeRef node) const;

    // Shows the nodes appended since the last call; false when there were none.
    bool ShowAdded();

private:
    void NodeAppending(NodeRef node) override;
    void NodeAppended(NodeRef) override {}
    void NodeRemoving(NodeRef node) override;
    void NodeRemoved(NodeRef node) override;
    void TreeResetting() override;
    void TreeReset() override;
    void SelectionChanged(NodeRef) override {}
    void ShowAll();

    ResultTree& tree_;
    // The rows the view knows: hit rows per shown file node.
    std::vector<std::uint32_t> shownHits_;
    // The first file node that got a node the view does not know yet.
    std::uint32_t dirtyFrom_ = NodeRef::kNone;
    bool removingUnshown_ = false; // the node being removed is not in the view
    bool tickable_ = false;
};

} // namespace kelvara
