#include "syntax/ReservedWords.h"

#include <algorithm>
#include <array>
#include <vector>

#include "syntax/SyntaxColoring.h"

namespace kelvara {

namespace {

bool IsCaseSensitiveExtension(std::string_view extension) {
    static constexpr std::array<std::string_view, 6> kExtensions = {".c",   ".cpp", ".h",
                                                                    ".hpp", ".bpr", ".class"};
    for (std::string_view known : kExtensions) {
        if (extension == known) return true;
    }
    return false;
}

} // namespace

int LoadReservedWords(const TIniFile& file, std::string_view extension, TWordList& list,
                      const std::function<void(const std::string&)>& onWord) {
    TSyntaxColoring* settings = list.Collection() ? list.Collection()->GetOwner() : nullptr;
    if (settings) settings->BeginUpdate();
    // A damaged count cannot make the load run for ever: no section holds
    // more words than this.
    constexpr int kMostWords = 1 << 20;
    const int count = std::min(file.ReadInteger(extension, "count", 0), kMostWords);
    std::vector<std::string> words;
    words.reserve(count > 0 ? static_cast<std::size_t>(count) : 0);
    for (int i = 0; i < count; ++i) {
        words.push_back(file.ReadString(extension, std::to_string(i), ""));
        if (onWord) onWord(words.back());
    }
    list.SetCaseSensitive(IsCaseSensitiveExtension(extension));
    list.SetWords(words);
    if (settings) settings->EndUpdate();
    return static_cast<int>(words.size());
}

} // namespace kelvara
