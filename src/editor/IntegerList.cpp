#include "editor/IntegerList.h"

#include <algorithm>

namespace kelvara {

void TIntegerList::MoveStepTo(int index) {
    if (step_ == 0) {
        stepFrom_ = index;
        return;
    }
    // Entries between the two places change sides of the step.
    for (int i = stepFrom_; i < index; ++i)
        items_[i] += step_;
    for (int i = index; i < stepFrom_; ++i)
        items_[i] -= step_;
    stepFrom_ = index;
}

void TIntegerList::Put(int index, std::int32_t value) {
    items_[index] = value - (index >= stepFrom_ ? step_ : 0);
}

void TIntegerList::Insert(int index, std::int32_t value) {
    MoveStepTo(index);
    items_.insert(items_.begin() + index, value);
    ++stepFrom_; // the new entry is stored with its real value
}

void TIntegerList::InsertRange(int index, const std::vector<std::int32_t>& values) {
    if (values.empty()) return;
    MoveStepTo(index);
    items_.insert(items_.begin() + index, values.begin(), values.end());
    stepFrom_ += static_cast<int>(values.size());
}

void TIntegerList::DeleteRange(int index, int count) {
    if (count <= 0) return;
    MoveStepTo(index);
    items_.erase(items_.begin() + index, items_.begin() + index + count);
}

void TIntegerList::Clear() {
    items_.clear();
    stepFrom_ = 0;
    step_ = 0;
}

void TIntegerList::ShiftFrom(int index, std::int32_t delta) {
    if (delta == 0 || index >= Count()) return;
    MoveStepTo(index);
    step_ += delta;
}

int TIntegerList::LastAtMost(std::int32_t value, int guess) const noexcept {
    const int count = Count();
    if (count == 0 || Get(0) > value) return -1;
    int low = std::clamp(guess, 0, count - 1); // Get(low) <= value once settled
    int high;                                  // Get(high) > value, or count
    if (Get(low) <= value) {
        // Gallop forward from the guess, then bisect the last stride.
        int stride = 1;
        while (low + stride < count && Get(low + stride) <= value) {
            low += stride;
            stride *= 2;
        }
        high = std::min(low + stride, count);
    } else {
        high = low;
        int stride = 1;
        while (high - stride > 0 && Get(high - stride) > value) {
            high -= stride;
            stride *= 2;
        }
        low = std::max(high - stride, 0);
    }
    while (high - low > 1) {
        const int middle = low + (high - low) / 2;
        if (Get(middle) <= value) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return low;
}

} // namespace kelvara
