#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <optional>

#include "common/CodePage.h"
#include "common/FileEncoding.h"
#include "common/FileError.h"
#include "common/FileIdentity.h"
#include "search/BatchRun.h"
#include "search/MatchOptions.h"
#include "search/PathFeed.h"
#include "search/PlannedChange.h"
#include "search/RunTexts.h"

namespace kelvara {

// A hit found ahead of its delivery to the tree.
struct FoundHit {
    std::int32_t line;
    std::int32_t column;
};

// What was found in one file: an error, or its encoding and hits in order.
struct FileFindings {
    const std::string* path = nullptr; // the file's path in the feed
    FileStatus error;
    FileIdentity identity; // as the file was read
    // Why the file's bytes could not be matched (FileMatch::Take).
    std::optional<std::string> unreadable;
    CodePage codePage = CodePage::Utf8; // the file was matched in (FileMatch::Page)
    FileEncoding encoding;              // when the hooks report encodings
    std::vector<FoundHit> hits;
    std::vector<std::int32_t> cutLines; // lines whose search a match limit ended
    // Instead of the hits, when the run plans a replace: the file's change,
    // and what the run's FileChanges described of it.
    PlannedChange change;
    std::string described;
};

// Reads and matches the files of a find run on several threads, at most a
// fixed window of files ahead of the calling thread, which takes the findings
// in the order of the paths and searches files of the window itself while the
// next one is not ready. Only the calling thread reports anything (tree,
// observer, yield hook); the workers only read and match, each with its own
// buffer and file match, and stop at a line or a stretch of a file when the run
// is stopped. Memory stays bounded by the window whatever the number of files.
// A run that plans a replace (a dry run) gets each file's change instead of
// its hits, described on the thread that matched the file while its bytes
// are at hand; its window is shorter, and bounded in bytes of descriptions too.
// The paths may still be arriving from a walk; whoever takes a file that is
// not listed yet waits for it.
class ParallelFind {
public:
    // Searches on `threads` threads, the calling one included: starts the
    // others, or as many as the system gives. With `changes` the run plans
    // a replace. The arguments must outlive the object.
    ParallelFind(PathFeed& paths, const RunTexts& texts, const MatchOptions& options,
                 CodePage fallback, const BatchHooks& hooks, unsigned threads,
                 const FileChanges* changes = nullptr);
    // Stops the workers and waits for them.
    ~ParallelFind();
    ParallelFind(const ParallelFind&) = delete;
    ParallelFind& operator=(const ParallelFind&) = delete;

    // The findings of the next file in order, valid until the next call; null
    // once every file was taken or when a stop was requested. Until the next
    // file is ready, searches files of the window or, when none is left, naps
    // and calls the yield hook every few milliseconds.
    const FileFindings* Next();
    // Tells the workers (and the walk) to stop; the object then only waits
    // for them.
    void Stop();

private:
    struct Slot {
        std::atomic<bool> ready{false};
        FileFindings findings;
    };
    struct Searcher;

    void Work();
    void Match(Searcher& searcher, const BatchHooks& hooks, FileFindings& findings) const;
    void Search(std::size_t index, const std::string& path, Searcher& searcher,
                const BatchHooks& hooks);
    const std::string* Claim(std::size_t& index, bool worker);
    void Release();
    std::string TakeBuffer();
    void GiveBack(std::string& described);
    void Publish();
    void Nap();

    PathFeed& paths_;
    const RunTexts& texts_;
    const MatchOptions options_;
    const CodePage fallback_;
    const BatchHooks& hooks_;
    const FileChanges* const changes_;
    BatchHooks workerHooks_; // no yield; stops with `abort_`
    const std::size_t window_;
    std::unique_ptr<Slot[]> slots_;
    std::unique_ptr<Searcher> searcher_; // the calling thread's

    std::atomic<bool> abort_{false};
    std::mutex mutex_;
    std::condition_variable room_;     // workers wait here for a free slot
    std::condition_variable drained_;  // the caller naps here; woken when the window is full
    std::size_t next_ = 0;             // the next file to claim (mutex_)
    std::size_t released_ = 0;         // files whose slots are free again (mutex_)
    std::size_t end_ = SIZE_MAX;       // at most as many files as this (mutex_)
    std::atomic<int> waiting_{0};      // workers waiting for room
    std::atomic<std::size_t> held_{0}; // bytes of the descriptions found ahead
    std::mutex buffersMutex_;
    std::vector<std::string> buffers_; // of descriptions taken, for the next ones

    // The calling thread's side.
    std::size_t delivered_ = 0; // files handed out by Next()
    bool holding_ = false;      // the slot of file delivered_ is handed out
    std::vector<std::thread> workers_;
};

} // namespace kelvara
