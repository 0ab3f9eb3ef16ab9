#include "editor/SelectionRange.h"

#include <algorithm>

#include "editor/MemoComponent.h"

namespace kelvara {

void TSelectionRange::MoveTo(int position) {
    BeginUpdate();
    backwards_ = false;
    SetRStart(position);
    SetREnd(position - 1);
    EndUpdate();
}

void TSelectionRange::ExtendTo(int position) {
    BeginUpdate();
    const int start = RStart();
    const int end = REnd();
    if (backwards_) {
        if (position <= end) {
            SetRStart(position);
        } else {
            backwards_ = false;
            SetRStart(end + 1);
            SetREnd(position - 1);
        }
    } else if (position >= start) {
        SetREnd(position - 1);
    } else {
        backwards_ = true;
        SetREnd(start - 1);
        SetRStart(position);
    }
    EndUpdate();
}

int TSelectionRange::DesiredColumn() {
    if (desiredColumn_ < 1 && editor_) {
        desiredColumn_ = editor_->DisplayColumn(editor_->OffsetToPoint(CaretPos()));
    }
    return desiredColumn_;
}

int TSelectionRange::ColumnOnRow(int row) {
    const TextPoint point = editor_->DisplayToTextPoint({row, DesiredColumn()});
    const int column = std::min(point.Col, editor_->LineLength(row) + 1);
    return editor_->PointToOffset({row, column});
}

void TSelectionRange::SetHidden(bool value) {
    if (value == hidden_) return;
    hidden_ = value;
    Repaint();
}

void TSelectionRange::AssignTo(TCustomRange& dest) const {
    auto* selection = dynamic_cast<TSelectionRange*>(&dest);
    dest.BeginUpdate();
    TCustomRange::AssignTo(dest);
    if (selection) selection->backwards_ = backwards_;
    dest.EndUpdate();
}

void TSelectionRange::HideEditCaret() {
    if (editor_ && editor_->CaretCreated() && caretShown_ && editor_->HasWindow()) {
        editor_->Host()->HideCaret();
        caretShown_ = false;
    }
}

void TSelectionRange::UpdateCaretVisibility() {
    if (UpdateCount() > 0) return;
    if (!editor_ || !editor_->CaretCreated() || (RLength() > 0 && !editor_->AlwaysShowCaret()) ||
        hidden_ || editor_->ReadOnly() || !editor_->HasWindow()) {
        HideEditCaret();
    } else if (!caretShown_) {
        editor_->Host()->ShowCaret();
        caretShown_ = true;
    }
}

void TSelectionRange::UpdateCaretPos() {
    if (!editor_ || !editor_->CaretCreated() || UpdateCount() > 0) return;
    const TPoint pixel = backwards_ ? GetStartPixel() : GetEndPixel();
    editor_->Host()->SetCaretPos(pixel.X - 1, pixel.Y + 1);
}

void TSelectionRange::Changing() {
    HideEditCaret();
    desiredColumn_ = -1;
    snapshot_ = std::make_unique<TMCRange>(editor_, RStart(), REnd());
}

void TSelectionRange::Changed() {
    TCustomRange::Changed();
    if (!editor_) return;
    // Taken out first: removing blanks below replaces text, which brackets
    // the selection again.
    if (const std::unique_ptr<TMCRange> old = std::move(snapshot_)) {
        if (editor_->RemoveTrailingSpaces() && !editor_->Undoing() && !editor_->DragEditing()) {
            const int oldRow = old->GetStartPoint().Row;
            if (GetStartPoint().Row != oldRow) editor_->RemoveLineTrailingBlanks(oldRow);
        }
        RepaintDifference(*old);
    }
    UpdateCaretPos();
    UpdateCaretVisibility();
    editor_->SelectionChange();
}

// Repaints only the characters whose highlighting changed.
void TSelectionRange::RepaintDifference(TMCRange& old) {
    const int oldStart = old.RStart();
    const int oldEnd = old.REnd();
    if (oldStart == RStart()) {
        old.SetREnd(std::max(oldEnd, REnd()));
        old.SetRStart(std::min(oldEnd, REnd()) + 1);
    } else if (oldEnd == REnd()) {
        old.SetRStart(std::min(oldStart, RStart()));
        old.SetREnd(std::max(oldStart, RStart()) - 1);
    } else if (RLength() > 0) {
        Repaint();
    }
    if (old.RLength() > 0) old.Repaint();
}

void TSelectionRange::ChangeDropped() {
    snapshot_.reset();
    UpdateCaretPos();
    UpdateCaretVisibility();
}

} // namespace kelvara
