#include "search/HitCaption.h"

#include <atomic>
#include <charconv>
#include <mutex>

#include "common/CodePageConversion.h"
#include "common/MessageCatalogue.h"

namespace kelvara {

namespace {

struct CaptionWords {
    std::string searched; // "被找字："
    std::string atLine;   // " 在: 行： "
    std::string column;   // " 列: "
};

CaptionWords WordsIn(CodePage codePage) {
    const auto word = [&](std::string_view utf8) {
        std::string text;
        RecodeLenient(utf8, CodePage::Utf8, codePage, text);
        return text;
    };
    return {word(Translate("kelvara::HitCaption", "被找字：")),
            word(Translate("kelvara::HitCaption", " 在: 行： ")),
            word(Translate("kelvara::HitCaption", " 列: "))};
}

// The words in both code pages, looked up again only when the language
// changed, so that a caption costs no lookup or conversion.
const CaptionWords& Words(CodePage codePage) {
    static std::mutex mutex;
    static std::atomic<unsigned> madeFor{~0u};
    static CaptionWords utf8;
    static CaptionWords gbk;
    const unsigned generation = CatalogueGeneration();
    if (madeFor.load(std::memory_order_acquire) != generation) {
        const std::lock_guard lock(mutex);
        if (madeFor.load() != generation) {
            utf8 = WordsIn(CodePage::Utf8);
            gbk = WordsIn(CodePage::Gbk);
            madeFor.store(generation, std::memory_order_release);
        }
    }
    return codePage == CodePage::Gbk ? gbk : utf8;
}

void AppendNumber(std::string& out, std::int32_t value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

} // namespace

HitCaptionWords CaptionWordsIn(CodePage codePage) {
    const CaptionWords& words = Words(codePage);
    return {words.searched, words.atLine, words.column};
}

std::string HitCaption(std::string_view searchText, std::int32_t line, std::int32_t column,
                       CodePage codePage) {
    std::string caption;
    AppendHitCaption(caption, searchText, line, column, codePage);
    return caption;
}

void AppendHitCaption(std::string& out, std::string_view searchText, std::int32_t line,
                      std::int32_t column, CodePage codePage) {
    const CaptionWords& words = Words(codePage);
    out.reserve(out.size() + words.searched.size() + searchText.size() + words.atLine.size() +
                words.column.size() + 22);
    out.append(words.searched);
    out.append(searchText);
    out.append(words.atLine);
    AppendNumber(out, line);
    out.append(words.column);
    AppendNumber(out, column);
}

} // namespace kelvara
