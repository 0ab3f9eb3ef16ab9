#include "common/FileEncoding.h"

#include <gtest/gtest.h>
#include <random>

namespace kelvara {
namespace {

constexpr CodePageChoice kAutoGbk{CodePage::Gbk, std::nullopt};
constexpr CodePageChoice kAutoUtf8{CodePage::Utf8, std::nullopt};

TEST(FileEncoding, DetectsByMarkThenValidityThenFallback) {
    const std::string ascii(200, 'a');
    EXPECT_EQ(DetectEncoding(ascii, kAutoGbk), PlainEncoding(CodePage::Gbk));
    EXPECT_EQ(DetectEncoding(ascii, kAutoUtf8), PlainEncoding(CodePage::Utf8));
    EXPECT_EQ(DetectEncoding("", kAutoGbk), PlainEncoding(CodePage::Gbk));
    // One character beyond ASCII decides, wherever it stands.
    EXPECT_EQ(DetectEncoding(ascii + "\xE4\xB8\xAD" + ascii, kAutoGbk),
              PlainEncoding(CodePage::Utf8));
    EXPECT_EQ(DetectEncoding(ascii + "\xD6\xD0" + ascii, kAutoUtf8), PlainEncoding(CodePage::Gbk));
    // A sequence cut at the end, an overlong form or a surrogate is not UTF-8.
    EXPECT_EQ(DetectEncoding(ascii + "\xE4\xB8", kAutoUtf8).codePage, CodePage::Gbk);
    EXPECT_EQ(DetectEncoding("\xC0\x80", kAutoUtf8).codePage, CodePage::Gbk);
    EXPECT_EQ(DetectEncoding("\xED\xA0\x80", kAutoUtf8).codePage, CodePage::Gbk);

    // A byte-order mark wins over everything, a forced code page included.
    const CodePageChoice forcedGbk{CodePage::Utf8, CodePage::Gbk};
    const FileEncoding utf8Bom = DetectEncoding("\xEF\xBB\xBFx", forcedGbk);
    EXPECT_EQ(utf8Bom, (FileEncoding{CodePage::Utf8, true, Utf16Order::None}));
    EXPECT_EQ(EncodingName(utf8Bom), "UTF-8 BOM");
    EXPECT_EQ(EncodingName(DetectEncoding("\xFF\xFEx\0", kAutoGbk)), "UTF-16LE");
    EXPECT_EQ(EncodingName(DetectEncoding("\xFE\xFF\0x", kAutoGbk)), "UTF-16BE");
    EXPECT_EQ(DetectEncoding("\xFE\xFF", kAutoGbk).codePage, CodePage::Utf8);
    EXPECT_EQ(DetectEncoding("\xE4\xB8\xAD", forcedGbk), PlainEncoding(CodePage::Gbk));
    EXPECT_EQ(EncodingName(DetectEncoding("\xD6\xD0", forcedGbk)), "GBK");
}

TEST(FileEncoding, FirstNonAsciiAgreesWithAPlainScanAtEveryPlace) {
    for (std::size_t size = 0; size < 150; size += 7) {
        for (std::size_t at = 0; at <= size; ++at) {
            std::string bytes(size, 'x');
            if (at < size) bytes[at] = '\x80';
            ASSERT_EQ(FirstNonAscii(bytes), at) << size;
        }
    }
}

// Character by character, as the code page classifies them.
bool PlainUtf8Check(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); i += CharLength(bytes, i, CodePage::Utf8)) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80 &&
            CharLength(bytes, i, CodePage::Utf8) == 1)
            return false;
    }
    return true;
}

