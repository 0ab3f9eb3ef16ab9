#pragma once

#include <cstdint>
#include <vector>

namespace kelvara {

// A list of 32-bit integers, used for the editor's line starts. Besides the
// plain list operations it can add a value to every entry from some index on
// (`ShiftFrom`) lazily: the shift is recorded as a pending step for a tail of
// the list and only written into entries when a later change happens
// elsewhere, so that an edit near one place costs nothing for the far end.
class TIntegerList {
public:
    TIntegerList() = default;

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    std::int32_t Get(int index) const noexcept {
        return items_[index] + (index >= stepFrom_ ? step_ : 0);
    }
    void Put(int index, std::int32_t value);
    void Add(std::int32_t value) { Insert(Count(), value); }
    void Insert(int index, std::int32_t value);
    void InsertRange(int index, const std::vector<std::int32_t>& values);
    void Delete(int index) { DeleteRange(index, 1); }
    void DeleteRange(int index, int count);
    void Clear();

    // Adds `delta` to every entry from `index` to the end.
    void ShiftFrom(int index, std::int32_t delta);

    // The index of the last entry that is at most `value`, or -1; the list must
    // be ascending. The search starts from `guess`.
    int LastAtMost(std::int32_t value, int guess) const noexcept;

private:
    void MoveStepTo(int index);

    std::vector<std::int32_t> items_;
    int stepFrom_ = 0; // entries from here on hold their value minus step_
    std::int32_t step_ = 0;
};

} // namespace kelvara
