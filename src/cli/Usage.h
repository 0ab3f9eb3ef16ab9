#pragma once

#include <string>

namespace kelvara {

// Whose usage -h and --help show: the program's, or one command's.
enum class UsageOf { Program, Find, Replace };

// The usage text in the chosen language, UTF-8, ending in a line break.
std::string Usage(UsageOf which);

// "kelvara 1.0.9.0" and a line break: what --version prints.
std::string VersionText();

} // namespace kelvara
