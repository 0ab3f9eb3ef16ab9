#pragma once

#include <QTreeView>

namespace kelvara {

// The view of the result tree. Expanding file nodes goes through one layout
// of the view: QTreeView::expandAll stores every row it meets, hundreds of
// thousands of hit rows included, and takes minutes on a large result.
class ResultTreeView : public QTreeView {
    Q_OBJECT

public:
    using QTreeView::QTreeView;

    // Expands the file nodes that have hits.
    void ExpandAllFiles();
};

} // namespace kelvara
