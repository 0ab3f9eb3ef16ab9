#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/ContentHash.h"
#include "common/FileIdentity.h"
#include "search/Journal.h"

// Reading the runs of the replace journal back: for the list of runs, for
// an undo, and to drop the oldest ones.
namespace kelvara {

// One file a run saved before rewriting it.
struct JournalFile {
    std::string path;   // as the run named it
    std::string target; // the file rewritten: absolute, links resolved
    FileIdentity old;   // as it was read
    std::uint64_t dataOffset = 0;
    std::uint64_t dataLength = 0;
    std::string keptName; // the old file kept in the run's folder; empty: in `data`
    ContentDigest oldDigest;
    ContentDigest newDigest;
    bool written = false; // the run noted it rewritten (a killed run may not have)
};

struct JournalRun {
    std::string id;     // the folder's name
    std::string folder; // its path
    std::int64_t startedNanoseconds = 0;
    RunDescription description;
    std::string currentFolder; // where the run was started
    std::vector<JournalFile> files;
    bool ended = false;      // the run came to its end (not killed)
    bool undone = false;     // an undo went through it
    bool damaged = false;    // its index holds bytes that are not whole records
    bool busy = false;       // a run still being written (locked)
    std::uint64_t bytes = 0; // room its files take
};

// Reads one run's folder; nullopt when it holds no index that begins with a
// whole header record (then it is no run of Kelvara's).
std::optional<JournalRun> ReadJournalRun(const std::string& folder);

// Every run under the journal folder, the newest first.
std::vector<JournalRun> ListJournalRuns(const JournalSettings& settings);

// Drops the oldest runs beyond the newest `keepRuns`, then the oldest ones
// until the rest take at most `keepBytes` (the newest run always stays). A
// run still being written is never dropped.
void PruneJournal(const JournalSettings& settings);

} // namespace kelvara
