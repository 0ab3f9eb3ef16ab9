#include <algorithm>
#include <array>

#include "common/CodePage.h"
#include "editor/DisplayWidth.h"
#include "editor/MemoComponent.h"

namespace kelvara {

namespace {

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

} // namespace

int TMemoComponent::CodePointLengthAt(int offset) const {
    std::array<char, 4> bytes{};
    const int available = offset < 1 ? 0 : std::min(4, textLength_ - offset + 1);
    int count = 0;
    for (; count < available; ++count) {
        bytes[count] = store_.At(offset - 1 + count);
        // A line break ends every character, also a malformed one before it.
        if (count > 0 && IsBreak(bytes[count])) break;
    }
    if (count == 0) return 1;
    return static_cast<int>(CharLength(std::string_view(bytes.data(), count), 0, codePage_));
}

int TMemoComponent::PrevCodePointStart(int offset) const {
    const int last = std::min(offset - 1, textLength_);
    if (last < 1) return offset - 1;
    if (codePage_ == CodePage::Gbk) {
        // Bytes that can only be lead bytes pair up from the start of their run.
        int leads = 0;
        for (int i = last - 1;
             i >= 1 && IsLeadByte(static_cast<unsigned char>(CharAt(i)), CodePage::Gbk); --i) {
            ++leads;
        }
        return (leads % 2 == 1) ? last - 1 : last;
    }
    for (int candidate = last - 1; candidate >= std::max(1, last - 3); --candidate) {
        if ((static_cast<unsigned char>(CharAt(candidate + 1)) & 0xC0) != 0x80) break;
        if (CodePointLengthAt(candidate) == last - candidate + 1) return candidate;
    }
    return last;
}

// Bytes of the zero-width character (UTF-8) at an offset, or 0.
int TMemoComponent::ZeroWidthLengthAt(int offset) const {
    // Zero-width characters start at U+0300, whose lead byte is 0xCC.
    if (offset < 1 || offset > textLength_ || static_cast<unsigned char>(CharAt(offset)) < 0xCC)
        return 0;
    const int length = CodePointLengthAt(offset);
    if (length == 1) return 0;
    std::array<char, 4> bytes{}; // read in place: a view could move the store's gap
    for (int k = 0; k < length; ++k)
        bytes[k] = store_.At(offset - 1 + k);
    const std::string_view mark(bytes.data(), static_cast<std::size_t>(length));
    return CharCells(mark, 0, mark.size(), CodePage::Utf8) == 0 ? length : 0;
}

int TMemoComponent::CharLengthAt(int offset) const {
    int length = CodePointLengthAt(offset);
    if (codePage_ != CodePage::Utf8 || IsBreak(CharAt(offset))) return length;
    while (const int mark = ZeroWidthLengthAt(offset + length))
        length += mark;
    return length;
}

// A zero-width character right after a line break has no base to join.
int TMemoComponent::PrevCharStart(int offset) const {
    int start = PrevCodePointStart(offset);
    if (codePage_ != CodePage::Utf8) return start;
    while (start > 1 && !IsBreak(CharAt(start - 1)) && ZeroWidthLengthAt(start) > 0)
        start = PrevCodePointStart(start);
    return start;
}

} // namespace kelvara
