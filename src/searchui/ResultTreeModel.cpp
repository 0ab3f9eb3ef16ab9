#include "searchui/ResultTreeModel.h"

#include <algorithm>

#include "searchui/UiText.h"

namespace kelvara {

namespace {

// An index's internal id: 0 for a file node, file index + 1 for a hit node.
constexpr quintptr kFileNodeId = 0;

} // namespace

ResultTreeModel::ResultTreeModel(ResultTree& tree, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree) {
    ShowAll();
    tree_.SetListener(this);
}

ResultTreeModel::~ResultTreeModel() { tree_.SetListener(nullptr); }

QModelIndex ResultTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0) return {};
    if (!parent.isValid()) {
        if (static_cast<std::size_t>(row) >= shownHits_.size()) return {};
        return createIndex(row, 0, kFileNodeId);
    }
    if (parent.internalId() != kFileNodeId) return {};
    const auto file = static_cast<std::size_t>(parent.row());
    if (file >= shownHits_.size() || static_cast<std::uint32_t>(row) >= shownHits_[file]) return {};
    return createIndex(row, 0, static_cast<quintptr>(file) + 1);
}

QModelIndex ResultTreeModel::parent(const QModelIndex& index) const {
    if (!index.isValid() || index.internalId() == kFileNodeId) return {};
    return createIndex(static_cast<int>(index.internalId() - 1), 0, kFileNodeId);
}

int ResultTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return static_cast<int>(shownHits_.size());
    if (parent.internalId() != kFileNodeId) return 0;
    return static_cast<int>(shownHits_[static_cast<std::size_t>(parent.row())]);
}

int ResultTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool ResultTreeModel::hasChildren(const QModelIndex& parent) const { return rowCount(parent) > 0; }

QVariant ResultTreeModel::data(const QModelIndex& index, int role) const {
    const NodeRef node = NodeAt(index);
    if (!node.IsValid()) return {};
    if (role == Qt::CheckStateRole && tickable_) {
        switch (tree_.Ticks(node)) {
        case TickState::Ticked:
            return Qt::Checked;
        case TickState::Partial:
            return Qt::PartiallyChecked;
        case TickState::Unticked:
            return Qt::Unchecked;
        }
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    if (node.IsFileNode()) return PathToQt(tree_.Caption(node));
    return TextToQt(tree_.Caption(node), tree_.CodePageOf(node));
}

Qt::ItemFlags ResultTreeModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractItemModel::flags(index);
    if (tickable_ && index.isValid()) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool ResultTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const NodeRef node = NodeAt(index);
    if (role != Qt::CheckStateRole || !tickable_ || !node.IsValid()) return false;
    tree_.SetTicked(node, value.toInt() == Qt::Checked);
    // The file node shows its hits' ticks; a file node's hits follow it.
    const QModelIndex fileIndex = IndexOf(tree_.FileNodeOf(node));
    const QList<int> roles{Qt::CheckStateRole};
    emit dataChanged(fileIndex, fileIndex, roles);
    const int hits = rowCount(fileIndex);
    if (node.IsFileNode() && hits > 0)
        emit dataChanged(this->index(0, 0, fileIndex), this->index(hits - 1, 0, fileIndex), roles);
    if (node.IsHitNode()) emit dataChanged(index, index, roles);
    return true;
}

void ResultTreeModel::SetTickable(bool tickable) {
    if (tickable_ == tickable) return;
    // A layout change keeps what the view has expanded and selected.
    emit layoutAboutToBeChanged();
    tickable_ = tickable;
    emit layoutChanged();
}

NodeRef ResultTreeModel::NodeAt(const QModelIndex& index) const {
    if (!index.isValid()) return {};
    const auto row = static_cast<std::uint32_t>(index.row());
    if (index.internalId() == kFileNodeId) return {row, NodeRef::kNone};
    return {static_cast<std::uint32_t>(index.internalId() - 1), row};
}

QModelIndex ResultTreeModel::IndexOf(NodeRef node) const {
    if (!node.IsValid() || node.file >= shownHits_.size()) return {};
    if (node.IsFileNode()) return createIndex(static_cast<int>(node.file), 0, kFileNodeId);
    if (node.hit >= shownHits_[node.file]) return {};
    return createIndex(static_cast<int>(node.hit), 0, static_cast<quintptr>(node.file) + 1);
}

bool ResultTreeModel::ShowAdded() {
    if (dirtyFrom_ == NodeRef::kNone) return false;
    const auto shownFiles = static_cast<std::uint32_t>(shownHits_.size());
    for (std::uint32_t file = dirtyFrom_; file < shownFiles; ++file) {
        const std::uint32_t count = tree_.ChildCount({file, NodeRef::kNone});
        if (count <= shownHits_[file]) continue;
        beginInsertRows(createIndex(static_cast<int>(file), 0, kFileNodeId),
                        static_cast<int>(shownHits_[file]), static_cast<int>(count - 1));
        shownHits_[file] = count;
        endInsertRows();
    }
    const std::uint32_t files = tree_.FileNodeCount();
    if (files > shownFiles) {
        beginInsertRows({}, static_cast<int>(shownFiles), static_cast<int>(files - 1));
        for (std::uint32_t file = shownFiles; file < files; ++file)
            shownHits_.push_back(tree_.ChildCount({file, NodeRef::kNone}));
        endInsertRows();
    }
    dirtyFrom_ = NodeRef::kNone;
    return true;
}

void ResultTreeModel::NodeAppending(NodeRef node) { dirtyFrom_ = std::min(dirtyFrom_, node.file); }

void ResultTreeModel::NodeRemoving(NodeRef node) {
    // A node the view was never shown goes without a word to it: a run drops
    // the node of each file without hits as the next one comes.
    removingUnshown_ = !IndexOf(node).isValid();
    if (removingUnshown_) return;
    ShowAdded();
    if (node.IsFileNode()) {
        beginRemoveRows({}, static_cast<int>(node.file), static_cast<int>(node.file));
    } else {
        beginRemoveRows(IndexOf({node.file, NodeRef::kNone}), static_cast<int>(node.hit),
                        static_cast<int>(node.hit));
    }
}

void ResultTreeModel::NodeRemoved(NodeRef node) {
    if (removingUnshown_) return;
    if (node.IsFileNode())
        shownHits_.erase(shownHits_.begin() + node.file);
    else
        --shownHits_[node.file];
    endRemoveRows();
}

void ResultTreeModel::TreeResetting() { beginResetModel(); }

void ResultTreeModel::TreeReset() {
    ShowAll();
    endResetModel();
}

void ResultTreeModel::ShowAll() {
    const std::uint32_t files = tree_.FileNodeCount();
    shownHits_.resize(files);
    for (std::uint32_t file = 0; file < files; ++file)
        shownHits_[file] = tree_.ChildCount({file, NodeRef::kNone});
    dirtyFrom_ = NodeRef::kNone;
}

} // namespace kelvara
