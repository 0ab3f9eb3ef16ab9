#include "common/FileAccess.h"

#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <unistd.h>

namespace kelvara {

namespace {

// Only traversed, never read: a folder that may be searched but not listed
// still leads on.
#ifdef O_PATH
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

// Opens `rest` relative to `at`, cutting it into stretches shorter than
// PATH_MAX at separators. Takes ownership of `at` (when not AT_FDCWD).
int OpenStretches(int at, std::string_view rest, int flags, mode_t mode) {
    std::string stretch;
    while (rest.size() >= PATH_MAX) {
        const std::size_t cut = rest.rfind('/', PATH_MAX - 1);
        // A leading "/" alone is no stretch: the first name is longer than any allowed.
        if (cut == std::string_view::npos || cut == 0) {
            if (at != AT_FDCWD) close(at);
            errno = ENAMETOOLONG;
            return -1;
        }
        stretch.assign(rest.substr(0, cut));
        const int next = openat(at, stretch.c_str(), kFolderFlags);
        const int error = errno;
        if (at != AT_FDCWD) close(at);
        if (next < 0) {
            errno = error;
            return -1;
        }
        at = next;
        rest.remove_prefix(cut + 1);
        while (!rest.empty() && rest.front() == '/')
            rest.remove_prefix(1);
    }
    stretch.assign(rest.empty() ? std::string_view(".") : rest);
    const int fd = openat(at, stretch.c_str(), flags, mode);
    const int error = errno;
    if (at != AT_FDCWD) close(at);
    errno = error;
    return fd;
}

} // namespace

int OpenPath(const std::string& path, int flags, mode_t mode) {
    if (path.size() < PATH_MAX) return open(path.c_str(), flags, mode);
    return OpenStretches(AT_FDCWD, path, flags, mode);
}

bool StatPath(const std::string& path, struct stat& info) {
    if (path.size() < PATH_MAX) return stat(path.c_str(), &info) == 0;
    const int fd = OpenPath(path, kFolderFlags & ~O_DIRECTORY);
    if (fd < 0) return false;
    const bool done = fstat(fd, &info) == 0;
    const int error = errno;
    close(fd);
    errno = error;
    return done;
}

ParentFolder::ParentFolder(const std::string& path) {
    std::size_t slash = path.rfind('/');
    // Trailing separators belong to the name ("a/b/" names b in a).
    while (slash != std::string::npos && slash + 1 == path.size() && slash > 0)
        slash = path.rfind('/', slash - 1);
    if (slash == std::string::npos) {
        name_ = path;
        fd_ = open(".", kFolderFlags);
        return;
    }
    name_ = path.substr(slash + 1);
    fd_ = OpenPath(slash == 0 ? std::string("/") : path.substr(0, slash), kFolderFlags);
}

ParentFolder::~ParentFolder() {
    if (fd_ >= 0) close(fd_);
}

bool IsNullDevice(const struct stat& info) {
    if (!S_ISCHR(info.st_mode)) return false;
    struct stat null {};
    return stat("/dev/null", &null) == 0 && S_ISCHR(null.st_mode) && null.st_rdev == info.st_rdev;
}

} // namespace kelvara
