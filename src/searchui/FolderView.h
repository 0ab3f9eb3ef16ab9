#pragma once

#include <QPersistentModelIndex>
#include <QTreeView>

namespace kelvara {

// The folder list `dlb1`: a tree of folders over a file system model that
// reads folders in the background. The folder it is told to show is made
// current and selected, its parents are expanded, and it is kept in view
// while the model fills in and sorts the rows around it, until the user
// scrolls, clicks or types in the list.
class FolderView : public QTreeView {
    Q_OBJECT

public:
    explicit FolderView(QWidget* parent = nullptr);

    void ShowFolder(const QModelIndex& folder);
    void doItemsLayout() override;

protected:
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPersistentModelIndex shown_;
};

} // namespace kelvara
