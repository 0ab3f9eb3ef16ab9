#include "common/Launcher.h"

#include <sys/wait.h>
#include <unistd.h>

#include "common/AppPaths.h"
#include "common/AskUser.h"
#include "common/CodePageConversion.h"
#include "common/MessageCatalogue.h"

extern char** environ;

namespace kelvara {

namespace {

// Starts the command in a grandchild, so nobody has to wait for it and no
// zombie is left; only async-signal-safe calls run after fork().
void SpawnDetached(const std::vector<std::string>& command) {
    if (command.empty()) return;
    std::vector<char*> argv;
    for (const std::string& argument : command)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        if (fork() == 0) execve(argv[0], argv.data(), environ);
        _exit(0);
    }
    if (child > 0) waitpid(child, nullptr, 0);
}

Launcher& CurrentLauncher() {
    static Launcher launcher = SpawnDetached;
    return launcher;
}

void Launch(std::string argument) { CurrentLauncher()({LauncherPath(), std::move(argument)}); }

void TellEmpty() { AskUser(TextFromUtf8(Translate("kelvara::Launcher", "是空的")), "^^", 0); }

// Modes 0 and 1 of both helpers; mode 1 needs a non-empty argument.
std::string Run(int mode, std::string_view argument, std::string_view mailPrefix) {
    if (mode == 0) {
        Launch(std::string(argument));
    } else if (mode == 1) {
        if (argument.empty())
            TellEmpty();
        else
            Launch(std::string(mailPrefix) + std::string(argument));
    } else {
        return LauncherPath();
    }
    return {};
}

} // namespace

void SetLauncher(Launcher launcher) {
    CurrentLauncher() = launcher ? std::move(launcher) : Launcher(SpawnDetached);
}

std::string LauncherPath() { return WindowsDirectory() + "xdg-open"; }

std::string RunExplorer(int mode, std::string_view argument) {
    return Run(mode, argument, "mailto:");
}

std::string RunBrowser(int mode, std::string_view argument) { return Run(mode, argument, ""); }

} // namespace kelvara
