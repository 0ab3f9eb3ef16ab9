#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>

#include <sys/stat.h>

#include "common/FileError.h"
#include "common/FileIdentity.h"

namespace kelvara {

// One reusable buffer that a run reads each file into, whole. Unlike a string
// it is never cleared or zero-filled: filling memory that read() overwrites
// at once would cost about as much as the search.
class FileBuffer {
public:
    FileBuffer() = default;
    ~FileBuffer();
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;

    // Reads the whole file (a file that grows meanwhile is read to its end).
    // Folders, devices and files too large for memory are refused.
    [[nodiscard]] FileStatus Read(const std::string& path);
    // The bytes last read; they may be changed.
    std::span<char> Bytes() noexcept { return {data_.get(), size_}; }
    // The file last read, as it was opened.
    const FileIdentity& Identity() const noexcept { return identity_; }
    // Frees the bytes of a file larger than the buffer keeps between files,
    // so that a large file holds its memory only while it is searched.
    void ReleaseLarge() noexcept;

private:
    void Reserve(std::size_t capacity);
    int Open(const std::string& path);
    // Reads a regular file or a pipe to its end.
    FileStatus ReadAll(const std::string& path, int fd, const struct stat& info);

    std::unique_ptr<char[]> data_;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
    FileIdentity identity_;
    // The folder of the file read last, kept open: the files of a run come
    // folder by folder, and opening a name inside an open folder spares the
    // system a walk along the whole path for every file.
    std::string folder_;
    int folderFd_ = -1;
};

} // namespace kelvara
