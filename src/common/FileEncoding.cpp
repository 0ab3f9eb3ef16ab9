#include "common/FileEncoding.h"

namespace kelvara {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

constexpr FileEncoding kUtf8WithBom{CodePage::Utf8, true, Utf16Order::None};
constexpr FileEncoding kUtf16Le{CodePage::Utf8, true, Utf16Order::LittleEndian};
constexpr FileEncoding kUtf16Be{CodePage::Utf8, true, Utf16Order::BigEndian};

bool IsSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

char32_t UnitAt(std::string_view bytes, std::size_t i, Utf16Order order) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return order == Utf16Order::LittleEndian ? char32_t(second << 8 | first)
                                             : char32_t(first << 8 | second);
}

void PutUnit(char32_t unit, Utf16Order order, std::string& out) {
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    if (order == Utf16Order::LittleEndian) {
        out.push_back(low);
        out.push_back(high);
    } else {
        out.push_back(high);
        out.push_back(low);
    }
}

void PutUtf8(char32_t codePoint, std::string& out) {
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

// Decodes UTF-16 without its byte-order mark; the offset of the first bad
// unit when it is not valid.
std::optional<std::size_t> DecodeUtf16(std::string_view bytes, Utf16Order order, std::string& out) {
    out.clear();
    out.reserve(bytes.size() + bytes.size() / 2); // at most 3 bytes per 2
    const std::size_t whole = bytes.size() & ~std::size_t{1};
    for (std::size_t i = 0; i < whole; i += 2) {
        char32_t unit = UnitAt(bytes, i, order);
        if (IsSurrogate(unit)) {
            const bool high = unit <= 0xDBFF;
            const char32_t next = high && i + 2 < whole ? UnitAt(bytes, i + 2, order) : 0;
            if (next < 0xDC00 || next > 0xDFFF) return i;
            unit = 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00);
            i += 2;
        }
        PutUtf8(unit, out);
    }
    if (whole != bytes.size()) return whole;
    return std::nullopt;
}

} // namespace

std::optional<FileEncoding> EncodingOfBom(std::string_view bytes) noexcept {
    if (bytes.starts_with(kUtf8Bom)) return kUtf8WithBom;
    if (bytes.starts_with(kUtf16LeBom)) return kUtf16Le;
    if (bytes.starts_with(kUtf16BeBom)) return kUtf16Be;
    return std::nullopt;
}

FileEncoding DetectEncoding(std::string_view bytes, const CodePageChoice& choice) noexcept {
    if (const std::optional<FileEncoding> marked = EncodingOfBom(bytes)) return *marked;
    if (choice.forced) return PlainEncoding(*choice.forced);
    if (FirstNonAscii(bytes) == bytes.size()) return PlainEncoding(choice.fallback);
    return PlainEncoding(IsValidUtf8(bytes) ? CodePage::Utf8 : CodePage::Gbk);
}

std::string_view EncodingName(const FileEncoding& encoding) noexcept {
    switch (encoding.utf16) {
    case Utf16Order::LittleEndian:
        return "UTF-16LE";
    case Utf16Order::BigEndian:
        return "UTF-16BE";
    case Utf16Order::None:
        break;
    }
    if (encoding.codePage == CodePage::Gbk) return "GBK";
    return encoding.bom ? "UTF-8 BOM" : "UTF-8";
}

std::string_view BomBytes(const FileEncoding& encoding) noexcept {
    if (!encoding.bom) return {};
    switch (encoding.utf16) {
    case Utf16Order::LittleEndian:
        return kUtf16LeBom;
    case Utf16Order::BigEndian:
        return kUtf16BeBom;
    case Utf16Order::None:
        break;
    }
    return encoding.codePage == CodePage::Utf8 ? kUtf8Bom : std::string_view();
}

std::optional<std::size_t> FileText(std::string_view bytes, const FileEncoding& encoding,
                                    std::string& decoded, std::string_view& text) {
    const std::string_view bom = BomBytes(encoding);
    const std::size_t skipped = bytes.starts_with(bom) ? bom.size() : 0;
    if (encoding.utf16 == Utf16Order::None) {
        text = bytes.substr(skipped);
        return std::nullopt;
    }
    if (const auto bad = DecodeUtf16(bytes.substr(skipped), encoding.utf16, decoded))
        return skipped + *bad;
    text = decoded;
    return std::nullopt;
}

std::optional<std::size_t> AppendUtf16(std::string_view utf8, Utf16Order order, std::string& out) {
    out.reserve(out.size() + 2 * utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : CharLength(utf8, i, CodePage::Utf8);
        if (lead >= 0x80 && length == 1) return i;
        char32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k)
            codePoint = codePoint << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        if (codePoint >= 0x10000) {
            codePoint -= 0x10000;
            PutUnit(0xD800 + (codePoint >> 10), order, out);
            PutUnit(0xDC00 + (codePoint & 0x3FF), order, out);
        } else {
            PutUnit(codePoint, order, out);
        }
        i += length;
    }
    return std::nullopt;
}

std::optional<std::size_t> AppendFileBytes(std::string_view text, const FileEncoding& encoding,
                                           std::string& out) {
    out.append(BomBytes(encoding));
    if (encoding.utf16 != Utf16Order::None) return AppendUtf16(text, encoding.utf16, out);
    out.append(text);
    return std::nullopt;
}

} // namespace kelvara
