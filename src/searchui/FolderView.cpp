#include "searchui/FolderView.h"

#include <QEvent>
#include <QScrollBar>

namespace kelvara {

FolderView::FolderView(QWidget* parent) : QTreeView(parent) {
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this] { shown_ = QPersistentModelIndex(); });
}

// The root folder is the list itself: nothing to select there.
void FolderView::ShowFolder(const QModelIndex& folder) {
    shown_ = folder == rootIndex() ? QModelIndex() : folder;
    if (!shown_.isValid()) return;
    if (currentIndex() != folder) setCurrentIndex(folder);
    scrollTo(folder);
}

// Rows read or sorted above the folder move it down, each time through a
// new layout.
void FolderView::doItemsLayout() {
    QTreeView::doItemsLayout();
    if (shown_.isValid()) scrollTo(shown_);
}

bool FolderView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel)
        shown_ = QPersistentModelIndex();
    return QTreeView::viewportEvent(event);
}

void FolderView::keyPressEvent(QKeyEvent* event) {
    shown_ = QPersistentModelIndex();
    QTreeView::keyPressEvent(event);
}

} // namespace kelvara
