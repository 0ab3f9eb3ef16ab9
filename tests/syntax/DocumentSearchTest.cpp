#include <gtest/gtest.h>

#include <random>
#include <set>

#include "SourceEditFixture.h"
#include "common/CodePage.h"

namespace kelvara {
namespace {

using test::TestSourceEdit;

constexpr std::uint8_t kForwardWhole = soForward | soWholeText | soFromEdge;

// What a find press does: start afresh, then set the options.
void Press(TSourceEdit& editor, std::uint8_t options) {
    editor.SetSearchOptions(0);
    editor.SetSearchOptions(options);
}

TEST(DocumentSearch, FindNextWalksForwardAndStartsOverAfterTheLastHit) {
    TestSourceEdit editor;
    editor.SetText("abcabc");
    Press(editor, kForwardWhole);
    EXPECT_TRUE(editor.FindNext("abc"));
    EXPECT_EQ(editor.SelStart(), 0);
    EXPECT_EQ(editor.SelLength(), 3);
    EXPECT_TRUE(editor.FindNext("abc"));
    EXPECT_EQ(editor.SelStart(), 3);
    EXPECT_FALSE(editor.FindNext("abc"));
    EXPECT_EQ(editor.SelStart(), 3); // the selection stays
    EXPECT_TRUE(editor.FindNext("abc"));
    EXPECT_EQ(editor.SelStart(), 0);

    editor.SetText("aaa");
    Press(editor, kForwardWhole);
    for (int expected : {0, 1, 2}) {
        EXPECT_TRUE(editor.FindNext("a"));
        EXPECT_EQ(editor.SelStart(), expected);
    }
}

TEST(DocumentSearch, BackwardCaseAndScopeOptions) {
    TestSourceEdit editor;
    editor.SetText("abcabc");
    Press(editor, soBackward | soWholeText | soFromEdge);
    EXPECT_TRUE(editor.FindNext("abc"));
    EXPECT_EQ(editor.SelStart(), 3);
    EXPECT_TRUE(editor.FindNext("abc"));
    EXPECT_EQ(editor.SelStart(), 0);

    editor.SetText("aBc abc ABC");
    Press(editor, kForwardWhole);
    EXPECT_TRUE(editor.FindNext("ABC"));
    EXPECT_EQ(editor.SelStart(), 0);
    Press(editor, kForwardWhole | soMatchCase);
    EXPECT_TRUE(editor.FindNext("ABC"));
    EXPECT_EQ(editor.SelStart(), 8);

    editor.SetText("abcabc");
    editor.SetSelStart(1);
    editor.SetSelLength(3);
    Press(editor, soForward | soSelection | soFromEdge);
    EXPECT_FALSE(editor.FindNext("abc"));
    // Nothing is searched before a direction is chosen.
    Press(editor, 0);
    EXPECT_FALSE(editor.FindNext("a"));
}

TEST(DocumentSearch, BackwardFromTheCaretStopsBeforeIt) {
    TestSourceEdit editor;
    editor.SetText("aaa");
    editor.SetSelStart(1);
    Press(editor, soBackward | soWholeText | soFromCaret);
    EXPECT_TRUE(editor.FindNext("a"));
    EXPECT_EQ(editor.SelStart(), 0);
    EXPECT_FALSE(editor.FindNext("a"));
}

TEST(DocumentSearch, HitsLieOnCharacterBoundaries) {
    const CodePage saved = TextCodePage();
    SetTextCodePage(CodePage::Gbk);
    TestSourceEdit editor;
    editor.SetText("\xB0\x41"
                   "A\xB0\x61");
    Press(editor, kForwardWhole);
    EXPECT_TRUE(editor.FindNext("a"));
    EXPECT_EQ(editor.SelStart(), 2);
    EXPECT_FALSE(editor.FindNext("a")); // the trail bytes A and a are no letters
    EXPECT_TRUE(editor.FindNext("\xB0\x61"));
    EXPECT_EQ(editor.SelStart(), 3);
    editor.SetText("x\r\ny");
    Press(editor, kForwardWhole);
    EXPECT_FALSE(editor.FindNext("\ny"));
    SetTextCodePage(saved);
}

TEST(DocumentSearch, ReplaceFoundReplacesHitsAndResumesAfterThem) {
    TestSourceEdit editor;
    editor.SetText("banana");
    Press(editor, kForwardWhole);
    editor.ReplaceFound("a", "aa", true);
    EXPECT_EQ(editor.Text(), "baanaanaa");
    editor.Undo();
    EXPECT_EQ(editor.Text(), "banana"); // one undo step

    Press(editor, soBackward | soWholeText | soFromEdge);
    editor.ReplaceFound("ana", "X", true);
    EXPECT_EQ(editor.Text(), "banX");

    // Not all: the selection goes when it is a hit, else the next hit.
    editor.SetText("abcabc");
    Press(editor, kForwardWhole);
    editor.SetSelStart(1);
    editor.SetSelLength(2);
    editor.ReplaceFound("abc", "x", false);
    EXPECT_EQ(editor.Text(), "xabc");
    editor.ReplaceFound("abc", "y", false);
    EXPECT_EQ(editor.Text(), "xy");
    editor.ReplaceFound("abc", "z", false);
    EXPECT_EQ(editor.Text(), "xy");
    editor.SetText("abcabc");
    Press(editor, kForwardWhole);
    EXPECT_TRUE(editor.FindNext("abc"));
    editor.ReplaceFound("abc", "abcabc", false);
    editor.ReplaceFound("abc", "-", false);
    EXPECT_EQ(editor.Text(), "abcabc-");
}

// The search rules written out plainly, position by position.
struct ReferenceSearch {
    std::string text;
    std::uint8_t options = 0;
    int rangeStart = 0, rangeEnd = 0, resume = 0, selStart = 0, selLength = 0;

