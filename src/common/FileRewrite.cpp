#include "common/FileRewrite.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <unistd.h>

#include "common/FileAccess.h"
#include "common/FileAttributes.h"
#include "common/InPlaceWrite.h"
#include "common/MessageCatalogue.h"

namespace kelvara {

namespace {

constexpr std::size_t kBufferSize = 256u << 10;
constexpr int kNameAttempts = 100;

std::atomic<bool> gUnnamedAllowed{true};

// A write beyond the file-size limit (ulimit -f) would kill the process with
// SIGXFSZ, leaving the temporary file; ignored, the write fails with EFBIG and
// the run reports it.
void IgnoreFileSizeSignal() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current {};
        if (sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            signal(SIGXFSZ, SIG_IGN);
    });
}

std::string TempName() {
    static std::atomic<unsigned> counter{0};
    return ".kelvara-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

// 0 when the whole file is in `out`, else errno.
int ReadAll(int fd, std::string& out) {
    char chunk[64 * 1024];
    for (off_t offset = 0;;) {
        const ssize_t got = pread(fd, chunk, sizeof chunk, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return errno;
        if (got == 0) return 0;
        out.append(chunk, static_cast<std::size_t>(got));
        offset += got;
    }
}

} // namespace

void AllowUnnamedTempFiles(bool allowed) { gUnnamedAllowed.store(allowed); }

FileStatus FileRewrite::Error(int error) const { return SystemError(path_, error); }

// Reaches the file through a handle on its folder, so that depth is no limit.
bool FileRewrite::OpenFolderOf(const std::string& path) {
    if (folderFd_ >= 0) close(folderFd_);
    const ParentFolder folder(path);
    folderFd_ = folder.Fd() < 0 ? -1 : fcntl(folder.Fd(), F_DUPFD_CLOEXEC, 0);
    folderPath_ = folder.Folder();
    name_ = folder.Name();
    return folderFd_ >= 0;
}

// A path to the original file for the calls that take only paths, short
// whatever the file's depth.
std::string FileRewrite::OriginalPath() const {
    static const bool procMounted = access("/proc/self/fd", X_OK) == 0;
    if (!procMounted) return targetPath_;
    return "/proc/self/fd/" + std::to_string(folderFd_) + "/" + name_;
}

FileStatus FileRewrite::Changed() {
    changed_ = true;
    return FileError{
        path_, std::string(Translate("kelvara::FileErrors", "替换期间被其他程序改动，保持原样"))};
}

FileStatus FileRewrite::Begin(const std::string& path,
                              const std::optional<FileIdentity>& expected) {
    Abandon();
    changed_ = false;
    hash_.Reset();
    path_ = path;
    IgnoreFileSizeSignal();
    // A link's final target is rewritten; the link stays.
    targetPath_ = path;
    if (!OpenFolderOf(path)) return Error(errno);
    struct stat info {};
    if (fstatat(folderFd_, name_.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISLNK(info.st_mode)) {
        targetPath_ = RealPathOf(path);
        if (targetPath_.empty() || !OpenFolderOf(targetPath_)) return Error(errno);
    }
    if (fstatat(folderFd_, name_.c_str(), &info, 0) == 0)
        original_ = info;
    else if (errno != ENOENT)
        return Error(errno);
    if (expected && (!original_ || IdentityOf(*original_) != *expected)) return Changed();
    if (!original_) return OpenTemp(0666) ? std::nullopt : Error(errno);

    // Root passes the access test, so the permission bits are looked at too.
    if (S_ISDIR(info.st_mode)) return Error(EISDIR);
    if (!S_ISREG(info.st_mode))
        return FileError{path_, std::string(Translate("kelvara::FileErrors", "不是普通文件"))};
    if ((info.st_mode & 0222) == 0)
        return FileError{path_, FormatMessage(Translate("kelvara::FileErrors", "%1（只读文件）"),
                                              {std::strerror(EACCES)})};
    if (faccessat(folderFd_, name_.c_str(), W_OK, 0) != 0) return Error(errno);
    expected_ = IdentityOf(info);
    // What a rename cannot keep, a write in place does.
    if (info.st_nlink > 1 || !OpenTemp(0600) || !KeepAttributes(info)) {
        DropTemp();
        inPlace_ = true;
    }
    return std::nullopt;
}

// A new file in the target's folder that nobody else has open: unnamed where
// the file system allows it, named otherwise. A new file is created with mode
// 0666 so that the umask applies; a replacement starts private.
bool FileRewrite::OpenTemp(mode_t mode) {
#ifdef O_TMPFILE
    if (gUnnamedAllowed.load()) {
        tempFd_ = openat(folderFd_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
        if (tempFd_ >= 0) return true;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return false;
    }
#endif
    return TakeTempName([&](const std::string& name) {
        tempFd_ = openat(folderFd_, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        return tempFd_ >= 0;
    });
}

// Tries fresh temporary names until `create` makes a file by one (true) or
// fails for another reason than the name being taken (false, errno set). A
// name taken is watched at once, so that a termination signal removes it.
bool FileRewrite::TakeTempName(const std::function<bool(const std::string& name)>& create) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const TerminationSignalsBlocked blocked; // named and watched as one step
        std::string name = TempName();
        if (create(name)) {
            tempName_ = std::move(name);
            tempGuard_.Watch(folderFd_, tempName_);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    errno = EEXIST;
    return false;
}

// Gives the new file the original's owner, group, attributes and mode; false
// when one of them cannot be kept (only root may give a file away).
bool FileRewrite::KeepAttributes(const struct stat& original) {
    struct stat temp {};
    if (fstat(tempFd_, &temp) != 0) return false;
    if ((temp.st_uid != original.st_uid || temp.st_gid != original.st_gid) &&
        fchown(tempFd_, original.st_uid, original.st_gid) != 0)
        return false;
    // The ACL sets the group bits; the mode set after it is the original's.
    if (!CopyExtendedAttributes(OriginalPath(), tempFd_)) return false;
    return fchmod(tempFd_, original.st_mode & 07777) == 0;
}

FileStatus FileRewrite::Append(std::string_view bytes) {
    hash_.Add(bytes);
    if (inPlace_ || pending_.size() + bytes.size() <= kBufferSize) {
        if (!inPlace_ && pending_.capacity() < kBufferSize) pending_.reserve(kBufferSize);
        pending_.append(bytes);
        return std::nullopt;
    }
    if (FileStatus error = Flush()) return error;
    if (bytes.size() < kBufferSize) {
        pending_.append(bytes);
        return std::nullopt;
    }
    if (const int error = WriteAll(tempFd_, bytes)) return Error(error);
    return std::nullopt;
}

FileStatus FileRewrite::Flush() {
    if (const int error = WriteAll(tempFd_, pending_)) return Error(error);
    pending_.clear();
    return std::nullopt;
}

FileStatus FileRewrite::Commit(std::optional<std::string_view> oldBytes) {
    changed_ = false;
    FileStatus status = inPlace_ ? CommitInPlace(oldBytes) : CommitRename();
    Abandon();
    return status;
}

FileStatus FileRewrite::CheckUnchanged() {
    struct stat now {};
    if (fstatat(folderFd_, name_.c_str(), &now, 0) != 0) {
        if (errno != ENOENT) return Error(errno);
        return original_ ? Changed() : std::nullopt;
    }
    if (!original_ || IdentityOf(now) != *expected_) return Changed();
    return std::nullopt;
}

// Gives the unnamed file a unique name in the folder: a link cannot replace
// an existing name, so the rename that follows does.
bool FileRewrite::LinkTemp() {
    char procPath[64];
    std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", tempFd_);
    return TakeTempName([&](const std::string& name) {
        int linked = linkat(AT_FDCWD, procPath, folderFd_, name.c_str(), AT_SYMLINK_FOLLOW);
#ifdef AT_EMPTY_PATH
        // Without /proc; needs the right to open files by handle (root).
        if (linked != 0 && errno == ENOENT)
            linked = linkat(tempFd_, "", folderFd_, name.c_str(), AT_EMPTY_PATH);
#endif
        return linked == 0;
    });
}

FileStatus FileRewrite::CommitRename() {
    if (FileStatus error = Flush()) return error;
    if (original_) {
        // Writing may have cleared the set-user-ID bits and the capability.
        if (fchmod(tempFd_, original_->st_mode & 07777) != 0) return Error(errno);
        if (!CopyFileCapability(OriginalPath(), tempFd_)) return Error(errno);
    }
    if (fsync(tempFd_) != 0) return Error(errno);
    if (FileStatus changed = CheckUnchanged()) return changed;
    if (tempName_.empty() && !LinkTemp()) return Error(errno);
    if (renameat(folderFd_, tempName_.c_str(), folderFd_, name_.c_str()) != 0) return Error(errno);
    tempName_.clear();
    tempGuard_.Release();
    SyncFolder();
    return std::nullopt;
}

FileStatus FileRewrite::CommitInPlace(std::optional<std::string_view> oldBytes) {
    const FileHandle file(openat(folderFd_, name_.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    if (file.Get() < 0) return Error(errno);
    struct stat now {};
    if (fstat(file.Get(), &now) != 0) return Error(errno);
    if (IdentityOf(now) != *expected_) return Changed();
    std::string read;
    if (!oldBytes) {
        if (const int error = ReadAll(file.Get(), read)) return Error(error);
        oldBytes = read;
    }
    return WriteInPlace(path_, file.Get(), *oldBytes, pending_);
}

// The rename is on disk only once the folder is. A folder that cannot be
// opened for reading or flushed was renamed in all the same.
void FileRewrite::SyncFolder() const {
    const FileHandle folder(openat(folderFd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0) fsync(folder.Get());
}

void FileRewrite::DropTemp() {
    if (!tempName_.empty()) unlinkat(folderFd_, tempName_.c_str(), 0);
    tempName_.clear();
    tempGuard_.Release();
    if (tempFd_ >= 0) close(tempFd_);
    tempFd_ = -1;
}

void FileRewrite::Abandon() {
    DropTemp();
    if (folderFd_ >= 0) close(folderFd_);
    folderFd_ = -1;
    original_.reset();
    expected_.reset();
    inPlace_ = false;
    pending_.clear();
    if (pending_.capacity() > kBufferSize) pending_.shrink_to_fit();
}

} // namespace kelvara
