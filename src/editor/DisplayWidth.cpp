#include "editor/DisplayWidth.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>

#include "editor/ZeroWidth.h"

namespace kelvara {

namespace {

struct WideRange {
    char32_t First;
    char32_t Last;
};

// East Asian wide (W) and full-width (F) blocks, in order.
constexpr std::array<WideRange, 41> kWideRanges{{
    {0x1100, 0x115F},   {0x231A, 0x231B}, {0x2329, 0x232A}, {0x23E9, 0x23EC}, {0x23F0, 0x23F0},
    {0x23F3, 0x23F3},   {0x25FD, 0x25FE}, {0x2614, 0x2615}, {0x2648, 0x2653}, {0x267F, 0x267F},
    {0x2693, 0x2693},   {0x26A1, 0x26A1}, {0x26AA, 0x26AB}, {0x26BD, 0x26BE}, {0x26C4, 0x26C5},
    {0x26CE, 0x26CE},   {0x26D4, 0x26D4}, {0x26EA, 0x26EA}, {0x26F2, 0x26F5}, {0x26FA, 0x26FD},
    {0x2705, 0x2705},   {0x270A, 0x270B}, {0x2728, 0x2728}, {0x274C, 0x274E}, {0x2753, 0x2757},
    {0x2795, 0x2797},   {0x27B0, 0x27BF}, {0x2B1B, 0x2B1C}, {0x2B50, 0x2B55}, {0x2E80, 0x303E},
    {0x3041, 0x33FF},   {0x3400, 0x4DBF}, {0x4E00, 0xA4CF}, {0xA960, 0xA97F}, {0xAC00, 0xD7A3},
    {0xF900, 0xFAFF},   {0xFE10, 0xFE19}, {0xFE30, 0xFE6F}, {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6},
    {0x16FE0, 0x1B2FF},
}};

// Inside the last block only these stretches are wide.
constexpr std::array<WideRange, 9> kWideSupplementary{{
    {0x1F004, 0x1F004},
    {0x1F0CF, 0x1F0CF},
    {0x1F18E, 0x1F18E},
    {0x1F191, 0x1F19A},
    {0x1F200, 0x1F64F},
    {0x1F680, 0x1F6FF},
    {0x1F7E0, 0x1F7EB},
    {0x1F90C, 0x1FAFF},
    {0x20000, 0x3FFFD},
}};

template <std::size_t N> bool InRanges(const std::array<WideRange, N>& ranges, char32_t codePoint) {
    const auto after = std::upper_bound(
        ranges.begin(), ranges.end(), codePoint,
        [](char32_t value, const WideRange& range) { return value < range.First; });
    return after != ranges.begin() && codePoint <= std::prev(after)->Last;
}

} // namespace

bool IsWideCodePoint(char32_t codePoint) noexcept {
    if (codePoint < 0x1100) return false;
    if (codePoint >= 0x1F004) return InRanges(kWideSupplementary, codePoint);
    return InRanges(kWideRanges, codePoint);
}

int CharCells(std::string_view text, std::size_t i, std::size_t length,
              CodePage codePage) noexcept {
    if (length == 1 || codePage == CodePage::Gbk) return static_cast<int>(length);
    // A well-formed UTF-8 sequence: the lead's payload, then six bits a byte.
    const auto lead = static_cast<unsigned char>(text[i]);
    char32_t codePoint = lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
    for (std::size_t k = 1; k < length; ++k)
        codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    if (codePoint >= 0x4E00 && codePoint <= 0x9FFF) return 2; // the common ideographs, at once
    if (IsZeroWidthCodePoint(codePoint)) return 0;
    return IsWideCodePoint(codePoint) ? 2 : 1;
}

std::size_t WalkCells(std::string_view chars, std::size_t limit, int& width, int tabSize,
                      CodePage codePage, bool& sawTab) noexcept {
    std::size_t i = 0;
    limit = std::min(limit, chars.size());
    while (i < limit) {
        const auto byte = static_cast<unsigned char>(chars[i]);
        if (byte == '\t') {
            width += tabSize - width % tabSize;
            sawTab = true;
            ++i;
        } else if (byte < 0x80) {
            ++width;
            ++i;
        } else {
            const std::size_t length = CharLength(chars, i, codePage);
            width += CharCells(chars, i, length, codePage);
            i += length;
        }
    }
    return i;
}

int AdvanceCells(std::string_view chars, int width, int tabSize, CodePage codePage) noexcept {
    bool afterLead = false;
    return AdvanceCells(chars, width, tabSize, codePage, afterLead);
}

int AdvanceCells(std::string_view chars, int width, int tabSize, CodePage codePage,
                 bool& afterLead) noexcept {
    if (codePage == CodePage::Utf8) {
        bool sawTab = false;
        WalkCells(chars, chars.size(), width, tabSize, codePage, sawTab);
        return width;
    }
    // In GBK every byte is a cell: only tabs need looking at. A tab byte after
    // a lead byte is that character's second byte, not a tab. The run of
    // lead-range bytes before a byte pairs up from its start, since the byte
    // before the run ends a character.
    const auto waitsForSecond = [&](std::size_t end) {
        std::size_t run = 0;
        while (run < end &&
               IsLeadByte(static_cast<unsigned char>(chars[end - run - 1]), CodePage::Gbk))
            ++run;
        return (run + (run == end && afterLead ? 1 : 0)) % 2 == 1;
    };
    const char* at = chars.data();
    const char* end = at + chars.size();
    while (at < end) {
        const void* tab = std::memchr(at, '\t', static_cast<std::size_t>(end - at));
        if (!tab) {
            width += static_cast<int>(end - at);
            break;
        }
        const char* found = static_cast<const char*>(tab);
        width += static_cast<int>(found - at);
        if (waitsForSecond(static_cast<std::size_t>(found - chars.data())))
            ++width;
        else
            width += tabSize - width % tabSize;
        at = found + 1;
    }
    afterLead = waitsForSecond(chars.size());
    return width;
}

} // namespace kelvara
