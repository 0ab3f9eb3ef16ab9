#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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

// What identifies a file's state on disk, to notice changes by other programs.
struct FileStamp {
    std::int64_t size = -1;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file now; size -1 when it cannot be examined.
FileStamp StampOfFile(const std::string& path);

// True when both paths name one existing file (the same device and inode).
bool SameFile(const std::string& a, const std::string& b);

} // namespace kelvara
