#include "search/RunTexts.h"

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

} // namespace

RunTexts::RunTexts(std::string_view text, std::string_view replacement, const MatchOptions& options)
    : texts_{TextsIn(text, replacement, options, CodePage::Gbk),
             TextsIn(text, replacement, options, CodePage::Utf8)},
      asciiOnly_(FirstNonAscii(text) == text.size() &&
                 FirstNonAscii(replacement) == replacement.size()) {}

} // namespace kelvara
