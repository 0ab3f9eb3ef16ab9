#include "editor/MemoComponent.h"

#include <algorithm>
#include <cstring>

#include "common/CodePage.h"

namespace kelvara {

namespace {

// Display width reached after `chars`, starting at width `width`: a tab
// advances to the next multiple of the tab size, every other byte by one.
int WidthOf(std::string_view chars, int width, int tabSize) {
    const char* at = chars.data();
    const char* end = at + chars.size();
    while (at < end) {
        const void* tab = std::memchr(at, '\t', end - at);
        if (!tab) return width + static_cast<int>(end - at);
        width += static_cast<int>(static_cast<const char*>(tab) - at);
        width += tabSize - width % tabSize;
        at = static_cast<const char*>(tab) + 1;
    }
    return width;
}

} // namespace

int TMemoComponent::AdvanceWidth(int offset, int length, int width) const {
    const auto [first, second] = store_.Pieces(offset - 1, length);
    return WidthOf(second, WidthOf(first, width, tabSize_), tabSize_);
}

int TMemoComponent::DisplayColumn(TextPoint point) const {
    if (tabSize_ == 1) return point.Col;
    const int start = PointToOffset({point.Row, 1});
    const int count = point.Col - 1;
    if (count <= 0) return point.Col;
    // Bytes outside the text count one column each.
    const int first = std::max(start, 1);
    const int last = std::min(start + count - 1, textLength_);
    const int outside = count - std::max(last - first + 1, 0);
    const int inside = last >= first ? AdvanceWidth(first, last - first + 1, 0) : 0;
    return inside + outside + 1;
}

TextPoint TMemoComponent::DisplayToTextPointStart(TextPoint point, int& startColumn) const {
    const int row = std::clamp(point.Row, 1, LineCount());
    const int wanted = point.Col;
    const int length = LineLength(row);
    const std::string_view chars = TextView(PointToOffset({row, 1}), length);
    const CodePage codePage = TextCodePage();
    int width = 0; // display columns before the character at `i`
    std::size_t i = 0;
    while (i < chars.size()) {
        const int bytes = static_cast<int>(CharLength(chars, i, codePage));
        const int span = chars[i] == '\t' && tabSize_ != 1 ? tabSize_ - width % tabSize_ : bytes;
        if (wanted <= width + span) break;
        width += span;
        i += bytes;
    }
    int column = static_cast<int>(i) + 1;
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
    if (tabSize_ == 1 || length <= 0) return std::max(length, 0);
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
