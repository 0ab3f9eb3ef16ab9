#include "editor/Containers.h"

#include <algorithm>

namespace kelvara {

int TObjectList::IndexOf(const TFastContainerItem* item) const {
    const auto found = std::find(items_.begin(), items_.end(), item);
    return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

void TObjectList::Remove(const TFastContainerItem* item) {
    if (items_.empty()) return;
    if (items_.back() == item) {
        items_.pop_back();
        return;
    }
    const int index = IndexOf(item);
    if (index >= 0) items_.erase(items_.begin() + index);
}

TFastObjectContainer::~TFastObjectContainer() {
    // Last first; each item unregisters itself from its destructor.
    while (count_ > 0)
        delete items_.Last();
}

void TFastContainerItem::SetContainer(TFastObjectContainer* container) {
    if (container == container_) return;
    if (container_) {
        container_->items_.Remove(this);
        --container_->count_;
        container_ = nullptr;
    }
    if (container) {
        container->items_.Add(this);
        container_ = container;
        ++container->count_;
    }
}

} // namespace kelvara
