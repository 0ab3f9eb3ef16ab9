#include "editor/FormattedRanges.h"

#include "editor/MemoComponent.h"

namespace kelvara {

void TCustomFormattedRange::MaskFontStyle() {
    TFont* font = MutableFont();
    if (editor_ && font) font->Style &= ~editor_->SuppressedStyles();
}

void TCustomFormattedRange::AssignTo(TCustomRange& dest) const {
    TCustomRange::AssignTo(dest);
    if (auto* formatted = dynamic_cast<TCustomFormattedRange*>(&dest)) {
        formatted->SetColor(GetColor());
        formatted->SetFont(GetFont());
    }
}

TColor TNormalFormattedRange::GetColor() const { return editor_ ? editor_->Color() : clWindow; }

const TFont* TNormalFormattedRange::GetFont() const { return editor_ ? &editor_->Font() : nullptr; }

TCustomFormattedRange&
TFormattedRangeList::AddTemporary(std::unique_ptr<TCustomFormattedRange> run) {
    run->SetTemporary(true);
    runs_.push_back(run.get());
    owned_.push_back(std::move(run));
    return *runs_.back();
}

void TFormattedRangeList::Clear() {
    runs_.clear();
    owned_.clear();
}

} // namespace kelvara
