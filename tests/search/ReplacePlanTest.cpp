#include "search/ReplacePlan.h"

#include <map>
#include <random>

#include <gtest/gtest.h>

#include "TestFolder.h"
#include "common/AskUser.h"
#include "common/CodePageConversion.h"
#include "search/BatchFind.h"
#include "search/BatchReplace.h"
#include "search/DryReplace.h"
#include "search/Matcher.h"

namespace kelvara {
namespace {

std::string Replaced(std::string_view text, const std::vector<Stretch>& stretches,
                     std::string_view replacement) {
    std::string out;
    AppendReplaced(text, stretches, replacement, out);
    return out;
}

// The new content a dry run shows for each file.
struct ChangedTexts : FileChanges {
    void Describe(const ChangedFile& file, std::string& out) const override {
        AppendReplaced(file.text, file.stretches, file.replacement, out);
    }
    void Take(const std::string& path, std::string_view described) override {
        texts[path] = described;
    }
    std::map<std::string, std::string> texts;
};

std::string RandomText(std::mt19937& random, CodePage codePage) {
    static const std::vector<std::string> kPieces = {
        "a",  "A",  "b",        " ",        "ab",           "aB",           "\r\n",     "\n",
        "\r", "\t", "\xD6\xD0", "\xCE\xC4", "\xE4\xB8\xAD", "\xE6\x96\x87", "\xB0\xA1", "ba"};
    std::string text;
    const int pieces = std::uniform_int_distribution<int>(0, 60)(random);
    for (int i = 0; i < pieces; ++i) {
        std::string piece = kPieces[random() % kPieces.size()];
        // Keep each code page's own characters, mostly.
        if (codePage == CodePage::Utf8 && piece.size() == 2 && (piece[0] & 0x80)) piece = "x";
        text += piece;
    }
    return text;
}

// A find's hits, chosen all, make the plan of the replace: what the plan
// writes is what the batch replace writes, and what a dry run shows, on
// random texts in both code pages under every option.
TEST(ReplacePlanTest, PlanOfEveryFoundHitWritesWhatTheBatchReplaceWrites) {
    SetAskUserSink([](const MessageBoxRequest&) { return kIdYes; });
    std::mt19937 random(17);
    // As typed: in UTF-8, and encoded into each code page by the run.
    const std::vector<std::string> searches = {"a", "ab", "Ab", "aa", " a", "中", "ba"};
    for (int round = 0; round < 100; ++round) {
        const CodePage codePage = round % 2 ? CodePage::Gbk : CodePage::Utf8;
        MatchOptions options;
        options.ForcedCodePage = codePage; // whatever the random bytes look like
        options.CaseSensitive = random() % 2;
        options.WholeWord = random() % 2;
        options.IgnoreSpaces = random() % 2;
        const std::string search = searches[random() % searches.size()];
        const std::string replacement = round % 3 ? "Q" : "中q\n";
        const std::string text = RandomText(random, codePage);

        TestFolder dir;
        const std::string path = dir.Write("f.txt", text);
        FileSet files;
        files.Add(path);
        files.TickAll();
        std::vector<std::string> history;
        ResultTree tree;
        RunBatchFind(search, history, files, options, tree, {}, 1);
        std::vector<ChosenHit> chosen;
        for (std::uint32_t hit = 0; tree.FileNodeCount() > 0 && hit < tree.ChildCount({0}); ++hit)
            chosen.push_back({tree.Line({0, hit}), tree.Column({0, hit})});

        std::string encodedSearch, encodedReplacement;
        ASSERT_FALSE(RecodeText(search, CodePage::Utf8, codePage, encodedSearch));
        ASSERT_FALSE(RecodeText(replacement, CodePage::Utf8, codePage, encodedReplacement));
        LineMatcher matcher(PrepareSearchText(encodedSearch, options, codePage), options, codePage);
        std::vector<Stretch> planned;
        ASSERT_TRUE(ChosenStretches(text, chosen, matcher, planned));
        std::vector<Stretch> all;
        std::vector<std::int32_t> cutLines;
        AllStretches(text, matcher, {}, all, cutLines);
        EXPECT_EQ(planned, all) << round;

        ChangedTexts dry;
        RunDryReplace(search, replacement, {path}, options, {}, dry, 1 + round % 2);
        EXPECT_EQ(dry.texts.size(), planned.empty() ? 0u : 1u) << round;

        std::vector<std::string> replaceHistory;
        ResultTree replaceTree;
        RunBatchReplace(search, replacement, history, replaceHistory, files, options, replaceTree,
                        {});
        EXPECT_EQ(TestFolder::Read(path), Replaced(text, planned, encodedReplacement)) << round;
        if (!planned.empty()) {
            EXPECT_EQ(dry.texts[path], TestFolder::Read(path)) << round;
        }
    }
    SetAskUserSink({});
}

TEST(ReplacePlanTest, OnlyChosenHitsAreReplacedAndAHitNoLongerThereFailsThePlan) {
    MatchOptions options;
    LineMatcher matcher("aa", options, CodePage::Utf8);
    const std::string text = "x\naaaa\n  aa";
    std::vector<Stretch> out;
    // "aaaa" holds "aa" at columns 1, 2 and 3; taking 1 leaves 2, which overlaps it.
    ASSERT_TRUE(
        ChosenStretches(text, std::vector<ChosenHit>{{2, 1}, {2, 2}, {2, 3}}, matcher, out));
    EXPECT_EQ(Replaced(text, out, "B"), "x\nBB\n  aa");
    ASSERT_TRUE(ChosenStretches(text, std::vector<ChosenHit>{{2, 2}, {3, 3}}, matcher, out));
    EXPECT_EQ(Replaced(text, out, "B"), "x\naBa\n  B");
    EXPECT_FALSE(ChosenStretches(text, std::vector<ChosenHit>{{1, 1}}, matcher, out));
    EXPECT_FALSE(ChosenStretches(text, std::vector<ChosenHit>{{9, 1}}, matcher, out));

    // Trimmed lines count their columns after the blanks.
    options.IgnoreSpaces = true;
    LineMatcher trimmed("aa", options, CodePage::Utf8);
    ASSERT_TRUE(ChosenStretches(text, std::vector<ChosenHit>{{3, 1}}, trimmed, out));
    EXPECT_EQ(Replaced(text, out, "B"), "x\naaaa\n  B");
    EXPECT_EQ(NewStretches(out, "BBB"), (std::vector<Stretch>{{9, 3}}));
}

} // namespace
} // namespace kelvara
