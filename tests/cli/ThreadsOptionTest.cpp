#include "cli/CommandLine.h"

#include <gtest/gtest.h>

namespace kelvara {
namespace {

TEST(ThreadsOptionTest, TakesAWholeNumberOfThreads) {
    std::string error;
    auto line = ParseCommandLine({"find", "a", "p"}, error);
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->threads, 0u); // one per core
    line = ParseCommandLine({"find", "--threads", "1", "a", "p"}, error);
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->threads, 1u);
    line = ParseCommandLine({"find", "a", "--threads=12", "p"}, error);
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->threads, 12u);

    for (const char* bad : {"0", "-1", "two", "3x", "", "99999999999", "1025"}) {
        EXPECT_FALSE(ParseCommandLine({"find", std::string("--threads=") + bad, "a", "p"}, error))
            << bad;
        EXPECT_NE(error.find("--threads"), std::string::npos) << bad;
    }
    EXPECT_FALSE(ParseCommandLine({"find", "a", "p", "--threads"}, error));
    EXPECT_NE(error.find("需要一个值"), std::string::npos);
}

} // namespace
} // namespace kelvara