// Valid sequences of every length and the edges of the valid ranges, with a
// byte changed, cut or put in now and then, across the blocks of the scan.
TEST(FileEncoding, Utf8CheckAgreesWithACheckCharacterByCharacter) {
    std::mt19937 random(8);
    const std::string pieces[] = {"a",
                                  "\xC2\x80",
                                  "\xDF\xBF",
                                  "\xE0\xA0\x80",
                                  "\xED\x9F\xBF",
                                  "\xEE\x80\x80",
                                  "\xEF\xBF\xBF",
                                  "\xF0\x90\x80\x80",
                                  "\xF4\x8F\xBF\xBF",
                                  "\xE4\xB8\xAD",
                                  std::string(40, 'x')};
    const char strays[] = {'\x80', '\xBF', '\xC0', '\xC1', '\xE0', '\xED', '\xF0',
                           '\xF4', '\xF5', '\xFF', '\xA0', '\x90', '\x8F', '\0'};
    int invalid = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string bytes;
        for (int n = static_cast<int>(random() % 30); n > 0; --n)
            bytes += pieces[random() % std::size(pieces)];
        if (!bytes.empty() && round % 2 == 0) {
            const std::size_t at = random() % bytes.size();
            const char stray = strays[random() % std::size(strays)];
            switch (random() % 3) {
            case 0:
                bytes[at] = stray;
                break;
            case 1:
                bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), stray);
                break;
            default:
                bytes.resize(at);
            }
        }
        const bool valid = PlainUtf8Check(bytes);
        invalid += valid ? 0 : 1;
        ASSERT_EQ(IsValidUtf8(bytes), valid) << "round " << round;
    }
    EXPECT_GT(invalid, 5000);

    // Every lead with every second byte around the continuations, and third
    // bytes at the edges of the byte classes, straddling two blocks of the scan.
    std::string bytes(31, 'x');
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int second = 0x7F; second <= 0xC0; ++second) {
            for (const int third : {0x00, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xFF}) {
                bytes.resize(31);
                bytes += {static_cast<char>(lead), static_cast<char>(second),
                          static_cast<char>(third), '\x80', 'x'};
                ASSERT_EQ(IsValidUtf8(bytes), PlainUtf8Check(bytes))
                    << lead << " " << second << " " << third;
            }
        }
    }
}

std::string Utf16(std::u16string_view units, Utf16Order order) {
    std::string bytes;
    for (const char16_t unit : units) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes +=
            order == Utf16Order::LittleEndian ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

TEST(FileEncoding, Utf16TextComesBackAsTheSameBytes) {
    std::mt19937 random(16);
    const char16_t pool[] = {u'a', u'\r', u'\n', u'\0', u'\u4E2D', u'\u00E9', u'\uF780', u'\uFFFF'};
    for (const Utf16Order order : {Utf16Order::LittleEndian, Utf16Order::BigEndian}) {
        const FileEncoding encoding{CodePage::Utf8, true, order};
        for (int round = 0; round < 200; ++round) {
            std::u16string units;
            for (int i = static_cast<int>(random() % 40); i > 0; --i) {
                if (random() % 8 == 0)
                    units += u"\U0001F600"; // a surrogate pair
                else
                    units += pool[random() % std::size(pool)];
            }
            std::string bytes(BomBytes(encoding));
            bytes += Utf16(units, order);
            std::string decoded;
            std::string_view text;
            ASSERT_FALSE(FileText(bytes, encoding, decoded, text));
            // U+F780 is a character like any other here, not a stand-in for a byte.
            ASSERT_TRUE(IsValidUtf8(text));
            std::string again;
            ASSERT_FALSE(AppendFileBytes(text, encoding, again));
            ASSERT_EQ(again, bytes) << "round " << round;
        }
    }
}

TEST(FileEncoding, InvalidUtf16HasNoTextAndSaysWhere) {
    const FileEncoding le{CodePage::Utf8, true, Utf16Order::LittleEndian};
    std::string decoded;
    std::string_view text;
    const auto offset = [&](std::u16string_view units, std::string_view extra = {}) {
        const std::string bytes =
            "\xFF\xFE" + Utf16(units, Utf16Order::LittleEndian) + std::string(extra);
        return FileText(bytes, le, decoded, text);
    };
    const std::u16string highThenLetter = {u'a', 0xD83D, u'b'};
    EXPECT_EQ(offset(u"ab", "x"), 6u);     // an odd byte at the end
    EXPECT_EQ(offset(u"a\xD83D"), 4u);     // a high surrogate at the end
    EXPECT_EQ(offset(highThenLetter), 4u); // a high surrogate without its low one
    EXPECT_EQ(offset(u"ab\xDE00"), 6u);    // a low surrogate alone
    EXPECT_FALSE(offset(u"a\xD83D\xDE00").has_value());
    EXPECT_EQ(text, "a\xF0\x9F\x98\x80");

    // Text that is not valid UTF-8 cannot be written as UTF-16.
    std::string out;
    EXPECT_EQ(AppendUtf16("ab\xE4\xB8", Utf16Order::BigEndian, out), 2u);
    // The plain encodings only put their mark in front.
    std::string plain;
    ASSERT_FALSE(AppendFileBytes("\xD6\xD0", PlainEncoding(CodePage::Gbk), plain));
    EXPECT_EQ(plain, "\xD6\xD0");
    ASSERT_FALSE(AppendFileBytes("x", {CodePage::Utf8, true, Utf16Order::None}, plain));
    EXPECT_EQ(plain, "\xD6\xD0\xEF\xBB\xBFx");
    const std::string marked = plain.substr(2);
    ASSERT_FALSE(FileText(marked, {CodePage::Utf8, true, Utf16Order::None}, decoded, text));
    EXPECT_EQ(text, "x");
}

} // namespace
} // namespace kelvara
