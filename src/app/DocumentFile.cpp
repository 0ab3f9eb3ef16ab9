#include "app/DocumentFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvara {

namespace {

LineBreakStyle BreakAt(std::string_view bytes, std::size_t i) {
    if (bytes[i] == '\n') return LineBreakStyle::Lf;
    return i + 1 < bytes.size() && bytes[i + 1] == '\n' ? LineBreakStyle::CrLf : LineBreakStyle::Cr;
}

FileError ErrorOf(const std::string& path) { return FileError{path, std::strerror(errno)}; }

// Closes the descriptor when the read is over, whichever way it ends.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) close(fd);
    }
};

} // namespace

LineBreakStyle DetectLineBreaks(std::string_view bytes, bool& mixed) {
    mixed = false;
    std::size_t i = bytes.find_first_of("\r\n");
    if (i == std::string_view::npos) return LineBreakStyle::Lf;
    const LineBreakStyle first = BreakAt(bytes, i);
    while (i != std::string_view::npos) {
        const LineBreakStyle style = BreakAt(bytes, i);
        if (style != first) {
            mixed = true;
            break;
        }
        i = bytes.find_first_of("\r\n", i + (style == LineBreakStyle::CrLf ? 2 : 1));
    }
    return first;
}

std::string TextForFile(std::string_view editorText, LineBreakStyle style) {
    if (style == LineBreakStyle::CrLf) return std::string(editorText);
    const char kept = style == LineBreakStyle::Lf ? '\n' : '\r';
    std::string out;
    out.reserve(editorText.size());
    std::size_t from = 0;
    for (std::size_t at = editorText.find("\r\n"); at != std::string_view::npos;
         at = editorText.find("\r\n", from)) {
        out.append(editorText, from, at - from).push_back(kept);
        from = at + 2;
    }
    out.append(editorText, from);
    return out;
}

FileStamp StampOfFile(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return {};
    return {static_cast<std::int64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

FileStatus ReadDocumentFile(const std::string& path, std::string& bytes,
                            const std::function<void(int)>& progress) {
    const Descriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) return ErrorOf(path);
    struct stat info {};
    if (fstat(file.fd, &info) != 0) return ErrorOf(path);
    if (S_ISDIR(info.st_mode)) return FileError{path, std::strerror(EISDIR)};
    constexpr std::size_t kChunk = 4 << 20;
    const auto expected = static_cast<std::size_t>(info.st_size);
    bytes.clear();
    bytes.reserve(expected);
    for (;;) {
        const std::size_t at = bytes.size();
        bytes.resize(at + kChunk);
        const ssize_t got = read(file.fd, bytes.data() + at, kChunk);
        if (got < 0) {
            if (errno == EINTR) {
                bytes.resize(at);
                continue;
            }
            return ErrorOf(path);
        }
        bytes.resize(at + static_cast<std::size_t>(got));
        if (got == 0) return std::nullopt;
        if (progress && expected > 0)
            progress(static_cast<int>(std::min<std::size_t>(100, bytes.size() * 100 / expected)));
    }
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace kelvara
