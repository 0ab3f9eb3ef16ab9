#pragma once

#include <string>
#include <string_view>

namespace kelvara {

// `text` with every line break as CR LF: a CR LF pair stays one break, a lone
// CR and a lone LF each become CR LF (so LF CR is two breaks). All other bytes,
// those of two-byte characters included, pass unchanged.
std::string AdjustLineBreaks(std::string_view text);

// Removes the tabs and spaces that stand right before each CR. The blanks
// after the last CR (an unfinished row) are kept.
void StripTrailingBlanks(std::string& text);

} // namespace kelvara
