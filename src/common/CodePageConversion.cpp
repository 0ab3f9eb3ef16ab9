#include "common/CodePageConversion.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <iconv.h>
#include <vector>

namespace kelvara {

namespace {

constexpr unsigned kFirstLead = 0x81;
constexpr unsigned kLastLead = 0xFE;

bool IsSurrogate(char32_t codePoint) { return codePoint >= 0xD800 && codePoint <= 0xDFFF; }

// GBK as the system's converter knows it, turned once into tables. Only codes
// that map one-to-one are kept, so that every decoded character encodes back
// to the bytes it came from; the rest count as invalid bytes.
class GbkTables {
public:
    GbkTables() : pairs_((kLastLead - kFirstLead + 1) * 256), encode_(0x10000) {
        const iconv_t converter = iconv_open("UTF-32LE", "GBK");
        if (converter == reinterpret_cast<iconv_t>(-1)) return; // everything stays invalid
        for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
            const char bytes[] = {static_cast<char>(byte)};
            Add(Convert(converter, bytes, 1), static_cast<std::uint16_t>(byte),
                single_[byte - 0x80]);
        }
        for (unsigned lead = kFirstLead; lead <= kLastLead; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                const char bytes[] = {static_cast<char>(lead), static_cast<char>(trail)};
                const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
                Add(Convert(converter, bytes, 2), code, pairs_[PairIndex(lead, trail)]);
            }
        }
        iconv_close(converter);
    }

    // 0 when the byte is not a character of its own.
    char16_t Single(unsigned char byte) const { return single_[byte - 0x80]; }
    // 0 when the two bytes are not a character.
    char16_t Pair(unsigned char lead, unsigned char trail) const {
        return pairs_[PairIndex(lead, trail)];
    }
    // The GBK code of a character (one byte when below 0x100), 0 when none.
    std::uint16_t Encode(char32_t codePoint) const {
        return codePoint < encode_.size() ? encode_[codePoint] : 0;
    }

private:
    static std::size_t PairIndex(unsigned lead, unsigned trail) {
        return (lead - kFirstLead) * 256 + trail;
    }

    // The code point of exactly these bytes, or 0.
    static char32_t Convert(iconv_t converter, const char* bytes, std::size_t length) {
        unsigned char out[8] = {};
        char* in = const_cast<char*>(bytes);
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t inLeft = length, outLeft = sizeof out;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        const std::size_t done = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
        if (done == static_cast<std::size_t>(-1) || inLeft != 0 || sizeof out - outLeft != 4)
            return 0;
        return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
    }

    void Add(char32_t codePoint, std::uint16_t code, char16_t& slot) {
        if (codePoint < 0x80 || codePoint > 0xFFFF || IsByteEscape(codePoint) || encode_[codePoint])
            return;
        slot = static_cast<char16_t>(codePoint);
        encode_[codePoint] = code;
    }

    std::array<char16_t, 128> single_{};
    std::vector<char16_t> pairs_;
    std::vector<std::uint16_t> encode_;
};

const GbkTables& Gbk() {
    static const GbkTables tables;
    return tables;
}

DecodedChar Escape(unsigned char byte) { return {kByteEscapeBase + byte, 1}; }

DecodedChar DecodeUtf8Char(std::string_view bytes, std::size_t i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = CharLength(bytes, i, CodePage::Utf8);
    if (length == 1) return lead < 0x80 ? DecodedChar{lead, 1} : Escape(lead);
    char32_t codePoint = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k)
        codePoint = codePoint << 6 | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
    return IsByteEscape(codePoint) ? Escape(lead) : DecodedChar{codePoint, length};
}

DecodedChar DecodeGbkChar(std::string_view bytes, std::size_t i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) return {lead, 1};
    if (lead >= kFirstLead && lead <= kLastLead && i + 1 < bytes.size()) {
        const char16_t pair = Gbk().Pair(lead, static_cast<unsigned char>(bytes[i + 1]));
        if (pair) return {pair, 2};
    }
    const char16_t single = Gbk().Single(lead);
    return single ? DecodedChar{single, 1} : Escape(lead);
}

DecodedChar DecodeChar(std::string_view bytes, std::size_t i, CodePage codePage) {
    return codePage == CodePage::Gbk ? DecodeGbkChar(bytes, i) : DecodeUtf8Char(bytes, i);
}

