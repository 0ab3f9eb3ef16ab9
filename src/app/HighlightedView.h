#pragma once

#include <memory>

#include "syntax/SourceEdit.h"

namespace kelvara {

// The highlighted view's editor as a document window shows it: read-only,
// tab size 2, symbols olive, numbers crimson, one case-insensitive word list
// in bold blue (filled per file extension), black parentheses; a large text
// is coloured in slices.
std::unique_ptr<TSourceEdit> MakeHighlightedEditor(EditorHost* host);

} // namespace kelvara
