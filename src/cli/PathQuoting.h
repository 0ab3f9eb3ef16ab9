#pragma once

#include <string>
#include <string_view>

namespace kelvara {

// Appends a path for a line-based listing. A Linux file name may hold any
// byte but NUL and "/", so a path holding a control byte (a line break would
// split its line) or beginning with a double quote is written in double
// quotes with C escapes (\n, \t, \", \\, \ooo); every other path, other
// code-page bytes included, is written as the file system gives it.
void AppendQuotedPath(std::string& out, std::string_view path);

std::string QuotedPath(std::string_view path);

} // namespace kelvara
