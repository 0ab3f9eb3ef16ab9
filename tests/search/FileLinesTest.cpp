#include "search/FileLines.h"

#include <gtest/gtest.h>

#include "search/TestFolder.h"

namespace kelvara {
namespace {

// The lines Visit shows, "N:" for a hit line and "N-" for one around it,
// with "--" where a group ends.
std::string Shown(const std::string& bytes, std::vector<std::int32_t> hits, int before, int after) {
    TestFolder dir;
    FileLines lines;
    EXPECT_FALSE(lines.Read(dir.Write("f.txt", bytes)).has_value());
    std::string shown;
    lines.Visit(
        hits, before, after,
        [&](const FileLine& line, bool isHit) {
            shown += std::to_string(line.number) + (isHit ? ":" : "-") + std::string(line.text) +
                     "@" + std::to_string(line.offset) + (line.lineBreak == "\r\n" ? "R" : "") +
                     " ";
        },
        [&] { shown += "-- "; });
    return shown;
}

TEST(FileLinesTest, HitLinesComeWithTheLinesAroundThemInGroups) {
    const std::string text = "a\nb\r\nc\rd\ne\nf\ng";
    EXPECT_EQ(Shown(text, {2}, 0, 0), "2:b@2R -- ");
    EXPECT_EQ(Shown(text, {2}, 1, 1), "1-a@0 2:b@2R 3-c@5 -- ");
    // Groups that touch or overlap are one; a line is shown once.
    EXPECT_EQ(Shown(text, {2, 2, 4}, 1, 1), "1-a@0 2:b@2R 3-c@5 4:d@7 5-e@9 -- ");
    EXPECT_EQ(Shown(text, {1, 5}, 0, 1), "1:a@0 2-b@2R -- 5:e@9 6-f@11 -- ");
    EXPECT_EQ(Shown(text, {1, 4}, 1, 1), "1:a@0 2-b@2R 3-c@5 4:d@7 5-e@9 -- ");
    // The context stops at the file's ends; a hit line past the end is not shown.
    EXPECT_EQ(Shown(text, {7, 9}, 2, 5), "5-e@9 6-f@11 7:g@13 -- ");
    EXPECT_EQ(Shown(text, {3}, 1000000000, 2147483647), Shown(text, {3}, 10, 10));
    EXPECT_EQ(Shown(text, {}, 1, 1), "");
}

TEST(FileLinesTest, TheTextEndsAtTheFirstNulByte) {
    EXPECT_EQ(Shown(std::string("a\nb\0c\nd\n", 8), {2, 4}, 0, 3), "2:b@2 -- ");
    TestFolder dir;
    FileLines lines;
    EXPECT_TRUE(lines.Read(dir / "missing").has_value());
}

} // namespace
} // namespace kelvara
