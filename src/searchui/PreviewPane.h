#pragma once

#include <QTextEdit>

#include "search/ReplacePreview.h"

namespace kelvara {

// The pane under the result tree that shows what a replace would do: a hit's
// line before and after, or a file's change as a diff, with what goes out
// and what comes in marked. Read-only; it draws a Preview made by the core.
class PreviewPane : public QTextEdit {
    Q_OBJECT

public:
    explicit PreviewPane(QWidget* parent = nullptr);

    void Show(const Preview& preview);
};

} // namespace kelvara
