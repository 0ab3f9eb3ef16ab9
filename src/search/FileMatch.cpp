#include "search/FileMatch.h"

#include "common/CodePageConversion.h"
#include "common/MessageCatalogue.h"

namespace kelvara {

FileMatch::FileMatch(const RunTexts& texts, const MatchOptions& options, CodePage fallback)
    : texts_(texts), options_(options), choice_{fallback, options.ForcedCodePage} {}

std::optional<std::string> FileMatch::Take(std::string_view bytes) {
    bytes_ = bytes;
    known_ = true;
    if (const std::optional<FileEncoding> marked = EncodingOfBom(bytes)) {
        encoding_ = *marked;
    } else if (choice_.forced || !texts_.AsciiOnly()) {
        encoding_ = DetectEncoding(bytes, choice_);
    } else {
        encoding_ = PlainEncoding(choice_.fallback);
        known_ = false;
    }
    if (const auto bad = FileText(bytes, encoding_, decoded_, text_)) {
        text_ = {};
        return FormatMessage(Translate("kelvara::FileMatch", "不是有效的 %1（第 %2 字节）"),
                             {EncodingName(encoding_), std::to_string(*bad + 1)});
    }
    return std::nullopt;
}

const FileEncoding& FileMatch::Encoding() {
    if (!known_) {
        encoding_ = DetectEncoding(bytes_, choice_);
        known_ = true;
    }
    return encoding_;
}

LineMatcher* FileMatch::Matcher() {
    const CodePageTexts& texts = Texts();
    if (!texts.holdsSearchText) return nullptr;
    std::optional<LineMatcher>& matcher = matchers_[static_cast<std::size_t>(Page())];
    if (!matcher) matcher.emplace(texts.searchText, options_, Page(), texts_.Regex());
    return &*matcher;
}

LineMatcher* FileMatch::MatcherFor(std::string_view line) {
    if (!known_ && FirstNonAscii(line) < line.size()) Encoding();
    return Matcher();
}

std::optional<std::string> FileMatch::ReplacementProblem() {
    const FileEncoding& encoding = Encoding();
    if (const std::optional<char32_t> missing = Texts().missingFromReplacement) {
        return FormatMessage(Translate("kelvara::FileMatch", "%1 不能表示替换文字中的 %2"),
                             {EncodingName(PlainEncoding(Page())), CodePointName(*missing)});
    }
    // UTF-16 holds every character, but not bytes that are no character.
    if (encoding.utf16 != Utf16Order::None && !IsValidUtf8(Texts().replacement)) {
        return FormatMessage(
            Translate("kelvara::FileMatch", "替换文字含有不是 UTF-8 字符的字节，不能写入 %1"),
            {EncodingName(encoding)});
    }
    return std::nullopt;
}

} // namespace kelvara
