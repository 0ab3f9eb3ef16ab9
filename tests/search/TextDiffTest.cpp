#include "search/TextDiff.h"

#include <random>

#include <gtest/gtest.h>

#include "search/LineCursor.h"

namespace kelvara {
namespace {

std::string Diff(std::string_view text, const std::vector<Stretch>& stretches,
                 std::string_view replacement, std::size_t context,
                 const std::vector<NumberedLine>& lines = {}) {
    std::string out;
    UnifiedDiffPrinter printer(out);
    DiffReplaced(text, stretches, replacement, context, printer, lines);
    return out;
}

// The lines that hold `stretches`, numbered as a find numbers them.
std::vector<NumberedLine> FoundLines(std::string_view text, const std::vector<Stretch>& stretches) {
    std::vector<NumberedLine> lines;
    LineCursor cursor(text);
    for (const Stretch& stretch : stretches) {
        cursor.MoveTo(stretch.start);
        const std::size_t number = static_cast<std::size_t>(cursor.Number());
        if (lines.empty() || lines.back().number != number)
            lines.push_back({number, cursor.Start(), cursor.Start() + cursor.Line().size()});
    }
    return lines;
}

// Records the marks of the lines, as "[kind]text{start,length}".
class MarkRecorder : public DiffSink {
public:
    void Hunk(std::size_t, std::size_t, std::size_t, std::size_t) override {}
    void Line(DiffLineKind kind, std::string_view text, std::span<const Stretch> marks,
              bool) override {
        lines.push_back(std::string(1, "c-+"[static_cast<int>(kind)]) + std::string(text));
        for (const Stretch& mark : marks)
            lines.back() +=
                "{" + std::to_string(mark.start) + "," + std::to_string(mark.length) + "}";
    }
    std::vector<std::string> lines;
};

TEST(TextDiffTest, HunksKeepTheirContextAndMergeWhenItTouches) {
    const std::string text = "1\n2\n3 x\n4\n5\n6\n7\n8\n9 x\n10\n11\n12\n13\n14\n15 x\n";
    // Lines 3 and 9 are 5 lines apart: with 3 lines of context they share a
    // hunk, with 2 they do not.
    const Stretch x3{text.find('x'), 1};
    const Stretch x9{text.find('x', x3.start + 1), 1};
    const Stretch x15{text.rfind('x'), 1};
    EXPECT_EQ(Diff(text, {x3, x9, x15}, "Y", 2), "@@ -1,5 +1,5 @@\n 1\n 2\n-3 x\n+3 Y\n 4\n 5\n"
                                                 "@@ -7,5 +7,5 @@\n 7\n 8\n-9 x\n+9 Y\n 10\n 11\n"
                                                 "@@ -13,3 +13,3 @@\n 13\n 14\n-15 x\n+15 Y\n");
    EXPECT_EQ(
        Diff(text, {x3, x9}, "Y", 3),
        "@@ -1,12 +1,12 @@\n 1\n 2\n-3 x\n+3 Y\n 4\n 5\n 6\n 7\n 8\n-9 x\n+9 Y\n 10\n 11\n 12\n");
    EXPECT_EQ(Diff(text, {}, "Y", 3), "");
}

// The lines before a change are counted in blocks: a change far into a text
// of short lines (more breaks than one block counter holds) and one after a
// long line without breaks get their right numbers; CR is no break of its own.
TEST(TextDiffTest, HunksDeepInATextGetTheirLineNumbers) {
    std::string text;
    for (int i = 1; i <= 5000; ++i)
        text += i % 7 ? "\n" : "\r\n";
    text += "x\n" + std::string(100000, 'a') + "\nx\n";
    const Stretch first{text.find('x'), 1};
    const Stretch second{text.rfind('x'), 1};
    const std::string diff = Diff(text, {first, second}, "Y", 0);
    EXPECT_EQ(diff.substr(0, 26), "@@ -5001 +5001 @@\n-x\n+Y\n@@");
    EXPECT_EQ(diff.substr(26, 18), " -5003 +5003 @@\n-x");

    // Past many blocks of nothing but breaks, and one byte short of or past
    // a whole block.
    for (const std::size_t breaks : {40000u, 40063u, 40064u, 40065u}) {
        const std::string deep = std::string(breaks, '\n') + "x\n";
        EXPECT_EQ(Diff(deep, {{breaks, 1}}, "Y", 0), "@@ -" + std::to_string(breaks + 1) + " +" +
                                                         std::to_string(breaks + 1) +
                                                         " @@\n-x\n+Y\n")
            << breaks;
    }
}

TEST(TextDiffTest, LineBreaksInTheReplacementAndALastLineWithoutOne) {
    // CR stays in its line, as patch reads it; a replacement with an LF makes
    // two lines of one and shifts the hunks after it.
    EXPECT_EQ(Diff("a x\r\nb\nc x", {{2, 1}, {9, 1}}, "1\n2", 0),
              "@@ -1 +1,2 @@\n-a x\r\n+a 1\n+2\r\n"
              "@@ -3 +4,2 @@\n-c x\n\\ No newline at end of file\n+c 1\n+2\n"
              "\\ No newline at end of file\n");
    // A stretch's own replacement (a regular expression's) counts alike.
    EXPECT_EQ(Diff("a x\r\nb\nc x", {{2, 1, "1\n2"}, {9, 1}}, "", 0),
              "@@ -1 +1,2 @@\n-a x\r\n+a 1\n+2\r\n"
              "@@ -3 +4 @@\n-c x\n\\ No newline at end of file\n+c \n"
              "\\ No newline at end of file\n");
    // The last line replaced by nothing leaves no line behind.
    EXPECT_EQ(Diff("a\nx", {{2, 1}}, "", 1),
              "@@ -1,2 +1 @@\n a\n-x\n\\ No newline at end of file\n");
    EXPECT_EQ(Diff("x", {{0, 1}}, "", 0), "@@ -1 +0,0 @@\n-x\n\\ No newline at end of file\n");
    EXPECT_EQ(Diff("a\nb x", {{4, 1}}, "y", 3),
              "@@ -1,2 +1,2 @@\n a\n-b x\n\\ No newline at end of file\n+b y\n"
              "\\ No newline at end of file\n");
}

// A find numbers lines ending at CR too; its numbers spare the diff a count
// of the breaks only where they are the diff's own, and lines that do not
// hold every stretch are not taken. Random texts of every kind of break.
TEST(TextDiffTest, TheFindsLinesGiveTheDiffOfCountedLines) {
    std::mt19937 random(5);
    const std::vector<std::string> pieces = {"a", "b", " ", "ab", "\n", "\n", "\r\n", "\r"};
    const std::vector<std::string> replacements = {"Q", "", "Q\nR", "\n"};
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const int count = std::uniform_int_distribution<int>(1, 40)(random);
        for (int i = 0; i < count; ++i) {
            // Half the texts hold no CR, as most files on Linux.
            std::string piece = pieces[random() % pieces.size()];
            if (round % 2 == 0 && piece.find('\r') != std::string::npos) piece = "\n";
            text += piece;
        }
        std::vector<Stretch> stretches;
        for (std::size_t at = text.find('a'); at != std::string::npos; at = text.find('a', at + 1))
            stretches.push_back({at, 1});
        const std::string replacement = replacements[random() % replacements.size()];
        const std::size_t context = random() % 4;
        const std::string counted = Diff(text, stretches, replacement, context);
        EXPECT_EQ(Diff(text, stretches, replacement, context, FoundLines(text, stretches)), counted)
            << round;
        if (stretches.size() < 2) continue;
        std::vector<NumberedLine> some = FoundLines(text, stretches);
        some.erase(some.begin() + static_cast<std::ptrdiff_t>(random() % some.size()));
        EXPECT_EQ(Diff(text, stretches, replacement, context, some), counted) << round;
    }
}

TEST(TextDiffTest, MarksShowTheStretchesTakenOutAndPutIn) {
    MarkRecorder recorder;
    DiffReplaced("k\nab ab\nz", std::vector<Stretch>{{2, 1}, {5, 1}}, "XY\nZ", 1, recorder);
    EXPECT_EQ(recorder.lines, (std::vector<std::string>{"ck", "-ab ab{0,1}{3,1}", "+XY{0,2}",
                                                        "+Zb XY{0,1}{3,2}", "+Zb{0,1}", "cz"}));
}

} // namespace
} // namespace kelvara
