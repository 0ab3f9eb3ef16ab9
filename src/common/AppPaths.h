#pragma once

#include <string>
#include <string_view>

// Where the program and its files live.
namespace kelvara {

// The folder of the running executable, ending in "/". The executable's path
// is fixed when the program starts, so an upgrade that replaces the file
// while the program runs moves neither the settings nor the data files.
std::string ExeDirectory();

// The settings file: "<executable>.ini" beside the executable when its folder
// is writable, else "$XDG_CONFIG_HOME/kelvara/kelvara.ini" (~/.config when the
// variable is unset); the folder is created when missing.
std::string IniFileName();

// The rule of IniFileName with its inputs given; `configHome` and `home` may
// be empty (unset). Creates nothing.
std::string SettingsFileName(std::string_view executable, bool folderWritable,
                             std::string_view configHome, std::string_view home);

// The folder of the system's programs, where the desktop launcher lives
// ("/usr/bin/"): what the system folder is to the launch helpers.
std::string WindowsDirectory();

// A shipped file (extention.txt, reservedword.txt): beside the executable,
// else in ../share/kelvara/ of an installed program. When neither exists the
// path beside the executable, which then reads as empty.
std::string DataFileName(std::string_view name);
std::string DataFileNameIn(std::string_view exeDirectory, std::string_view name);

} // namespace kelvara
