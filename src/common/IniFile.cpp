#include "common/IniFile.h"

#include <cerrno>
#include <charconv>
#include <sys/stat.h>

#include "common/AnsiString.h"
#include "common/CodePage.h"

namespace kelvara {

namespace {

constexpr std::size_t kMaxValueLength = 2047;
// Editors may start a file with a byte-order mark; it is kept but not read.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsSectionHeader(std::string_view trimmed) {
    return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.find(']') != trimmed.npos;
}

std::string_view SectionName(std::string_view trimmed) {
    return TrimView(trimmed.substr(1, trimmed.find(']') - 1));
}

// The key of a `key=value` line; empty for headers, comments and malformed lines.
std::string_view KeyName(std::string_view trimmed) {
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return {};
    const std::size_t equals = trimmed.find('=');
    if (equals == trimmed.npos) return {};
    return TrimView(trimmed.substr(0, equals));
}

// At most kMaxValueLength bytes, cut before the character that would cross it.
std::string_view CutValue(std::string_view value) {
    if (value.size() <= kMaxValueLength) return value;
    std::size_t end = 0;
    for (;;) {
        const std::size_t next = end + CharLength(value, end);
        if (next > kMaxValueLength) break;
        end = next;
    }
    return value.substr(0, end);
}

} // namespace

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {
    if (FileStatus error = ReadFileBytes(path_, text_)) {
        struct stat info {};
        if (stat(path_.c_str(), &info) == 0 || errno != ENOENT) loadError_ = std::move(error);
    }
    Parse();
}

TIniFile::TIniFile(std::string path, std::string bytes)
    : path_(std::move(path)), text_(std::move(bytes)) {
    Parse();
}

void TIniFile::Parse() {
    std::vector<LineSpan> spans;
    SplitAllLines(text_, spans);
    if (!spans.empty() && spans.front().end != LineEnd::None) newLineEnd_ = spans.front().end;
    sections_.emplace_back(); // the lines before the first header
    for (const LineSpan& span : spans) {
        const Line line{span.start, span.length, span.end};
        std::string_view text = Text(line);
        if (span.start == 0 && text.starts_with(kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());
        const std::string_view trimmed = TrimView(text);
        if (IsSectionHeader(trimmed)) {
            sectionIndex_.try_emplace(LowerCase(SectionName(trimmed)), sections_.size());
            sections_.emplace_back();
        } else if (const std::string_view key = KeyName(trimmed);
                   !key.empty() && sections_.size() > 1) {
            sections_.back().keys.try_emplace(LowerCase(key), sections_.back().lines.size());
        }
        sections_.back().lines.push_back(line);
    }
}

std::string_view TIniFile::Text(const Line& line) const {
    return std::string_view(text_).substr(line.start, line.length);
}

const TIniFile::Line* TIniFile::FindKey(std::string_view section, std::string_view key) const {
    const auto found = sectionIndex_.find(LowerCase(section));
    if (found == sectionIndex_.end()) return nullptr;
    const Section& lines = sections_[found->second];
    const auto keyLine = lines.keys.find(LowerCase(key));
    return keyLine == lines.keys.end() ? nullptr : &lines.lines[keyLine->second];
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    const Line* line = FindKey(section, key);
    if (!line) return std::string(defaultValue);
    const std::string_view text = Text(*line);
    return std::string(CutValue(TrimView(text.substr(text.find('=') + 1))));
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    const std::string text = ReadString(section, key, {});
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return (text.empty() || error != std::errc() || stop != end) ? defaultValue : value;
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    value = value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
    Section& lines = SectionToWrite(section);
    const auto keyLine = lines.keys.find(LowerCase(key));
    if (keyLine == lines.keys.end()) {
        AddKey(lines, key, value);
        return;
    }
    Line& line = lines.lines[keyLine->second];
    const std::string_view old = Text(line);
    const std::string_view keep = old.substr(0, old.find('=') + 1); // indent and key as written
    if (old.substr(keep.size()) == value) return;
    std::string text;
    text.reserve(keep.size() + value.size());
    text.append(keep).append(value);
    const LineEnd end = line.end;
    line = NewLine(text);
    line.end = end;
    dirty_ = true;
}

TIniFile::Section& TIniFile::SectionToWrite(std::string_view section) {
    const auto [found, added] = sectionIndex_.try_emplace(LowerCase(section), sections_.size());
    if (!added) return sections_[found->second];
    Section& last = sections_.back();
    if (!last.lines.empty() && last.lines.back().end == LineEnd::None)
        last.lines.back().end = newLineEnd_;
    std::string header = "[";
    header.append(section).append("]");
    sections_.emplace_back().lines.push_back(NewLine(header));
    dirty_ = true;
    return sections_.back();
}

TIniFile::Line TIniFile::NewLine(std::string_view text) {
    const Line line{text_.size(), text.size(), newLineEnd_};
    text_.append(text);
    return line;
}

void TIniFile::AddKey(Section& section, std::string_view key, std::string_view value) {
    std::size_t at = section.lines.size();
    while (at > 0 && TrimView(Text(section.lines[at - 1])).empty())
        --at;
    // Only blank lines follow the new key, so no key's line index moves.
    if (at > 0 && section.lines[at - 1].end == LineEnd::None)
        section.lines[at - 1].end = newLineEnd_;
    std::string text(key);
    text.append("=").append(value);
    Line line = NewLine(text);
    // A lone CR right before an empty LF line would read as one CR LF break,
    // and the blank line would be lost.
    if (line.end == LineEnd::Cr && at < section.lines.size() && section.lines[at].length == 0 &&
        section.lines[at].end == LineEnd::Lf) {
        line.end = LineEnd::CrLf;
    }
    section.lines.insert(section.lines.begin() + static_cast<std::ptrdiff_t>(at), line);
    section.keys.try_emplace(LowerCase(key), at);
    dirty_ = true;
}

std::string TIniFile::Contents() const {
    std::string out;
    out.reserve(text_.size());
    for (const Section& section : sections_) {
        for (const Line& line : section.lines)
            AppendLine(out, Text(line), line.end);
    }
    return out;
}

FileStatus TIniFile::UpdateFile() {
    if (!dirty_) return std::nullopt;
    if (loadError_) return loadError_;
    if (FileStatus error = WriteFileAtomic(path_, Contents())) return error;
    dirty_ = false;
    return std::nullopt;
}

} // namespace kelvara
