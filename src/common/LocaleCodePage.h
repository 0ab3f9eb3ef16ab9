#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/CodePage.h"
#include "common/CodePageConversion.h"
#include "common/IniFile.h"

// The text code page chosen at start-up, and the way between it and the
// encoding of the user's locale (command-line arguments, terminal output).
namespace kelvara {

// GBK for the GBK family of code sets (GBK, GB2312, GB18030, CP936, EUC-CN;
// any letter case, with or without "-" and "_"), UTF-8 for every other one.
CodePage CodePageOfCodeSet(std::string_view codeSet);

// The code page of the locale's character type (LC_CTYPE from the
// environment), looked up once.
CodePage LocaleCodePage();

// [options] codepage of the settings file: 936 is GBK, 65001 UTF-8; without
// either the locale decides.
CodePage CodePageOfSettings(const TIniFile& settings);

// A text for the terminal: bytes that do not convert are written as they are.
std::string TextToLocale(std::string_view text);

} // namespace kelvara
