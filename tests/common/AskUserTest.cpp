#include "common/AskUser.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "common/CodePageConversion.h"
#include "common/Launcher.h"

namespace kelvara {
namespace {

struct Shown {
    std::string text;
    std::string caption;
    MessageBoxStyle style;
};

// Records every box and answers from a script; restores the default sinks.
class ScriptedUser : public ::testing::Test {
protected:
    void SetUp() override {
        SetAskUserSink([this](const MessageBoxRequest& request) {
            shown_.push_back(
                {std::string(request.text), std::string(request.caption), request.style});
            const int answer = answers_.empty() ? 0 : answers_.front();
            if (!answers_.empty()) answers_.erase(answers_.begin());
            return answer;
        });
        SetLauncher(
            [this](const std::vector<std::string>& command) { launched_.push_back(command); });
    }
    void TearDown() override {
        SetAskUserSink({});
        SetLauncher({});
    }

    std::vector<int> answers_;
    std::vector<Shown> shown_;
    std::vector<std::vector<std::string>> launched_;
};

TEST_F(ScriptedUser, KindsChooseButtonsIconAndDefault) {
    answers_ = {kIdNo, kIdCancel};
    EXPECT_EQ(AskUser("sure?", "caption", 1), kIdNo);
    EXPECT_EQ(AskUser("save?", "", 6), kIdCancel);
    ASSERT_EQ(shown_.size(), 2u);
    EXPECT_EQ(shown_[0].text, "sure?");
    EXPECT_EQ(shown_[0].caption, "caption");
    EXPECT_EQ(shown_[0].style.buttons, MessageButtons::YesNo);
    EXPECT_EQ(shown_[0].style.defaultButton, kIdNo);
    EXPECT_EQ(shown_[1].style.buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(shown_[1].style.defaultButton, kIdCancel);

    const unsigned flags[] = {0x40, 0x124, 0x10, 0x24, 0x23, 0x123, 0x223, 0x222};
    for (int kind = 0; kind < 8; ++kind)
        EXPECT_EQ(MessageBoxStyleOfKind(kind)->flags, flags[kind]) << kind;
    EXPECT_EQ(MessageBoxStyleOfKind(2)->icon, MessageIcon::Error);
    EXPECT_EQ(MessageBoxStyleOfKind(7)->defaultButton, kIdIgnore);

    EXPECT_EQ(AskUser("never shown", "", 8), 0);
    EXPECT_EQ(AskUser("never shown", "", -1), 0);
    EXPECT_EQ(shown_.size(), 2u);
}

TEST_F(ScriptedUser, LaunchHelpersOpenThroughTheLauncher) {
    EXPECT_EQ(RunExplorer(0, "/home/u"), "");
    EXPECT_EQ(RunExplorer(1, "a@b.example"), "");
    EXPECT_EQ(RunBrowser(0, "/tmp/page.htm"), "");
    EXPECT_EQ(RunBrowser(1, "https://example.com/"), "");
    const std::string opener = LauncherPath();
    EXPECT_EQ(launched_, (std::vector<std::vector<std::string>>{{opener, "/home/u"},
                                                                {opener, "mailto:a@b.example"},
                                                                {opener, "/tmp/page.htm"},
                                                                {opener, "https://example.com/"}}));
    EXPECT_TRUE(shown_.empty());

    EXPECT_EQ(RunExplorer(2, "x"), opener);
    EXPECT_EQ(RunBrowser(-1, "x"), opener);
    EXPECT_EQ(launched_.size(), 4u);
}

TEST_F(ScriptedUser, EmptyAddressTellsTheUserAndStartsNothing) {
    EXPECT_EQ(RunExplorer(1, ""), "");
    EXPECT_EQ(RunBrowser(1, ""), "");
    EXPECT_TRUE(launched_.empty());
    ASSERT_EQ(shown_.size(), 2u);
    for (const Shown& box : shown_) {
        EXPECT_EQ(box.text, TextFromUtf8("是空的"));
        EXPECT_EQ(box.caption, "^^");
        EXPECT_EQ(box.style.icon, MessageIcon::Information);
    }
}

} // namespace
} // namespace kelvara
