#include "editor/VisibleRange.h"

#include <algorithm>

#include "editor/MemoComponent.h"

namespace kelvara {

void TVisibleRange::SetTopRow(int value) {
    if (value == topRow_) return;
    BeginUpdate();
    topRow_ = value;
    if (editor_) editor_->ClampView();
    EndUpdate();
}

void TVisibleRange::SetLeftCol(int value) {
    if (value == leftCol_) return;
    BeginUpdate();
    leftCol_ = value;
    if (editor_) editor_->ClampView();
    EndUpdate();
}

int TVisibleRange::BottomRow() const {
    return topRow_ + (editor_ ? editor_->VisibleRows() : 0) + 1;
}

void TVisibleRange::SetBottomRow(int value) {
    SetTopRow(value - (editor_ ? editor_->VisibleRows() : 0));
}

int TVisibleRange::RightCol() const {
    return leftCol_ + (editor_ ? editor_->VisibleCols() : 0) + 1;
}

void TVisibleRange::SetRightCol(int value) {
    SetLeftCol(value - (editor_ ? editor_->VisibleCols() : 0));
}

int TVisibleRange::GetRStart() const { return editor_ ? editor_->PointToOffset({topRow_, 1}) : 1; }

TextPoint TVisibleRange::GetEndPoint() const {
    if (!editor_) return {topRow_, 0};
    const TextPoint end{topRow_ + editor_->VisibleRows() + 1, 0};
    if (editor_->PointToOffset(end) > editor_->TextLength())
        return editor_->OffsetToPoint(editor_->TextLength());
    return end;
}

int TVisibleRange::GetREnd() const { return editor_ ? editor_->PointToOffset(GetEndPoint()) : 0; }

void TVisibleRange::SetRStart(int value) {
    if (editor_) SetStartPoint(editor_->OffsetToPoint(value));
}

TRect TVisibleRange::Rectangle() const {
    const int cols = editor_ ? editor_->VisibleCols() : 0;
    const int rows = editor_ ? editor_->VisibleRows() : 0;
    return {leftCol_, topRow_, leftCol_ + cols + 1, topRow_ + rows + 1};
}

void TVisibleRange::Changing() { saved_ = Rectangle(); }

void TVisibleRange::Changed() {
    TCustomRange::Changed();
    if (!editor_ || !editor_->HasWindow()) return;
    const TRect now = Rectangle();
    if (now == saved_) return;
    TSelectionRange& selection = editor_->Selection();
    selection.HideEditCaret();
    const bool overlap = now.Top < saved_.Bottom - 1 && saved_.Top < now.Bottom - 1;
    if (now.Left == saved_.Left && overlap) {
        // Move the picture and draw only the band it uncovered.
        const int lineHeight = editor_->LineHeight();
        const int dy = (saved_.Top - now.Top) * lineHeight;
        EditorHost& host = *editor_->Host();
        const TRect area{editor_->LeftMargin(), editor_->TopMargin(), host.ClientWidth(),
                         host.ClientHeight()};
        if (editor_->Bitmapped() && editor_->Bitmap()) {
            editor_->Bitmap()->Scroll(dy, area);
        } else {
            host.ScrollArea(dy, area);
        }
        int bandTop = area.Top;
        int bandBottom = area.Top + dy;
        if (dy < 0) {
            bandTop = area.Bottom + dy;
            bandBottom = area.Bottom;
        }
        RepaintRows(bandTop / lineHeight + topRow_, (bandBottom - 1) / lineHeight + 1 + topRow_);
    } else {
        Repaint();
    }
    selection.UpdateCaretPos();
    selection.UpdateCaretVisibility();
}

void TVisibleRange::RepaintRows(int firstRow, int lastRow) {
    TMCRange band(editor_, editor_->PointToOffset({firstRow, 1}),
                  editor_->PointToOffset({lastRow, 1}));
    band.Repaint();
}

} // namespace kelvara
