#include "common/InPlaceWrite.h"
#include "common/MessageCatalogue.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/statvfs.h>
#include <unistd.h>

namespace kelvara {

namespace {

// Room for the blocks a growing file may need besides its data (indirect
// blocks, extents).
constexpr unsigned long long kMetadataSlack = 1u << 20;

std::size_t FirstDifference(std::string_view a, std::string_view b) {
    const auto [inA, inB] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return static_cast<std::size_t>(inA - a.begin());
}

// 0 when written, else errno.
int WriteAt(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t written = pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return 0;
}

// 0 when the file system has room for `grow` more bytes, else ENOSPC or errno.
int CheckFreeSpace(int fd, std::size_t grow) {
    struct statvfs space {};
    if (fstatvfs(fd, &space) != 0) return errno;
    // Root may also fill the blocks kept for it.
    const unsigned long long blocks = geteuid() == 0 ? space.f_bfree : space.f_bavail;
    const unsigned long long available = blocks * space.f_frsize;
    return available >= grow + kMetadataSlack ? 0 : ENOSPC;
}

// 0 when `bytes` from `from` on are the file's content, cut and flushed.
int WriteFrom(int fd, std::string_view bytes, std::size_t from) {
    if (int error = WriteAt(fd, bytes.substr(from), static_cast<off_t>(from))) return error;
    if (ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) return errno;
    if (fsync(fd) != 0) return errno;
    return 0;
}

} // namespace

FileStatus WriteInPlace(const std::string& path, int fd, std::string_view oldBytes,
                        std::string_view newBytes) {
    const std::size_t from = FirstDifference(oldBytes, newBytes);
    if (from == oldBytes.size() && from == newBytes.size()) return std::nullopt;
    if (newBytes.size() > oldBytes.size()) {
        if (int error = CheckFreeSpace(fd, newBytes.size() - oldBytes.size()))
            return FileError{path,
                             FormatMessage(Translate("kelvara::FileErrors", "%1（什么也没有写入）"),
                                           {SystemReason(error)})};
    }
    const int error = WriteFrom(fd, newBytes, from);
    if (error == 0) return std::nullopt;
    if (const int restoreError = WriteFrom(fd, oldBytes, from)) {
        return FileError{
            path, FormatMessage(Translate("kelvara::FileErrors", "%1；原来的内容无法写回：%2"),
                                {SystemReason(error), SystemReason(restoreError)})};
    }
    return FileError{path, FormatMessage(Translate("kelvara::FileErrors", "%1（原来的内容已写回）"),
                                         {SystemReason(error)})};
}

} // namespace kelvara
