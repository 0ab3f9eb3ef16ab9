#include "search/PathFeed.h"

namespace kelvara {

PathFeed::PathFeed(std::vector<const std::string*> paths)
    : paths_(std::move(paths)), closed_(true) {}

void PathFeed::Add(const std::string& path) {
    {
        const std::lock_guard lock(mutex_);
        if (closed_) return;
        paths_.push_back(&path);
    }
    added_.notify_all();
}

void PathFeed::Close() {
    {
        const std::lock_guard lock(mutex_);
        closed_ = true;
    }
    added_.notify_all();
}

void PathFeed::Cancel() {
    cancelled_.store(true);
    Close();
}

const std::string* PathFeed::Wait(std::size_t index) {
    std::unique_lock lock(mutex_);
    added_.wait(lock, [&] { return index < paths_.size() || closed_; });
    return index < paths_.size() ? paths_[index] : nullptr;
}

bool PathFeed::EndsBefore(std::size_t index) {
    const std::lock_guard lock(mutex_);
    return closed_ && index >= paths_.size();
}

} // namespace kelvara
