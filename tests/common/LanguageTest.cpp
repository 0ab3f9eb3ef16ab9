#include "common/Language.h"

#include <gtest/gtest.h>

#include "common/MessageCatalogue.h"
#include "common/TempFolder.h"

namespace kelvara {
namespace {

TEST(Language, FollowsTheLocaleLikeGettext) {
    using enum Language;
    // The locale: LC_ALL, then LC_MESSAGES, then LANG.
    EXPECT_EQ(LanguageOfLocale("", "", "", "zh_CN.UTF-8"), Chinese);
    EXPECT_EQ(LanguageOfLocale("", "", "", "zh_TW.Big5"), Chinese);
    EXPECT_EQ(LanguageOfLocale("", "", "", "en_US.UTF-8"), English);
    EXPECT_EQ(LanguageOfLocale("", "", "", "de_DE.UTF-8"), English); // no German of its own
    EXPECT_EQ(LanguageOfLocale("", "en_GB.UTF-8", "zh_CN.UTF-8", "zh_CN.UTF-8"), English);
    EXPECT_EQ(LanguageOfLocale("", "", "zh_CN.GBK", "en_US.UTF-8"), Chinese);
    // The plain locale, unset included, is Chinese; "zhx" is no Chinese.
    for (const char* plain : {"", "C", "C.UTF-8", "POSIX"})
        EXPECT_EQ(LanguageOfLocale("", "", "", plain), Chinese) << plain;
    EXPECT_EQ(LanguageOfLocale("", "", "", "zhx_YY"), English);
    // LANGUAGE: its first zh or en entry, except under the plain locale.
    EXPECT_EQ(LanguageOfLocale("zh_CN:en", "", "", "en_US.UTF-8"), Chinese);
    EXPECT_EQ(LanguageOfLocale("de:fr:en_GB", "", "", "zh_CN.UTF-8"), Chinese);
    EXPECT_EQ(LanguageOfLocale("de:fr:en_GB", "", "", "fr_FR.UTF-8"), English);
    EXPECT_EQ(LanguageOfLocale("de:zh", "", "", "fr_FR.UTF-8"), Chinese);
    EXPECT_EQ(LanguageOfLocale("en", "", "", "C.UTF-8"), Chinese);
}

TEST(Language, TheSettingsFileOverridesTheLocale) {
    const TempFolder folder;
    const char* saved = std::getenv("LC_ALL");
    const std::string previous = saved ? saved : "";
    setenv("LC_ALL", "zh_CN.UTF-8", 1);
    EXPECT_EQ(ChosenLanguage(TIniFile(folder.Write("a.ini", "[options]\nlanguage=en\n"))),
              Language::English);
    EXPECT_EQ(ChosenLanguage(TIniFile(folder.Write("b.ini", "[options]\nlanguage=fr\n"))),
              Language::Chinese); // not a language of Kelvara's: the locale decides
    setenv("LC_ALL", "en_US.UTF-8", 1);
    EXPECT_EQ(ChosenLanguage(TIniFile(folder.Write("c.ini", "[Options]\nLanguage=ZH\n"))),
              Language::Chinese);
    EXPECT_EQ(ChosenLanguage(TIniFile(folder.Path("missing.ini"))), Language::English);
    if (saved)
        setenv("LC_ALL", previous.c_str(), 1);
    else
        unsetenv("LC_ALL");
}

// The catalogue that lrelease made of translations/kelvara_en.ts.
TEST(MessageCatalogue, ReadsTheBuiltEnglishCatalogue) {
    ASSERT_FALSE(UseLanguage(Language::English, KELVARA_TRANSLATIONS_DIR));
    EXPECT_EQ(Translate("kelvara::FileSet", "链接的目标不存在"),
              "the link's target does not exist");
    EXPECT_EQ(Translate("kelvara::HitCaption", " 在: 行： "), " at line: ");
    // Same source text, other context; and a text without translation.
    EXPECT_EQ(Translate("kelvara::TMDIChild", "复制"), "Copy");
    EXPECT_EQ(Translate("kelvara::Nowhere", "复制"), "复制");
    ASSERT_FALSE(UseLanguage(Language::Chinese, KELVARA_TRANSLATIONS_DIR));
    EXPECT_EQ(Translate("kelvara::FileSet", "链接的目标不存在"), "链接的目标不存在");
}

TEST(MessageCatalogue, ADamagedOrMissingCatalogueIsRefusedAndTheTextsStay) {
    const TempFolder folder;
    std::string good = TempFolder::Read(std::string(KELVARA_TRANSLATIONS_DIR) + "kelvara_en.qm");
    ASSERT_GT(good.size(), 100u);
    ASSERT_FALSE(LoadMessageCatalogue(folder.Write("good.qm", good)));
    const unsigned generation = CatalogueGeneration();
    for (const std::string& bad : {good.substr(0, good.size() / 2), std::string("not a catalogue"),
                                   good.substr(0, 16) + "\x69\xFF\xFF\xFF\xFF", std::string()}) {
        const FileStatus error = LoadMessageCatalogue(folder.Write("bad.qm", bad));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->path, folder.Path("bad.qm"));
        EXPECT_EQ(Translate("kelvara::FileSet", "套接字"), "a socket");
    }
    EXPECT_TRUE(LoadMessageCatalogue(folder.Path("missing.qm")));
    EXPECT_EQ(CatalogueGeneration(), generation);
    ClearMessageCatalogue();
    EXPECT_EQ(Translate("kelvara::FileSet", "套接字"), "套接字");
}

TEST(MessageCatalogue, FormatMessageFillsNumberedArguments) {
    EXPECT_EQ(FormatMessage("%2 of %1, 100%", {"a", "b"}), "b of a, 100%");
    EXPECT_EQ(FormatMessage("%1%3%", {"%2", "x"}), "%2%3%"); // not rescanned; none for %3
    EXPECT_EQ(FormatMessage("", {}), "");
}

} // namespace
} // namespace kelvara
