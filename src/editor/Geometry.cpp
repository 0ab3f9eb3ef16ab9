#include "editor/MemoComponent.h"

#include <algorithm>
#include <cstring>

#include "common/CodePage.h"
#include "editor/DisplayWidth.h"

namespace kelvara {

int TMemoComponent::AdvanceWidth(int offset, int length, int width) const {
    if (codePage_ == CodePage::Gbk) {
        // Bytes are cells: the two pieces around the gap need no joining.
        const auto [first, second] = store_.Pieces(offset - 1, length);
        bool afterLead = false; // `offset` starts a character
        const int before = AdvanceCells(first, width, tabSize_, codePage_, afterLead);
        return AdvanceCells(second, before, tabSize_, codePage_, afterLead);
    }
    return AdvanceCells(TextView(offset, length), width, tabSize_, codePage_);
}

const RowCheckpoints* TMemoComponent::CheckpointsOf(int row) const {
    if (row < 1 || row > LineCount()) return nullptr;
    if (checkpoints_.Holds(row)) return &checkpoints_;
    const int length = LineLength(row);
    if (length < RowCheckpoints::kLongRow) return nullptr;
    checkpoints_.Build(*this, row, PointToOffset({row, 1}), length);
    return &checkpoints_;
}

int TMemoComponent::DisplayColumn(TextPoint point) const {
    if (tabSize_ == 1 && codePage_ == CodePage::Gbk) return point.Col;
    const int start = PointToOffset({point.Row, 1});
    const int count = point.Col - 1;
    if (count <= 0) return point.Col;
    // Bytes outside the text count one column each.
    int first = std::max(start, 1);
    const int last = std::min(start + count - 1, textLength_);
    const int outside = count - std::max(last - first + 1, 0);
    int inside = 0;
    if (last >= first) {
        if (const RowCheckpoints* checkpoints = CheckpointsOf(point.Row)) {
            const RowCheckpoints::Mark& mark = checkpoints->Before(last + 1);
            first = mark.Offset;
            inside = mark.Width;
        }
        if (last >= first) inside = AdvanceWidth(first, last - first + 1, inside);
    }
    return inside + outside + 1;
}

TextPoint TMemoComponent::DisplayToTextPointStart(TextPoint point, int& startColumn) const {
    const int row = std::clamp(point.Row, 1, LineCount());
    const int wanted = point.Col;
    const int length = LineLength(row);
    int from = PointToOffset({row, 1});
    int width = 0; // display columns before the character at `i`
    int reach = length;
    if (const RowCheckpoints* checkpoints = CheckpointsOf(row)) {
        // The character lies before the next mark, a chunk away at most.
        const RowCheckpoints::Mark& mark = checkpoints->BeforeWidth(wanted);
        width = mark.Width;
        from = mark.Offset;
        reach = 3 * RowCheckpoints::kStep;
    }
    const int skipped = from - PointToOffset({row, 1});
    const std::string_view chars = TextView(from, std::min(length - skipped, reach));
    std::size_t i = 0;
    while (i < chars.size()) {
        const std::size_t bytes = CharLength(chars, i, codePage_);
        const int span =
            chars[i] == '\t' ? tabSize_ - width % tabSize_ : CharCells(chars, i, bytes, codePage_);
        if (wanted <= width + span) break;
        width += span;
        i += bytes;
    }
    int column = static_cast<int>(i) + skipped + 1;
    startColumn = width + 1;
    if (i == chars.size()) {
        // Past the row's end every character counts one column.
        column += std::max(wanted - width - 1, 0);
        startColumn = std::max(wanted, width + 1);
    }
    column = std::clamp(column, 1, length + 1);
    return {row, column};
}

TextPoint TMemoComponent::DisplayToTextPoint(TextPoint point) const {
    int startColumn = 0;
    return DisplayToTextPointStart(point, startColumn);
}

int TMemoComponent::LineWidth(int row) const {
    const int length = LineLength(row);
    if ((tabSize_ == 1 && codePage_ == CodePage::Gbk) || length <= 0) return std::max(length, 0);
    if (const RowCheckpoints* checkpoints = CheckpointsOf(row)) return checkpoints->Width();
    return AdvanceWidth(PointToOffset({row, 1}), length, 0);
}

int TMemoComponent::TabWidthAt(int offset) const {
    if (tabSize_ < 2) return tabSize_;
    const TextPoint point = OffsetToPoint(offset);
    return tabSize_ - (DisplayColumn(point) - 1) % tabSize_;
}

TextPoint TMemoComponent::PixelToCell(int x, int y) const {
    const int lineHeight = std::max(lineHeight_, 1);
    const int charWidth = std::max(charWidth_, 1);
    return {(y - topMargin_) / lineHeight + 1, (x + charWidth / 2 - leftMargin_) / charWidth + 1};
}

TPoint TMemoComponent::CellToPixel(TextPoint cell) const {
    return {(cell.Col - 1) * charWidth_ + leftMargin_, (cell.Row - 1) * lineHeight_ + topMargin_};
}

} // namespace kelvara
