#include "searchui/ResultTreeView.h"

namespace kelvara {

void ResultTreeView::ExpandFilesFrom(int row) {
    QAbstractItemModel* items = model();
    if (items == nullptr) return;
    // While a layout is pending, expanding only records the index.
    scheduleDelayedItemsLayout();
    const int files = items->rowCount();
    for (int file = row; file < files; ++file) {
        const QModelIndex index = items->index(file, 0);
        if (items->hasChildren(index)) expand(index);
    }
    executeDelayedItemsLayout();
}

} // namespace kelvara
