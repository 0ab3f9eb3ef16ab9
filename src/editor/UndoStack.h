#pragma once

#include <string>
#include <vector>

namespace kelvara {

// Applying a record replaces offsets Start..End by Text. A record with Start
// -1 is a group mark: the records between two marks undo as one step.
struct UndoRecord {
    int Start = -1;
    int End = -1;
    std::string Text;
};

// An unlimited stack of undo records, top last.
class UndoStack {
public:
    bool Empty() const noexcept { return records_.empty(); }
    int Count() const noexcept { return static_cast<int>(records_.size()); }
    UndoRecord& Top() { return records_.back(); }
    const UndoRecord& Top() const { return records_.back(); }
    // The record `depth` places below the top.
    const UndoRecord& Peek(int depth) const { return records_[records_.size() - 1 - depth]; }
    void Push(UndoRecord record) { records_.push_back(std::move(record)); }
    UndoRecord Pop();
    void Clear() noexcept { records_.clear(); }

private:
    std::vector<UndoRecord> records_;
};

} // namespace kelvara
