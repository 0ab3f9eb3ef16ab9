#pragma once

#include <string>
#include <vector>

#include "search/JournalRuns.h"

namespace kelvara {

// A file an undo did not put back (its absolute path), and why (in UTF-8).
struct UndoSkip {
    std::string path;
    std::string reason;
};

struct UndoResult {
    // The whole run was refused (a newer run rewrote its files too, it is
    // still being written, no such run): why, in UTF-8.
    std::string refused;
    std::vector<std::string> restored; // put back (absolute paths, links resolved)
    int alreadyOld = 0;                // held their old content already
    std::vector<UndoSkip> skipped;
};

// Takes back the run `runId` (empty: the newest run not undone yet) of the
// journal: every file whose content is still what the run wrote gets its old
// content back through the hardened writer (mode, owner and links kept), its
// saved copy checked against its digest first. A file changed since, gone, or
// whose saved copy is damaged is left as it is and listed. A run is refused
// when a newer run that is not undone rewrote one of its files: runs are
// undone newest first. The run is marked undone.
UndoResult UndoReplaceRun(const JournalSettings& settings, const std::string& runId);

} // namespace kelvara
