#pragma once

#include <string_view>

#include "cli/CommandLine.h"
#include "common/IniFile.h"

namespace kelvara {

// `kelvara find ...` and `kelvara replace ...` without any window. The exit
// status: 0 something found or replaced, 1 nothing, 2 an error. A run that
// got as far as searching ends the process with it; otherwise it is returned.
// -h and --help print the command's usage, --version the version.
int RunCommandLine(int argc, char** argv);

// An option before any command: --help and -h print the program's usage,
// --version the version (status 0); any other is refused with the usage
// (status 2).
int RunProgramOption(std::string_view option);

// Loads the messages of the language the settings and the locale choose.
void UseSettingsLanguage(const TIniFile& settings);

// Whether to colour: --color always or never as given; auto only on a
// terminal and without a non-empty NO_COLOR.
bool ResolveColor(ColorChoice choice, bool terminal, const char* noColor);

} // namespace kelvara
