#include "app/DocumentFile.h"

#include <cstring>
#include <sys/stat.h>

#include "common/BreakFinder.h"
#include "common/FileRewrite.h"

namespace kelvara {

namespace {

LineBreakStyle BreakAt(std::string_view bytes, std::size_t i) {
    if (bytes[i] == '\n') return LineBreakStyle::Lf;
    return i + 1 < bytes.size() && bytes[i + 1] == '\n' ? LineBreakStyle::CrLf : LineBreakStyle::Cr;
}

} // namespace

LineBreakStyle DetectLineBreaks(std::string_view bytes, bool& mixed) {
    mixed = false;
    BreakFinder breaks(bytes);
    std::size_t i = breaks.Next(0);
    if (i == std::string_view::npos) return LineBreakStyle::Lf;
    const LineBreakStyle first = BreakAt(bytes, i);
    while (i != std::string_view::npos) {
        const LineBreakStyle style = BreakAt(bytes, i);
        if (style != first) {
            mixed = true;
            break;
        }
        i = breaks.Next(i + (style == LineBreakStyle::CrLf ? 2 : 1));
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

FileStatus WriteEditorText(const std::string& path, std::string_view head,
                           std::pair<std::string_view, std::string_view> pieces,
                           LineBreakStyle style) {
    FileRewrite rewrite;
    if (FileStatus error = rewrite.Begin(path)) return error;
    if (FileStatus error = rewrite.Append(head)) return error;
    if (style == LineBreakStyle::CrLf) {
        if (FileStatus error = rewrite.Append(pieces.first)) return error;
        if (FileStatus error = rewrite.Append(pieces.second)) return error;
        return rewrite.Commit();
    }
    const std::string_view kept = style == LineBreakStyle::Lf ? "\n" : "\r";
    bool afterCr = false; // the byte before the piece was a CR, not written yet
    for (const std::string_view piece : {pieces.first, pieces.second}) {
        std::size_t at = 0;
        if (afterCr && !piece.empty()) {
            const bool pair = piece[0] == '\n';
            if (FileStatus error = rewrite.Append(pair ? kept : "\r")) return error;
            at = pair ? 1 : 0;
            afterCr = false;
        }
        while (at < piece.size()) {
            const void* found = std::memchr(piece.data() + at, '\r', piece.size() - at);
            const std::size_t cr =
                found ? static_cast<std::size_t>(static_cast<const char*>(found) - piece.data())
                      : piece.size();
            if (FileStatus error = rewrite.Append(piece.substr(at, cr - at))) return error;
            if (cr + 1 >= piece.size()) {
                afterCr = cr < piece.size();
                break;
            }
            const bool pair = piece[cr + 1] == '\n';
            if (FileStatus error = rewrite.Append(pair ? kept : "\r")) return error;
            at = cr + (pair ? 2 : 1);
        }
    }
    if (afterCr) {
        if (FileStatus error = rewrite.Append("\r")) return error;
    }
    return rewrite.Commit();
}

FileStamp StampOfFile(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return {};
    return StampOfRead(IdentityOf(info), static_cast<std::size_t>(info.st_size));
}

FileStamp StampOfRead(const FileIdentity& identity, std::size_t bytes) {
    return {static_cast<std::int64_t>(bytes),
            identity.modifiedSeconds * 1000000000 + identity.modifiedNanoseconds, identity.device,
            identity.inode};
}

} // namespace kelvara
