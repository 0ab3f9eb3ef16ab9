#pragma once

#include <string>
#include <string_view>

#include <sys/stat.h>
#include <sys/types.h>

// Reaching files by path at any depth. The system refuses a path longer than
// PATH_MAX, yet folders nest deeper than that; such a path is opened one
// stretch at a time, each stretch relative to the folder handle of the one
// before it.
namespace kelvara {

// open(2) for a path of any length; -1 with errno set on failure.
int OpenPath(const std::string& path, int flags, mode_t mode = 0);

// stat(2) for a path of any length (a link is followed); false with errno set.
bool StatPath(const std::string& path, struct stat& info);

// The canonical path of `path` (absolute, links resolved, no "." or ".."
// left), whatever its length; empty with errno set when it cannot be resolved.
std::string RealPathOf(const std::string& path);

// Writes all of `bytes` to `fd`, again after a signal; 0 when written, else
// the errno (ENOSPC for a write that takes nothing).
int WriteAll(int fd, std::string_view bytes);

// A handle on the folder that holds the file a path names, and the file's
// name in it: the *at calls reach the file through them at any depth.
class ParentFolder {
public:
    explicit ParentFolder(const std::string& path);
    ~ParentFolder();
    ParentFolder(const ParentFolder&) = delete;
    ParentFolder& operator=(const ParentFolder&) = delete;

    // -1 (errno set) when the folder could not be opened.
    int Fd() const noexcept { return fd_; }
    // The path the folder was opened by ("." for a path without a folder).
    const std::string& Folder() const noexcept { return folder_; }
    // The last component of the path (".." and "." included as they are).
    const char* Name() const noexcept { return name_.c_str(); }

private:
    int fd_ = -1;
    std::string folder_;
    std::string name_;
};

// Closes the descriptor it holds when it goes out of scope.
class FileHandle {
public:
    explicit FileHandle(int fd) noexcept : fd_(fd) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // The descriptor; -1 when it could not be opened, or once closed.
    int Get() const noexcept { return fd_; }
    void Close() noexcept;

private:
    int fd_;
};

// True for the system's null device: named by the user it reads as an empty
// file, where other devices are refused (they may never end or may block).
bool IsNullDevice(const struct stat& info);

} // namespace kelvara
