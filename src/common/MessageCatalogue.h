#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "common/FileError.h"

// Kelvara's messages are written in Chinese; the English ones come from the
// catalogue that lrelease makes of translations/kelvara_en.ts. The window
// hands the same file to Qt for its widgets; the core and the command line,
// which run without Qt, read it here.
namespace kelvara {

// Reads a catalogue (a .qm file) in place of the current one. On failure
// the current one stays and the error says why.
[[nodiscard]] FileStatus LoadMessageCatalogue(const std::string& path);
// Back to the source texts.
void ClearMessageCatalogue();

// The translation of `source` in `context`, both UTF-8, or `source` itself.
// scripts/translations finds the texts to translate by this name, so both
// arguments are string literals. The view stays valid until the next load.
std::string_view Translate(const char* context, const char* source);

// `pattern` with each %1 ... %9 replaced by that argument.
std::string FormatMessage(std::string_view pattern, std::initializer_list<std::string_view> args);

// Counts the loads and clears, so that texts kept ready (hit captions) know
// when to look again.
unsigned CatalogueGeneration() noexcept;

} // namespace kelvara
