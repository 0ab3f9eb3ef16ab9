#include "search/BatchSettings.h"

#include <gtest/gtest.h>

#include "CodePageScope.h"
#include "search/TestFolder.h"

namespace kelvara {
namespace {

TEST(BatchSettingsTest, DefaultsWithoutSettingsFile) {
    TestFolder dir;
    const TIniFile ini(dir / "missing.ini");
    const BatchSettings settings = LoadBatchSettings(ini, dir.Path() + "/");
    EXPECT_TRUE(settings.findHistory.empty());
    EXPECT_TRUE(settings.replaceHistory.empty());
    EXPECT_EQ(settings.folder, dir.Path());
    EXPECT_EQ(settings.drive, MountPointOf(dir.Path()));
    EXPECT_EQ(MountPointOf("/"), "/");
}

TEST(BatchSettingsTest, RoundTripKeepsOrderAndIgnoresStaleHigherKeys) {
    TestFolder dir;
    const std::string path = dir.Write("k.ini", "[findstr]\r\ncount=3\r\n0.vvalue=old0\r\n"
                                                "1.vvalue=old1\r\n2.vvalue=old2\r\n"
                                                "[other]\r\nkeep=1\r\n");
    {
        TIniFile ini(path);
        BatchSettings settings = LoadBatchSettings(ini, "/exe/");
        EXPECT_EQ(settings.findHistory, (std::vector<std::string>{"old0", "old1", "old2"}));
        settings.findHistory = {"first", "second"};
        settings.replaceHistory = {"r"};
        settings.excludeHistory = {"vendor/**;*.o"};
        settings.folder = "/home/user/src";
        settings.drive = "/home";
        SaveBatchSettings(ini, settings);
        ASSERT_FALSE(ini.UpdateFile().has_value());
    }
    const TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("findstr", "count", -1), 2);
    EXPECT_EQ(ini.ReadString("findstr", "1.vvalue", ""), "second");
    EXPECT_EQ(ini.ReadString("findstr", "2.vvalue", ""), "old2"); // stale, not read back
    EXPECT_EQ(ini.ReadString("replacestr", "0.vvalue", ""), "r");
    EXPECT_EQ(ini.ReadString("dlb1", "path", ""), "/home/user/src");
    EXPECT_EQ(ini.ReadString("dcb1", "path", ""), "/home");
    EXPECT_EQ(ini.ReadString("other", "keep", ""), "1");
    const BatchSettings again = LoadBatchSettings(ini, "/exe/");
    EXPECT_EQ(again.findHistory, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(again.replaceHistory, (std::vector<std::string>{"r"}));
    EXPECT_TRUE(again.includeHistory.empty());
    EXPECT_EQ(again.excludeHistory, (std::vector<std::string>{"vendor/**;*.o"}));
}

TEST(BatchSettingsTest, DamagedCountDoesNotExhaustMemory) {
    TestFolder dir;
    const TIniFile ini(dir.Write("k.ini", "[findstr]\ncount=2147483647\n0.vvalue=kept\n"));
    const BatchSettings settings = LoadBatchSettings(ini, "/exe/");
    ASSERT_FALSE(settings.findHistory.empty());
    EXPECT_EQ(settings.findHistory[0], "kept");
    EXPECT_LE(settings.findHistory.size(), 1000000u);
}

TEST(BatchSettingsTest, HistoryIgnoresAsciiLetterCase) {
    std::vector<std::string> history{"Abc"};
    AddToHistory(history, "aBC");
    AddToHistory(history, "abcd");
    AddToHistory(history, "\xC4\xE3"); // bytes beyond ASCII are compared as they are
    AddToHistory(history, "\xC4\xC3");
    EXPECT_EQ(history, (std::vector<std::string>{"Abc", "abcd", "\xC4\xE3", "\xC4\xC3"}));
}

// The histories hold the texts as typed (UTF-8); a settings file in GBK is
// read and written in GBK, and a text GBK cannot hold stays out of it.
TEST(BatchSettingsTest, HistoryIsTypedTextStoredInTheDefaultCodePage) {
    CodePageScope page(CodePage::Gbk);
    std::vector<std::string> history{"說"};
    AddToHistory(history, "誇"); // another character, though GBK bytes differ in a letter only
    AddToHistory(history, "x誇");
    AddToHistory(history, "X誇");
    AddToHistory(history, "€uro");
    EXPECT_EQ(history, (std::vector<std::string>{"說", "誇", "x誇", "€uro"}));

    TestFolder dir;
    const std::string path = dir.Write("k.ini", "[findstr]\r\ncount=1\r\n0.vvalue=\xD5\x66\r\n");
    TIniFile ini(path);
    BatchSettings settings = LoadBatchSettings(ini, "/exe/");
    EXPECT_EQ(settings.findHistory, (std::vector<std::string>{"說"}));
    settings.findHistory = {"\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xE8\xAA\x87"};
    SaveBatchSettings(ini, settings);
    EXPECT_EQ(ini.ReadInteger("findstr", "count", -1), 2);
    EXPECT_EQ(ini.ReadString("findstr", "1.vvalue", ""), "\xD5\x46");
}

} // namespace
} // namespace kelvara
