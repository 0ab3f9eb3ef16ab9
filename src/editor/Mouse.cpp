#include <algorithm>

#include "editor/MemoComponent.h"

namespace kelvara {

namespace {

// Letters, digits and "_#$": what a double click selects.
bool IsTokenByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '#' || c == '$';
}

// Marks the edits a drag makes itself for a scope.
class DragEdits {
public:
    explicit DragEdits(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~DragEdits() { flag_ = previous_; }
    DragEdits(const DragEdits&) = delete;
    DragEdits& operator=(const DragEdits&) = delete;

private:
    bool& flag_;
    bool previous_;
};

// Scroll step for a mouse coordinate beyond [0, extent): one per 10 pixels.
int EdgeStep(int position, int extent) {
    if (position < 0) return -((-position - 1) / 10 + 1);
    if (position >= extent) return (position - extent) / 10 + 1;
    return 0;
}

} // namespace

int TMemoComponent::MouseOffset(int x, int y) const {
    TextPoint cell = PixelToCell(x, y);
    cell.Row += view_->TopRow() - 1;
    cell.Col += view_->LeftCol() - 1;
    return PointToOffset(DisplayToTextPoint(cell));
}

// A press while a text is dragged (another button) leaves the drag alone.
void TMemoComponent::MouseDown(MouseButton button, ShiftState shift, int x, int y) {
    if (doubleClicked_ || dragMoving_) return;
    if (host_) host_->SetFocus();
    if (button == MouseButton::Middle) return;
    TSelectionRange& selection = *selection_;
    if (button == MouseButton::Right && selection.RLength() > 0) return;
    const int offset = MouseOffset(x, y);
    if (Held(shift, kShift)) {
        selection.ExtendTo(offset);
    } else if (dragDropEditing_ && selection.RLength() > 0 && selection.RStart() <= offset &&
               offset <= selection.REnd() + 1 && !readOnly_) {
        dragPending_ = true; // the caret stays until the mouse moves or is released
    } else {
        selection.MoveTo(offset);
    }
    if (!mouseSelecting_ && !dragPending_) {
        mouseSelecting_ = true;
        if (host_) host_->StartTimer(kDragTimer, 50);
    }
}

void TMemoComponent::MouseMove(ShiftState shift, int x, int y) {
    // A key may have emptied the selection since the button went down.
    if (dragPending_ && !dragMoving_ && selection_->RLength() > 0) {
        if (!dragOrigin_) {
            dragOrigin_ = std::make_unique<TMCRange>(ranges_.get());
            dragOrigin_->SetRStart(selection_->RStart());
            dragOrigin_->SetREnd(selection_->RStart() - 1);
        }
        dragMoving_ = true;
        if (host_) {
            host_->SetDragCursor(true);
            if (!mouseSelecting_) host_->StartTimer(kDragTimer, 50);
        }
        mouseSelecting_ = false;
        notificationLock_ = true; // no OnChange while dragging
    }
    dragPending_ = false;
    if (dragMoving_ && dragOrigin_) {
        // With Control the origin shows a copy of the dragged text.
        const DragEdits edits(dragEditing_);
        const bool copy = Held(shift, kCtrl);
        if (copy && dragOrigin_->RLength() <= 0) {
            dragOrigin_->SetText(selection_->GetText());
        } else if (!copy && dragOrigin_->RLength() > 0) {
            dragOrigin_->SetText({});
        }
    }
    DragTo(x, y);
}

void TMemoComponent::DragTo(int x, int y) {
    if ((!mouseSelecting_ && !dragMoving_) || doubleClicked_) return;
    const int offset = MouseOffset(x, y);
    if (mouseSelecting_) {
        selection_->ExtendTo(offset);
    } else if (dragOrigin_) {
        const DragEdits edits(dragEditing_);
        MoveDraggedText(offset);
    }
}

// Moves the selection's text so that it starts at (or, to the right, ends
// before) `offset`; over a short distance the text in between moves instead.
void TMemoComponent::MoveDraggedText(int offset) {
    TSelectionRange& selection = *selection_;
    TMCRange& origin = *dragOrigin_;
    if (offset > origin.RStart() && offset <= origin.REnd()) return; // over the copy
    const int start = selection.RStart();
    const int end = selection.REnd();
    const int length = selection.RLength();
    auto originWithin = [&origin](int from, int to) {
        return origin.RStart() >= from && origin.RStart() <= to;
    };
    auto moveDragged = [&](int to) {
        const std::string text = selection.GetText();
        selection.Clear();
        selection.MoveTo(to);
        selection.SetText(text);
        selection.BeginUpdate();
        selection.SetRStart(to);
        selection.SetRLength(static_cast<int>(text.size()));
        selection.EndUpdate();
    };
    if (offset < start) {
        const int gap = start - offset;
        if (gap < length && !originWithin(offset, start)) {
            const bool originAfter = origin.RLength() <= 0 && origin.RStart() == end + 1;
            TMCRange between(this, offset, start - 1);
            const std::string text = between.GetText();
            between.Clear();
            TMCRange after(this, selection.REnd() + 1, selection.REnd());
            after.SetText(text);
            if (originAfter) {
                origin.SetRStart(origin.RStart() + gap);
                origin.SetREnd(origin.RStart() - 1);
            }
        } else {
            moveDragged(offset);
        }
    } else if (offset > end + 1) {
        const int gap = offset - end - 1;
        if (gap < length && !originWithin(end + 1, offset)) {
            TMCRange between(this, end + 1, offset - 1);
            const std::string text = between.GetText();
            between.Clear();
            TMCRange before(this, selection.RStart(), selection.RStart() - 1);
            before.SetText(text);
        } else {
            moveDragged(offset - length);
        }
    }
}

void TMemoComponent::MouseUp(MouseButton button, ShiftState shift, int x, int y) {
    if (dragPending_) {
        dragPending_ = false;
        selection_->MoveTo(MouseOffset(x, y));
    }
    if (button != MouseButton::Middle && (mouseSelecting_ || dragMoving_) && !doubleClicked_) {
        if (dragMoving_ && dragOrigin_) FinishDrag(Held(shift, kCtrl));
        StopMouseTracking();
    }
    doubleClicked_ = false;
    if (!dragMoving_) dragOrigin_.reset(); // a middle button's release leaves a drag going
}

// Leaves the copy or removes it, and records the drag as one undo step.
void TMemoComponent::FinishDrag(bool copy) {
    TSelectionRange& selection = *selection_;
    TMCRange& origin = *dragOrigin_;
    const DragEdits edits(dragEditing_);
    if (copy && origin.RLength() <= 0) {
        origin.SetText(selection.GetText());
    } else if (!copy && origin.RLength() > 0) {
        origin.SetText({});
    }
    if (allowUndo_ && (selection.RStart() != origin.RStart() || origin.RLength() > 0)) {
        ClearRedo();
        PushUndo(NewGroupMark());
        std::string text = selection.GetText();
        const int length = static_cast<int>(text.size());
        if (origin.RLength() <= 0) {
            int at = origin.RStart();
            if (selection.RStart() < origin.RStart()) at -= length;
            PushUndo({at, at - 1, std::move(text)}); // puts the text back
        }
        PushUndo({selection.RStart(), selection.REnd(), {}}); // takes it from its new place
        PushUndo(NewGroupMark());
        notificationLock_ = false;
        Change();
        SelectionChange();
    }
    notificationLock_ = false;
}

// Escape while dragging: the text goes back to where it came from.
void TMemoComponent::CancelDrag() {
    if (!dragOrigin_) return;
    TSelectionRange& selection = *selection_;
    TMCRange& origin = *dragOrigin_;
    const std::string text = selection.GetText();
    const DragEdits edits(dragEditing_);
    if (origin.RLength() <= 0) origin.SetText(text);
    selection.Clear();
    selection.BeginUpdate();
    selection.SetRStart(origin.RStart());
    selection.SetRLength(static_cast<int>(text.size()));
    selection.EndUpdate();
    StopMouseTracking();
    notificationLock_ = false;
    dragOrigin_.reset();
}

// A change from code while a text is dragged: the drag ends where it
// stands, copy or move, as a release of the button there would end it.
void TMemoComponent::EndDrag() {
    dragPending_ = false;
    if (!dragMoving_) return;
    if (dragOrigin_) FinishDrag(dragOrigin_->RLength() > 0);
    StopMouseTracking();
    dragOrigin_.reset();
}

void TMemoComponent::StopMouseTracking() {
    if (host_) host_->StopTimer(kDragTimer);
    mouseSelecting_ = false;
    dragMoving_ = false;
    if (host_) host_->SetDragCursor(false);
}

void TMemoComponent::DblClick() {
    if (dragMoving_) return;
    doubleClicked_ = true;
    TSelectionRange& selection = *selection_;
    // Whole characters only: a trail byte is never part of a token.
    int start = selection.RStart();
    while (start > 1 && IsTokenByte(CharAt(start - 1)) && start - PrevCharStart(start) == 1)
        --start;
    int end = selection.REnd();
    while (end < textLength_ && IsTokenByte(CharAt(end + 1)) && CharLengthAt(end + 1) == 1)
        ++end;
    selection.BeginUpdate();
    selection.SetRStart(start);
    selection.SetREnd(end);
    selection.EndUpdate();
}

void TMemoComponent::WMTimer(int id) {
    if (id != kDragTimer || (!mouseSelecting_ && !dragMoving_) || !host_) return;
    const TPoint mouse = host_->MousePos();
    const int across = EdgeStep(mouse.X, host_->ClientWidth());
    const int down = EdgeStep(mouse.Y, host_->ClientHeight());
    if (across == 0 && down == 0) return;
    view_->BeginUpdate();
    view_->SetLeftCol(view_->LeftCol() + across);
    view_->SetTopRow(view_->TopRow() + down);
    view_->EndUpdate();
    DragTo(mouse.X, mouse.Y);
}

namespace {

// The whole notches (120 units each) of a wheel's rotation, small steps added
// up in `rest`; rotation left over from a turn the other way is dropped.
int WheelNotches(int delta, int& rest) {
    if ((delta > 0) != (rest > 0)) rest = 0;
    rest += delta;
    const int notches = rest / 120;
    rest -= notches * 120;
    return notches;
}

} // namespace

void TMemoComponent::MouseWheel(int delta) {
    if (delta == 0) return;
    const int notches = WheelNotches(delta, wheelDelta_);
    if (notches == 0) return;
    const int current = HasWindow() ? host_->ScrollPos(ScrollBarKind::Vertical) : view_->TopRow();
    WMVScroll(5, current - 3 * notches);
}

void TMemoComponent::MouseWheelSideways(int delta) {
    if (delta == 0) return;
    const int notches = WheelNotches(delta, sidewaysDelta_);
    if (notches == 0) return;
    const int current =
        HasWindow() ? host_->ScrollPos(ScrollBarKind::Horizontal) : view_->LeftCol();
    WMHScroll(5, current - 6 * notches);
}

} // namespace kelvara
