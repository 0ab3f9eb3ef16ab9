#include "common/CodePageConversion.h"

#include <gtest/gtest.h>
#include <random>

#include "common/LocaleCodePage.h"
#include "common/TempFolder.h"

namespace kelvara {
namespace {

std::string RoundTrip(std::string_view bytes, CodePage codePage) {
    std::string out;
    const auto failure = EncodeText(DecodeText(bytes, codePage), codePage, out);
    EXPECT_FALSE(failure) << "at " << (failure ? failure->position : 0);
    return out;
}

TEST(CodePageConversion, AnyByteStringSurvivesARoundTrip) {
    std::mt19937 random(20240611);
    for (const CodePage codePage : {CodePage::Gbk, CodePage::Utf8}) {
        for (int round = 0; round < 300; ++round) {
            std::string bytes(random() % 200, '\0');
            const bool highBytes = round % 2 == 0; // half of them mostly non-ASCII
            for (char& byte : bytes)
                byte = static_cast<char>(highBytes ? 0x80 | random() : random());
            ASSERT_EQ(RoundTrip(bytes, codePage), bytes) << "round " << round;
        }
    }
    std::string everyPair;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFF; ++trail)
            everyPair += {static_cast<char>(lead), static_cast<char>(trail)};
    }
    EXPECT_EQ(RoundTrip(everyPair, CodePage::Gbk), everyPair);
}

TEST(CodePageConversion, DecodesGbkAndEscapesWhatIsNotGbk) {
    EXPECT_EQ(DecodeText("a\xB0\xA1\xD6\xD0", CodePage::Gbk), u"a\u554A\u4E2D");
    EXPECT_EQ(DecodeText("\x80", CodePage::Gbk), u"\u20AC");
    // A user-defined code, 0xFF and a lead byte at the end are invalid bytes.
    EXPECT_EQ(DecodeText("\xAA\xA1", CodePage::Gbk), u"\uF7AA\uF7A1");
    EXPECT_EQ(DecodeText("\xFF", CodePage::Gbk), u"\uF7FF");
    EXPECT_EQ(DecodeText("x\xB0", CodePage::Gbk), u"x\uF7B0");
    // An invalid pair leaves its second byte to stand for itself.
    EXPECT_EQ(DecodeText("\x81\x7F", CodePage::Gbk), u"\uF781\x7F");
}

TEST(CodePageConversion, DecodesUtf8AndEscapesMalformedBytes) {
    EXPECT_EQ(DecodeText("\xE4\xB8\xAD\xF0\x9F\x98\x80", CodePage::Utf8), u"\u4E2D\U0001F600");
    EXPECT_EQ(DecodeText("\xC0\x80", CodePage::Utf8), u"\uF7C0\uF780");           // overlong
    EXPECT_EQ(DecodeText("\xED\xA0\x80", CodePage::Utf8), u"\uF7ED\uF7A0\uF780"); // surrogate
    EXPECT_EQ(DecodeText("\xE4\xB8", CodePage::Utf8), u"\uF7E4\uF7B8");           // cut short
    // A real character inside the escape range is taken as its bytes, so
    // it comes back as it was.
    const std::string escapeChar = "\xEF\x9E\x80";
    EXPECT_EQ(DecodeText(escapeChar, CodePage::Utf8), u"\uF7EF\uF79E\uF780");
    EXPECT_EQ(RoundTrip(escapeChar, CodePage::Utf8), escapeChar);
}

TEST(CodePageConversion, ReportsCharactersTheCodePageCannotHold) {
    std::string out;
    auto failure = EncodeText(u"ab\U0001F600c", CodePage::Gbk, out);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->codePoint, U'\U0001F600');
    EXPECT_EQ(failure->position, 2u);
    EXPECT_EQ(CodePointName(failure->codePoint), "U+1F600");

    out.clear();
    failure = EncodeText(u"x\xD800y", CodePage::Utf8, out); // a lone surrogate
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->codePoint, 0xD800u);
    EXPECT_EQ(failure->position, 1u);

    out.clear();
    EXPECT_FALSE(EncodeText(u"\u20AC\u554A\uF7FF", CodePage::Gbk, out));
    EXPECT_EQ(out, "\x80\xB0\xA1\xFF");
}

TEST(CodePageConversion, RecodesBetweenCodePages) {
    std::string out;
    EXPECT_FALSE(RecodeText("\xD6\xD0 \xFF", CodePage::Gbk, CodePage::Utf8, out));
    EXPECT_EQ(out, "\xE4\xB8\xAD \xFF"); // the invalid byte is copied

    out.clear();
    const auto failure = RecodeText("ok \xF0\x9F\x98\x80", CodePage::Utf8, CodePage::Gbk, out);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->position, 3u);

    out.clear();
    RecodeLenient("\xE4\xB8\xAD\xF0\x9F\x98\x80", CodePage::Utf8, CodePage::Gbk, out);
    EXPECT_EQ(out, "\xD6\xD0\xF0\x9F\x98\x80");
}

TEST(LocaleCodePage, NamesAndSettingsChooseTheCodePage) {
    for (const char* name : {"GBK", "gb2312", "GB18030", "cp936", "EUC-CN", "gb_2312"})
        EXPECT_EQ(CodePageOfCodeSet(name), CodePage::Gbk) << name;
    for (const char* name : {"UTF-8", "utf8", "ANSI_X3.4-1968", "ISO-8859-1", ""})
        EXPECT_EQ(CodePageOfCodeSet(name), CodePage::Utf8) << name;

    TempFolder folder;
    EXPECT_EQ(CodePageOfSettings(TIniFile(folder.Write("g.ini", "[Options]\nCodePage=936\n"))),
              CodePage::Gbk);
    EXPECT_EQ(CodePageOfSettings(TIniFile(folder.Write("u.ini", "[options]\ncodepage=65001\n"))),
              CodePage::Utf8);
    EXPECT_EQ(CodePageOfSettings(TIniFile(folder.Write("o.ini", "[options]\ncodepage=1252\n"))),
              LocaleCodePage());
}

} // namespace
} // namespace kelvara
