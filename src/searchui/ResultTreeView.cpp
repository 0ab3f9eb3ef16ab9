#include "searchui/ResultTreeView.h"

namespace kelvara {

void ResultTreeView::ExpandAllFiles() {
    QAbstractItemModel* items = model();
    if (items == nullptr) return;
    // While a layout is pending, expanding only records the index.
    scheduleDelayedItemsLayout();
    const int files = items->rowCount();
    for (int file = 0; file < files; ++file) {
        const QModelIndex index = items->index(file, 0);
        if (items->hasChildren(index)) expand(index);
    }
    executeDelayedItemsLayout();
}

} // namespace kelvara
