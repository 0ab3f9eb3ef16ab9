#pragma once

#include <string>

#include "common/Language.h"

namespace kelvara {

// Gives the captions of `language` to Qt and the core: Kelvara's catalogue
// from `folder` (ending in "/"), and for Chinese Qt's own one for its standard
// buttons and dialogs. Widgets made afterwards show the language. A catalogue
// that cannot be read leaves the Chinese captions and is reported on standard
// error.
void InstallTranslations(Language language, const std::string& folder);

} // namespace kelvara
