#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "search/BatchRun.h"
#include "search/FileSet.h"
#include "search/MatchOptions.h"
#include "search/ResultTree.h"

namespace kelvara {

// The batch replace: after "确定要替换吗？" is answered Yes, `text` and
// `replacement` join their histories and every ticked file is run through the
// replace step line by line, one file node per file read (not pruned). Only a
// file with at least one replacement is written, atomically, every line with
// its own break and nothing else changed, and no file twice (reached again
// through a link, it keeps a file node without children); a file holding a
// NUL byte is not rewritten and is listed. A stop in the middle of a file
// keeps the rest of it as it was. A file that cannot be read or written ends
// the run with its error, that file left intact (and listed without lines);
// otherwise "替换完毕" is shown. The run reads the set's own paths: no entry
// may be removed until it returns.
BatchResult RunBatchReplace(std::string_view text, std::string_view replacement,
                            std::vector<std::string>& findHistory,
                            std::vector<std::string>& replaceHistory, const FileSet& files,
                            const MatchOptions& options, ResultTree& tree, const BatchHooks& hooks);

} // namespace kelvara
