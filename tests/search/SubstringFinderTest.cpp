#include "search/SubstringFinder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/AnsiString.h"

namespace kelvara {
namespace {

// Whether `pattern` stands at `at`: ignoring case, a byte of the pattern that
// is a character of its own matches either letter case, any other byte only itself.
bool PlainMatch(const std::string& text, std::size_t at, const std::string& pattern,
                bool ignoreCase, CodePage codePage) {
    if (at + pattern.size() > text.size()) return false;
    std::size_t charStart = 0;
    for (std::size_t k = 0; k < pattern.size(); ++k) {
        const bool single = k == charStart && CharLength(pattern, k, codePage) == 1;
        if (k == charStart) charStart += CharLength(pattern, k, codePage);
        const bool folded = ignoreCase && single;
        if ((folded ? LowerByte(text[at + k]) : text[at + k]) !=
            (folded ? LowerByte(pattern[k]) : pattern[k]))
            return false;
    }
    return true;
}

TEST(SubstringFinder, AgreesWithAPlainSearchFromEveryPosition) {
    std::mt19937 random(7);
    const std::string alphabet = "abAB\xB0";
    auto text = [&](std::size_t length) {
        std::string result;
        for (std::size_t i = 0; i < length; ++i)
            result += alphabet[random() % alphabet.size()];
        return result;
    };
    for (int round = 0; round < 3000; ++round) {
        const std::string haystack = text(random() % 90);
        const std::string pattern = text(1 + random() % 5);
        const bool ignoreCase = random() % 2 == 0;
        const CodePage codePage = random() % 2 == 0 ? CodePage::Gbk : CodePage::Utf8;
        const SubstringFinder finder(pattern, ignoreCase, codePage);
        for (std::size_t from = 0; from <= haystack.size() + 1; ++from) {
            std::size_t expected = std::string::npos;
            for (std::size_t at = from; at < haystack.size() && expected == std::string::npos;
                 ++at) {
                if (PlainMatch(haystack, at, pattern, ignoreCase, codePage)) expected = at;
            }
            ASSERT_EQ(finder.Find(haystack, from), expected)
                << "'" << pattern << "' in '" << haystack << "' from " << from << " ignoring case "
                << ignoreCase << " GBK " << (codePage == CodePage::Gbk);
        }
    }
    EXPECT_EQ(SubstringFinder("", false, CodePage::Utf8).Find("abc", 0),
              SubstringFinder::kNotFound);
    EXPECT_EQ(SubstringFinder("abc", false, CodePage::Utf8).Find("", 0),
              SubstringFinder::kNotFound);
}

// 說 is D5 66 and 誇 is D5 46 in GBK: ignoring case must not make them one.
TEST(SubstringFinder, IgnoringCaseKeepsGbkTrailBytesAsTheyAre) {
    const SubstringFinder shuo("\xD5\x66", true, CodePage::Gbk);
    EXPECT_EQ(shuo.Find("\xD5\x46\xD5\x66", 0), 2u);
    const SubstringFinder kua("x\xD5\x46y", true, CodePage::Gbk);
    EXPECT_EQ(kua.Find("X\xD5\x66Y X\xD5\x46Y", 0), 5u);
    // Letters that are characters of their own still fold, around and between.
    const SubstringFinder mixed("a\xD5\x46\xD5\x46z", true, CodePage::Gbk);
    EXPECT_EQ(mixed.Find("A\xD5\x66\xD5\x46Z A\xD5\x46\xD5\x46Z", 0), 7u);
    // In UTF-8 no byte of a longer character is a letter: all letters fold.
    EXPECT_EQ(SubstringFinder("\xC3\xA9x", true, CodePage::Utf8).Find("\xC3\xA9X", 0), 0u);
}

} // namespace
} // namespace kelvara
