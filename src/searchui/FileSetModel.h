#pragma once

#include <QAbstractListModel>
#include <QSize>

#include "search/FileSet.h"

namespace kelvara {

// The check list `clbfile` as a model over the file set: one row per entry,
// checkable. The set grows by itself during a folder walk; the rows follow
// once per yield slice (ShowAdded), so a walk through tens of thousands of
// files costs the view one insertion per slice, not one per file.
class FileSetModel : public QAbstractListModel {
    Q_OBJECT

public:
    explicit FileSetModel(FileSet& set, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Shows the entries appended since the last call; false when there were none.
    bool ShowAdded();
    // The size of every row: its width is how far the list scrolls sideways.
    void SetRowSize(QSize size) { rowSize_ = size; }
    // Repaints the check marks after a command changed them.
    void MarksChanged();
    // Shows the set anew after entries were removed.
    void Reload();

private:
    FileSet& set_;
    int shown_ = 0;
    QSize rowSize_;
};

} // namespace kelvara
