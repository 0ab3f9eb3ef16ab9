#include "common/AppPaths.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

#include "common/PathHelpers.h"

namespace kelvara {

namespace {

std::string ReadExecutablePath() {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

// The executable's path as it was when the program started. Read later, the
// system's answer changes once the file is replaced on disk (an upgrade while
// the program runs gives "kelvara (deleted)"), and the settings would move.
const std::string& ExecutablePath() {
    static const std::string path = ReadExecutablePath();
    return path;
}

// Fixes the path while the program starts, before anything can replace it.
[[maybe_unused]] const std::string& gExecutableAtStart = ExecutablePath();

std::string_view Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string_view(value) : std::string_view();
}

// $HOME, else the home folder of the user's account.
std::string HomeFolder() {
    const std::string_view home = Environment("HOME");
    if (!home.empty()) return std::string(home);
    const passwd* account = getpwuid(getuid());
    return account && account->pw_dir ? account->pw_dir : std::string();
}

} // namespace

std::string ExeDirectory() {
    const std::string& executable = ExecutablePath();
    if (executable.empty()) return "./";
    return executable.substr(0, static_cast<std::size_t>(LastPos(executable, kPathSeparator)));
}

std::string SettingsFileName(std::string_view executable, bool portableExists,
                             std::string_view configHome, std::string_view home) {
    std::string folder;
    // A relative XDG_CONFIG_HOME is invalid and ignored, as is an unset HOME.
    if (!configHome.empty() && configHome.front() == kPathSeparator)
        folder = configHome;
    else if (!home.empty())
        folder = WithTrailingBackslash(home) + ".config";
    if (portableExists || folder.empty()) return std::string(executable) + ".ini";
    return WithTrailingBackslash(folder) + "kelvara/kelvara.ini";
}

std::string IniFileName() {
    const std::string portable = ExecutablePath() + ".ini";
    const bool portableExists = access(portable.c_str(), F_OK) == 0;
    const std::string name = SettingsFileName(ExecutablePath(), portableExists,
                                              Environment("XDG_CONFIG_HOME"), HomeFolder());
    if (name != portable) {
        std::error_code ignored; // a failure shows when the file is written
        std::filesystem::create_directories(std::filesystem::path(name).parent_path(), ignored);
    }
    return name;
}

std::string StateFolder() {
    std::string state(Environment("XDG_STATE_HOME"));
    if (state.empty() || state.front() != kPathSeparator)
        state = WithTrailingBackslash(HomeFolder()) + ".local/state";
    return WithTrailingBackslash(state) + "kelvara/";
}

std::string WindowsDirectory() { return "/usr/bin/"; }

std::string DataFileName(std::string_view name) { return DataFileNameIn(ExeDirectory(), name); }

std::string DataFileNameIn(std::string_view exeDirectory, std::string_view name) {
    const std::string beside = std::string(exeDirectory) + std::string(name);
    std::error_code error;
    if (std::filesystem::exists(beside, error)) return beside;
    const std::filesystem::path installed =
        (std::filesystem::path(exeDirectory) / "../share/kelvara" / name).lexically_normal();
    return std::filesystem::exists(installed, error) ? installed.string() : beside;
}

std::string TranslationsFolder() { return DataFileName("translations") + "/"; }

} // namespace kelvara
