#include <QLocalSocket>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "FrameFixture.h"
#include "common/IniFile.h"
#include "platform/SingleInstance.h"

namespace kelvara {
namespace {

using namespace std::chrono_literals;

// The program and its window part copied into a folder of their own, so that
// its settings file, and with it its single-instance socket, belong to the
// test.
class InstalledProgram {
public:
    InstalledProgram() {
        std::filesystem::copy_file(KELVARA_EXECUTABLE, Executable());
        std::filesystem::copy_file(KELVARA_WINDOW_MODULE_FILE, folder.Path("kelvara-window.so"));
        const char* bin = std::getenv("KELVARA_BIN_DIR");
        const std::filesystem::path data =
            bin ? bin : std::filesystem::path(KELVARA_EXECUTABLE).parent_path();
        std::filesystem::copy_file(data / "extention.txt", folder.Path("extention.txt"));
        // A portable copy: the settings file beside the program belongs to the test.
        folder.Write("kelvara.ini", "");
        // Under the leak checker: the desktop's libraries keep caches until exit.
        folder.Write("leaks.supp", "leak:libfontconfig.so\nleak:libdbus-1.so\n");
    }
    std::string Executable() const { return folder.Path("kelvara"); }
    std::string Settings() const { return folder.Path("kelvara.ini"); }
    QString ServerName() const { return SingleInstance::ServerName(Settings()); }

    // Starts the command in the folder; `display` runs it under Xvfb instead
    // of the offscreen platform.
    pid_t Start(std::vector<std::string> args, bool display = false) const {
        args.insert(args.begin(), Executable());
        if (display) args.insert(args.begin(), {"xvfb-run", "-a"});
        const pid_t child = fork();
        if (child == 0) {
            if (chdir(folder.Path().c_str()) != 0) _exit(126);
            setenv("LSAN_OPTIONS", ("suppressions=" + folder.Path("leaks.supp")).c_str(), 1);
            if (display)
                unsetenv("QT_QPA_PLATFORM");
            else
                setenv("QT_QPA_PLATFORM", "offscreen", 1);
            std::vector<char*> argv;
            for (std::string& arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        return child;
    }

    // The process id of the instance listening on the socket, once it does.
    pid_t WaitListening(std::chrono::seconds limit = 20s) const {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            QLocalSocket probe;
            probe.connectToServer(ServerName());
            if (probe.waitForConnected(200)) {
                ucred peer{};
                socklen_t size = sizeof peer;
                getsockopt(static_cast<int>(probe.socketDescriptor()), SOL_SOCKET, SO_PEERCRED,
                           &peer, &size);
                return peer.pid;
            }
            std::this_thread::sleep_for(50ms);
        }
        return -1;
    }

    TempFolder folder;
};

// The exit status, or -1 when the process did not end in time (it is killed).
int WaitExit(pid_t child, std::chrono::seconds limit = 20s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
        if (waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(20ms);
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return -1;
}

std::vector<std::string> Session(const std::string& settingsFile) {
    const TIniFile settings(settingsFile);
    std::vector<std::string> paths;
    const int count = settings.ReadInteger("lastopened", "count", 0);
    for (int i = 0; i < count; ++i)
        paths.push_back(settings.ReadString("lastopened", std::to_string(i) + ".opened", ""));
    return paths;
}

TEST(Program, ASecondStartHandsItsFilesToTheRunningOne) {
    TestApplication();
    const InstalledProgram program;
    const std::string a = program.folder.Write("a.txt", "a");
    const std::string b = program.folder.Write("b.txt", "b");
    const pid_t first = program.Start({"a.txt"});
    const pid_t listening = program.WaitListening();
    ASSERT_EQ(listening, first);
    // The second start gives a relative path, from its own folder, and ends.
    const pid_t second = program.Start({"b.txt"});
    EXPECT_EQ(WaitExit(second), 0);
    EXPECT_EQ(program.WaitListening(), first);
    // A SIGTERM closes the window as the close box does: the session is saved.
    std::this_thread::sleep_for(500ms);
    kill(first, SIGTERM);
    EXPECT_EQ(WaitExit(first), 0);
    EXPECT_EQ(Session(program.Settings()), (std::vector<std::string>{a, b}));
}

TEST(Program, StartsUnderXvfbOpensTheNamedFileAndQuitsCleanly) {
    TestApplication();
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xvfb-run";
    const InstalledProgram program;
    const std::string a = program.folder.Write("中文.txt", "中文\n");
    const pid_t runner = program.Start({"中文.txt"}, true);
    const pid_t instance = program.WaitListening(60s);
    ASSERT_GT(instance, 0);
    kill(instance, SIGTERM);
    EXPECT_EQ(WaitExit(runner, 60s), 0);
    EXPECT_EQ(Session(program.Settings()), std::vector<std::string>{a});
    EXPECT_EQ(TempFolder::Read(a), "中文\n");
}

TEST(Program, WithoutADisplayItSaysSo) {
    const InstalledProgram program;
    const pid_t child = fork();
    if (child == 0) {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            unsetenv(name);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
        execl(program.Executable().c_str(), "kelvara", static_cast<char*>(nullptr));
        _exit(127);
    }
    EXPECT_EQ(WaitExit(child), 2);
}

} // namespace
} // namespace kelvara
