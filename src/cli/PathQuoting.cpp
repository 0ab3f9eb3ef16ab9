#include "cli/PathQuoting.h"

#include <algorithm>

namespace kelvara {

namespace {

bool IsControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

bool NeedsQuotes(std::string_view path) {
    return (!path.empty() && path.front() == '"') ||
           std::any_of(path.begin(), path.end(),
                       [](char byte) { return IsControl(static_cast<unsigned char>(byte)); });
}

char EscapeLetter(char byte) {
    switch (byte) {
    case '\a':
        return 'a';
    case '\b':
        return 'b';
    case '\t':
        return 't';
    case '\n':
        return 'n';
    case '\v':
        return 'v';
    case '\f':
        return 'f';
    case '\r':
        return 'r';
    case '"':
    case '\\':
        return byte;
    default:
        return 0;
    }
}

} // namespace

void AppendQuotedPath(std::string& out, std::string_view path) {
    if (!NeedsQuotes(path)) {
        out.append(path);
        return;
    }
    out.push_back('"');
    for (const char byte : path) {
        const auto code = static_cast<unsigned char>(byte);
        if (const char letter = EscapeLetter(byte)) {
            out.push_back('\\');
            out.push_back(letter);
        } else if (IsControl(code)) {
            out.push_back('\\');
            out.push_back(static_cast<char>('0' + (code >> 6)));
            out.push_back(static_cast<char>('0' + ((code >> 3) & 7)));
            out.push_back(static_cast<char>('0' + (code & 7)));
        } else {
            out.push_back(byte);
        }
    }
    out.push_back('"');
}

std::string QuotedPath(std::string_view path) {
    std::string out;
    AppendQuotedPath(out, path);
    return out;
}

} // namespace kelvara
