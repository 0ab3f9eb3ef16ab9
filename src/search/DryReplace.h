#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "search/BatchRun.h"
#include "search/MatchOptions.h"
#include "search/PathFeed.h"
#include "search/PlannedChange.h"

namespace kelvara {

struct DryReplaceResult {
    int filesRead = 0;
    int filesChanged = 0;
    std::size_t hits = 0; // the stretches that would be replaced
    bool stopped = false;
    std::vector<std::string> nulFiles; // would not be rewritten
    // Would not be searched or rewritten because of their encoding.
    std::vector<LeftFile> encodingFiles;
    std::vector<CutLine> cutLines; // a regular expression's match limit ended their search
    FileStatus error;              // the file that ended the run, and why
};

// What a replace of `text` by `replacement` (as typed, in UTF-8) would do to
// each of `paths`, in order, without writing anything: each file that would
// change is handed to `changes` with the stretches it would replace, in the
// file's own encoding. A file holding a NUL byte, or one whose encoding cannot
// take the replacement, would not be rewritten and is listed; one that cannot
// be read ends the run, as it ends a replace. The files are read, matched and
// described on `threads` threads as a find reads them (0: one per core); what
// was described of each is taken on the calling thread, in the order of the
// paths.
DryReplaceResult RunDryReplace(std::string_view text, std::string_view replacement,
                               const std::vector<std::string>& paths, const MatchOptions& options,
                               const BatchHooks& hooks, FileChanges& changes, unsigned threads = 1);

// The same over the files a walk on another thread hands to `paths` while the
// run already reads the first ones; the run cancels the feed when it ends.
DryReplaceResult RunDryReplace(std::string_view text, std::string_view replacement, PathFeed& paths,
                               const MatchOptions& options, const BatchHooks& hooks,
                               FileChanges& changes, unsigned threads = 1);

} // namespace kelvara
