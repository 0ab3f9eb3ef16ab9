#include "common/FileAccess.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

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

namespace {

// Pushes the components of `text` so that the first is taken first.
void PushComponents(std::vector<std::string>& pending, std::string_view text) {
    std::size_t end = text.size();
    while (end > 0) {
        const std::size_t slash = text.rfind('/', end - 1);
        const std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
        if (end > start) pending.emplace_back(text.substr(start, end - start));
        if (slash == std::string_view::npos) break;
        end = slash;
    }
}

// The folder handle and canonical path of a resolution under way.
class Resolution {
public:
    Resolution(int at, std::string resolved) : at_(at), resolved_(std::move(resolved)) {}
    ~Resolution() {
        if (at_ >= 0) close(at_);
    }
    Resolution(const Resolution&) = delete;
    Resolution& operator=(const Resolution&) = delete;

    // Takes the next component; false (errno set) when the path ends here.
    bool Step(std::vector<std::string>& pending) {
        const std::string name = std::move(pending.back());
        pending.pop_back();
        if (name == ".") return true;
        if (name == "..") return Enter(name);
        struct stat info {};
        if (fstatat(at_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return false;
        if (S_ISLNK(info.st_mode)) return FollowLink(name, pending);
        if (S_ISDIR(info.st_mode)) return Enter(name);
        // A file ends the path; anything after it is no path at all.
        (resolved_ += '/') += name;
        errno = ENOTDIR;
        return pending.empty();
    }

    std::string Result() const { return resolved_.empty() ? "/" : resolved_; }

private:
    bool Enter(const std::string& name) {
        const int next = openat(at_, name.c_str(), kFolderFlags);
        if (next < 0) return false;
        close(at_);
        at_ = next;
        if (name == "..")
            resolved_.erase(std::min(resolved_.size(), resolved_.rfind('/')));
        else
            (resolved_ += '/') += name;
        return true;
    }

    bool FollowLink(const std::string& name, std::vector<std::string>& pending) {
        constexpr int kMaxLinks = 40; // as the system counts them
        char target[PATH_MAX];
        const ssize_t size = readlinkat(at_, name.c_str(), target, sizeof target);
        if (size < 0) return false;
        if (++links_ > kMaxLinks) {
            errno = ELOOP;
            return false;
        }
        const std::string_view text(target, static_cast<std::size_t>(size));
        PushComponents(pending, text);
        if (text.empty() || text.front() != '/') return true;
        close(at_);
        resolved_.clear();
        at_ = open("/", kFolderFlags);
        return at_ >= 0;
    }

    int at_;
    std::string resolved_; // empty for the root
    int links_ = 0;
};

} // namespace

std::string RealPathOf(const std::string& path) {
    if (path.empty()) {
        errno = ENOENT;
        return {};
    }
    std::string start;
    if (path.front() != '/') {
        char* current = getcwd(nullptr, 0);
        if (current == nullptr) return {};
        start = current;
        std::free(current);
        if (start == "/") start.clear();
    }
    const int at = open(start.empty() ? "/" : ".", kFolderFlags);
    if (at < 0) return {};
    Resolution resolution(at, std::move(start));
    std::vector<std::string> pending;
    PushComponents(pending, path);
    while (!pending.empty()) {
        if (!resolution.Step(pending)) return {};
    }
    return resolution.Result();
}

ParentFolder::ParentFolder(const std::string& path) {
    std::size_t slash = path.rfind('/');
    // Trailing separators belong to the name ("a/b/" names b in a).
    while (slash != std::string::npos && slash + 1 == path.size() && slash > 0)
        slash = path.rfind('/', slash - 1);
    if (slash == std::string::npos) {
        name_ = path;
        folder_ = ".";
    } else {
        name_ = path.substr(slash + 1);
        folder_ = slash == 0 ? std::string("/") : path.substr(0, slash);
    }
    fd_ = OpenPath(folder_, kFolderFlags);
}

ParentFolder::~ParentFolder() {
    if (fd_ >= 0) close(fd_);
}

void FileHandle::Close() noexcept {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (written == 0) return ENOSPC;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

bool IsNullDevice(const struct stat& info) {
    if (!S_ISCHR(info.st_mode)) return false;
    struct stat null {};
    return stat("/dev/null", &null) == 0 && S_ISCHR(null.st_mode) && null.st_rdev == info.st_rdev;
}

} // namespace kelvara
