#include "editor/MemoComponent.h"

#include <algorithm>

namespace kelvara {

TMemoComponent::TMemoComponent(EditorHost* host) : host_(host) {
    lineStarts_.Add(1);
    widths_[0] = 1;
    lines_ = std::make_unique<TMemoComponentStrings>(this);
    ranges_ = std::make_unique<TMCRanges>(this);
    wholeText_ = std::make_unique<TWholeTextRange>(this);
    view_ = std::make_unique<TVisibleRange>(ranges_.get());
    selection_ = std::make_unique<TSelectionRange>(ranges_.get());
}

TMemoComponent::~TMemoComponent() {
    notificationLock_ = true;
    ClearUndo();
    dragOrigin_.reset();
    selection_.reset();
    view_.reset();
    lines_.reset();
    ranges_.reset();
}

std::string TMemoComponent::TextAt(int offset, int length) const {
    const int start = std::max(offset, 1);
    const int end = std::min(offset + length - 1, textLength_);
    if (end < start) return {};
    return store_.Copy(start - 1, end - start + 1);
}

std::string_view TMemoComponent::TextView(int offset, int length) const {
    const int start = std::max(offset, 1);
    const int end = std::min(offset + length - 1, textLength_);
    if (end < start) return {};
    return store_.View(start - 1, end - start + 1);
}

int TMemoComponent::LineLength(int row) const {
    return PointToOffset({row + 1, 0}) - PointToOffset({row, 0}) - 2;
}

int TMemoComponent::PointToOffset(TextPoint point) const {
    if (point.Row <= 0) return point.Col;
    if (point.Row > LineCount()) return textLength_ + point.Col + 2;
    return lineStarts_.Get(point.Row - 1) + point.Col - 1;
}

TextPoint TMemoComponent::OffsetToPoint(int offset) const {
    const int count = LineCount();
    // A proportional first guess, exact by the search from there.
    int guess = 0;
    if (textLength_ > 0) {
        guess = static_cast<int>(static_cast<std::int64_t>(offset) * count / textLength_ - 1);
    }
    const int index = std::max(lineStarts_.LastAtMost(offset, guess), 0);
    const int start = lineStarts_.Get(index);
    return {index + 1, offset - start + 1};
}

void TMemoComponent::SetText(std::string_view text) { wholeText_->SetText(text); }

void TMemoComponent::SetSelStart(int value) {
    EndDrag();
    int start = value + 1;
    if (CharAt(start) == '\n' && CharAt(start - 1) == '\r') --start;
    selection_->MoveTo(start);
}

void TMemoComponent::SetSelLength(int value) {
    EndDrag();
    int end = selection_->RStart() + value - 1;
    if (CharAt(end) == '\r' && CharAt(end + 1) == '\n') ++end;
    selection_->SetREnd(end);
}

void TMemoComponent::ClearText() { SetText({}); }

void TMemoComponent::SetReadOnly(bool value) {
    if (value == readOnly_) return;
    readOnly_ = value;
    selection_->UpdateCaretVisibility();
}

void TMemoComponent::SetAlwaysShowCaret(bool value) {
    if (value == alwaysShowCaret_) return;
    alwaysShowCaret_ = value;
    selection_->UpdateCaretVisibility();
}

int TMemoComponent::WMSetText(const char* text) {
    SetText(text ? std::string_view(text) : std::string_view());
    return 1;
}

int TMemoComponent::WMGetText(char* buffer, int size) const {
    if (!buffer || size <= 0) return 0;
    const int count = std::min(size - 1, textLength_);
    if (count > 0) {
        const std::string part = store_.Copy(0, count);
        std::copy(part.begin(), part.end(), buffer);
    }
    buffer[std::max(count, 0)] = '\0';
    return std::max(count, 0);
}

void TMemoComponent::Change() {
    if (notificationLock_) return;
    if (host_) host_->ControlChanged();
    if (OnChange) OnChange(*this);
}

void TMemoComponent::SelectionChange() {
    if (!notificationLock_ && OnSelectionChange) OnSelectionChange(*this);
}

std::string TMemoComponent::CheckInvariants() const {
    if (static_cast<std::size_t>(textLength_) != store_.Length()) return "text length";
    if (LineCount() < 1 || lineStarts_.Get(0) != 1) return "first line start";
    int row = 1;
    int rows = 0;
    std::map<int, int> widths;
    for (int offset = 1; offset < textLength_; ++offset) {
        if (store_.At(offset - 1) == '\r' && store_.At(offset) == '\n') {
            if (row >= LineCount() || lineStarts_.Get(row) != offset + 2)
                return "line start of row " + std::to_string(row + 1);
            ++row;
        }
    }
    if (row != LineCount()) return "line count";
    for (rows = 1; rows <= LineCount(); ++rows)
        ++widths[LineWidth(rows)];
    if (widths != widths_) return "row widths";
    for (int i = 0; i < ranges_->Count(); ++i) {
        const TCustomRange* range = ranges_->Range(i);
        if (range == view_.get()) continue;
        const int start = range->RStart();
        const int end = range->REnd();
        if (start < 1 || start > textLength_ + 1 || end < start - 1 || end > textLength_)
            return "registered range " + std::to_string(i);
    }
    return {};
}

} // namespace kelvara
