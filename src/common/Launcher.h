#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Starting other programs: the file manager, the mail program, the browser.
// Every start goes through a replaceable launcher; the default one hands the
// command to the system without waiting, and ignores failures.
namespace kelvara {

// The program and its arguments.
using Launcher = std::function<void(const std::vector<std::string>& command)>;

// Installs the launcher; an empty one restores the default.
void SetLauncher(Launcher launcher);

// The desktop's opener, which starts what the user chose for a folder, a
// "mailto:" address or a web address: WindowsDirectory() + "xdg-open".
std::string LauncherPath();

// Mode 0 opens `argument` (a folder) and returns an empty text; mode 1 opens a
// new mail to `argument`, or tells the user "是空的" when it is empty, and
// returns an empty text; any other mode starts nothing and returns the path
// of the program it would start.
std::string RunExplorer(int mode, std::string_view argument);

// As RunExplorer, but mode 1 opens `argument` itself (a web address).
std::string RunBrowser(int mode, std::string_view argument);

} // namespace kelvara
