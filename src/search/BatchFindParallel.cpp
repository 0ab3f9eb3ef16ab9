#include "search/BatchFindParallel.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <span>
#include <system_error>

#include "search/BatchFindFile.h"
#include "search/BatchNotice.h"
#include "search/FileBuffer.h"
#include "search/FileMatch.h"
#include "search/LineMatcher.h"

namespace kelvara {

namespace {

// Files read ahead of the calling thread: enough to keep the workers busy
// while the caller fills the tree or waits for the CPU on a busy machine, few
// enough that what they hold (hits, or a dry run's descriptions, never file
// contents) stays small.
constexpr std::size_t kWindowFiles = 1024;
// How long the caller naps when the next file is still being searched and
// none is left to take; it yields after each nap, so a window stays live and
// sees its stop button.
constexpr auto kNap = std::chrono::milliseconds(2);
// A run that plans a replace holds the description of each file found
// ahead: past this many bytes of them a worker waits for the caller to take
// them, however few files that is. Its window is shorter too: 128 files
// ahead keep the threads as busy as 1024.
constexpr std::size_t kHeldDescriptions = 64u << 20;
constexpr std::size_t kPlanWindowFiles = 128;
// A slot that held more hits, or a longer description, than this gives the
// memory back.
constexpr std::size_t kKeptHits = 4096;
constexpr std::size_t kKeptDescription = 1u << 20;

// Collects the hits of a file's candidate lines.
class HitCollector : public CandidateLines {
public:
    HitCollector(FileMatch& match, FileFindings& findings) : match_(match), findings_(findings) {}
    void Take(std::int32_t lineNumber, std::string_view line) override {
        LineMatcher& matcher = *match_.MatcherFor(line);
        for (const std::int32_t column : matcher.Scan(line))
            findings_.hits.push_back({lineNumber, column});
        if (matcher.LineCutShort()) findings_.cutLines.push_back(lineNumber);
    }

private:
    FileMatch& match_;
    FileFindings& findings_;
};

void Reset(FileFindings& findings) {
    findings.error.reset();
    findings.unreadable.reset();
    findings.cutLines.clear();
    if (findings.hits.capacity() > kKeptHits)
        findings.hits = {};
    else
        findings.hits.clear();
    findings.change.Clear();
}

} // namespace

struct ParallelFind::Searcher {
    Searcher(const RunTexts& texts, const MatchOptions& options, CodePage fallback)
        : match(texts, options, fallback) {}
    FileBuffer buffer;
    FileMatch match;
};

ParallelFind::ParallelFind(PathFeed& paths, const RunTexts& texts, const MatchOptions& options,
                           CodePage fallback, const BatchHooks& hooks, unsigned threads,
                           const FileChanges* changes)
    : paths_(paths), texts_(texts), options_(options), fallback_(fallback), hooks_(hooks),
      changes_(changes), window_(changes != nullptr ? kPlanWindowFiles : kWindowFiles),
      slots_(std::make_unique<Slot[]>(window_)),
      searcher_(std::make_unique<Searcher>(texts_, options_, fallback_)) {
    workerHooks_.stopRequested = &abort_;
    try {
        for (unsigned i = 1; i < threads; ++i)
            workers_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        // Fewer threads than asked for still do the work, the caller at least.
    }
}

ParallelFind::~ParallelFind() {
    Stop();
    for (std::thread& worker : workers_)
        worker.join();
}

void ParallelFind::Stop() {
    {
        const std::lock_guard lock(mutex_);
        abort_.store(true);
    }
    room_.notify_all();
    paths_.Cancel(); // wakes a worker that waits for a path
}

void ParallelFind::Work() {
    Searcher searcher(texts_, options_, fallback_);
    for (std::size_t index = 0; const std::string* path = Claim(index, true);)
        Search(index, *path, searcher, workerHooks_);
}

// Matches the bytes just read into the findings.
void ParallelFind::Match(Searcher& searcher, const BatchHooks& hooks,
                         FileFindings& findings) const {
    const std::span<char> bytes = searcher.buffer.Bytes();
    FileMatch& match = searcher.match;
    findings.unreadable = match.Take({bytes.data(), bytes.size()});
    if (findings.unreadable) return;
    if (hooks_.reportEncodings) findings.encoding = match.Encoding();
    const LineMatcher* matcher = match.Matcher();
    if (changes_ != nullptr) {
        PlannedChange& change = findings.change;
        if (PlanChange(match, {bytes.data(), bytes.size()}, hooks, change, findings.cutLines) &&
            change.Changes()) {
            changes_->Describe({*findings.path, findings.identity, change.text, change.stretches,
                                change.lines, match.Texts().replacement, match.Page()},
                               findings.described);
        }
        change.text = {}; // the buffer reads the next file
    } else if (matcher != nullptr) {
        HitCollector hits(match, findings);
        matcher->SearchFile(match.Text(), hooks, hits);
    }
    // A line beyond ASCII may have told the file's code page meanwhile.
    findings.codePage = match.Page();
}

// Reads and matches file `index` into its slot.
void ParallelFind::Search(std::size_t index, const std::string& path, Searcher& searcher,
                          const BatchHooks& hooks) {
    Slot& slot = slots_[index % window_];
    FileFindings& findings = slot.findings;
    findings.path = &path;
    try {
        findings.error = searcher.buffer.Read(path);
        findings.identity = searcher.buffer.Identity();
        if (changes_ != nullptr) findings.described = TakeBuffer();
        if (!findings.error) Match(searcher, hooks, findings);
        held_.fetch_add(findings.described.size());
        searcher.buffer.ReleaseLarge();
    } catch (const std::bad_alloc&) {
        findings.hits = {};
        findings.change.Clear();
        findings.described = {};
        findings.error = OutOfMemory(path);
    }
    slot.ready.store(true, std::memory_order_release);
}

// The next file to search and its path, once the walk has listed it. A
// worker waits while the window is full or holds too many bytes of
// descriptions; the caller, which frees the window, does not. Null when every file is taken, the
// run stops, or (for the caller) the window is full.
const std::string* ParallelFind::Claim(std::size_t& index, bool worker) {
    {
        std::unique_lock lock(mutex_);
        if (!worker && released_ != delivered_) {
            released_ = delivered_;
            if (waiting_.load() > 0) room_.notify_all();
        }
        while (!abort_.load() && next_ < end_ &&
               (next_ >= released_ + window_ || (worker && held_.load() > kHeldDescriptions))) {
            if (!worker) return nullptr;
            waiting_.fetch_add(1);
            drained_.notify_one(); // a napping caller has a full window to take
            room_.wait(lock);
            waiting_.fetch_sub(1);
        }
        if (abort_.load() || next_ >= end_) return nullptr;
        index = next_++;
    }
    const std::string* path = paths_.Wait(index);
    if (path == nullptr) {
        const std::lock_guard lock(mutex_);
        end_ = std::min(end_, index);
    }
    return path;
}

const FileFindings* ParallelFind::Next() {
    if (holding_) Release();
    for (;;) {
        if (hooks_.StopRequested()) {
            Stop();
            return nullptr;
        }
        Slot& slot = slots_[delivered_ % window_];
        if (slot.ready.load(std::memory_order_acquire)) {
            holding_ = true;
            return &slot.findings;
        }
        // The caller searches too rather than wait: a thread that sleeps on
        // a busy machine loses its share of the processors.
        std::size_t index = 0;
        if (const std::string* path = Claim(index, false)) {
            Search(index, *path, *searcher_, hooks_);
            continue;
        }
        if (paths_.EndsBefore(delivered_)) return nullptr;
        Nap();
        if (hooks_.yield) hooks_.yield();
    }
}

// Frees the slot of the file last handed out. The workers learn of freed
// slots in batches, also one that waits for room: woken for every slot, it
// would take one file and wait again, a switch of threads per file. The
// caller tells them at once when it has nothing left to take.
void ParallelFind::Release() {
    Slot& slot = slots_[delivered_ % window_];
    held_.fetch_sub(slot.findings.described.size());
    GiveBack(slot.findings.described);
    Reset(slot.findings);
    slot.ready.store(false, std::memory_order_relaxed);
    holding_ = false;
    ++delivered_;
    if (delivered_ % (window_ / 4 + 1) == 0) Publish();
}

// A buffer to describe a file in: one given back, whose memory is mapped and
// likely in the cache, else a new one. Fresh memory costs a page fault every
// 4 KB, and a slot of its own for each file of the window would take as many.
std::string ParallelFind::TakeBuffer() {
    const std::lock_guard lock(buffersMutex_);
    if (buffers_.empty()) return {};
    std::string buffer = std::move(buffers_.back());
    buffers_.pop_back();
    return buffer;
}

// Keeps the memory of a description taken (a large one is freed).
void ParallelFind::GiveBack(std::string& described) {
    std::string buffer = std::move(described);
    described.clear();
    if (buffer.capacity() == 0 || buffer.capacity() > kKeptDescription) return;
    buffer.clear();
    const std::lock_guard lock(buffersMutex_);
    buffers_.push_back(std::move(buffer));
}

void ParallelFind::Publish() {
    {
        const std::lock_guard lock(mutex_);
        released_ = delivered_;
    }
    room_.notify_all();
}

void ParallelFind::Nap() {
    Publish();
    std::unique_lock lock(mutex_);
    drained_.wait_for(lock, kNap);
}

} // namespace kelvara
