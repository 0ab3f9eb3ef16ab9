#pragma once

#include "cli/CommandLine.h"
#include "cli/OutputBuffer.h"
#include "search/ResultTree.h"

namespace kelvara {

// Writes the result tree, one node a line. Tree format: a file node's path
// alone, a hit node's caption after two blanks, converted from the text code
// page to the locale's encoding. Grep format: "path:line:column" per hit node.
// Paths are written as the file system gives them.
void PrintResultTree(const ResultTree& tree, OutputFormat format, OutputBuffer& out);

} // namespace kelvara
