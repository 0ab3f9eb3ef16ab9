#include "editor/MemoComponent.h"

#include <algorithm>

namespace kelvara {

void TMemoComponent::ClampView() {
    view_->WriteTopRow(std::max(std::min(view_->TopRow(), LineCount() - visibleRows_ + 1), 1));
    view_->WriteLeftCol(std::max(std::min(view_->LeftCol(), MaxLineWidth() - visibleCols_ + 1), 1));
    if (HasWindow()) {
        host_->SetScrollPos(ScrollBarKind::Vertical, view_->TopRow());
        host_->SetScrollPos(ScrollBarKind::Horizontal, view_->LeftCol());
    }
}

void TMemoComponent::MeasureFont() {
    suppressedStyles_ = 0;
    if (!HasWindowAndParent()) return;
    charWidth_ = host_->CharWidth(font_);
    lineHeight_ = host_->LineHeight(font_);
    // Styles that would widen the cells are not drawn, to keep the grid.
    for (const FontStyle style : {FontStyle::Bold, FontStyle::Italic}) {
        const auto bit = static_cast<TFontStyles>(style);
        TFont styled = font_;
        styled.Style |= bit;
        if (host_->CharWidth(styled) != charWidth_) suppressedStyles_ |= bit;
    }
    CreateEditCaret();
    UpdateScrollBars();
}

void TMemoComponent::FontChanged() {
    MeasureFont();
    ClampView();
    view_->Repaint();
}

void TMemoComponent::UpdateScrollBars() {
    if (!HasWindowAndParent()) return;
    view_->BeginUpdate();
    if (lineHeight_ <= 0) lineHeight_ = 13;
    if (charWidth_ <= 0) charWidth_ = 8;
    visibleRows_ = std::max((host_->ClientHeight() - topMargin_) / lineHeight_, 1);
    visibleCols_ = std::max((host_->ClientWidth() - leftMargin_) / charWidth_, 1);
    ClampView();
    host_->SetScrollBar(ScrollBarKind::Vertical, 1, LineCount(), visibleRows_, view_->TopRow());
    host_->SetScrollBar(ScrollBarKind::Horizontal, 1, MaxLineWidth(), visibleCols_,
                        view_->LeftCol());
    view_->EndUpdate();
}

int TMemoComponent::ScrollTarget(int code, int position, int current, int page, int maximum) const {
    int target = current;
    switch (code) {
    case 0:
        target = current - 1;
        break;
    case 1:
        target = current + 1;
        break;
    case 2:
        target = current - page;
        break;
    case 3:
        target = current + page;
        break;
    case 4:
    case 5:
        target = position; // the bar's whole value: long texts pass 65535 rows
        break;
    case 6:
        target = 1;
        break;
    case 7:
        target = maximum;
        break;
    default:
        break;
    }
    return std::max(std::min(target, maximum), 1);
}

void TMemoComponent::WMHScroll(int code, int position) {
    view_->BeginUpdate();
    const int current = view_->LeftCol();
    const int target =
        ScrollTarget(code, position, current, visibleCols_, MaxLineWidth() - visibleCols_ + 1);
    if (target == current) {
        view_->EndUpdateQuiet();
        return;
    }
    if (HasWindow()) host_->SetScrollPos(ScrollBarKind::Horizontal, target);
    view_->WriteLeftCol(target);
    view_->EndUpdate();
    if (HasWindow()) host_->Update();
}

void TMemoComponent::WMVScroll(int code, int position) {
    view_->BeginUpdate();
    const int current = HasWindow() ? host_->ScrollPos(ScrollBarKind::Vertical) : view_->TopRow();
    const int target =
        ScrollTarget(code, position, current, visibleRows_, LineCount() - visibleRows_ + 1);
    if (target == view_->TopRow()) {
        view_->EndUpdateQuiet();
        return;
    }
    if (HasWindow()) host_->SetScrollPos(ScrollBarKind::Vertical, target);
    view_->WriteTopRow(target);
    view_->EndUpdate();
    if (HasWindow()) host_->Update();
}

void TMemoComponent::SetTabSize(int value) {
    value = std::max(value, 1);
    if (value == tabSize_) return;
    tabSize_ = value;
    selection_->BeginUpdate();
    RecomputeWidths();
    selection_->EndUpdate();
    RefreshGrid();
}

void TMemoComponent::SetCodePage(CodePage codePage) {
    if (codePage == codePage_) return;
    codePage_ = codePage;
    selection_->BeginUpdate();
    RecomputeWidths();
    selection_->EndUpdate();
    CodePageChanged();
    RefreshGrid();
}

void TMemoComponent::SetScrollBars(TScrollStyle value) {
    if (value == scrollBars_) return;
    scrollBars_ = value;
    if (host_) host_->RecreateWindow();
}

void TMemoComponent::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    if (host_) host_->RecreateWindow();
}

void TMemoComponent::SetLeftMargin(int value) {
    if (value == leftMargin_) return;
    leftMargin_ = value;
    RefreshGrid();
}

void TMemoComponent::SetTopMargin(int value) {
    if (value == topMargin_) return;
    topMargin_ = value;
    RefreshGrid();
}

// After a change of the grid's geometry.
void TMemoComponent::RefreshGrid() {
    UpdateScrollBars();
    ClampView();
    view_->Repaint();
    selection_->UpdateCaretPos();
}

void TMemoComponent::FocusGained() {
    focused_ = true;
    CreateEditCaret();
}

void TMemoComponent::FocusLost() {
    focused_ = false;
    DestroyEditCaret();
}

void TMemoComponent::CreateEditCaret() {
    if (!focused_ || !HasWindow()) return;
    DestroyEditCaret();
    host_->CreateCaret(2, lineHeight_ - 2);
    caretCreated_ = true;
    selection_->UpdateCaretPos();
    selection_->UpdateCaretVisibility();
}

void TMemoComponent::DestroyEditCaret() {
    if (!caretCreated_) return;
    selection_->HideEditCaret();
    host_->DestroyCaret();
    caretCreated_ = false;
}

} // namespace kelvara
