#include "cli/CommandLine.h"
#include "cli/RunCommandLine.h"

#include <gtest/gtest.h>

namespace kelvara {
namespace {

std::optional<CommandLine> Parse(std::vector<std::string> args, std::string* error = nullptr) {
    std::string message;
    auto line = ParseCommandLine(args, message);
    if (error != nullptr) *error = message;
    return line;
}

TEST(CommandLineTest, OptionsAnywhereBeforeTheEndMark) {
    const auto line = Parse({"find", "-cw", "TEXT", "--trim", "a", "-e", "txt", "--ext=.c", "-e.h",
                             "--format", "grep", "--codepage=gbk", "--", "-b"});
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->mode, CommandMode::Find);
    EXPECT_TRUE(line->options.CaseSensitive);
    EXPECT_TRUE(line->options.WholeWord);
    EXPECT_TRUE(line->options.IgnoreSpaces);
    EXPECT_EQ(line->extensions, (std::vector<std::string>{".txt", ".c", ".h"}));
    EXPECT_EQ(line->format, OutputFormat::Grep);
    EXPECT_EQ(line->codePage, CodePage::Gbk);
    EXPECT_EQ(line->text, "TEXT");
    EXPECT_EQ(line->paths, (std::vector<std::string>{"a", "-b"}));
    EXPECT_FALSE(line->yes);

    const auto replace = Parse({"replace", "-y", "old", "new", "p1", "p2"});
    ASSERT_TRUE(replace.has_value());
    EXPECT_EQ(replace->mode, CommandMode::Replace);
    EXPECT_TRUE(replace->yes);
    EXPECT_EQ(replace->replacement, "new");
    EXPECT_EQ(replace->paths.size(), 2u);
    EXPECT_FALSE(replace->verbose);
    EXPECT_FALSE(replace->nullAfterPath);
    const auto listing = Parse({"find", "-v0", "t", "p"});
    ASSERT_TRUE(listing.has_value());
    EXPECT_TRUE(listing->verbose && listing->nullAfterPath);
    const auto spelled = Parse({"find", "--verbose", "--null", "t", "p"});
    ASSERT_TRUE(spelled.has_value());
    EXPECT_TRUE(spelled->verbose && spelled->nullAfterPath);
    const auto dash = Parse({"find", "-", "p"}); // "-" alone is a text
    ASSERT_TRUE(dash.has_value());
    EXPECT_EQ(dash->text, "-");
}

TEST(CommandLineTest, GlobsAreKeptInOrder) {
    const auto line = Parse({"find", "-g", "*.c", "-g!vendor/**", "--glob=src/**", "--glob", "!*.o",
                             "--ignore-files", "t", "p"});
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->globs, (std::vector<std::string>{"*.c", "!vendor/**", "src/**", "!*.o"}));
    EXPECT_TRUE(line->ignoreFiles);
    EXPECT_FALSE(Parse({"find", "t", "p"})->ignoreFiles);
    std::string error;
    EXPECT_FALSE(Parse({"find", "t", "p", "-g"}, &error));
    EXPECT_NE(error.find("选项 -g 需要一个值"), std::string::npos);
}

TEST(CommandLineTest, RegexIsAnOption) {
    EXPECT_TRUE(Parse({"find", "-Ec", "a+", "p"})->options.Regex);
    EXPECT_TRUE(Parse({"replace", "--regex", "a+", "b", "p"})->options.Regex);
    EXPECT_FALSE(Parse({"find", "a+", "p"})->options.Regex);
}

TEST(CommandLineTest, ContextLinesNeedAListingOfAFind) {
    auto line = Parse({"find", "-C2", "-A", "5", "--format=json", "t", "p"});
    ASSERT_TRUE(line.has_value());
    EXPECT_TRUE(line->context);
    EXPECT_EQ(line->before, 2);
    EXPECT_EQ(line->after, 5);
    EXPECT_EQ(line->format, OutputFormat::Json);
    line = Parse({"find", "--before-context=1", "--format", "grep", "t", "p"});
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->before, 1);
    EXPECT_EQ(line->after, 0);
    EXPECT_FALSE(Parse({"find", "t", "p"})->context);

    std::string error;
    EXPECT_FALSE(Parse({"find", "-B", "-1", "--format=grep", "t", "p"}, &error));
    EXPECT_NE(error.find("选项 -B 需要一个行数"), std::string::npos);
    EXPECT_FALSE(Parse({"find", "-A1", "t", "p"}, &error));
    EXPECT_NE(error.find("--format grep 或 json"), std::string::npos);
    EXPECT_FALSE(Parse({"replace", "--format=json", "a", "b", "p"}, &error));
    EXPECT_NE(error.find("只用于 find"), std::string::npos);
}

TEST(CommandLineTest, MistakesAreNamed) {
    std::string error;
    EXPECT_FALSE(Parse({"find", "text"}, &error));
    EXPECT_NE(error.find("PATH"), std::string::npos);
    EXPECT_FALSE(Parse({"replace", "a", "b"}, &error));
    EXPECT_FALSE(Parse({"find", "", "p"}, &error));
    EXPECT_NE(error.find("要找的字是空的"), std::string::npos);
    EXPECT_FALSE(Parse({"replace", "a", "", "p"}, &error));
    EXPECT_NE(error.find("要替换的字是空的"), std::string::npos);
    EXPECT_FALSE(Parse({"find", "-x", "a", "p"}, &error));
    EXPECT_NE(error.find("-x"), std::string::npos);
    EXPECT_FALSE(Parse({"find", "--format", "xml", "a", "p"}, &error));
    EXPECT_FALSE(Parse({"find", "--codepage", "latin1", "a", "p"}, &error));
    EXPECT_FALSE(Parse({"find", "a", "p", "--ext"}, &error));
    EXPECT_NE(error.find("需要一个值"), std::string::npos);
    EXPECT_FALSE(Parse({"find", "--case=yes", "a", "p"}, &error));
    EXPECT_FALSE(Parse({"search", "a", "p"}, &error));
    EXPECT_TRUE(Parse({"find", "--help"})->help);
}

TEST(CommandLineTest, ColourOnATerminalUnlessNoColorSaysOtherwise) {
    EXPECT_EQ(Parse({"find", "t", "p"})->color, ColorChoice::Auto);
    EXPECT_EQ(Parse({"find", "--color=never", "t", "p"})->color, ColorChoice::Never);
    EXPECT_EQ(Parse({"find", "--color", "always", "t", "p"})->color, ColorChoice::Always);
    EXPECT_TRUE(Parse({"replace", "--version"})->version);

    EXPECT_TRUE(ResolveColor(ColorChoice::Auto, true, nullptr));
    EXPECT_TRUE(ResolveColor(ColorChoice::Auto, true, ""));
    EXPECT_FALSE(ResolveColor(ColorChoice::Auto, true, "1"));
    EXPECT_FALSE(ResolveColor(ColorChoice::Auto, false, nullptr));
    EXPECT_TRUE(ResolveColor(ColorChoice::Always, false, "1"));
    EXPECT_FALSE(ResolveColor(ColorChoice::Never, true, nullptr));
}

} // namespace
} // namespace kelvara
