#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/FileEncoding.h"
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
    // The encoding of the file just read, when the hooks ask for it.
    virtual void EncodingFound(const std::string& /*path*/, const FileEncoding& /*encoding*/) {}
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
    // The observer is told each file's encoding. A find for ASCII texts then
    // looks at every byte of every file, which it otherwise need not.
    bool reportEncodings = false;

    bool StopRequested() const noexcept {
        return stopRequested != nullptr && stopRequested->load(std::memory_order_relaxed);
    }
};

// A file a run left alone, and why (in UTF-8).
struct LeftFile {
    std::string path;
    std::string reason;
};

// A line whose search ended at a regular expression's match limit (PCRE2's
// bound on backtracking): the rest of that line was not searched.
struct CutLine {
    std::string path;
    std::int32_t line = 0;
};

enum class BatchOutcome {
    NotStarted, // empty text, empty file set or empty replacement: nothing done
    Finished,   // also after a stop
    Failed,     // a file could not be read or written: `error` says which and why
};

struct BatchResult {
    BatchOutcome outcome = BatchOutcome::NotStarted;
    bool stopped = false;
    std::string searchText; // the prepared search text, in UTF-8
    int filesRead = 0;
    int filesWritten = 0;              // replace: files with a replacement
    std::vector<std::string> nulFiles; // replace: files not rewritten (NUL bytes)
    // replace: files another program changed while the run was at them, left
    // as that program made them
    std::vector<std::string> changedFiles;
    // replace: the journal's name for the run (empty when nothing was
    // rewritten), for an undo
    std::string journalRun;
    // Files not searched or not rewritten because of their encoding: UTF-16
    // that is not valid, a code page that cannot hold the replacement.
    std::vector<LeftFile> encodingFiles;
    std::vector<CutLine> cutLines;
    FileStatus error;
};

} // namespace kelvara
