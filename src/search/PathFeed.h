#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace kelvara {

// The paths of a run in order, handed over by a folder walk on another thread
// while the run already searches the first of them: the run need not wait
// for the walk to end. The feed holds the paths' addresses: a path given to
// Add must stay in place until the run is over.
class PathFeed {
public:
    PathFeed() = default;
    // A feed of the given paths, closed: nothing is added later. The paths
    // stay where they are, as with Add.
    explicit PathFeed(std::vector<const std::string*> paths);
    PathFeed(const PathFeed&) = delete;
    PathFeed& operator=(const PathFeed&) = delete;

    // The walk's side. Add is ignored once the feed is closed or cancelled.
    void Add(const std::string& path);
    // No more paths come.
    void Close();
    // Set when the run no longer takes paths: a walk stops at it.
    const std::atomic<bool>* Cancelled() const noexcept { return &cancelled_; }

    // The run's side: the path at `index`, once it is there; nullptr when the
    // feed was closed or cancelled with fewer paths.
    const std::string* Wait(std::size_t index);
    // Whether the feed ended with at most `index` paths, without waiting.
    bool EndsBefore(std::size_t index);
    // Tells the walk to stop and wakes whoever waits for a path.
    void Cancel();

private:
    std::mutex mutex_;
    std::condition_variable added_;
    std::vector<const std::string*> paths_;
    bool closed_ = false;
    std::atomic<bool> cancelled_{false};
};

} // namespace kelvara
