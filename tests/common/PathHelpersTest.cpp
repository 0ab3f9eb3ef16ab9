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

TEST(AppPaths, SettingsFileBesideTheExecutableOrInTheConfigFolder) {
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
    if (access(folder.c_str(), W_OK) == 0)
        EXPECT_EQ(IniFileName(), folder + "common_tests.ini");
    else
        EXPECT_TRUE(IniFileName().ends_with("/kelvara/kelvara.ini"));
    EXPECT_EQ(WindowsDirectory().back(), '/');
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
