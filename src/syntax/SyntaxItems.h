#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace kelvara {

class TSyntaxColoring;

// The word lists or the custom styles of a settings object, in order.
// Changing the list re-colours the settings object's text. `Collection` is the
// list's own class, which each of its items is made with.
template <typename Item, typename Collection> class TSyntaxItems {
public:
    explicit TSyntaxItems(TSyntaxColoring* owner) : owner_(owner) {}
    TSyntaxItems(const TSyntaxItems&) = delete;
    TSyntaxItems& operator=(const TSyntaxItems&) = delete;

    TSyntaxColoring* GetOwner() const noexcept { return owner_; }
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    Item& Items(int index) const { return *items_[index]; }
    Item& Add();
    void Delete(int index);
    void Clear();
    // Copies of the items of `source`, in one update of the settings object.
    void Assign(const Collection& source);
    // Re-colours the settings object's text after a change of the list or of
    // one of its items.
    void Update();

    // The first item for which `matches` holds, or null; `index` receives its
    // position.
    template <typename Matches> const Item* FindFirst(Matches matches, int* index) const {
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (!matches(*items_[i])) continue;
            if (index) *index = static_cast<int>(i);
            return items_[i].get();
        }
        return nullptr;
    }

protected:
    ~TSyntaxItems() = default;

    std::vector<std::unique_ptr<Item>> items_;

private:
    TSyntaxColoring* owner_;
};

} // namespace kelvara
