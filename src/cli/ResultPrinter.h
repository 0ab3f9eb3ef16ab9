#pragma once

#include "cli/CommandLine.h"
#include "cli/OutputBuffer.h"
#include "search/ResultTree.h"

namespace kelvara {

// Writes the result tree, one node a line. Tree format: a file node's path
// alone, a hit node's caption after two blanks, converted from the text code
// page to the locale's encoding. Grep format: "path:line:column" per hit node.
// Paths are written as the file system gives them, quoted when they hold a
// control byte (AppendQuotedPath); with `nullAfterPath` every path is written
// raw and followed by a NUL byte instead of its line break or colon.
void PrintResultTree(const ResultTree& tree, OutputFormat format, bool nullAfterPath,
                     OutputBuffer& out);

} // namespace kelvara
