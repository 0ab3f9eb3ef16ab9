#pragma once

#include <cstdint>

#include <sys/stat.h>

namespace kelvara {

// Which file a path led to and the state it was read in. A rewrite compares
// it with the file just before replacing it: another program that wrote to
// the file in between (a log writer appending lines) changes its size or
// modification time, and a file replaced by another has another inode.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

inline FileIdentity IdentityOf(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::int64_t>(info.st_size), static_cast<std::int64_t>(info.st_mtim.tv_sec),
            static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
}

} // namespace kelvara
