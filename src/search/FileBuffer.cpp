#include "search/FileBuffer.h"

#include <utility>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/FileAccess.h"
#include "common/MessageCatalogue.h"

namespace kelvara {

namespace {

constexpr std::size_t kMinCapacity = 256u << 10;
// The buffer keeps its size from file to file (fresh memory costs a page fault
// every 4 KB), but not the size of a large file: a run over a tree of source
// files meets a few files of tens of MB, and a buffer kept at their size would
// hold that memory, once per thread, for the rest of the run.
constexpr std::size_t kKeptCapacity = 4u << 20;

} // namespace

FileBuffer::~FileBuffer() {
    if (folderFd_ >= 0) close(folderFd_);
}

// Non-blocking, so that opening a named pipe nobody writes to does not wait
// for ever; Read() makes a pipe blocking again once it is open.
constexpr int kOpenFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;

int FileBuffer::Open(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) return OpenPath(path, kOpenFlags);
    const std::string_view folder(path.data(), slash);
    if (folder != folder_ || folderFd_ < 0) {
        if (folderFd_ >= 0) close(folderFd_);
        folder_ = folder;
        folderFd_ = OpenPath(folder_, O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (folderFd_ < 0) return OpenPath(path, kOpenFlags);
    }
    return openat(folderFd_, path.c_str() + slash + 1, kOpenFlags);
}

void FileBuffer::ReleaseLarge() noexcept {
    if (capacity_ <= kKeptCapacity) return;
    data_.reset();
    capacity_ = size_ = 0;
}

void FileBuffer::Reserve(std::size_t capacity) {
    auto grown = std::make_unique_for_overwrite<char[]>(capacity);
    if (size_ > 0) std::memcpy(grown.get(), data_.get(), size_);
    data_ = std::move(grown);
    capacity_ = capacity;
}

FileStatus FileBuffer::Read(const std::string& path) {
    size_ = 0;
    const FileHandle file(Open(path));
    if (file.Get() < 0) return FileError{path, std::strerror(errno)};
    struct stat info {};
    if (fstat(file.Get(), &info) != 0) return FileError{path, std::strerror(errno)};
    identity_ = IdentityOf(info);
    if (S_ISDIR(info.st_mode)) return FileError{path, std::strerror(EISDIR)};
    if (IsNullDevice(info)) return std::nullopt;
    // A device may never end (/dev/zero) or block for ever; pipes do end.
    if (!S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode))
        return FileError{path, std::string(Translate("kelvara::FileErrors", "不是普通文件"))};
    if (S_ISFIFO(info.st_mode) &&
        fcntl(file.Get(), F_SETFL, fcntl(file.Get(), F_GETFL) & ~O_NONBLOCK) != 0)
        return FileError{path, std::strerror(errno)};
    try {
        return ReadAll(path, file.Get(), info);
    } catch (const std::bad_alloc&) {
        data_.reset();
        capacity_ = size_ = 0;
        return FileError{path, std::string(Translate("kelvara::FileErrors", "文件太大，无法载入"))};
    }
}

FileStatus FileBuffer::ReadAll(const std::string& path, int fd, const struct stat& info) {
    const auto expected = static_cast<std::size_t>(std::max<off_t>(info.st_size, 0));
    if (capacity_ > kKeptCapacity && expected < kKeptCapacity) {
        data_.reset();
        capacity_ = 0;
    }
    for (;;) {
        // Grown at least twofold: a run meets ever larger files, and every
        // page of a new buffer costs a fault when read() first fills it. A
        // large file gets what it needs only, as it is not kept.
        if (capacity_ <= expected && expected >= kKeptCapacity)
            Reserve(expected + 1);
        else if (capacity_ <= expected)
            Reserve(std::max({expected + 1, std::min(capacity_ * 2, kKeptCapacity), kMinCapacity}));
        else if (size_ == capacity_)
            Reserve(capacity_ * 2);
        const ssize_t got = read(fd, data_.get() + size_, capacity_ - size_);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return FileError{path, std::strerror(errno)};
        if (got == 0) return std::nullopt;
        size_ += static_cast<std::size_t>(got);
        // A regular file read to its size needs no further read() to see its end.
        if (size_ == expected && S_ISREG(info.st_mode)) return std::nullopt;
    }
}

} // namespace kelvara
