#include "common/AppPaths.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/TempFolder.h"

namespace kelvara {
namespace {

// Run in a copy of this program by the test below: replaces the copy on
// disk, as an upgrade does, then writes the settings file's name where the
// environment says.
TEST(AppPathsTest, HelperWritesIniFileNameAfterItsExecutableIsReplaced) {
    const char* report = std::getenv("KELVARA_TEST_INI_REPORT");
    const char* self = std::getenv("KELVARA_TEST_SELF");
    if (report == nullptr || self == nullptr) return; // only inside the copy
    const std::string upgrade = std::string(self) + ".new";
    std::ofstream(upgrade) << "new version";
    std::filesystem::rename(upgrade, self);
    std::ofstream(report) << IniFileName() << '\n' << ExeDirectory();
}

TEST(AppPathsTest, PortableSettingsFileStaysPutWhenTheExecutableIsReplacedWhileRunning) {
    const TempFolder folder;
    const std::string copy = folder.Path("kelvara");
    const std::string report = folder.Path("report");
    std::filesystem::copy_file("/proc/self/exe", copy);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_all);
    folder.Write("kelvara.ini", ""); // a portable copy
    const pid_t child = fork();
    if (child == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        setenv("KELVARA_TEST_INI_REPORT", report.c_str(), 1);
        setenv("KELVARA_TEST_SELF", copy.c_str(), 1);
        execl(copy.c_str(), copy.c_str(),
              "--gtest_filter=AppPathsTest.HelperWritesIniFileNameAfterItsExecutableIsReplaced",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(TempFolder::Read(report), copy + ".ini\n" + folder.Path() + "/");
}

} // namespace
} // namespace kelvara
