#include "search/SubstringFinder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/AnsiString.h"

namespace kelvara {
namespace {

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
        const SubstringFinder finder(pattern, ignoreCase);
        const std::string plainText = ignoreCase ? LowerCase(haystack) : haystack;
        const std::string plainPattern = ignoreCase ? LowerCase(pattern) : pattern;
        for (std::size_t from = 0; from <= haystack.size() + 1; ++from) {
            const std::size_t expected =
                from > haystack.size() ? std::string::npos : plainText.find(plainPattern, from);
            ASSERT_EQ(finder.Find(haystack, from), expected)
                << "'" << pattern << "' in '" << haystack << "' from " << from << " ignoring case "
                << ignoreCase;
        }
    }
    EXPECT_EQ(SubstringFinder("").Find("abc", 0), SubstringFinder::kNotFound);
    EXPECT_EQ(SubstringFinder("abc").Find("", 0), SubstringFinder::kNotFound);
}

} // namespace
} // namespace kelvara
