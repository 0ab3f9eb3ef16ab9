#include "syntax/ScanText.h"

#include <algorithm>

namespace kelvara::syntax {

namespace {

bool IsBreak(unsigned char c) { return c == '\r' || c == '\n'; }

} // namespace

int ScanText::WideUnitLength(int offset) const noexcept {
    char bytes[4];
    int count = 0;
    const int available = std::min(4, length_ - offset + 1);
    for (; count < available; ++count) {
        bytes[count] = static_cast<char>(At(offset + count));
        if (count > 0 && IsBreak(static_cast<unsigned char>(bytes[count]))) break;
    }
    return static_cast<int>(CharLength(std::string_view(bytes, count), 0, codePage_));
}

bool ScanText::SingleUnitAt(int offset) const noexcept {
    const unsigned char c = At(offset);
    if (IsBreak(c)) return true;
    if (c >= 0x80) return false; // the callers ask about ASCII bytes only
    if (codePage_ == CodePage::Utf8) return true;
    // A run of GBK lead bytes pairs up from its start, so an odd run right
    // before the byte makes it a trail byte.
    int leads = 0;
    for (int r = offset - 1; r >= 1 && At(r) >= 0x81 && At(r) <= 0xFE; --r)
        ++leads;
    return leads % 2 == 0;
}

bool ScanText::Matches(int offset, std::string_view bytes) const noexcept {
    if (offset < 1 || offset + static_cast<int>(bytes.size()) - 1 > length_) return false;
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        if (At(offset + static_cast<int>(k)) != static_cast<unsigned char>(bytes[k])) return false;
    }
    return true;
}

int ScanText::Copy(int offset, int count, char* buffer) const noexcept {
    const int n = std::max(0, std::min(count, length_ - offset + 1));
    for (int k = 0; k < n; ++k)
        buffer[k] = static_cast<char>(At(offset + k));
    return n;
}

} // namespace kelvara::syntax
