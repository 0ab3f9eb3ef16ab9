#include "search/ReadAhead.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvara {

namespace {

// A slot keeps its capacity between files, but not the capacity of a huge one.
constexpr std::size_t kKeptCapacity = 8u << 20;
constexpr std::size_t kMinCapacity = 1u << 20;

FileError ErrorOf(const std::string& path, int error) { return {path, std::strerror(error)}; }

} // namespace

ReadAhead::ReadAhead(const std::vector<std::string>& paths)
    : paths_(paths), thread_([this] { ReadAll(); }) {}

ReadAhead::~ReadAhead() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    readerWakes_.notify_one();
    thread_.join();
}

// Reads the whole file; a file that grows while it is read is read to its end.
void ReadAhead::ReadInto(const std::string& path, Slot& slot) {
    slot.size = 0;
    slot.status.reset();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        slot.status = ErrorOf(path, errno);
        return;
    }
    struct stat info {};
    const std::size_t expected = fstat(fd, &info) == 0 ? static_cast<std::size_t>(info.st_size) : 0;
    if (slot.capacity > kKeptCapacity && expected < kKeptCapacity) slot.capacity = 0;
    for (;;) {
        if (slot.capacity <= expected || slot.size == slot.capacity) {
            const std::size_t wanted = slot.capacity <= expected
                                           ? std::max(expected + 1, kMinCapacity)
                                           : slot.capacity * 2;
            auto grown = std::make_unique_for_overwrite<char[]>(wanted);
            if (slot.size > 0) std::memcpy(grown.get(), slot.data.get(), slot.size);
            slot.data = std::move(grown);
            slot.capacity = wanted;
        }
        const ssize_t got = read(fd, slot.data.get() + slot.size, slot.capacity - slot.size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) slot.status = ErrorOf(path, errno);
        if (got <= 0) break;
        slot.size += static_cast<std::size_t>(got);
        if (slot.size == expected && S_ISREG(info.st_mode)) break; // no read() just to see the end
    }
    close(fd);
}

void ReadAhead::ReadAll() {
    for (std::size_t i = 0; i < paths_.size(); ++i) {
        {
            std::unique_lock lock(mutex_);
            readerWaiting_ = true;
            readerWakes_.wait(lock, [&] { return stopping_ || i - released_ < kSlots; });
            readerWaiting_ = false;
            if (stopping_) return;
        }
        ReadInto(paths_[i], slots_[i % kSlots]);
        bool wake = false;
        {
            std::lock_guard lock(mutex_);
            read_ = i + 1;
            wake = searcherWaiting_;
        }
        if (wake) searcherWakes_.notify_one();
    }
}

bool ReadAhead::Next(std::span<char>& bytes, FileStatus& status) {
    if (next_ >= paths_.size()) return false;
    bool wake = false;
    {
        std::unique_lock lock(mutex_);
        released_ = next_;
        wake = readerWaiting_;
        if (read_ <= next_) {
            if (wake) readerWakes_.notify_one();
            wake = false;
            searcherWaiting_ = true;
            searcherWakes_.wait(lock, [&] { return read_ > next_; });
            searcherWaiting_ = false;
        }
    }
    if (wake) readerWakes_.notify_one();
    Slot& slot = slots_[next_ % kSlots];
    bytes = std::span<char>(slot.data.get(), slot.size);
    status = slot.status;
    ++next_;
    return true;
}

} // namespace kelvara
