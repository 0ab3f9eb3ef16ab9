#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/FileError.h"
#include "common/LineFile.h"

namespace kelvara {

// An INI file (settings file, extention.txt, reservedword.txt) held in memory.
// Section and key names match ignoring ASCII letter case; values are read back
// without surrounding blanks and cut at 2047 bytes (never inside a character);
// a missing file or key gives the default; malformed lines are skipped but
// kept. When a name appears twice, its first occurrence counts. Writes change
// the copy in memory; UpdateFile() writes it back atomically, keeping every
// byte it did not change (comments, unknown sections and keys, order, line
// ends).
class TIniFile {
public:
    explicit TIniFile(std::string path);
    // The bytes of an INI file already in memory; UpdateFile writes to `path`.
    TIniFile(std::string path, std::string bytes);

    const std::string& FileName() const noexcept { return path_; }

    // A value that is not a decimal number reads as the default.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;

    // Changes the key's line in place; a new key goes after the last non-blank
    // line of its section, a new section at the end of the file. A value ends
    // at its first CR, LF or NUL byte, so a write never adds lines of its own.
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // The bytes UpdateFile writes.
    std::string Contents() const;

    // Writes the file when something was written since it was loaded. A file
    // that exists but could not be read is never overwritten: its read error
    // is returned instead.
    [[nodiscard]] FileStatus UpdateFile();

private:
    // One line of the file: its bytes in text_ (without the break) and the break.
    struct Line {
        std::size_t start = 0;
        std::size_t length = 0;
        LineEnd end = LineEnd::None;
    };
    // A section's header line and every line up to the next header. The first
    // section holds the lines before any header and has no name.
    struct Section {
        std::vector<Line> lines;
        std::unordered_map<std::string, std::size_t> keys; // lower-cased name -> first line
    };

    void Parse();
    std::string_view Text(const Line& line) const;
    const Line* FindKey(std::string_view section, std::string_view key) const;
    Section& SectionToWrite(std::string_view section);
    Line NewLine(std::string_view text);
    void AddKey(Section& section, std::string_view key, std::string_view value);

    std::string path_;
    FileStatus loadError_;          // set when an existing file could not be read
    std::string text_;              // the loaded bytes, then the bytes of every line written
    std::vector<Section> sections_; // in file order
    std::unordered_map<std::string, std::size_t> sectionIndex_; // lower-cased name -> first
    LineEnd newLineEnd_ = LineEnd::Lf; // new lines end like the file's first line
    bool dirty_ = false;
};

} // namespace kelvara
