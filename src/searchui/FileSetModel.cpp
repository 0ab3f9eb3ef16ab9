#include "searchui/FileSetModel.h"

#include "searchui/UiText.h"

namespace kelvara {

FileSetModel::FileSetModel(FileSet& set, QObject* parent)
    : QAbstractListModel(parent), set_(set), shown_(static_cast<int>(set.Count())) {}

int FileSetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

QVariant FileSetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= shown_) return {};
    const FileSetEntry& entry = set_.Entry(static_cast<std::size_t>(index.row()));
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return PathToQt(entry.path);
    case Qt::SizeHintRole:
        return rowSize_.isValid() ? QVariant(rowSize_) : QVariant();
    case Qt::CheckStateRole:
        return entry.ticked ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

Qt::ItemFlags FileSetModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

bool FileSetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || index.row() >= shown_) return false;
    set_.SetTicked(static_cast<std::size_t>(index.row()),
                   value.value<Qt::CheckState>() == Qt::Checked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

bool FileSetModel::ShowAdded() {
    const int count = static_cast<int>(set_.Count());
    if (count <= shown_) return false;
    beginInsertRows({}, shown_, count - 1);
    shown_ = count;
    endInsertRows();
    return true;
}

void FileSetModel::MarksChanged() {
    if (shown_ > 0) emit dataChanged(index(0), index(shown_ - 1), {Qt::CheckStateRole});
}

void FileSetModel::Reload() {
    beginResetModel();
    shown_ = static_cast<int>(set_.Count());
    endResetModel();
}

} // namespace kelvara
