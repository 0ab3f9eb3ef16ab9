#include "search/LineCursor.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace kelvara {
namespace {

// The line number and line of every byte, by splitting the text as the file
// reader does (a line ends at CR, LF or CR LF).
struct Split {
    std::vector<std::int32_t> number;
    std::vector<std::string_view> line;
};

Split SplitLines(std::string_view text) {
    Split split;
    std::int32_t number = 1;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size() || text[i] == '\n' || text[i] == '\r';
        if (!end) continue;
        const std::size_t breakLength =
            i < text.size() && text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2
            : i < text.size()                                                                ? 1
                                                                                             : 0;
        for (std::size_t k = start; k < i + breakLength || (k == i && k == text.size()); ++k) {
            split.number.push_back(number);
            split.line.push_back(text.substr(start, i - start));
        }
        start = i + breakLength;
        i += breakLength - (breakLength > 0 ? 1 : 0);
        ++number;
    }
    return split;
}

// Long stretches of LF-only lines (counted in bulk) and a few with CR ends.
TEST(LineCursorTest, MovesToTheLineOfEveryOffset) {
    std::mt19937 random(5);
    const std::string pieces[] = {"a",    "bc",   "\n", "\n",
                                  "\n\n", "\r\n", "\r", "xxxxxxxxxxxxxxxxxxxx"};
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const bool withCr = round % 3 == 0;
        const int length = static_cast<int>(random() % (round % 5 == 0 ? 3000 : 200));
        for (int i = 0; i < length; ++i) {
            const std::size_t piece = random() % (withCr ? 8 : 5);
            text += pieces[piece == 4 && !withCr ? 7 : piece];
        }
        const Split split = SplitLines(text);
        LineCursor cursor(text);
        for (std::size_t offset = 0; offset < text.size();
             offset += 1 + random() % (round % 2 == 0 ? 3 : 5000)) {
            cursor.MoveTo(offset);
            if (text[offset] == '\n' || text[offset] == '\r') continue; // either neighbour
            ASSERT_EQ(cursor.Number(), split.number[offset])
                << "round " << round << " at " << offset;
            ASSERT_EQ(cursor.Line(), split.line[offset]) << "round " << round << " at " << offset;
        }
    }
}

// Jumps to a line number land where stepping line by line lands, across
// lines longer than the stretches counted at once and CR LF pairs split
// between two of them.
TEST(LineCursorTest, MovesToALineNumberAsSteppingLineByLine) {
    std::mt19937 random(11);
    const std::string pieces[] = {"a", "\n", "\r\n", "\r", std::string(1023, 'x'), "bc\n\n"};
    for (int round = 0; round < 200; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 4000);
        for (int i = 0; i < length; ++i) {
            const std::size_t piece = random() % 60;
            text += pieces[piece < 5    ? piece
                           : piece < 15 ? 1
                           : piece < 20 ? 2
                           : piece < 58 ? 0
                                        : 5];
        }
        LineCursor jumping(text);
        LineCursor stepping(text);
        bool more = true;
        for (std::int32_t number = 1; more;
             number += 1 + static_cast<std::int32_t>(random() % 300)) {
            while (more && stepping.Number() < number)
                more = stepping.NextLine();
            ASSERT_EQ(jumping.MoveToLine(number), more) << "round " << round << " line " << number;
            ASSERT_EQ(jumping.Number(), stepping.Number()) << "round " << round;
            ASSERT_EQ(jumping.Start(), stepping.Start()) << "round " << round;
            if (more) {
                ASSERT_EQ(jumping.Line(), stepping.Line()) << "round " << round;
            }
        }
    }
}

} // namespace
} // namespace kelvara
