#include "common/AnsiString.h"

#include <gtest/gtest.h>

namespace kelvara {
namespace {

TEST(AnsiPos, NeverReportsAnOccurrenceInsideAGbkCharacter) {
    // "\xB0\xA1\xA1\xB0" is two GBK characters whose middle bytes spell "\xA1\xA1".
    EXPECT_EQ(AnsiPos("\xA1\xA1", "\xB0\xA1\xA1\xB0", CodePage::Gbk), 0);
    EXPECT_EQ(AnsiPos("\xA1\xA1", "\xB0\xA1\xA1\xA1\xA1", CodePage::Gbk), 3);
    // A GBK trail byte in the ASCII range is not a character of its own.
    EXPECT_EQ(AnsiPos("a",
                      "\xB0"
                      "a"
                      "a",
                      CodePage::Gbk),
              3);
    EXPECT_EQ(AnsiPos("", "abc", CodePage::Gbk), 0);
    EXPECT_EQ(AnsiPos("abc", "", CodePage::Gbk), 0);
    EXPECT_EQ(AnsiPos("bc", "abcbc", CodePage::Gbk), 2);
}

TEST(AnsiPos, ClassifiesUtf8BySequences) {
    // U+4E2D is E4 B8 AD; "\xB8\xAD" inside it is not a character start.
    EXPECT_EQ(AnsiPos("\xB8\xAD", "\xE4\xB8\xAD", CodePage::Utf8), 0);
    // A malformed byte stands alone, so what follows it is a character start.
    EXPECT_EQ(AnsiPos("\xAD", "\xFF\xAD", CodePage::Utf8), 2);
    EXPECT_EQ(AnsiPos("x", "\xE4\xB8x", CodePage::Utf8), 3);
}

TEST(AnsiText, LowerCaseAndTrimWorkOnBytes) {
    EXPECT_EQ(LowerCase("AbC\xB0\x41Z"), "abc\xB0\x61z");
    EXPECT_EQ(Trim(" \t\x01 a b\x1f \x20"), "a b");
    EXPECT_EQ(Trim("\x7f"), "\x7f");
    EXPECT_EQ(Trim("   "), "");
}

TEST(StringReplace, ReplacesLeftToRightWithoutOverlap) {
    EXPECT_EQ(StringReplace("aaaa", "aa", "b", true, false, CodePage::Utf8), "bb");
    EXPECT_EQ(StringReplace("Cat cat", "cat", "dog", true, true, CodePage::Utf8), "dog dog");
    EXPECT_EQ(StringReplace("Cat cat", "cat", "dog", true, false, CodePage::Utf8), "Cat dog");
    EXPECT_EQ(StringReplace("ABC abc", "abc", "XyZ", false, true, CodePage::Utf8), "XyZ abc");
    EXPECT_EQ(StringReplace("", "a", "b", true, false, CodePage::Utf8), "");
    EXPECT_EQ(StringReplace("abc", "", "b", true, false, CodePage::Utf8), "abc");
}

// The GBK characters 說 (D5 66) and 誇 (D5 46) differ only in a trail byte that
// looks like a letter; ignoring case must not make them one.
TEST(AnsiText, FoldingLeavesBytesOfTwoByteCharacters) {
    EXPECT_EQ(LowerCaseLetters("AbC\xB0\x41Z\xD5\x46", CodePage::Gbk), "abc\xB0\x41z\xD5\x46");
    EXPECT_EQ(LowerCaseLetters("A\xC3\xA9Z", CodePage::Utf8), "a\xC3\xA9z");
    EXPECT_EQ(LowerCaseLetters("\xB0", CodePage::Gbk), "\xB0");
    EXPECT_EQ(StringReplace("\xD5\x46\xD5\x66", "\xD5\x66", "x", true, true, CodePage::Gbk),
              "\xD5\x46x");
    EXPECT_EQ(StringReplace("A\xD5\x46", "a\xD5\x46", "x", true, true, CodePage::Gbk), "x");
}

} // namespace
} // namespace kelvara