void AppendUtf8(char32_t codePoint, std::string& out) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
        return;
    }
    const int length = codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
    static constexpr unsigned char kLeadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
    out.push_back(static_cast<char>(kLeadMarks[length] | codePoint >> (6 * (length - 1))));
    for (int k = length - 2; k >= 0; --k)
        out.push_back(static_cast<char>(0x80 | ((codePoint >> (6 * k)) & 0x3F)));
}

// Appends the bytes of one code point; false when the code page has none.
bool EncodeChar(char32_t codePoint, CodePage codePage, std::string& out) {
    if (codePoint < 0x80 || IsByteEscape(codePoint)) {
        out.push_back(
            static_cast<char>(codePoint < 0x80 ? codePoint : codePoint - kByteEscapeBase));
        return true;
    }
    if (codePage == CodePage::Utf8) {
        if (IsSurrogate(codePoint) || codePoint > 0x10FFFF) return false;
        AppendUtf8(codePoint, out);
        return true;
    }
    const std::uint16_t code = Gbk().Encode(codePoint);
    if (!code) return false;
    if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
    return true;
}

// Writes one code point as UTF-16 at `out`; returns the position after it.
char16_t* PutUtf16(char32_t codePoint, char16_t* out) {
    if (codePoint < 0x10000) {
        *out++ = static_cast<char16_t>(codePoint);
        return out;
    }
    codePoint -= 0x10000;
    *out++ = static_cast<char16_t>(0xD800 + (codePoint >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
    return out;
}

} // namespace

void DecodeText(std::string_view bytes, CodePage codePage, std::u16string& out) {
    // No character takes fewer bytes than UTF-16 code units.
    const std::size_t start = out.size();
    out.resize(start + bytes.size());
    char16_t* const first = out.data() + start;
    char16_t* next = first;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) { // the common case needs no table
            *next++ = byte;
            ++i;
            continue;
        }
        const DecodedChar decoded = DecodeChar(bytes, i, codePage);
        next = PutUtf16(decoded.codePoint, next);
        i += decoded.length;
    }
    out.resize(start + static_cast<std::size_t>(next - first));
}

DecodedChar DecodeCharAt(std::string_view bytes, std::size_t i, CodePage codePage) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) return {byte, 1};
    return DecodeChar(bytes, i, codePage);
}

std::u16string DecodeText(std::string_view bytes, CodePage codePage) {
    std::u16string text;
    DecodeText(bytes, codePage, text);
    return text;
}

std::optional<UnencodableChar> EncodeText(std::u16string_view text, CodePage codePage,
                                          std::string& out) {
    out.reserve(out.size() + text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t codePoint = text[i];
        const bool pair = codePoint >= 0xD800 && codePoint <= 0xDBFF && i + 1 < text.size() &&
                          text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        if (pair) codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        if (!EncodeChar(codePoint, codePage, out)) return UnencodableChar{codePoint, i};
        if (pair) ++i;
    }
    return std::nullopt;
}

std::optional<UnencodableChar> RecodeText(std::string_view bytes, CodePage from, CodePage to,
                                          std::string& out) {
    if (from == to) {
        out.append(bytes);
        return std::nullopt;
    }
    for (std::size_t i = 0; i < bytes.size();) {
        const DecodedChar decoded = DecodeChar(bytes, i, from);
        if (!EncodeChar(decoded.codePoint, to, out)) return UnencodableChar{decoded.codePoint, i};
        i += decoded.length;
    }
    return std::nullopt;
}

void RecodeLenient(std::string_view bytes, CodePage from, CodePage to, std::string& out) {
    if (from == to) {
        out.append(bytes);
        return;
    }
    for (std::size_t i = 0; i < bytes.size();) {
        const DecodedChar decoded = DecodeChar(bytes, i, from);
        if (!EncodeChar(decoded.codePoint, to, out)) out.append(bytes.substr(i, decoded.length));
        i += decoded.length;
    }
}

std::string TextFromUtf8(std::string_view utf8) {
    std::string text;
    RecodeLenient(utf8, CodePage::Utf8, TextCodePage(), text);
    return text;
}

std::string CodePointName(char32_t codePoint) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(codePoint));
    return name;
}

} // namespace kelvara
