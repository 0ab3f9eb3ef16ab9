#pragma once

#include <string>
#include <string_view>

// Where the program and its files live.
namespace kelvara {

// The folder of the running executable, ending in "/". The executable's path
// is fixed when the program starts, so an upgrade that replaces the file
// while the program runs moves neither the settings nor the data files.
std::string ExeDirectory();

// The settings file: "$XDG_CONFIG_HOME/kelvara/kelvara.ini" (~/.config when
// the variable is unset), whose folder is created when missing; but when a
// "<executable>.ini" (kelvara.ini) already stands beside the executable, that
// portable copy is used. Nothing is written beside the executable otherwise.
std::string IniFileName();

// The rule of IniFileName with its inputs given; `configHome` and `home` may
// be empty (unset). Only without either is the file beside the executable.
// Creates nothing.
std::string SettingsFileName(std::string_view executable, bool portableExists,
                             std::string_view configHome, std::string_view home);

// Kelvara's folder for state kept between runs (the replace journal, copies of
// unsaved edits): "$XDG_STATE_HOME/kelvara/" (~/.local/state when the variable
// is unset or relative), ending in "/". Creates nothing.
std::string StateFolder();

// The folder of the system's programs, where the desktop launcher lives
// ("/usr/bin/"): what the system folder is to the launch helpers.
std::string WindowsDirectory();

// A shipped file (extention.txt, reservedword.txt): beside the executable,
// else in ../share/kelvara/ of an installed program. When neither exists the
// path beside the executable, which then reads as empty.
std::string DataFileName(std::string_view name);
std::string DataFileNameIn(std::string_view exeDirectory, std::string_view name);

// The folder of the translation catalogues, ending in "/": "translations/"
// beside the executable (in the build folder), else share/kelvara/translations/
// of an installed program.
std::string TranslationsFolder();

} // namespace kelvara
