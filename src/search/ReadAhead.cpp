#include "search/ReadAhead.h"

#include "common/LineFile.h"

namespace kelvara {

namespace {

// A slot keeps its capacity between files, but not the capacity of a huge one.
constexpr std::size_t kKeptCapacity = 64u << 20;

} // namespace

ReadAhead::ReadAhead(const std::vector<std::string>& paths)
    : paths_(paths), thread_([this] { ReadAll(); }) {}

ReadAhead::~ReadAhead() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void ReadAhead::ReadAll() {
    for (std::size_t i = 0; i < paths_.size(); ++i) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stopping_ || i - released_ < kSlots; });
            if (stopping_) return;
        }
        Slot& slot = slots_[i % kSlots];
        if (slot.bytes.capacity() > kKeptCapacity) std::string().swap(slot.bytes);
        slot.status = ReadFileBytes(paths_[i], slot.bytes);
        {
            std::lock_guard lock(mutex_);
            read_ = i + 1;
        }
        changed_.notify_all();
    }
}

bool ReadAhead::Next(std::string*& bytes, FileStatus& status) {
    if (next_ >= paths_.size()) return false;
    {
        std::unique_lock lock(mutex_);
        released_ = next_;
        changed_.notify_all();
        changed_.wait(lock, [&] { return read_ > next_; });
    }
    Slot& slot = slots_[next_ % kSlots];
    bytes = &slot.bytes;
    status = slot.status;
    ++next_;
    return true;
}

} // namespace kelvara
