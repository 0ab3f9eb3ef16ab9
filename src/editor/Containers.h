#pragma once

#include <vector>

namespace kelvara {

class TFastContainerItem;
class TFastObjectContainer;
class TMemoComponent;

// The item list of a container, in registration order.
class TObjectList {
public:
    explicit TObjectList(TFastObjectContainer* container) : container_(container) {}

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    void Add(TFastContainerItem* item) { items_.push_back(item); }
    TFastContainerItem* Items(int index) const { return items_[index]; }
    int IndexOf(const TFastContainerItem* item) const;
    TFastContainerItem* Last() const { return items_.back(); }
    // Removing the most recently added item needs no search.
    void Remove(const TFastContainerItem* item);
    TFastObjectContainer* Container() const noexcept { return container_; }

private:
    TFastObjectContainer* container_;
    std::vector<TFastContainerItem*> items_;
};

// Keeps the items registered with it and owns those still registered when it
// is destroyed: registered items must have been made with `new`.
class TFastObjectContainer {
public:
    TFastObjectContainer() : items_(this) {}
    virtual ~TFastObjectContainer();
    TFastObjectContainer(const TFastObjectContainer&) = delete;
    TFastObjectContainer& operator=(const TFastObjectContainer&) = delete;

    int Count() const noexcept { return count_; }
    TFastContainerItem* Items(int index) const { return items_.Items(index); }

private:
    friend class TFastContainerItem;
    TObjectList items_;
    int count_ = 0;
};

// An object that can be registered with one container at a time.
class TFastContainerItem {
public:
    explicit TFastContainerItem(TFastObjectContainer* container) { SetContainer(container); }
    virtual ~TFastContainerItem() { SetContainer(nullptr); }
    TFastContainerItem(const TFastContainerItem&) = delete;
    TFastContainerItem& operator=(const TFastContainerItem&) = delete;

    TFastObjectContainer* Container() const noexcept { return container_; }
    void SetContainer(TFastObjectContainer* container);

private:
    TFastObjectContainer* container_ = nullptr;
};

// A settings object that knows the editor owning it.
class TOwnedPersistent {
public:
    explicit TOwnedPersistent(TMemoComponent* owner) : owner_(owner) {}
    virtual ~TOwnedPersistent() = default;

    virtual void SetOwner(TMemoComponent* owner) { owner_ = owner; }
    TMemoComponent* GetOwner() const noexcept { return owner_; }

private:
    TMemoComponent* owner_;
};

} // namespace kelvara