    std::set<int> Boundaries() const {
        std::set<int> starts;
        const int n = static_cast<int>(text.size());
        for (int i = 0; i < n;) {
            starts.insert(i);
            const auto c = static_cast<unsigned char>(text[i]);
            const bool pair = i + 1 < n && text[i + 1] != '\r' && text[i + 1] != '\n';
            i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') || (c >= 0x81 && c <= 0xFE && pair)
                     ? 2
                     : 1;
        }
        starts.insert(n);
        return starts;
    }
    bool Equal(int s, const std::string& pattern, const std::set<int>& starts) const {
        for (std::size_t k = 0; k < pattern.size(); ++k) {
            char a = text[s + k], b = pattern[k];
            const bool single =
                starts.count(s + static_cast<int>(k)) && starts.count(s + static_cast<int>(k) + 1);
            if (!(options & soMatchCase) && single) {
                a = static_cast<char>(std::tolower(static_cast<unsigned char>(a)));
                b = static_cast<char>(std::tolower(static_cast<unsigned char>(b)));
            }
            if (a != b) return false;
        }
        return true;
    }
    void SetOptions(std::uint8_t value) {
        options = value;
        if (value == 0) rangeStart = rangeEnd = resume = 0;
        if (value & soSelection) rangeStart = selStart, rangeEnd = selStart + selLength - 1;
        if (value & soWholeText) rangeStart = 0, rangeEnd = static_cast<int>(text.size()) - 1;
        if (value & soFromCaret)
            (value& soBackward ? rangeEnd = selStart - 1 : rangeStart = selStart);
    }
    bool Find(const std::string& pattern) {
        const std::set<int> starts = Boundaries();
        const int len = static_cast<int>(pattern.size());
        const int lo = std::max(rangeStart, 0);
        const int hi = std::min(rangeEnd, static_cast<int>(text.size()) - 1);
        auto hitAt = [&](int s) {
            return s >= lo && s + len - 1 <= hi && starts.count(s) && starts.count(s + len) &&
                   Equal(s, pattern, starts);
        };
        int found = -1;
        if (options & soForward) {
            for (int s = lo + resume; s + len - 1 <= hi && found < 0; ++s)
                if (hitAt(s)) found = s;
        } else if (options & soBackward) {
            for (int e = hi - resume; e - len + 1 >= lo && found < 0; --e)
                if (hitAt(e - len + 1)) found = e - len + 1;
        }
        if (found < 0) {
            resume = 0;
            return false;
        }
        selStart = found;
        selLength = len;
        resume = options & soForward ? found + len - rangeStart : rangeEnd - found + 1;
        return true;
    }
};

TEST(DocumentSearch, FindNextAgreesWithAPlainSearchUnderEveryOption) {
    const CodePage saved = TextCodePage();
    SetTextCodePage(CodePage::Gbk);
    static const char* const kPieces[] = {"a", "A", "b", "ab", "\xB0\x41", "\xB0\x61", "\r\n"};
    std::mt19937 random(1606);
    TestSourceEdit editor;
    for (int trial = 0; trial < 400; ++trial) {
        std::string text;
        for (int i = random() % 14; i > 0; --i)
            text += kPieces[random() % std::size(kPieces)];
        std::string pattern;
        for (int i = 1 + random() % 2; i > 0; --i)
            pattern += kPieces[random() % std::size(kPieces)];
        editor.SetText(text);
        ReferenceSearch reference{text};
        const std::set<int> starts = reference.Boundaries();
        auto pick = [&] {
            auto at = starts.begin();
            std::advance(at, random() % starts.size());
            return *at;
        };
        int a = pick(), b = pick();
        if (a > b) std::swap(a, b);
        editor.SetSelStart(a);
        editor.SetSelLength(b - a);
        reference.selStart = a;
        reference.selLength = b - a;
        const std::uint8_t options = static_cast<std::uint8_t>(
            (trial & 1 ? soMatchCase : 0) | (trial & 2 ? soSelection : soWholeText) |
            (trial & 4 ? soFromCaret : soFromEdge) | (trial & 8 ? soBackward : soForward));
        Press(editor, options);
        reference.SetOptions(0);
        reference.SetOptions(options);
        for (int step = 0; step < 5; ++step) {
            const bool found = reference.Find(pattern);
            ASSERT_EQ(editor.FindNext(pattern), found) << "trial " << trial << " step " << step;
            if (found) {
                ASSERT_EQ(editor.SelStart(), reference.selStart) << "trial " << trial;
                ASSERT_EQ(editor.SelLength(), reference.selLength);
            }
            ASSERT_EQ(editor.SearchResume(), reference.resume);
        }
    }
    SetTextCodePage(saved);
}

// Replace all against repeated plain find-and-replace.
TEST(DocumentSearch, ReplaceAllAgreesWithReplacingHitByHit) {
    std::mt19937 random(99);
    static const char* const kPieces[] = {"a", "A", "b", "ab", "\r\n"};
    TestSourceEdit editor;
    for (int trial = 0; trial < 300; ++trial) {
        std::string text, pattern, replacement;
        for (int i = random() % 16; i > 0; --i)
            text += kPieces[random() % std::size(kPieces)];
        for (int i = 1 + random() % 2; i > 0; --i)
            pattern += kPieces[random() % 4];
        for (int i = random() % 3; i > 0; --i)
            replacement += kPieces[random() % std::size(kPieces)];
        const std::uint8_t options = static_cast<std::uint8_t>(
            soWholeText | soFromEdge | (trial & 1 ? soBackward : soForward) |
            (trial & 2 ? soMatchCase : 0));
        ReferenceSearch reference{text};
        reference.SetOptions(0);
        reference.SetOptions(options);
        while (reference.Find(pattern)) {
            const int s = reference.selStart;
            reference.text.replace(s, pattern.size(), replacement);
            const int delta = static_cast<int>(replacement.size() - pattern.size());
            reference.rangeEnd += delta;
            reference.resume += delta;
        }
        editor.SetText(text);
        Press(editor, options);
        editor.ReplaceFound(pattern, replacement, true);
        ASSERT_EQ(editor.Text(), reference.text) << "trial " << trial;
        ASSERT_EQ(editor.SearchRangeEnd(), reference.rangeEnd);
        ASSERT_EQ(editor.CheckInvariants(), "");
    }
}

} // namespace
} // namespace kelvara
