#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "common/FileError.h"
#include "common/FileIdentity.h"

// A document's file on disk: its line-break style, and
// the bytes a save writes. The editor holds every break as CR LF; a save
// gives the file back the breaks it was loaded with.
namespace kelvara {

enum class LineBreakStyle : std::uint8_t { Lf, CrLf, Cr };

// The style of the first break; LF for a text without any. `mixed` tells
// whether another kind of break occurs too.
LineBreakStyle DetectLineBreaks(std::string_view bytes, bool& mixed);

// The editor's text (CR LF breaks only) with its breaks in `style`.
std::string TextForFile(std::string_view editorText, LineBreakStyle style);

// Writes `head` (a byte-order mark) and the editor's text (CR LF breaks
// only), as it lies in the two pieces around the editor's gap, to `path`
// with its breaks in `style`, through the hardened writer and line by line:
// no whole copy of the text is made. A CR LF split between the pieces is one
// break.
[[nodiscard]] FileStatus WriteEditorText(const std::string& path, std::string_view head,
                                         std::pair<std::string_view, std::string_view> pieces,
                                         LineBreakStyle style);

// Which file a document's path led to and the state it was in, to notice
// changes by other programs and to tell a file reached by another path.
struct FileStamp {
    std::int64_t size = -1; // -1: no file
    std::int64_t modifiedNs = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileStamp&) const = default;
    // Both name one existing file.
    bool SameFileAs(const FileStamp& other) const {
        return size >= 0 && other.size >= 0 && device == other.device && inode == other.inode;
    }
};

// The stamp of the file now; size -1 when it cannot be examined.
FileStamp StampOfFile(const std::string& path);
// The stamp of a file as it was read, `bytes` long.
FileStamp StampOfRead(const FileIdentity& identity, std::size_t bytes);

} // namespace kelvara
