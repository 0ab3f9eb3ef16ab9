#include "editor/RowCheckpoints.h"

#include <algorithm>

#include "common/CodePage.h"
#include "editor/DisplayWidth.h"
#include "editor/MemoComponent.h"

namespace kelvara {

void RowCheckpoints::Clear() noexcept {
    row_ = 0;
    marks_.clear();
    hasTab_.clear();
}

void RowCheckpoints::Build(const TMemoComponent& editor, int row, int start, int length) {
    Clear();
    const CodePage codePage = editor.GetCodePage();
    const int tabSize = editor.TabSize();
    const int end = start + length;
    int offset = start;
    int width = 0;
    marks_.push_back({start, 0});
    while (offset < end) {
        // A little more than a step is viewed so a character crossing the
        // step's end is read whole.
        const int span = std::min(kStep + 8, end - offset);
        const std::string_view chars = editor.TextView(offset, span);
        bool sawTab = false;
        const std::size_t limit = static_cast<std::size_t>(std::min(kStep, end - offset));
        offset += static_cast<int>(WalkCells(chars, limit, width, tabSize, codePage, sawTab));
        marks_.push_back({offset, width});
        hasTab_.push_back(sawTab);
    }
    row_ = row;
}

const RowCheckpoints::Mark& RowCheckpoints::Before(int offset) const {
    const auto after =
        std::upper_bound(marks_.begin(), marks_.end(), offset,
                         [](int value, const Mark& mark) { return value < mark.Offset; });
    return after == marks_.begin() ? marks_.front() : *std::prev(after);
}

const RowCheckpoints::Mark& RowCheckpoints::BeforeWidth(int width) const {
    const auto after = std::partition_point(
        marks_.begin(), marks_.end(), [width](const Mark& mark) { return mark.Width < width; });
    return after == marks_.begin() ? marks_.front() : *std::prev(after);
}

int RowCheckpoints::Rewalk(const TMemoComponent& editor, std::size_t k) {
    const int from = marks_[k].Offset;
    const int to = marks_[k + 1].Offset;
    // A character crossing a mark is read whole; the row's end mark is never
    // crossed (its line break pairs with no lead byte).
    const int beyond = k + 2 < marks_.size() ? 8 : 0;
    const std::string_view chars = editor.TextView(from, to - from + beyond);
    int width = marks_[k].Width;
    bool sawTab = false;
    const std::size_t walked = WalkCells(chars, static_cast<std::size_t>(to - from), width,
                                         editor.TabSize(), editor.GetCodePage(), sawTab);
    hasTab_[k] = sawTab;
    // A character that now crosses the mark moves the mark to its end.
    marks_[k + 1].Offset = from + static_cast<int>(walked);
    const int change = width - marks_[k + 1].Width;
    marks_[k + 1].Width = width;
    return change;
}

void RowCheckpoints::Replaced(const TMemoComponent& editor, int a, int b, int length, int firstRow,
                              int lastRow, int insertedRows) {
    if (row_ == 0 || firstRow > row_) return;
    const int delta = length - (b - a + 1);
    if (lastRow < row_) {
        row_ += insertedRows - (lastRow - firstRow);
        for (Mark& mark : marks_)
            mark.Offset += delta;
        return;
    }
    if (firstRow != row_ || lastRow != row_ || insertedRows != 0) {
        Clear();
        return;
    }
    // The marks inside the replaced bytes go, the later ones move.
    std::size_t k = 0; // the chunk holding a (the one before the row's end mark at most)
    while (k + 2 < marks_.size() && marks_[k + 1].Offset <= a)
        ++k;
    std::size_t next = k + 1;
    while (next + 1 < marks_.size() && marks_[next].Offset <= b)
        ++next;
    marks_.erase(marks_.begin() + static_cast<long>(k + 1),
                 marks_.begin() + static_cast<long>(next));
    hasTab_.erase(hasTab_.begin() + static_cast<long>(k + 1),
                  hasTab_.begin() + static_cast<long>(next));
    for (std::size_t j = k + 1; j < marks_.size(); ++j)
        marks_[j].Offset += delta;
    if (k + 1 >= marks_.size() || marks_[k + 1].Offset - marks_[k].Offset > 2 * kStep) {
        Clear(); // a long paste: walked again when next needed
        return;
    }
    // A change of width carries on unchanged over chunks without a tab and
    // over any chunk when it is a whole number of tab stops. A mark that a
    // character now crosses has moved, and the characters behind it may
    // pair up anew (a run of GBK lead bytes): the next chunk is walked again.
    const int tabSize = editor.TabSize();
    int oldOffset = marks_[k + 1].Offset;
    int change = Rewalk(editor, k);
    for (std::size_t j = k + 1; j + 1 < marks_.size(); ++j) {
        const bool moved = marks_[j].Offset != oldOffset;
        if (!moved && change == 0) break;
        if (marks_[j].Offset >= marks_[j + 1].Offset) {
            Clear(); // the mark passed the next one: walked again when next needed
            return;
        }
        if (moved || (change % tabSize != 0 && hasTab_[j])) {
            oldOffset = marks_[j + 1].Offset;
            change = Rewalk(editor, j);
        } else {
            marks_[j + 1].Width += change;
        }
    }
}

} // namespace kelvara
