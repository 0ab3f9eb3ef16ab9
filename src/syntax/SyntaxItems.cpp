#include "syntax/SyntaxItems.h"

#include "syntax/CustomStyle.h"
#include "syntax/SyntaxColoring.h"
#include "syntax/WordList.h"

namespace kelvara {

template <typename Item, typename Collection> Item& TSyntaxItems<Item, Collection>::Add() {
    items_.push_back(std::make_unique<Item>(static_cast<Collection*>(this)));
    Update();
    return *items_.back();
}

template <typename Item, typename Collection>
void TSyntaxItems<Item, Collection>::Delete(int index) {
    items_.erase(items_.begin() + index);
    Update();
}

template <typename Item, typename Collection> void TSyntaxItems<Item, Collection>::Clear() {
    if (items_.empty()) return;
    items_.clear();
    Update();
}

template <typename Item, typename Collection>
void TSyntaxItems<Item, Collection>::Assign(const Collection& source) {
    const TSyntaxItems& from = source;
    if (&from == this) return;
    if (owner_) owner_->BeginUpdate();
    items_.clear();
    for (const auto& item : from.items_) {
        items_.push_back(std::make_unique<Item>(static_cast<Collection*>(this)));
        items_.back()->Assign(*item);
    }
    Update();
    if (owner_) owner_->EndUpdate();
}

template <typename Item, typename Collection> void TSyntaxItems<Item, Collection>::Update() {
    if (owner_) owner_->UpdateFonts();
}

template class TSyntaxItems<TCustomStyle, TCustomStyles>;
template class TSyntaxItems<TWordList, TWordLists>;

} // namespace kelvara
