#include "editor/Strings.h"

#include "common/AnsiString.h"

namespace kelvara {

void TStrings::Put(int index, std::string_view s) {
    Delete(index);
    Insert(index, s);
}

std::string TStrings::GetTextStr() const {
    std::string result;
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        result += Get(i);
        result += "\r\n";
    }
    return result;
}

void TStrings::SetTextStr(std::string_view text) {
    Clear();
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t j = i;
        while (j < text.size() && text[j] != '\r' && text[j] != '\n')
            ++j;
        Add(text.substr(i, j - i));
        if (j < text.size() && text[j] == '\r') ++j;
        if (j < text.size() && text[j] == '\n') ++j;
        i = j;
    }
}

int TStrings::Add(std::string_view s) {
    const int index = GetCount();
    Insert(index, s);
    return index;
}

void TStrings::Assign(const TStrings& source) {
    if (&source == this) return; // clearing first would lose every line
    Clear();
    const int count = source.GetCount();
    for (int i = 0; i < count; ++i)
        Add(source.Get(i));
}

int TStrings::IndexOf(std::string_view s) const {
    const std::string wanted = LowerCase(s);
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        if (LowerCase(Get(i)) == wanted) return i;
    }
    return -1;
}

} // namespace kelvara
