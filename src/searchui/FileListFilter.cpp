#include "searchui/FileListFilter.h"

#include <QFileSystemModel>

namespace kelvara {

FileListFilter::FileListFilter(QFileSystemModel& files, QObject* parent)
    : QSortFilterProxyModel(parent), files_(files) {
    setSourceModel(&files_);
}

QModelIndex FileListFilter::SetFolder(const QString& folder) {
    folder_ = files_.setRootPath(folder);
    invalidateRowsFilter();
    return mapFromSource(folder_);
}

QString FileListFilter::FileName(const QModelIndex& index) const {
    return files_.fileName(mapToSource(index));
}

// The folders above the shown one stay, so that it has an index in the list.
bool FileListFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (sourceParent != folder_) return true;
    return !files_.isDir(files_.index(sourceRow, 0, sourceParent));
}

} // namespace kelvara
