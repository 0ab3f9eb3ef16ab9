#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "search/BatchRun.h"
#include "search/FileSet.h"
#include "search/MatchOptions.h"
#include "search/PathFeed.h"
#include "search/ResultTree.h"

namespace kelvara {

// The batch find: `text` joins the history, then every ticked file of the
// set is searched in list order, one file node per file and one hit node per
// hit; file nodes without hits are pruned and "查找完毕" is shown. A file that
// cannot be read ends the run with its error instead (the tree kept as it is).
//
// Files are read and matched on `threads` threads (0: one per core of the
// machine; 1: all on the calling thread), while the calling thread alone puts
// the results into the tree and calls the hooks, in list order: the tree, the
// observer's calls and the outcome are those of a run on one thread. The run
// reads the set's own paths: no entry may be removed until it returns.
BatchResult RunBatchFind(std::string_view text, std::vector<std::string>& findHistory,
                         const FileSet& files, const MatchOptions& options, ResultTree& tree,
                         const BatchHooks& hooks, unsigned threads = 0);

// The same over the files a walk on another thread hands to `paths` while the
// run already searches: the run waits for a file that is not listed yet, and
// cancels the feed when it ends, so that the walk stops too. When the feed
// ends without a file nothing is done, as for an empty set. Nobody watches
// such a run file by file: the tree is left with file nodes only for files
// with hits, also when a file ends the run, and on several threads a file
// without hits never gets one.
BatchResult RunBatchFind(std::string_view text, std::vector<std::string>& findHistory,
                         PathFeed& paths, const MatchOptions& options, ResultTree& tree,
                         const BatchHooks& hooks, unsigned threads = 0);

// Deletes every file node without children; tells the observer what is left.
void PruneFileNodes(ResultTree& tree, BatchObserver* observer);

} // namespace kelvara
