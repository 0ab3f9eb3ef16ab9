#include "syntax/CustomStyle.h"

#include "common/TextCompare.h"
#include "syntax/SyntaxColoring.h"

namespace kelvara {

bool TCustomStyle::BeginsAt(std::string_view text) const {
    if (beginText_.size() > text.size()) return false;
    const std::string_view head = text.substr(0, beginText_.size());
    if (caseSensitive_) return head == beginText_;
    const TSyntaxColoring* settings = collection_ ? collection_->GetOwner() : nullptr;
    return SameTextFolded(head, beginText_, settings ? settings->GetCodePage() : TextCodePage());
}

void TCustomStyle::Assign(const TCustomStyle& source) {
    if (&source == this) return;
    AssignStyle(source);
    beginText_ = source.beginText_;
    endText_ = source.endText_;
    ignoreChar_ = source.ignoreChar_;
    switchable_ = source.switchable_;
    lineStartOnly_ = source.lineStartOnly_;
    NotifyChanged();
}

void TCustomStyle::NotifyChanged() {
    if (collection_) collection_->Update();
}

const TCustomStyle* TCustomStyles::FindByBeginText(std::string_view text, int* index) const {
    return FindFirst([&](const TCustomStyle& style) { return style.BeginsAt(text); }, index);
}

} // namespace kelvara
