#pragma once

#include <string_view>
#include <utility>

#include "common/CodePage.h"

namespace kelvara::syntax {

// The editor's text as the scanner reads it: two pieces as they lie in the
// text store (nothing is moved or copied), offsets 1-based. Characters are
// units: a GBK two-byte character or a UTF-8 sequence is read as one, and a
// line break ends every character, like the editor's own caret movement.
class ScanText {
public:
    ScanText(std::pair<std::string_view, std::string_view> pieces, CodePage codePage)
        : first_(pieces.first), second_(pieces.second),
          length_(static_cast<int>(first_.size() + second_.size())),
          split_(static_cast<int>(first_.size())), codePage_(codePage) {}

    int Length() const noexcept { return length_; }
    CodePage GetCodePage() const noexcept { return codePage_; }
    unsigned char At(int offset) const noexcept {
        return static_cast<unsigned char>(offset <= split_ ? first_[offset - 1]
                                                           : second_[offset - 1 - split_]);
    }
    // Bytes of the character starting at an offset inside the text.
    int UnitLength(int offset) const noexcept {
        const unsigned char c = At(offset);
        if (c < 0x80) return 1;
        return WideUnitLength(offset);
    }
    // True when the byte at an offset is a character of its own, not the
    // trail of a two-byte character.
    bool SingleUnitAt(int offset) const noexcept;
    // True when `bytes` lie at the offset.
    bool Matches(int offset, std::string_view bytes) const noexcept;
    // Up to `count` bytes from an offset into `buffer`; returns how many.
    int Copy(int offset, int count, char* buffer) const noexcept;

private:
    int WideUnitLength(int offset) const noexcept;

    std::string_view first_;
    std::string_view second_;
    int length_;
    int split_;
    CodePage codePage_;
};

} // namespace kelvara::syntax
