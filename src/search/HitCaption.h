#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/CodePage.h"

namespace kelvara {

// The caption of a find hit in the code page of its file's text:
// "被找字：" + search text + " 在: 行： " + line + " 列: " + column.
std::string HitCaption(std::string_view searchText, std::int32_t line, std::int32_t column,
                       CodePage codePage);
// The same caption appended to `out` (a printer fills one buffer with many).
void AppendHitCaption(std::string& out, std::string_view searchText, std::int32_t line,
                      std::int32_t column, CodePage codePage);
// The three words of the caption in a code page and the chosen language
// ("被找字：", " 在: 行： ", " 列: "), valid until the language changes.
struct HitCaptionWords {
    std::string_view searched;
    std::string_view atLine;
    std::string_view column;
};
HitCaptionWords CaptionWordsIn(CodePage codePage);

} // namespace kelvara
