#include "app/DocumentEncoding.h"

#include <algorithm>

#include "common/CodePageConversion.h"

namespace kelvara {

namespace {

// The UTF-8 text of UTF-16 bytes (without their mark) that are not all
// valid: every unit that is no character (a surrogate without its partner,
// a last odd byte) becomes U+FFFD, the rest is decoded as it is.
void DecodeDamagedUtf16(std::string_view bytes, Utf16Order order, std::string& out) {
    const FileEncoding plain{CodePage::Utf8, false, order};
    std::string piece;
    std::string_view text;
    out.clear();
    while (!bytes.empty()) {
        const std::size_t good = FileText(bytes, plain, piece, text).value_or(bytes.size());
        if (!FileText(bytes.substr(0, good), plain, piece, text)) out.append(text);
        if (good == bytes.size()) break;
        out.append("\xEF\xBF\xBD"); // U+FFFD
        bytes.remove_prefix(std::min<std::size_t>(good + 2, bytes.size()));
    }
}

// The 1-based line of a byte of a text with LF, CR LF or CR breaks.
int LineOf(std::string_view text, std::size_t position) {
    const std::string_view before = text.substr(0, position);
    int line = 1 + static_cast<int>(std::count(before.begin(), before.end(), '\n'));
    for (std::size_t i = before.find('\r'); i != std::string_view::npos;
         i = before.find('\r', i + 1))
        line += i + 1 >= text.size() || text[i + 1] != '\n';
    return line;
}

// Converts between code pages; bytes that are no character in `from` have
// nothing to convert, and are refused as a character `to` cannot hold is.
std::optional<EncodingProblem> Recode(std::string_view text, CodePage from, CodePage to,
                                      std::string& out) {
    for (std::size_t i = 0; i < text.size();) {
        const DecodedChar decoded = DecodeCharAt(text, i, from);
        if (IsByteEscape(decoded.codePoint))
            return EncodingProblem{EncodingProblem::Kind::NotText, LineOf(text, i)};
        i += decoded.length;
    }
    if (const auto bad = RecodeText(text, from, to, out))
        return EncodingProblem{EncodingProblem::Kind::Unencodable, LineOf(text, bad->position),
                               bad->codePoint};
    return std::nullopt;
}

} // namespace

DocumentText ReadDocumentText(std::string_view bytes, CodePage defaultPage,
                              std::optional<CodePage> chosen, std::string& decoded) {
    DocumentText document;
    document.encoding = DetectEncoding(bytes, {defaultPage, chosen});
    if (chosen &&
        (document.encoding.codePage != *chosen || document.encoding.utf16 != Utf16Order::None))
        document.encoding = PlainEncoding(*chosen);
    if (const auto bad = FileText(bytes, document.encoding, decoded, document.text)) {
        document.damagedAt = bad;
        DecodeDamagedUtf16(bytes.substr(BomBytes(document.encoding).size()),
                           document.encoding.utf16, decoded);
        document.text = decoded;
    }
    return document;
}

std::optional<EncodingProblem> EncodeDocument(std::string_view text, CodePage from,
                                              const FileEncoding& target, std::string& out) {
    std::string converted;
    if (target.codePage != from) {
        if (auto problem = Recode(text, from, target.codePage, converted)) return problem;
        text = converted;
    }
    if (const auto bad = AppendFileBytes(text, target, out))
        return EncodingProblem{EncodingProblem::Kind::NotText, LineOf(text, *bad)};
    return std::nullopt;
}

} // namespace kelvara
