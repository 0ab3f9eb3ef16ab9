#include "common/AnsiString.h"

#include <algorithm>
#include <cstring>

namespace kelvara {

namespace {

// AnsiPos over `text` from byte `from`, which must be a character boundary;
// returns a 0-based index or npos.
std::size_t FindOnBoundary(std::string_view pattern, std::string_view text, std::size_t from,
                           CodePage codePage) {
    if (pattern.empty()) return std::string_view::npos;
    std::size_t boundary = from; // every position walked to is a character start
    std::size_t searchFrom = from;
    while (searchFrom + pattern.size() <= text.size()) {
        const void* hit = memmem(text.data() + searchFrom, text.size() - searchFrom, pattern.data(),
                                 pattern.size());
        if (!hit) break;
        const auto candidate =
            static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
        while (boundary < candidate)
            boundary += CharLength(text, boundary, codePage);
        if (boundary == candidate) return candidate;
        searchFrom = candidate + 1;
    }
    return std::string_view::npos;
}

} // namespace

int AnsiPos(std::string_view pattern, std::string_view text, CodePage codePage) {
    const std::size_t found = FindOnBoundary(pattern, text, 0, codePage);
    return found == std::string_view::npos ? 0 : static_cast<int>(found) + 1;
}

void LowerCaseInPlace(std::string& text) noexcept {
    for (char& c : text)
        c = LowerByte(c);
}

std::string LowerCase(std::string_view text) {
    std::string result(text);
    LowerCaseInPlace(result);
    return result;
}

void LowerCaseLettersInPlace(std::string& text, CodePage codePage) noexcept {
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i, codePage))
        text[i] = LowerByte(text[i]);
}

std::string LowerCaseLetters(std::string_view text, CodePage codePage) {
    std::string result(text);
    LowerCaseLettersInPlace(result, codePage);
    return result;
}

std::string_view TrimView(std::string_view text) noexcept {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    std::size_t begin = 0, end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string StringReplace(std::string_view text, std::string_view oldPattern,
                          std::string_view newText, bool replaceAll, bool ignoreCase,
                          CodePage codePage) {
    if (text.empty() || oldPattern.empty()) return std::string(text);
    std::string foldedText, foldedPattern;
    std::string_view haystack = text, needle = oldPattern;
    if (ignoreCase) {
        foldedText = LowerCaseLetters(text, codePage);
        foldedPattern = LowerCaseLetters(oldPattern, codePage);
        haystack = foldedText;
        needle = foldedPattern;
    }
    std::string result;
    std::size_t copied = 0;
    std::size_t found = FindOnBoundary(needle, haystack, 0, codePage);
    if (found == std::string_view::npos) return std::string(text);
    result.reserve(text.size());
    while (found != std::string_view::npos) {
        result.append(text.substr(copied, found - copied));
        result.append(newText);
        copied = found + needle.size();
        if (!replaceAll) break;
        found = FindOnBoundary(needle, haystack, copied, codePage);
    }
    result.append(text.substr(copied));
    return result;
}

} // namespace kelvara
