#include "editor/Ranges.h"

#include <algorithm>

#include "editor/MemoComponent.h"

namespace kelvara {

TCustomRange::TCustomRange(TMCRanges* ranges) : TFastContainerItem(ranges) {
    if (ranges) editor_ = ranges->Editor();
}

void TCustomRange::SetRStart(int) {}
void TCustomRange::SetREnd(int) {}
void TCustomRange::SetRLength(int value) { SetREnd(value + RStart() - 1); }
int TCustomRange::GetRLength() const { return REnd() - RStart() + 1; }

TextPoint TCustomRange::GetEndPoint() const {
    return editor_ ? editor_->OffsetToPoint(REnd()) : TextPoint{1, 0};
}

TextPoint TCustomRange::GetStartPoint() const {
    return editor_ ? editor_->OffsetToPoint(RStart()) : TextPoint{1, 1};
}

void TCustomRange::SetEndPoint(TextPoint point) {
    if (editor_) SetREnd(editor_->PointToOffset(point));
}

void TCustomRange::SetStartPoint(TextPoint point) {
    if (editor_) SetRStart(editor_->PointToOffset(point));
}

void TCustomRange::SetText(std::string_view text) {
    if (editor_) editor_->ReplaceRange(*this, text);
}

std::string TCustomRange::GetText() const {
    if (!editor_) return {};
    return editor_->TextAt(RStart(), RLength());
}

bool TCustomRange::AdjustValues(int& s, int& e, int a, int b, int d) {
    bool overwritten = false;
    if (d > 0) {
        if (a <= e && e <= b) {
            s = std::min(s, a);
            e = a - 1;
            overwritten = true;
        } else if (e > b) {
            e += d;
        }
        if (a <= s && s <= b) {
            s = a;
            overwritten = true;
        } else if (s > b && s <= e) {
            s += d;
        }
        return overwritten;
    }
    const int oldStart = s;
    bool emptyAfterSpan = false;
    if (a <= s && s <= b) {
        s = a;
        overwritten = true;
    } else if (s > b) {
        emptyAfterSpan = e < oldStart && e == b;
        s += d;
    }
    if (!emptyAfterSpan && a <= e && e <= b) {
        s = std::min(s, a);
        e = a - 1;
        overwritten = true;
    } else if (emptyAfterSpan || e > b) {
        e += d;
    }
    return overwritten;
}

void TCustomRange::AdjustForReplace(int a, int b, int delta) {
    BeginUpdate();
    int s = RStart();
    int e = REnd();
    const bool overwritten = AdjustValues(s, e, a, b, delta);
    SetRStart(s);
    SetREnd(e);
    EndUpdate();
    if (overwritten && RLength() <= 0) Overwritten();
}

void TCustomRange::Clear() {
    if (RLength() > 0) SetText({});
}

void TCustomRange::BeginUpdate() {
    if (updateCount_ == 0) Changing();
    ++updateCount_;
}

void TCustomRange::EndUpdate() {
    if (--updateCount_ == 0) Changed();
}

void TCustomRange::EndUpdateQuiet() {
    if (--updateCount_ == 0) ChangeDropped();
}

void TCustomRange::Changed() {
    if (OnChange) OnChange(*this);
}

void TCustomRange::Overwritten() {
    if (OnOverwrite) OnOverwrite(*this);
}

void TCustomRange::AssignTo(TCustomRange& dest) const {
    dest.BeginUpdate();
    dest.SetRStart(RStart());
    dest.SetREnd(REnd());
    dest.EndUpdate();
}

TPoint TCustomRange::GetStartPixel() const {
    if (!editor_) return {};
    const TextPoint point = GetStartPoint();
    const int width = editor_->DisplayColumn(point) - 1;
    const TVisibleRange& view = editor_->View();
    return editor_->CellToPixel({point.Row - view.TopRow() + 1, width - view.LeftCol() + 2});
}

TPoint TCustomRange::GetEndPixel() const {
    if (!editor_) return {};
    const int end = REnd();
    TextPoint point = editor_->OffsetToPoint(end);
    int width;
    const char c = editor_->CharAt(end);
    if (end >= 1 && end <= editor_->TextLength() && (c == '\r' || c == '\n')) {
        ++point.Row;
        width = 0;
    } else {
        width = editor_->DisplayColumn({point.Row, point.Col + 1}) - 1;
    }
    const TVisibleRange& view = editor_->View();
    return editor_->CellToPixel({point.Row - view.TopRow() + 1, width - view.LeftCol() + 2});
}

void TCustomRange::ScrollIntoView(int margin) {
    if (!editor_) return;
    const auto* selection = dynamic_cast<const TSelectionRange*>(this);
    const TextPoint point =
        selection && selection->Backwards() ? GetStartPoint() : editor_->OffsetToPoint(REnd() + 1);
    const int column = editor_->DisplayColumn(point);
    const int k = std::min(margin, 2);
    TVisibleRange& view = editor_->View();
    const int rows = editor_->VisibleRows();
    const int cols = editor_->VisibleCols();
    bool changed = false;
    view.BeginUpdate();
    if (point.Row - k < view.TopRow()) {
        view.SetTopRow(point.Row - margin);
        changed = true;
    } else if (point.Row - rows + 1 > view.TopRow() && rows > 1) {
        view.SetTopRow(point.Row - rows + 1 + margin);
        changed = true;
    }
    int left = view.LeftCol();
    if (column - k < view.LeftCol()) {
        left = std::max(1, column - margin);
    } else if (column - cols > view.LeftCol()) {
        left = std::max(1, column - cols + margin);
    }
    if (left != view.LeftCol()) {
        view.SetLeftCol(left);
        changed = true;
    }
    if (changed) {
        view.EndUpdate();
    } else {
        view.EndUpdateQuiet();
    }
}

TMCRange::TMCRange(TMemoComponent* editor, int start, int end) : TCustomRange(nullptr) {
    editor_ = editor;
    SetRStart(start);
    SetREnd(end);
}

void TMCRange::SetRStart(int value) {
    BeginUpdate();
    start_ = std::max(value, 1);
    if (editor_) start_ = std::min(start_, editor_->TextLength() + 1);
    SetREnd(end_);
    EndUpdate();
}

void TMCRange::SetREnd(int value) {
    BeginUpdate();
    end_ = std::max(value, start_ - 1);
    if (editor_) end_ = std::min(end_, editor_->TextLength());
    EndUpdate();
}

void TMCRange::AdjustForReplace(int a, int b, int delta) {
    BeginUpdate();
    const bool overwritten = AdjustValues(start_, end_, a, b, delta);
    EndUpdate();
    if (overwritten && RLength() <= 0) Overwritten();
}

int TWholeTextRange::GetREnd() const { return editor_ ? editor_->TextLength() : 0; }

} // namespace kelvara
