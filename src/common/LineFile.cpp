#include "common/LineFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "common/FileAccess.h"
#include "common/FileRewrite.h"
#include "common/MessageCatalogue.h"

namespace kelvara {

namespace {

constexpr std::size_t kNotFound = std::string_view::npos;
constexpr std::size_t kMinReadChunk = 64 * 1024;
constexpr std::size_t kProgressChunk = 4 << 20;

std::size_t FindByte(std::string_view bytes, char byte, std::size_t from) {
    if (from >= bytes.size()) return kNotFound;
    const void* hit = std::memchr(bytes.data() + from, byte, bytes.size() - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - bytes.data()) : kNotFound;
}

// Reads until end of file into `buffer`, which starts with room for `expected`
// bytes plus one, so a file of the size fstat gave ends after a single read;
// with `progress`, in pieces of kProgressChunk, reporting after each.
FileStatus ReadAll(const std::string& path, int fd, std::size_t expected, std::string& buffer,
                   const std::function<void(int)>& progress) {
    std::size_t filled = 0;
    buffer.resize(expected + 1);
    for (;;) {
        if (filled == buffer.size()) buffer.resize(std::max(buffer.size() * 2, kMinReadChunk));
        std::size_t room = buffer.size() - filled;
        if (progress) room = std::min(room, kProgressChunk);
        const ssize_t got = read(fd, buffer.data() + filled, room);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            buffer.clear();
            return SystemError(path, error);
        }
        filled += static_cast<std::size_t>(got);
        if (progress && expected > 0)
            progress(static_cast<int>(std::min<std::size_t>(100, filled * 100 / expected)));
    }
    buffer.resize(filled);
    return std::nullopt;
}

// The identity of the file read, taken at its end: bytes that another program
// appended after the last read() make the size differ from what was read.
FileStatus IdentityAfterRead(const std::string& path, int fd, const std::string& bytes,
                             FileIdentity& identity) {
    struct stat info {};
    if (fstat(fd, &info) != 0) return SystemError(path, errno);
    identity = IdentityOf(info);
    if (static_cast<std::size_t>(info.st_size) != bytes.size()) identity.size = -1;
    return std::nullopt;
}

} // namespace

std::string_view LineEndBytes(LineEnd end) noexcept {
    switch (end) {
    case LineEnd::Lf:
        return "\n";
    case LineEnd::Cr:
        return "\r";
    case LineEnd::CrLf:
        return "\r\n";
    case LineEnd::None:
        break;
    }
    return {};
}

FileStatus ReadFileBytes(const std::string& path, std::string& buffer, FileIdentity* identity,
                         const std::function<void(int)>& progress) {
    buffer.clear();
    // Opening a named pipe waits for a writer unless it is non-blocking.
    FileHandle file(OpenPath(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) return SystemError(path, errno);
    struct stat info {};
    if (fstat(file.Get(), &info) != 0) return SystemError(path, errno);
    if (S_ISDIR(info.st_mode)) return SystemError(path, EISDIR);
    if (IsNullDevice(info)) return std::nullopt;
    // Devices never end (/dev/zero) or block; only files and pipes are read.
    if (!S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode))
        return FileError{path, std::string(Translate("kelvara::FileErrors", "不是普通文件"))};
    // A pipe with a writer is read to its end; one without reads as empty.
    if (fcntl(file.Get(), F_SETFL, fcntl(file.Get(), F_GETFL) & ~O_NONBLOCK) != 0)
        return SystemError(path, errno);
    try {
        FileStatus status =
            ReadAll(path, file.Get(), static_cast<std::size_t>(info.st_size), buffer, progress);
        if (!status && identity) status = IdentityAfterRead(path, file.Get(), buffer, *identity);
        return status;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    buffer.clear();
    buffer.shrink_to_fit();
    return FileError{path, std::string(Translate("kelvara::FileErrors", "文件太大，无法载入"))};
}

void SplitAllLines(std::string_view bytes, std::vector<LineSpan>& lines) {
    lines.clear();
    const std::size_t size = bytes.size();
    std::size_t pos = 0;
    std::size_t nextCr = FindByte(bytes, '\r', 0);
    std::size_t nextLf = FindByte(bytes, '\n', 0);
    while (pos < size) {
        // Each search runs again only once the line start has passed its last hit.
        if (nextCr < pos) nextCr = FindByte(bytes, '\r', pos);
        if (nextLf < pos) nextLf = FindByte(bytes, '\n', pos);
        const std::size_t lineBreak = std::min(nextCr, nextLf);
        if (lineBreak == kNotFound) {
            lines.push_back({pos, size - pos, LineEnd::None});
            break;
        }
        LineEnd end = LineEnd::Lf;
        std::size_t next = lineBreak + 1;
        if (bytes[lineBreak] == '\r') {
            end = LineEnd::Cr;
            if (next < size && bytes[next] == '\n') {
                end = LineEnd::CrLf;
                ++next;
            }
        }
        lines.push_back({pos, lineBreak - pos, end});
        pos = next;
    }
}

bool SplitLines(std::string_view bytes, std::vector<LineSpan>& lines) {
    const std::size_t nul = FindByte(bytes, '\0', 0);
    SplitAllLines(bytes.substr(0, nul), lines);
    return nul != kNotFound;
}

FileStatus ReadLineFile(const std::string& path, LineFile& file) {
    file.lines.clear();
    file.stoppedAtNul = false;
    if (FileStatus error = ReadFileBytes(path, file.bytes)) return error;
    file.stoppedAtNul = SplitLines(file.bytes, file.lines);
    return std::nullopt;
}

void AppendLine(std::string& out, std::string_view line, LineEnd end) {
    out.append(line);
    out.append(LineEndBytes(end));
}

FileStatus WriteFileAtomic(const std::string& path, std::string_view bytes) {
    FileRewrite rewrite;
    if (FileStatus error = rewrite.Begin(path)) return error;
    if (FileStatus error = rewrite.Append(bytes)) return error;
    return rewrite.Commit();
}

} // namespace kelvara
