#include "editor/MemoComponent.h"

namespace kelvara {

int TMemoComponent::EMCanUndo(int which) const {
    return (which == 1 ? redo_ : undo_).Empty() ? 0 : 1;
}

UndoRecord TMemoComponent::PopUndo() { return undo_.Empty() ? UndoRecord{} : undo_.Pop(); }

UndoRecord TMemoComponent::PopRedo() { return redo_.Empty() ? UndoRecord{} : redo_.Pop(); }

void TMemoComponent::EMUndo(int which) {
    EndDrag(); // recorded first, so that it is undone first
    if (EMCanUndo(which) == 0) return;
    const bool redo = which == 1;
    const UndoStack& source = redo ? redo_ : undo_;
    auto pushTarget = [this, redo](UndoRecord record) {
        if (redo) {
            PushUndo(std::move(record));
        } else {
            PushRedo(std::move(record));
        }
    };
    undoing_ = true;
    bool inGroup = false;
    std::unique_ptr<TMCRange> tracker; // where the caret goes after a group
    do {
        if (source.Empty()) break; // an unfinished group ends with its stack
        const UndoRecord record = redo ? PopRedo() : PopUndo();
        if (IsGroupMark(record)) {
            inGroup = !inGroup;
            if (inGroup) {
                notificationLock_ = true;
                view_->BeginUpdate();
            } else {
                view_->EndUpdateQuiet();
                selection_->HideEditCaret();
                view_->Repaint();
                if (tracker) tracker->AssignTo(*selection_);
                selection_->UpdateCaretPos();
                selection_->UpdateCaretVisibility();
                notificationLock_ = false;
                Change();
                SelectionChange();
                selection_->ScrollIntoView(4);
            }
            pushTarget(NewGroupMark());
            continue;
        }
        TMCRange span(this, record.Start, record.End);
        std::string replaced = span.GetText();
        span.SetText(record.Text);
        pushTarget({span.RStart(), span.REnd(), std::move(replaced)});
        if (!inGroup) {
            span.AssignTo(*selection_);
            selection_->ScrollIntoView(4);
        } else if (!tracker) {
            tracker = std::make_unique<TMCRange>(ranges_.get());
            tracker->SetRStart(span.REnd() + 1);
        } else if (span.REnd() + 1 > tracker->RStart()) {
            tracker->SetRStart(span.REnd() + 1);
        }
    } while (inGroup);
    if (inGroup) { // the stack ended inside a group: close it all the same
        view_->EndUpdateQuiet();
        notificationLock_ = false;
    }
    tracker.reset();
    undoing_ = false;
    Change();
}

} // namespace kelvara
