// Random Unicode texts written in every encoding Kelvara reads: a find gives
// the same hits (line and character) in each file, and a replace turns each
// file into the expected text in its own encoding, byte for byte.
#include <random>

#include <gtest/gtest.h>

#include "common/AskUser.h"
#include "common/CodePageConversion.h"
#include "common/FileEncoding.h"
#include "search/BatchFind.h"
#include "search/BatchReplace.h"
#include "search/TestFolder.h"

namespace kelvara {
namespace {

const FileEncoding kEncodings[] = {
    PlainEncoding(CodePage::Gbk),
    PlainEncoding(CodePage::Utf8),
    {CodePage::Utf8, true, Utf16Order::None},
    {CodePage::Utf8, true, Utf16Order::LittleEndian},
    {CodePage::Utf8, true, Utf16Order::BigEndian},
};

// Characters GBK holds too: ASCII letters and blanks, Chinese, full-width
// and Latin letters of two bytes.
constexpr char32_t kPool[] = {U'a',  U'b',  U'A',  U'B',  U' ', U' ', U'\t',
                              U'中', U'文', U'字', U'，', U'é', U'€'};

std::string Utf8(std::u32string_view text) {
    std::u16string units;
    for (const char32_t c : text)
        units.push_back(static_cast<char16_t>(c));
    std::string out;
    EXPECT_FALSE(EncodeText(units, CodePage::Utf8, out));
    return out;
}

std::string FileBytes(std::u32string_view text, const FileEncoding& encoding) {
    std::string bytes;
    if (encoding.codePage == CodePage::Gbk) {
        EXPECT_FALSE(RecodeText(Utf8(text), CodePage::Utf8, CodePage::Gbk, bytes));
        return bytes;
    }
    EXPECT_FALSE(AppendFileBytes(Utf8(text), encoding, bytes));
    return bytes;
}

char32_t Folded(char32_t c, bool fold) { return fold && c >= U'A' && c <= U'Z' ? c + 32 : c; }
bool Blank(char32_t c) { return c <= U' '; }

// A line with the blank ends taken off when trimming; how many went in front.
std::u32string_view Prepared(std::u32string_view line, bool trim, std::size_t& front) {
    front = 0;
    if (!trim) return line;
    std::size_t end = line.size();
    while (front < end && Blank(line[front]))
        ++front;
    while (end > front && Blank(line[end - 1]))
        --end;
    return line.substr(front, end - front);
}

bool SameAt(std::u32string_view text, std::size_t at, std::u32string_view search, bool fold) {
    if (at + search.size() > text.size()) return false;
    for (std::size_t k = 0; k < search.size(); ++k) {
        if (Folded(text[at + k], fold) != Folded(search[k], fold)) return false;
    }
    return true;
}

// The characters of the prepared line where a hit starts, as the matcher
// defines them, over characters instead of bytes.
std::vector<std::size_t> ReferenceHits(std::u32string_view line, std::u32string_view search,
                                       const MatchOptions& options) {
    std::size_t front = 0;
    const std::u32string_view text = Prepared(line, options.IgnoreSpaces, front);
    std::vector<std::size_t> hits;
    if (search.empty()) return hits;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (!SameAt(text, at, search, !options.CaseSensitive)) continue;
        const std::size_t end = at + search.size();
        const bool word =
            (at == 0 || text[at - 1] == U' ') && (end == text.size() || text[end] == U' ');
        if (!options.WholeWord || word) hits.push_back(at);
    }
    return hits;
}

std::u32string ReferenceReplace(std::u32string_view line, std::u32string_view search,
                                std::u32string_view replacement, const MatchOptions& options) {
    std::vector<std::size_t> starts;
    std::size_t front = 0;
    Prepared(line, options.IgnoreSpaces, front);
    if (options.WholeWord) {
        for (const std::size_t hit : ReferenceHits(line, search, options))
            starts.push_back(front + hit);
    } else {
        for (std::size_t at = 0; !search.empty() && at < line.size(); ++at) {
            if (SameAt(line, at, search, !options.CaseSensitive)) starts.push_back(at);
        }
    }
    std::u32string out;
    std::size_t copied = 0;
    for (const std::size_t start : starts) {
        if (start < copied) continue; // overlaps one replaced
        out.append(line.substr(copied, start - copied)).append(replacement);
        copied = start + search.size();
    }
    return out.append(line.substr(copied));
}

struct Text {
    std::vector<std::u32string> lines;
    std::vector<std::u32string> breaks;

    std::u32string Joined() const {
        std::u32string text;
        for (std::size_t i = 0; i < lines.size(); ++i)
            text += lines[i] + breaks[i];
        return text;
    }
};

// The character a hit's column (a byte of the prepared line in the code page
// of the file's text) stands on.
std::size_t CharacterOf(std::u32string_view line, std::int32_t column, CodePage codePage,
                        const MatchOptions& options) {
    std::size_t front = 0;
    std::string bytes;
    EXPECT_FALSE(RecodeText(Utf8(Prepared(line, options.IgnoreSpaces, front)), CodePage::Utf8,
                            codePage, bytes));
    std::size_t characters = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(column - 1); ++characters)
        i += CharLength(bytes, i, codePage);
    return characters;
}

