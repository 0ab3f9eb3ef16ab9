#include "common/Language.h"

#include <cstdlib>

#include "common/MessageCatalogue.h"
#include "common/TextCompare.h"

namespace kelvara {

namespace {

std::string_view Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string_view(value) : std::string_view();
}

bool StartsWithLanguage(std::string_view locale, std::string_view language) {
    return locale.size() >= language.size() && locale.substr(0, language.size()) == language &&
           (locale.size() == language.size() || locale[language.size()] == '_' ||
            locale[language.size()] == '.' || locale[language.size()] == '@');
}

// "C", "C.UTF-8", "POSIX": the locale of no language.
bool IsPlainLocale(std::string_view locale) {
    return locale.empty() || locale == "POSIX" || StartsWithLanguage(locale, "C");
}

} // namespace

Language LanguageOfLocale(std::string_view languageList, std::string_view lcAll,
                          std::string_view lcMessages, std::string_view lang) {
    const std::string_view locale = !lcAll.empty()        ? lcAll
                                    : !lcMessages.empty() ? lcMessages
                                                          : lang;
    if (IsPlainLocale(locale) || StartsWithLanguage(locale, "zh")) return Language::Chinese;
    while (!languageList.empty()) {
        const std::size_t colon = languageList.find(':');
        const std::string_view entry = languageList.substr(0, colon);
        if (StartsWithLanguage(entry, "zh")) return Language::Chinese;
        if (StartsWithLanguage(entry, "en")) return Language::English;
        languageList =
            colon == std::string_view::npos ? std::string_view() : languageList.substr(colon + 1);
    }
    return Language::English;
}

Language ChosenLanguage(const TIniFile& settings) {
    const std::string chosen = settings.ReadString("options", "language", "");
    // Both names are ASCII: any code page compares them alike.
    if (SameTextFolded(chosen, "zh", CodePage::Utf8)) return Language::Chinese;
    if (SameTextFolded(chosen, "en", CodePage::Utf8)) return Language::English;
    return LanguageOfLocale(Environment("LANGUAGE"), Environment("LC_ALL"),
                            Environment("LC_MESSAGES"), Environment("LANG"));
}

std::string CatalogueFileName(Language language) {
    return language == Language::English ? "kelvara_en.qm" : std::string();
}

FileStatus UseLanguage(Language language, const std::string& folder) {
    const std::string name = CatalogueFileName(language);
    if (name.empty()) {
        ClearMessageCatalogue();
        return std::nullopt;
    }
    return LoadMessageCatalogue(folder + name);
}

} // namespace kelvara
