#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "common/IniFile.h"
#include "syntax/WordList.h"

namespace kelvara {

// Fills a word list from reservedword.txt: the section named by the
// extension with its dot ("[.cpp]", any letter case) holds `count` and the
// words under the keys 0 .. count-1. The list is cleared first; a missing
// file or section leaves it empty. The C family (".c", ".cpp", ".h", ".hpp",
// ".bpr", ".class", exactly so written) matches case-sensitively, every other
// extension in any letter case. All words go in within one update bracket of
// the list's settings, so the text is re-coloured once. `onWord` sees each
// word as it is added (the window shows them as a running status text).
// Returns the number of words added.
int LoadReservedWords(const TIniFile& file, std::string_view extension, TWordList& list,
                      const std::function<void(const std::string&)>& onWord = {});

} // namespace kelvara
