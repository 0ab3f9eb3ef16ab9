#include "search/RunTexts.h"

#include "common/AnsiString.h"
#include "common/CodePageConversion.h"
#include "common/FileEncoding.h"
#include "search/Matcher.h"

namespace kelvara {

namespace {

static_assert(static_cast<int>(CodePage::Gbk) == 0 && static_cast<int>(CodePage::Utf8) == 1,
              "RunTexts keeps the texts by code page");

CodePageTexts TextsIn(std::string_view text, std::string_view replacement,
                      const MatchOptions& options, CodePage codePage) {
    CodePageTexts texts;
    std::string encoded;
    if (RecodeText(text, CodePage::Utf8, codePage, encoded)) {
        texts.holdsSearchText = false;
        encoded.clear();
        RecodeLenient(text, CodePage::Utf8, codePage, encoded);
    }
    texts.searchText = PrepareSearchText(encoded, options, codePage);
    if (const auto missing = RecodeText(replacement, CodePage::Utf8, codePage, texts.replacement))
        texts.missingFromReplacement = missing->codePoint;
    return texts;
}

// A regular expression's texts: the pattern for captions, and of the
// replacement only what the code page cannot hold (its groups are the lines'
// own bytes).
CodePageTexts RegexTextsIn(std::string_view text, const RunRegex& regex,
                           const MatchOptions& options, CodePage codePage) {
    CodePageTexts texts;
    std::string encoded;
    RecodeLenient(text, CodePage::Utf8, codePage, encoded);
    texts.searchText = PrepareSearchText(encoded, options, codePage);
    texts.holdsSearchText = regex.pattern != nullptr;
    if (regex.replacement) texts.missingFromReplacement = regex.replacement->MissingFrom(codePage);
    return texts;
}

// Compiles the pattern (trimmed when blanks are ignored, as a search text is)
// and parses the replacement when there is one; false, with the fault (its
// column counted in `text` as typed), when either cannot be used.
bool CompileRegex(std::string_view text, std::string_view replacement, const MatchOptions& options,
                  RunRegex& regex, PatternError& error) {
    const std::string pattern = PrepareSearchText(text, options, CodePage::Utf8);
    regex.pattern = RegexPattern::Compile(
        pattern, {.caseless = !options.CaseSensitive, .wholeWord = options.WholeWord}, error);
    if (!regex.pattern) {
        if (error.column > 0 && options.IgnoreSpaces)
            error.column += static_cast<std::size_t>(TrimView(text).data() - text.data());
        return false;
    }
    if (replacement.empty()) return true;
    std::optional<RegexReplacement> parsed =
        RegexReplacement::Parse(replacement, *regex.pattern, error.message);
    if (!parsed) {
        regex.pattern.reset();
        error.column = 0;
        return false;
    }
    regex.replacement = std::make_shared<const RegexReplacement>(std::move(*parsed));
    return true;
}

} // namespace

std::optional<PatternError> CheckRegex(std::string_view text, std::string_view replacement,
                                       const MatchOptions& options) {
    RunRegex regex;
    PatternError error;
    if (CompileRegex(text, replacement, options, regex, error)) return std::nullopt;
    return error;
}

RunTexts::RunTexts(std::string_view text, std::string_view replacement, const MatchOptions& options)
    : asciiOnly_(FirstNonAscii(text) == text.size() &&
                 FirstNonAscii(replacement) == replacement.size()) {
    PatternError error;
    if (options.Regex && !CompileRegex(text, replacement, options, regex_, error))
        regexError_ = error;
    for (const CodePage codePage : {CodePage::Gbk, CodePage::Utf8}) {
        texts_[static_cast<std::size_t>(codePage)] =
            options.Regex ? RegexTextsIn(text, regex_, options, codePage)
                          : TextsIn(text, replacement, options, codePage);
    }
}

} // namespace kelvara
