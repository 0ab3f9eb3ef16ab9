#pragma once

#include <string>
#include <string_view>

namespace kelvara {

// A text that every match of the regular expression `pattern` (UTF-8, PCRE2
// syntax) holds, so that a search can jump from one occurrence of it to the
// next instead of trying the expression on every line: the longest run of
// plain characters that the pattern requires outside groups. Empty when the
// pattern requires none or is beyond this simple reading (alternatives at the
// top, option settings, quoting, verbs): then every line must be tried.
//
// With `caseless`, the matcher folds letters as PCRE2 does in UTF mode, where
// "k" and "s" also match the Kelvin sign and the long s; a run then holds only
// ASCII characters other than those two letters, which the byte finders fold
// exactly.
std::string RequiredLiteral(std::string_view pattern, bool caseless);

} // namespace kelvara