class EncodingRandomTest : public ::testing::Test {
protected:
    EncodingRandomTest() {
        SetAskUserSink([](const MessageBoxRequest&) { return kIdYes; });
    }
    ~EncodingRandomTest() override { SetAskUserSink({}); }

    std::u32string Some(std::size_t most) {
        std::u32string text;
        for (std::size_t n = random_() % (most + 1); n > 0; --n)
            text += kPool[random_() % std::size(kPool)];
        return text;
    }
    Text RandomText() {
        static const std::u32string kBreaks[] = {U"\n", U"\r\n", U"\r"};
        // "文" is never valid UTF-8 in GBK: the GBK file is told from UTF-8.
        Text text{{U"文"}, {U"\n"}};
        for (std::size_t n = 1 + random_() % 7; n > 0; --n) {
            text.lines.push_back(Some(12));
            text.breaks.push_back(kBreaks[random_() % 3]);
        }
        text.breaks.back() = random_() % 2 ? U"" : U"\n";
        return text;
    }
    // Mostly a stretch of the text, so that hits are common.
    std::u32string RandomSearch(const Text& text) {
        const std::u32string& line = text.lines[random_() % text.lines.size()];
        if (line.empty() || random_() % 4 == 0) return U"b" + Some(2);
        const std::size_t at = random_() % line.size();
        return line.substr(at, 1 + random_() % 3);
    }
    // One character or more.
    std::u32string RandomReplacement() { return Some(2) + kPool[random_() % std::size(kPool)]; }
    FileSet WriteAll(const std::u32string& text) {
        FileSet files;
        for (std::size_t i = 0; i < std::size(kEncodings); ++i)
            files.Add(dir_.Write("f" + std::to_string(i), FileBytes(text, kEncodings[i])));
        files.TickAll();
        return files;
    }

    std::mt19937 random_{20240916};
    TestFolder dir_;
};

TEST_F(EncodingRandomTest, EveryEncodingGivesTheSameHitsAndTheSameReplacedText) {
    for (int round = 0; round < 60; ++round) {
        const Text text = RandomText();
        const std::u32string search = RandomSearch(text);
        const MatchOptions options{.CaseSensitive = random_() % 2 == 0,
                                   .WholeWord = random_() % 3 == 0,
                                   .IgnoreSpaces = random_() % 3 == 0};
        SCOPED_TRACE("round " + std::to_string(round) + " search '" + Utf8(search) + "' text '" +
                     Utf8(text.Joined()) + "'");
        std::u32string typed = search;
        if (options.IgnoreSpaces) typed = U" " + typed + U"\t";
        FileSet files = WriteAll(text.Joined());

        std::vector<std::pair<std::int32_t, std::size_t>> expected;
        for (std::size_t n = 0; n < text.lines.size(); ++n) {
            std::size_t front = 0;
            const std::u32string_view prepared = Prepared(search, options.IgnoreSpaces, front);
            for (const std::size_t hit : ReferenceHits(text.lines[n], prepared, options))
                expected.emplace_back(static_cast<std::int32_t>(n + 1), hit);
        }
        std::vector<std::string> history;
        ResultTree tree;
        RunBatchFind(Utf8(typed), history, files, options, tree, {}, 1 + round % 2);
        const std::uint32_t fileNodes = expected.empty() ? 0 : std::size(kEncodings);
        ASSERT_EQ(tree.FileNodeCount(), fileNodes);
        for (std::uint32_t file = 0; file < fileNodes; ++file) {
            const NodeRef fileNode{file, NodeRef::kNone};
            // Lines of nothing but ASCII need not tell the file's code page.
            const CodePage codePage = tree.CodePageOf(fileNode);
            std::vector<std::pair<std::int32_t, std::size_t>> found;
            for (std::uint32_t hit = 0; hit < tree.ChildCount(fileNode); ++hit) {
                const std::int32_t line = tree.Line({file, hit});
                found.emplace_back(line, CharacterOf(text.lines[line - 1], tree.Column({file, hit}),
                                                     codePage, options));
            }
            EXPECT_EQ(found, expected) << EncodingName(kEncodings[file]);
        }

        const std::u32string replacement = RandomReplacement();
        std::vector<std::string> replaceHistory;
        RunBatchReplace(Utf8(typed), Utf8(replacement), history, replaceHistory, files, options,
                        tree, {});
        Text replaced = text;
        std::size_t front = 0;
        const std::u32string_view prepared = Prepared(search, options.IgnoreSpaces, front);
        for (std::u32string& line : replaced.lines)
            line = ReferenceReplace(line, prepared, replacement, options);
        for (std::size_t i = 0; i < std::size(kEncodings); ++i) {
            EXPECT_EQ(TestFolder::Read(files.Entry(i).path),
                      FileBytes(replaced.Joined(), kEncodings[i]))
                << EncodingName(kEncodings[i]);
        }
    }
}

} // namespace
} // namespace kelvara
