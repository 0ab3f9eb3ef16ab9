#include "common/PathHelpers.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

#include "common/AppPaths.h"
#include "common/TempFolder.h"

namespace kelvara {
namespace {

TEST(PathHelpers, LastPosAndFileNameOfPath) {
    EXPECT_EQ(LastPos("a/b/c", '/'), 4);
    EXPECT_EQ(LastPos("abc", '/'), 0);
    EXPECT_EQ(LastPos("", '/'), 0);
    EXPECT_EQ(LastPos("/", '/'), 1);

    EXPECT_EQ(FileNameOfPath("/home/user/notes.txt"), "notes.txt");
    EXPECT_EQ(FileNameOfPath("NONAME"), "NONAME");
    EXPECT_EQ(FileNameOfPath("/home/user/"), "");
    EXPECT_EQ(FileNameOfPath(""), "");
    EXPECT_EQ(FileNameOfPath("a\\b\\c.txt"), "a\\b\\c.txt"); // a backslash is a name byte
}

TEST(PathHelpers, TrailingSeparatorAndExtensions) {
    EXPECT_EQ(WithTrailingBackslash("/home/user"), "/home/user/");
    EXPECT_EQ(WithTrailingBackslash("/"), "/");
    EXPECT_EQ(WithTrailingBackslash(""), "/");

    EXPECT_EQ(DefaultExtension("/tmp/notes", ".txt"), "/tmp/notes.txt");
    EXPECT_EQ(DefaultExtension("/tmp/notes.htm", ".txt"), "/tmp/notes.htm");
    EXPECT_EQ(DefaultExtension("/tmp/v1.2/notes", ".txt"), "/tmp/v1.2/notes.txt");
    EXPECT_EQ(DefaultExtension("", ".txt"), "");

    EXPECT_EQ(ExtractFileExt("/a/b.tar.GZ"), ".GZ");
    EXPECT_EQ(ExtractFileExt("/a.d/readme"), "");
    EXPECT_EQ(ExtractFileExt("name."), ".");
    EXPECT_EQ(ExtractFileExt(".profile"), ".profile");
    EXPECT_EQ(ExtractFileExt(""), "");
}

TEST(AppPaths, SettingsFileInTheConfigFolderUnlessAPortableCopyStandsBesideTheExecutable) {
    EXPECT_EQ(SettingsFileName("/opt/k/kelvara", true, "/cfg", "/home/u"), "/opt/k/kelvara.ini");
    EXPECT_EQ(SettingsFileName("/usr/bin/kelvara", false, "/cfg", "/home/u"),
              "/cfg/kelvara/kelvara.ini");
    EXPECT_EQ(SettingsFileName("/usr/bin/kelvara", false, "", "/home/u"),
              "/home/u/.config/kelvara/kelvara.ini");
    EXPECT_EQ(SettingsFileName("/usr/bin/kelvara", false, "relative", "/home/u/"),
              "/home/u/.config/kelvara/kelvara.ini");
    EXPECT_EQ(SettingsFileName("/usr/bin/kelvara", false, "", ""), "/usr/bin/kelvara.ini");

    const std::string folder = ExeDirectory();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), '/');
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(WindowsDirectory().back(), '/');

    // This program has no portable copy: its settings go to the config
    // folder, which is made, and nothing appears beside it.
    const TempFolder config;
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string previous = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
    EXPECT_EQ(IniFileName(), config.Path("kelvara/kelvara.ini"));
    EXPECT_TRUE(std::filesystem::is_directory(config.Path("kelvara")));
    EXPECT_FALSE(std::filesystem::exists(folder + "common_tests.ini"));
    if (saved)
        setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

TEST(AppPaths, DataFilesBesideTheExecutableOrInstalled) {
    TempFolder folder;
    std::filesystem::create_directories(folder.Path("bin"));
    std::filesystem::create_directories(folder.Path("share/kelvara"));
    const std::string bin = folder.Path("bin/");
    EXPECT_EQ(DataFileNameIn(bin, "words.txt"), bin + "words.txt"); // neither: beside
    folder.Write("share/kelvara/words.txt", "[.c]\n");
    EXPECT_EQ(DataFileNameIn(bin, "words.txt"), folder.Path("share/kelvara/words.txt"));
    folder.Write("bin/words.txt", "[.c]\n");
    EXPECT_EQ(DataFileNameIn(bin, "words.txt"), bin + "words.txt");
}

} // namespace
} // namespace kelvara
