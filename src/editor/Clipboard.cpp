#include "editor/MemoComponent.h"

namespace kelvara {

void TMemoComponent::WMCopy() {
    if (selection_->RLength() > 0 && host_) host_->SetClipboardText(selection_->GetText());
}

void TMemoComponent::WMCut() {
    // Without a clipboard to keep it, the text is not cut.
    if (selection_->RLength() <= 0 || !host_) return;
    host_->SetClipboardText(selection_->GetText());
    selection_->Clear();
}

void TMemoComponent::WMPaste() {
    if (!host_) return; // no clipboard: the selection stays
    const std::optional<std::string> text = host_->ClipboardText();
    if (!text) return; // refused: nothing is pasted and the selection stays
    selection_->SetText(*text);
    selection_->ScrollIntoView(1);
}

void TMemoComponent::WMClear() { selection_->Clear(); }

} // namespace kelvara
