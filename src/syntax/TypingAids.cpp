#include <algorithm>

#include "syntax/SourceEdit.h"

namespace kelvara {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

} // namespace

// The leading tabs and spaces of the row text before `start`.
std::string TSourceEdit::IndentBefore(int start, int& rowStart) const {
    rowStart = PointToOffset({OffsetToPoint(start).Row, 1});
    int end = rowStart;
    while (end < start && IsBlank(CharAt(end)))
        ++end;
    return TextAt(rowStart, end - rowStart);
}

// Replaces the selection by `opening`, a new row one tab deeper than `indent`
// (where the caret goes) and a row with the closing character.
void TSourceEdit::ExpandBlock(int start, const std::string& indent, std::string_view opening) {
    const std::string deeper = std::string(opening) + "\r\n" + indent + "\t";
    Selection().SetText(deeper + "\r\n" + indent + autoIndentIncreaseEnd_);
    Selection().MoveTo(start + static_cast<int>(deeper.size()));
    Selection().ScrollIntoView(4);
}

void TSourceEdit::KeyPress(std::string_view bytes) {
    if (bytes.size() != 1 || ReadOnly() || DragMoving()) {
        TMemoComponent::KeyPress(bytes);
        return;
    }
    const char key = bytes[0];
    const int start = Selection().RStart();
    int rowStart = 0;
    const std::string indent = IndentBefore(start, rowStart);
    if (key == '\r' && autoIndent_) {
        // A block opens after its character, unless that is the trail byte
        // of a two-byte character or follows a tab or a line break.
        const char before = CharAt(start - 2);
        if (autoIndentIncrease_ && start >= 3 && start - 1 <= TextLength() &&
            CharAt(start - 1) == autoIndentIncreaseStart_ && PrevCharStart(start) == start - 1 &&
            before != '\t' && before != '\n' && before != '\r') {
            ExpandBlock(start, indent, {});
        } else {
            Selection().SetText("\r\n" + indent);
            Selection().ScrollIntoView(4);
        }
        return;
    }
    if (key == autoIndentIncreaseStart_ && autoIndentIncrease_) {
        // Only blanks before the caret on its row and nothing after it.
        int first = rowStart;
        while (first < start && IsBlank(CharAt(first)))
            ++first;
        if (first == start && (start > TextLength() || CharAt(start) == '\r')) {
            ExpandBlock(start, indent, bytes);
            return;
        }
    }
    TMemoComponent::KeyPress(bytes);
}

void TSourceEdit::KeyDown(Key key, ShiftState shift) {
    if (key == Key::Tab && !ReadOnly() && !DragMoving()) {
        if (Held(shift, kShift)) {
            IndentLines(-1);
            return;
        }
        if (Selection().RLength() > 0 &&
            Selection().GetStartPoint().Row < Selection().GetEndPoint().Row) {
            IndentLines(1);
            return;
        }
    }
    TMemoComponent::KeyDown(key, shift);
}

} // namespace kelvara
