#include "editor/LineBreaks.h"

#include "common/BreakFinder.h"

namespace kelvara {

std::string AdjustLineBreaks(std::string_view text) {
    std::string result;
    // Room for added CRs, and spare room that the text store keeps as its gap.
    result.reserve(text.size() + text.size() / 16 + 4096);
    BreakFinder breaks(text);
    std::size_t i = 0;
    for (std::size_t j = breaks.Next(0); j != std::string_view::npos; j = breaks.Next(i)) {
        result.append(text.data() + i, j - i);
        result += "\r\n";
        i = j + ((text[j] == '\r' && j + 1 < text.size() && text[j + 1] == '\n') ? 2 : 1);
    }
    result.append(text.data() + i, text.size() - i);
    return result;
}

void StripTrailingBlanks(std::string& text) {
    std::size_t out = 0;
    std::size_t rowStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            while (out > rowStart && (text[out - 1] == ' ' || text[out - 1] == '\t'))
                --out;
            text[out++] = c;
            while (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n'))
                text[out++] = text[++i];
            rowStart = out;
        } else {
            text[out++] = c;
        }
    }
    text.resize(out);
}

} // namespace kelvara
