#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/FileError.h"
#include "search/HitExport.h"
#include "search/ResultTree.h"

namespace kelvara {

enum class ExportFormat {
    Grep, // path:line:column:text
    Csv,  // path, line, column, text
    Json, // JSON lines as ripgrep writes them
};

// The format a file name asks for: ".csv" CSV, ".json" and ".jsonl" JSON
// lines, any other grep lines.
ExportFormat ExportFormatOf(std::string_view path);

// Writes the hits of every file node of `tree` to the file `path`, their lines
// read again from the files, texts in UTF-8 (bytes that are not valid text
// escaped, never dropped). The file is replaced whole or not at all. Files
// that could not be read again go to `unread`, their hits written with empty
// lines. `yield` is called between files.
FileStatus ExportResults(const ResultTree& tree, ExportFormat format,
                         const ExportSettings& settings, const std::string& path,
                         std::vector<FileError>& unread, const std::function<void()>& yield = {});

// The grep lines of the chosen nodes, for the clipboard: each chosen hit node,
// and every hit of a chosen file node, once each, in the tree's order.
std::string GrepLinesOf(const ResultTree& tree, std::span<const NodeRef> nodes,
                        const ExportSettings& settings);

} // namespace kelvara
