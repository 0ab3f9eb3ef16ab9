#include <gtest/gtest.h>

#include <random>

#include "../search/CodePageScope.h"
#include "FakeHost.h"
#include "editor/DisplayWidth.h"

namespace kelvara {
namespace {

using test::RecordingEditor;

TEST(DisplayWidth, WideCharactersTakeTwoColumnsInEitherCodePage) {
    {
        CodePageScope gbk(CodePage::Gbk);
        RecordingEditor editor;
        editor.SetText("a\xD6\xD0"
                       "b\tc");
        editor.SetTabSize(4);
        EXPECT_EQ(editor.DisplayColumn({1, 4}), 4); // the "b"
        EXPECT_EQ(editor.LineWidth(1), 9);
        EXPECT_EQ(editor.DisplayToTextPoint({1, 3}), (TextPoint{1, 2})); // inside the wide one
    }
    CodePageScope utf8(CodePage::Utf8);
    RecordingEditor editor;
    editor.SetTabSize(4);
    editor.SetText("a\xE4\xB8\xAD"
                   "b\tc\xC3\xA9");             // a 中 b tab c é
    EXPECT_EQ(editor.DisplayColumn({1, 5}), 4); // "b": byte column 5, display column 4
    EXPECT_EQ(editor.DisplayColumn({1, 6}), 5);
    EXPECT_EQ(editor.LineWidth(1), 10);
    int start = 0;
    EXPECT_EQ(editor.DisplayToTextPointStart({1, 3}, start), (TextPoint{1, 2}));
    EXPECT_EQ(start, 2);
    EXPECT_EQ(editor.DisplayToTextPoint({1, 6}), (TextPoint{1, 6})); // inside the tab
    EXPECT_EQ(editor.DisplayToTextPoint({1, 9}), (TextPoint{1, 7})); // the "c" after it
    EXPECT_EQ(editor.MaxLineWidth(), 10);
}

// A combining mark takes no cell: it is drawn on the character before it,
// and a click finds the character after it. One without a base takes none
// either.
TEST(DisplayWidth, ACombiningMarkJoinsTheCharacterBeforeIt) {
    CodePageScope utf8(CodePage::Utf8);
    RecordingEditor editor;
    editor.SetText("e\xCC\x81x\xE4\xB8\xAD\xCC\x81y\r\n\xCC\x81z"); // é x 中́ y, then a lone mark
    EXPECT_EQ(editor.LineWidth(1), 5);
    EXPECT_EQ(editor.DisplayColumn({1, 4}), 2);  // x
    EXPECT_EQ(editor.DisplayColumn({1, 10}), 5); // y
    EXPECT_EQ(editor.DisplayToTextPoint({1, 1}), (TextPoint{1, 1}));
    EXPECT_EQ(editor.DisplayToTextPoint({1, 2}), (TextPoint{1, 4}));
    EXPECT_EQ(editor.DisplayToTextPoint({1, 4}), (TextPoint{1, 5})); // inside the wide one
    EXPECT_EQ(editor.DisplayToTextPoint({1, 5}), (TextPoint{1, 10}));
    EXPECT_EQ(editor.LineWidth(2), 1);
    EXPECT_EQ(CharCells("\xEF\xBB\xBF", 0, 3, CodePage::Utf8), 0); // an invisible format character
    EXPECT_EQ(CharCells("\xCC\x81", 0, 2, CodePage::Gbk), 2);
}

// The plain walk from the row's start that the checkpoints stand in for.
int WalkedColumn(const std::string& row, int byteColumn, int tabSize) {
    return AdvanceCells(std::string_view(row).substr(0, byteColumn - 1), 0, tabSize,
                        TextCodePage()) +
           1;
}

// True when byte `p` of a row of well-formed characters is not a character
// start (in UTF-8 the acute accent below joins the character before it).
bool IsTrail(const std::string& row, int p, CodePage codePage) {
    if (p <= 0 || p >= static_cast<int>(row.size())) return false;
    if (codePage == CodePage::Utf8)
        return (static_cast<unsigned char>(row[p]) & 0xC0) == 0x80 ||
               row.compare(p, 2, "\xCC\x81") == 0;
    int leads = 0;
    while (p - leads - 1 >= 0 && static_cast<unsigned char>(row[p - leads - 1]) >= 0x81)
        ++leads;
    return leads % 2 == 1;
}

TEST(DisplayWidth, CheckpointsOfALongRowFollowEveryEdit) {
    for (const CodePage codePage : {CodePage::Gbk, CodePage::Utf8}) {
        CodePageScope scope(codePage);
        const char* const wide = codePage == CodePage::Gbk ? "\xD6\xD0" : "\xE4\xB8\xAD";
        const char* const mark = codePage == CodePage::Gbk ? "d" : "\xCC\x81";
        const char* const pieces[] = {"a", "bc", "\t", wide, " ", "xyz", mark};
        std::mt19937 random(7);
        std::string row = "a"; // a mark always has a base
        while (row.size() < 200000)
            row += pieces[random() % std::size(pieces)];
        RecordingEditor editor;
        editor.SetTabSize(4);
        editor.SetText("head\r\n" + row + "\r\ntail");
        int rowStart = 7;
        for (int step = 0; step < 300; ++step) {
            // An edit inside the long row, sometimes before it.
            const int length = static_cast<int>(row.size());
            int at = static_cast<int>(random() % (length + 1));
            std::string insert = random() % 3 == 0 ? "" : pieces[random() % std::size(pieces)];
            int remove =
                random() % 4 == 0 && length > 50000 ? static_cast<int>(random() % 6000) : 0;
            // Whole characters only, as the keys and the mouse edit.
            int end = std::min(at + remove, length);
            while (end < length && IsTrail(row, end, codePage))
                ++end;
            while (at > 0 && IsTrail(row, at, codePage))
                --at;
            remove = end - at;
            if (step % 50 == 7) {
                TMCRange head(&editor, 1, 0);
                head.SetText("H"); // before the row: the row only moves
                ++rowStart;
            }
            TMCRange span(&editor, rowStart + at, rowStart + at + remove - 1);
            span.SetText(insert);
            row.replace(static_cast<std::size_t>(at), static_cast<std::size_t>(remove), insert);
            ASSERT_EQ(editor.LineWidth(2),
                      WalkedColumn(row, static_cast<int>(row.size()) + 1, 4) - 1)
                << step;
            for (int probe = 0; probe < 4; ++probe) {
                int column = static_cast<int>(random() % row.size()) + 1;
                while (column > 1 && IsTrail(row, column - 1, codePage))
                    --column;
                const int display = WalkedColumn(row, column, 4);
                ASSERT_EQ(editor.DisplayColumn({2, column}), display) << step;
                ASSERT_EQ(editor.DisplayToTextPoint({2, display}), (TextPoint{2, column})) << step;
            }
        }
        EXPECT_EQ(editor.CheckInvariants(), "");
    }
}

// In GBK a byte at the front of a run of lead bytes decides how the whole
// run pairs up. An edit of part of a character there (an undo recorded in
// another code page, a selection set from code) moves every character
// boundary behind it, across the checkpoints too.
TEST(DisplayWidth, AnEditThatRepairsARunOfLeadBytesMeasuresItAgain) {
    CodePageScope scope(CodePage::Gbk);
    std::string row(3 * RowCheckpoints::kLongRow + 1, '\xA3');
    RecordingEditor editor;
    editor.SetText(row + "\r\nx");
    ASSERT_EQ(editor.LineWidth(1), static_cast<int>(row.size()));
    for (const std::string& front : {std::string(), std::string("\xA3"), std::string("\xA3\xA3")}) {
        TMCRange(&editor, 1, static_cast<int>(front.size()) == 0 ? 1 : 0).SetText(front);
        row = editor.Text().substr(0, editor.LineLength(1));
        const int width = WalkedColumn(row, static_cast<int>(row.size()) + 1, 8) - 1;
        EXPECT_EQ(editor.LineWidth(1), width) << front.size();
        // The last character: a pair, or a lone lead byte after an even run.
        const int last = static_cast<int>(row.size()) - (row.size() % 2 == 0 ? 1 : 0);
        EXPECT_EQ(editor.DisplayColumn({1, last}), WalkedColumn(row, last, 8)) << front.size();
    }
    EXPECT_EQ(editor.CheckInvariants(), "");
}

// In GBK a tab byte after a lead byte is that pair's second byte, not a tab:
// the columns counted through the text, also with the editor's gap between
// the two bytes, are those of the characters the row is drawn as.
TEST(DisplayWidth, ATabAfterAGbkLeadByteIsThePairsSecondByte) {
    CodePageScope scope(CodePage::Gbk);
    RecordingEditor editor;
    editor.SetTabSize(4);
    // a, the pair A3 09, b, a tab, the pair A3 A3, a tab, c
    editor.SetText("a\xA3\tb\t\xA3\xA3\tc");
    const auto expect = [&] {
        EXPECT_EQ(editor.DisplayColumn({1, 4}), 4);  // b
        EXPECT_EQ(editor.DisplayColumn({1, 6}), 9);  // the pair after the first tab
        EXPECT_EQ(editor.DisplayColumn({1, 9}), 13); // c
        EXPECT_EQ(editor.LineWidth(1), 13);
    };
    expect();
    TMCRange(&editor, 3, 2).SetText("x"); // the gap now lies after "a\xA3x"
    TMCRange(&editor, 3, 3).SetText("");  // and between the lead byte and its tab
    EXPECT_EQ(editor.Text(), "a\xA3\tb\t\xA3\xA3\tc");
    expect();
}

} // namespace
} // namespace kelvara
