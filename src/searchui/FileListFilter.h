#pragma once

#include <QPersistentModelIndex>
#include <QSortFilterProxyModel>

class QFileSystemModel;

namespace kelvara {

// The file list `flb1` over a file system model: the files of one folder,
// without its folders and links to folders. The model alone would list the
// folders it met on the way to another folder shown before, whatever its
// filter, and adding one of them to the file set would end every later run
// with "Is a directory".
class FileListFilter : public QSortFilterProxyModel {
    Q_OBJECT

public:
    FileListFilter(QFileSystemModel& files, QObject* parent = nullptr);

    // Shows the files of `folder` (a path); returns the list's root index.
    QModelIndex SetFolder(const QString& folder);
    // The file name at a row of the list.
    QString FileName(const QModelIndex& index) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QFileSystemModel& files_;
    QPersistentModelIndex folder_;
};

} // namespace kelvara
