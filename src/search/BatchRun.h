#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "common/FileError.h"

namespace kelvara {

// What a batch run tells its window besides the result tree (which has its
// own listener): the progress labels.
class BatchObserver {
public:
    virtual ~BatchObserver() = default;
    // A file was read and is searched next; `filesRead` counts it.
    virtual void FileRead(int filesRead, const std::string& path) = 0;
    // After pruning: the nodes left in a tree that was not empty.
    virtual void NodesLeft(std::size_t count) = 0;
    // The run is over and its notice or error box comes next: the last
    // progress and the final tree can be shown before it.
    virtual void RunEnding() {}
};

// How a window takes part in a run. Everything is optional.
struct BatchHooks {
    BatchObserver* observer = nullptr;
    // Called for every line the run looks at, and between long stretches of a
    // file: the window processes its events here (throttled on its side).
    std::function<void()> yield;
    // Set by the stop button; the run sets it false when it starts and checks
    // it before each line and each file.
    std::atomic<bool>* stopRequested = nullptr;

    bool StopRequested() const noexcept {
        return stopRequested != nullptr && stopRequested->load(std::memory_order_relaxed);
    }
};

enum class BatchOutcome {
    NotStarted, // empty text, empty file set or empty replacement: nothing done
    Finished,   // also after a stop
    Failed,     // a file could not be read or written: `error` says which and why
};

struct BatchResult {
    BatchOutcome outcome = BatchOutcome::NotStarted;
    bool stopped = false;
    std::string searchText; // the prepared search text
    int filesRead = 0;
    int filesWritten = 0;              // replace: files with a replacement
    std::vector<std::string> nulFiles; // replace: files not rewritten (NUL bytes)
    // replace: files another program changed while the run was at them, left
    // as that program made them
    std::vector<std::string> changedFiles;
    // replace: the journal's name for the run (empty when nothing was
    // rewritten), for an undo
    std::string journalRun;
    FileStatus error;
};

} // namespace kelvara
