#include "search/ExportText.h"

#include "common/CodePageConversion.h"

namespace kelvara {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendUtf8(char32_t codePoint, std::string& out) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

void AppendHexByte(unsigned char byte, std::string& out) {
    out += "\\x";
    out.push_back(kHex[byte >> 4]);
    out.push_back(kHex[byte & 0xF]);
}

} // namespace

void AppendEscapedUtf8(std::string_view bytes, CodePage codePage, std::string& out) {
    for (std::size_t at = 0; at < bytes.size();) {
        const DecodedChar c = DecodeCharAt(bytes, at, codePage);
        if (IsByteEscape(c.codePoint) || (c.codePoint < 0x20 && c.codePoint != '\t') ||
            c.codePoint == 0x7F) {
            for (std::size_t i = 0; i < c.length; ++i)
                AppendHexByte(static_cast<unsigned char>(bytes[at + i]), out);
        } else {
            AppendUtf8(c.codePoint, out);
        }
        at += c.length;
    }
}

bool AppendUtf8IfValid(std::string_view bytes, CodePage codePage, std::string& out) {
    const std::size_t size = out.size();
    for (std::size_t at = 0; at < bytes.size();) {
        const DecodedChar c = DecodeCharAt(bytes, at, codePage);
        if (IsByteEscape(c.codePoint)) {
            out.resize(size);
            return false;
        }
        AppendUtf8(c.codePoint, out);
        at += c.length;
    }
    return true;
}

void AppendBase64(std::string_view bytes, std::string& out) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::size_t at = 0;
    for (; at + 3 <= bytes.size(); at += 3) {
        const unsigned value = static_cast<unsigned char>(bytes[at]) << 16 |
                               static_cast<unsigned char>(bytes[at + 1]) << 8 |
                               static_cast<unsigned char>(bytes[at + 2]);
        for (int shift = 18; shift >= 0; shift -= 6)
            out.push_back(kDigits[(value >> shift) & 0x3F]);
    }
    const std::size_t left = bytes.size() - at;
    if (left == 0) return;
    unsigned value = static_cast<unsigned char>(bytes[at]) << 16;
    if (left == 2) value |= static_cast<unsigned char>(bytes[at + 1]) << 8;
    out.push_back(kDigits[(value >> 18) & 0x3F]);
    out.push_back(kDigits[(value >> 12) & 0x3F]);
    out.push_back(left == 2 ? kDigits[(value >> 6) & 0x3F] : '=');
    out.push_back('=');
}

void AppendJsonString(std::string_view utf8, std::string& out) {
    out.push_back('"');
    for (const char byte : utf8) {
        switch (byte) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(byte) < 0x20) {
                out += "\\u00";
                out.push_back(kHex[byte >> 4]);
                out.push_back(kHex[byte & 0xF]);
            } else {
                out.push_back(byte);
            }
        }
    }
    out.push_back('"');
}

} // namespace kelvara
