#include "search/HitCaption.h"

#include <charconv>

namespace kelvara {

namespace {

struct CaptionWords {
    std::string_view searched; // "被找字："
    std::string_view atLine;   // " 在: 行： "
    std::string_view column;   // " 列: "
};

// The words in both code pages, so that no conversion is needed per hit.
constexpr CaptionWords kUtf8Words{"被找字：", " 在: 行： ", " 列: "};
constexpr CaptionWords kGbkWords{"\xB1\xBB\xD5\xD2\xD7\xD6\xA3\xBA", " \xD4\xDA: \xD0\xD0\xA3\xBA ",
                                 " \xC1\xD0: "};

void AppendNumber(std::string& out, std::int32_t value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

} // namespace

std::string HitCaption(std::string_view searchText, std::int32_t line, std::int32_t column,
                       CodePage codePage) {
    std::string caption;
    AppendHitCaption(caption, searchText, line, column, codePage);
    return caption;
}

void AppendHitCaption(std::string& out, std::string_view searchText, std::int32_t line,
                      std::int32_t column, CodePage codePage) {
    const CaptionWords& words = codePage == CodePage::Gbk ? kGbkWords : kUtf8Words;
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
