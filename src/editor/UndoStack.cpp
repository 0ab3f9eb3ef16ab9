#include "editor/UndoStack.h"

namespace kelvara {

UndoRecord UndoStack::Pop() {
    UndoRecord record = std::move(records_.back());
    records_.pop_back();
    return record;
}

} // namespace kelvara
