#pragma once

#include <string>
#include <string_view>

#include "common/IniFile.h"

// The language of captions and messages: Chinese, the language they are
// written in, or English from a translation catalogue.
namespace kelvara {

enum class Language { Chinese, English };

// The language of the locale, by gettext's rules: the locale is the first of
// LC_ALL, LC_MESSAGES and LANG that is set. "C" and "POSIX" (the plain
// locale, unset included) are Chinese, and so is a zh_* locale. Otherwise the
// colon-separated LANGUAGE list is read first: its first zh or en entry
// decides. Any other locale, with no translation of its own, gets English.
Language LanguageOfLocale(std::string_view languageList, std::string_view lcAll,
                          std::string_view lcMessages, std::string_view lang);

// [options] language of the settings file ("zh" or "en") when set, else the
// locale of the environment.
Language ChosenLanguage(const TIniFile& settings);

// The catalogue file of a language in the translations folder
// ("kelvara_en.qm"); empty for Chinese, which needs none.
std::string CatalogueFileName(Language language);

// Loads the catalogue of `language` from `folder` (ending in "/") for the
// core's messages, or goes back to the source texts for Chinese. On failure
// the messages stay Chinese and the error says why.
[[nodiscard]] FileStatus UseLanguage(Language language, const std::string& folder);

} // namespace kelvara
