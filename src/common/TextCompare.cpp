#include "common/TextCompare.h"

#include <algorithm>

#include "common/AnsiString.h"

namespace kelvara {

// While the bytes compared so far are equal (folded), both texts split into
// the same characters, so walking the characters of one is enough.
int CompareTextFolded(std::string_view a, std::string_view b, CodePage codePage) {
    const std::size_t common = std::min(a.size(), b.size());
    std::size_t i = 0;
    while (i < common) {
        const auto x = static_cast<unsigned char>(a[i]);
        if (x < 0x80) {
            const auto fx = static_cast<unsigned char>(LowerByte(a[i]));
            const auto fy = static_cast<unsigned char>(LowerByte(b[i]));
            if (fx != fy) return fx < fy ? -1 : 1;
            ++i;
            continue;
        }
        const std::size_t end = std::min(i + CharLength(a, i, codePage), common);
        for (; i < end; ++i) {
            const auto y = static_cast<unsigned char>(b[i]);
            const auto z = static_cast<unsigned char>(a[i]);
            if (z != y) return z < y ? -1 : 1;
        }
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace kelvara
