#pragma once

#include <string_view>

#include "common/CodePage.h"

namespace kelvara {

// Byte-string comparison that folds the letter case of single-byte ASCII
// letters only: a byte of a longer character (a GBK trail byte that looks
// like a letter included) compares as it is. Sorting and searching word lists
// and the in-document search all use it, so their orders agree.
// Negative, zero or positive like memcmp (bytes unsigned).
int CompareTextFolded(std::string_view a, std::string_view b, CodePage codePage);
inline bool SameTextFolded(std::string_view a, std::string_view b, CodePage codePage) {
    return a.size() == b.size() && CompareTextFolded(a, b, codePage) == 0;
}

} // namespace kelvara
