#include <gtest/gtest.h>

#include "editor/Containers.h"

namespace kelvara {
namespace {

class CountedItem : public TFastContainerItem {
public:
    CountedItem(TFastObjectContainer* container, int& alive)
        : TFastContainerItem(container), alive_(alive) {
        ++alive_;
    }
    ~CountedItem() override { --alive_; }

private:
    int& alive_;
};

TEST(Containers, RegistrationFollowsTheItemAndTheContainerFreesTheRest) {
    int alive = 0;
    auto first = std::make_unique<TFastObjectContainer>();
    TFastObjectContainer second;
    auto* a = new CountedItem(first.get(), alive);
    auto* b = new CountedItem(first.get(), alive);
    auto* c = new CountedItem(first.get(), alive);
    EXPECT_EQ(first->Count(), 3);
    EXPECT_EQ(first->Items(1), b);
    b->SetContainer(&second); // a middle item moves to another container
    EXPECT_EQ(first->Count(), 2);
    EXPECT_EQ(first->Items(1), c);
    EXPECT_EQ(second.Items(0), b);
    delete c; // the last one unregisters without a search
    EXPECT_EQ(first->Count(), 1);
    EXPECT_EQ(first->Items(0), a);
    first.reset();
    EXPECT_EQ(alive, 1);
    b->SetContainer(nullptr);
    EXPECT_EQ(second.Count(), 0);
    delete b;
    EXPECT_EQ(alive, 0);
}

} // namespace
} // namespace kelvara
