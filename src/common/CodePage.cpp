#include "common/CodePage.h"

namespace kelvara {

namespace {

CodePage currentCodePage = CodePage::Gbk;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence at text[i], or 1 when it is malformed
// (overlong forms, surrogates and values past U+10FFFF included).
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead < 0xC2 || lead > 0xF4) return 1;
    if (lead < 0xE0) {
        length = 2;
    } else if (lead < 0xF0) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    }
    if (i + length > text.size()) return 1;
    const auto second = static_cast<unsigned char>(text[i + 1]);
    if (second < low || second > high) return 1;
    for (std::size_t k = 2; k < length; ++k) {
        if (!IsContinuation(static_cast<unsigned char>(text[i + k]))) return 1;
    }
    return length;
}

} // namespace

CodePage TextCodePage() noexcept { return currentCodePage; }

void SetTextCodePage(CodePage codePage) noexcept { currentCodePage = codePage; }

bool IsLeadByte(unsigned char byte, CodePage codePage) noexcept {
    if (codePage == CodePage::Gbk) return byte >= 0x81 && byte <= 0xFE;
    return byte >= 0xC2 && byte <= 0xF4;
}

std::size_t CharLength(std::string_view text, std::size_t i, CodePage codePage) noexcept {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) return 1;
    if (codePage == CodePage::Gbk)
        return (lead <= 0xFE && lead >= 0x81 && i + 1 < text.size()) ? 2 : 1;
    return Utf8Length(text, i);
}

} // namespace kelvara
