#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "common/FileError.h"

namespace kelvara {

// Reads the files of a list, in list order, a few files ahead of the one
// being searched, on a second thread: opening and reading files is most of a
// run's cost, and the search of one file overlaps the reading of the next.
class ReadAhead {
public:
    explicit ReadAhead(const std::vector<std::string>& paths);
    ~ReadAhead(); // stops reading and waits for the thread
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The bytes of the next file, or why it could not be read. The bytes may be
    // changed and stay valid until the next call. False after the last file.
    bool Next(std::span<char>& bytes, FileStatus& status);

private:
    static constexpr std::size_t kSlots = 4;
    // A file's bytes. The buffer is never cleared or zero-filled: filling
    // memory that read() overwrites at once would cost as much as a search.
    struct Slot {
        std::unique_ptr<char[]> data;
        std::size_t capacity = 0;
        std::size_t size = 0;
        FileStatus status;
    };

    void ReadAll();
    static void ReadInto(const std::string& path, Slot& slot);

    const std::vector<std::string>& paths_;
    std::array<Slot, kSlots> slots_;
    std::mutex mutex_;
    std::condition_variable readerWakes_;
    std::condition_variable searcherWakes_;
    std::size_t read_ = 0;     // files read so far
    std::size_t released_ = 0; // files the searcher is done with
    bool readerWaiting_ = false;
    bool searcherWaiting_ = false;
    bool stopping_ = false;
    std::size_t next_ = 0; // the file Next hands out next
    std::thread thread_;
};

} // namespace kelvara
