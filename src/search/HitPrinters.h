#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "search/HitExport.h"

// The printers of the listing and export formats. Each appends to a string
// and calls `written` after each line, so that its owner can pass the bytes
// on in pieces.
namespace kelvara {

// grep's format: "path:line:column:text" per hit, "path-line-text" for a line
// of context and, with `separators`, "--" between runs of lines that do not
// follow one another (in one file or across files).
class GrepPrinter : public HitPrinter {
public:
    // Appends a path and what follows it (`separator`, or a NUL byte instead).
    using AppendPath = std::function<void(std::string_view path, char separator, std::string& out)>;
    // Appends a line's text, which is in `codePage`.
    using AppendText =
        std::function<void(std::string_view text, CodePage codePage, std::string& out)>;

    GrepPrinter(std::string& out, AppendPath path, AppendText text, bool separators,
                std::function<void()> written = {});

    void BeginFile(std::string_view path, CodePage codePage) override;
    void Hit(const FileLine& line, const ExportedHit& hit) override;
    void Context(const FileLine& line) override;
    void GroupEnd() override { groupEnded_ = separators_; }
    void EndFile() override {}

private:
    void Start(const FileLine& line, char separator);
    void Finish(const FileLine& line);

    std::string& out_;
    AppendPath appendPath_;
    AppendText appendText_;
    bool separators_;
    std::function<void()> written_;
    std::string path_;
    CodePage codePage_ = CodePage::Utf8;
    bool groupEnded_ = false; // "--" goes before the next line
};

// CSV (RFC 4180): a header row, then "path,line,column,text" per hit, in
// UTF-8, escaped as AppendEscapedUtf8 does; fields quoted where needed.
class CsvPrinter : public HitPrinter {
public:
    CsvPrinter(std::string& out, std::function<void()> written = {});

    void BeginFile(std::string_view path, CodePage codePage) override;
    void Hit(const FileLine& line, const ExportedHit& hit) override;
    void Context(const FileLine&) override {}
    void GroupEnd() override {}
    void EndFile() override {}

private:
    std::string& out_;
    std::function<void()> written_;
    std::string path_;
    CodePage codePage_ = CodePage::Utf8;
    std::string field_;
};

// JSON lines as ripgrep writes them: "begin" before a file's hits, one
// "match" per hit (its line, "line_number", "column", "absolute_offset" of the
// line and one entry in "submatches" with the hit's byte offsets in the line),
// "context" for the lines around, "end" after the file, and a "summary".
// Texts are {"text": ...} when every byte is valid in the file's code page
// (converted to UTF-8), else {"bytes": base64 of the bytes}; paths the same,
// as UTF-8. Offsets count the file's own bytes.
class JsonPrinter : public HitPrinter {
public:
    JsonPrinter(std::string& out, std::function<void()> written = {});

    void BeginFile(std::string_view path, CodePage codePage) override;
    void Hit(const FileLine& line, const ExportedHit& hit) override;
    void Context(const FileLine& line) override;
    void GroupEnd() override {}
    void EndFile() override;
    // The closing line: files searched, and the time taken when known.
    void Summary(std::size_t filesSearched, std::optional<double> seconds);

private:
    void AppendData(std::string_view bytes, CodePage codePage);
    void AppendLine(const char* type, const FileLine& line);

    std::string& out_;
    std::function<void()> written_;
    std::string path_;
    CodePage codePage_ = CodePage::Utf8;
    std::int32_t lastHitLine_ = 0;
    std::size_t fileHits_ = 0, fileLines_ = 0;
    std::size_t files_ = 0, hits_ = 0, hitLines_ = 0;
};

} // namespace kelvara
