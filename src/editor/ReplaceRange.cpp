#include "common/MessageCatalogue.h"
#include "editor/MemoComponent.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <vector>

#include "editor/LineBreaks.h"

namespace kelvara {

void TMemoComponent::ForgetWidths(int firstRow, int lastRow) {
    for (int row = firstRow; row <= lastRow; ++row) {
        const auto found = widths_.find(LineWidth(row));
        if (--found->second == 0) widths_.erase(found);
    }
}

void TMemoComponent::LearnWidths(int firstRow, int lastRow) {
    for (int row = firstRow; row <= lastRow; ++row)
        ++widths_[LineWidth(row)];
}

void TMemoComponent::RecomputeWidths() {
    checkpoints_.Clear();
    widths_.clear();
    LearnWidths(1, LineCount());
}

void TMemoComponent::RecordUndo(int start, int end, int newLength, std::string oldText) {
    ClearRedo();
    const int oldLength = end - start + 1;
    if (!undo_.Empty()) {
        UndoRecord& top = undo_.Top();
        if (oldLength > 0) {
            // Deleting at the same place, or just before the previous deletion.
            if (newLength == 0 && !top.Text.empty() && top.End < top.Start) {
                if (top.Start == start) {
                    top.Text += oldText;
                    return;
                }
                if (end + 1 == top.Start) {
                    top.Start -= oldLength;
                    top.End -= oldLength;
                    top.Text.insert(0, oldText);
                    return;
                }
            }
        } else if (newLength > 0 && top.Text.empty() && top.End >= top.Start &&
                   top.End + 1 == start) {
            top.End += newLength; // typing goes on right after
            return;
        }
    }
    PushUndo({start, start + newLength - 1, std::move(oldText)});
}

// A CR LF pair is one line break: a span never starts or ends inside one.
void TMemoComponent::WidenOverBreaks(int& a, int& b) const {
    if (a > 1 && CharAt(a) == '\n' && CharAt(a - 1) == '\r') {
        if (b == a - 1) --b;
        --a;
    }
    if (b >= a && CharAt(b) == '\r' && CharAt(b + 1) == '\n') ++b;
}

int TMemoComponent::SpliceText(int a, int b, std::string&& text, int firstRow, int lastRow) {
    const int n = static_cast<int>(text.size());
    const int delta = n - (b - a + 1);
    const bool wholeText = a == 1 && b == textLength_;
    int rowDelta;
    if (wholeText) {
        checkpoints_.Clear();
        rowDelta = -(LineCount() - 1);
        lineStarts_.Clear();
        lineStarts_.Add(1);
        store_.Assign(std::move(text));
    } else {
        ForgetWidths(firstRow, lastRow);
        rowDelta = -(lastRow - firstRow);
        lineStarts_.DeleteRange(firstRow, lastRow - firstRow);
        store_.Replace(a - 1, b - a + 1, text);
    }
    textLength_ += delta;
    ++textVersion_;

    // One new line start after every CR LF of the inserted text.
    const std::string_view inserted = TextView(a, n);
    std::vector<std::int32_t> starts;
    for (std::size_t k = inserted.find('\r'); k != std::string_view::npos;
         k = inserted.find('\r', k + 1)) {
        starts.push_back(a + static_cast<int>(k) + 2);
    }
    lineStarts_.InsertRange(firstRow, starts);
    const int insertedRows = static_cast<int>(starts.size());
    lineStarts_.ShiftFrom(firstRow + insertedRows, delta);
    if (!wholeText) checkpoints_.Replaced(*this, a, b, n, firstRow, lastRow, insertedRows);
    if (wholeText) {
        RecomputeWidths();
    } else {
        LearnWidths(firstRow, firstRow + insertedRows);
    }
    return rowDelta + insertedRows;
}

void TMemoComponent::ReplaceRange(TCustomRange& range, std::string_view newText) {
    if (!dragEditing_) EndDrag();
    int a = std::clamp(range.RStart(), 1, textLength_ + 1);
    int b = std::clamp(range.REnd(), a - 1, textLength_);
    WidenOverBreaks(a, b);
    std::string text = AdjustLineBreaks(newText);
    // Undo restores text as it was and a drag moves text as it is: the drag's
    // one undo step puts back exactly the bytes it moved.
    if (removeTrailingSpaces_ && !undoing_ && !dragEditing_) StripTrailingBlanks(text);
    const int oldLength = b - a + 1;
    // Offsets are 32-bit: the text stays well below their limit (measured
    // before the new length is narrowed to an int).
    if (static_cast<std::int64_t>(textLength_) - oldLength +
            static_cast<std::int64_t>(text.size()) >
        std::numeric_limits<int>::max() / 2) {
        throw std::length_error(
            std::string(Translate("kelvara::TMemoComponent", "文本太长，编辑器容纳不下。")));
    }
    const int n = static_cast<int>(text.size());
    const int p = a;
    const int d = n - oldLength;

    selection_->BeginUpdate();
    selection_->DropSnapshot(); // this operation repaints by itself
    if (allowUndo_ && !undoing_ && !dragEditing_) RecordUndo(p, b, n, TextAt(a, oldLength));
    if (host_) host_->TextReplacing(a, oldLength, text);
    const int r1 = OffsetToPoint(a).Row;
    const int r2 = OffsetToPoint(b + 1).Row;
    const int oldMaxWidth = MaxLineWidth();
    const int rowDelta = SpliceText(a, b, std::move(text), r1, r2);

    for (int i = ranges_->Count() - 1; i >= 0; --i) {
        if (i >= ranges_->Count()) continue; // a handler freed ranges
        TCustomRange* other = ranges_->Range(i);
        if (other != &range && other != view_.get()) other->AdjustForReplace(a, b, d);
    }
    // The same text stays at the top of the view.
    const bool viewMoved = rowDelta != 0 && r1 < view_->TopRow();
    if (viewMoved) view_->WriteTopRow(view_->TopRow() + rowDelta);

    if (&range == selection_.get()) {
        selection_->MoveTo(p + n);
    } else {
        if (a != range.RStart()) range.SetRStart(p);
        range.SetRLength(n);
    }
    TextReplaced(p, oldLength, n);
    if (host_) host_->TextReplaced();
    if (MaxLineWidth() != oldMaxWidth || rowDelta != 0) UpdateScrollBars();
    RepaintAfterReplace(viewMoved, p, r2, rowDelta);
    AfterReplace();
    selection_->EndUpdate();
    if (OnReplaced) OnReplaced(p, oldLength, TextView(p, n));
    Change();
}

void TMemoComponent::RepaintAfterReplace(bool viewMoved, int position, int lastRow, int rowDelta) {
    if (!HasWindowAndParent()) return;
    const int start = viewMoved ? view_->RStart() : position;
    const int end =
        rowDelta != 0 ? PointToOffset(view_->GetEndPoint()) : PointToOffset({lastRow + 1, 0});
    TMCRange changed(this, start, end);
    changed.Repaint();
}

void TMemoComponent::ClearUndo() {
    redo_.Clear();
    undo_.Clear();
    Change();
}

void TMemoComponent::SetAllowUndo(bool value) {
    allowUndo_ = value;
    if (!value) ClearUndo();
}

void TMemoComponent::SetRemoveTrailingSpaces(bool value) {
    if (value == removeTrailingSpaces_) return;
    removeTrailingSpaces_ = value;
    if (value) RemoveAllTrailingBlanks();
}

void TMemoComponent::RemoveLineTrailingBlanks(int row) {
    const int start = PointToOffset({row, 1});
    const int end = PointToOffset({row + 1, -2});
    int blankStart = end + 1;
    while (blankStart > start && (CharAt(blankStart - 1) == ' ' || CharAt(blankStart - 1) == '\t'))
        --blankStart;
    if (blankStart > end) return;
    TMCRange blanks(this, blankStart, end);
    blanks.Clear();
}

void TMemoComponent::RemoveAllTrailingBlanks() {
    notificationLock_ = true;
    selection_->BeginUpdate();
    const int rows = LineCount();
    for (int row = 1; row <= rows; ++row)
        RemoveLineTrailingBlanks(row);
    selection_->EndUpdate();
    notificationLock_ = false;
    Change();
}

void TMemoComponent::IndentLines(int count) {
    if (count == 0) return;
    notificationLock_ = true;
    view_->BeginUpdate();
    // The two group marks make the whole block one undo step.
    if (allowUndo_) PushUndo(NewGroupMark());
    const int firstRow = selection_->GetStartPoint().Row;
    const int lastRow = std::max(firstRow, selection_->GetEndPoint().Row);
    auto isIndent = [this](int offset) {
        const char c = CharAt(offset);
        return c == '\t' || c == '\x15';
    };
    for (int row = firstRow; row <= lastRow; ++row) {
        const int start = PointToOffset({row, 1});
        int first = start; // first character that is not indentation
        while (isIndent(first))
            ++first;
        if (count < 0) {
            const int remove = std::min(-count, first - start);
            TMCRange indent(this, first - remove, first - 1);
            indent.Clear();
        } else {
            TMCRange at(this, first, first - 1);
            at.SetText(std::string(count, '\t'));
            if (selection_->RLength() > 0 && selection_->RStart() == first + count)
                selection_->SetRStart(first);
        }
    }
    if (allowUndo_) PushUndo(NewGroupMark());
    view_->EndUpdateQuiet();
    selection_->HideEditCaret();
    view_->Repaint();
    selection_->UpdateCaretPos();
    selection_->UpdateCaretVisibility();
    notificationLock_ = false;
    Change();
    SelectionChange();
}

} // namespace kelvara
