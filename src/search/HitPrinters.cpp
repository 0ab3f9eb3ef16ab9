#include "search/HitPrinters.h"

#include <charconv>
#include <cstdio>

#include "search/ExportText.h"

namespace kelvara {

namespace {

template <typename Number> void AppendNumber(std::string& out, Number value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

} // namespace

// --- grep ---

GrepPrinter::GrepPrinter(std::string& out, AppendPath path, AppendText text, bool separators,
                         std::function<void()> written)
    : out_(out), appendPath_(std::move(path)), appendText_(std::move(text)),
      separators_(separators), written_(std::move(written)) {}

void GrepPrinter::BeginFile(std::string_view path, CodePage codePage) {
    path_ = path;
    codePage_ = codePage;
}

void GrepPrinter::Start(const FileLine& line, char separator) {
    if (groupEnded_) {
        out_ += "--\n";
        groupEnded_ = false;
    }
    appendPath_(path_, separator, out_);
    AppendNumber(out_, line.number);
    out_.push_back(separator);
}

void GrepPrinter::Finish(const FileLine& line) {
    appendText_(line.text, codePage_, out_);
    out_.push_back('\n');
    if (written_) written_();
}

void GrepPrinter::Hit(const FileLine& line, const ExportedHit& hit) {
    Start(line, ':');
    AppendNumber(out_, hit.column);
    out_.push_back(':');
    Finish(line);
}

void GrepPrinter::Context(const FileLine& line) {
    Start(line, '-');
    Finish(line);
}

// --- CSV ---

namespace {

// A field quoted when it holds a comma, a quote or a line break.
void AppendCsvField(std::string_view field, std::string& out) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(field);
        return;
    }
    out.push_back('"');
    for (const char c : field) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

} // namespace

CsvPrinter::CsvPrinter(std::string& out, std::function<void()> written)
    : out_(out), written_(std::move(written)) {
    out_ += "path,line,column,text\r\n";
}

void CsvPrinter::BeginFile(std::string_view path, CodePage codePage) {
    path_.clear();
    AppendEscapedUtf8(path, CodePage::Utf8, path_);
    codePage_ = codePage;
}

void CsvPrinter::Hit(const FileLine& line, const ExportedHit& hit) {
    AppendCsvField(path_, out_);
    out_.push_back(',');
    AppendNumber(out_, line.number);
    out_.push_back(',');
    AppendNumber(out_, hit.column);
    out_.push_back(',');
    field_.clear();
    AppendEscapedUtf8(line.text, codePage_, field_);
    AppendCsvField(field_, out_);
    out_ += "\r\n";
    if (written_) written_();
}

// --- JSON lines ---

JsonPrinter::JsonPrinter(std::string& out, std::function<void()> written)
    : out_(out), written_(std::move(written)) {}

// {"text": UTF-8} when the bytes are valid in the code page, else {"bytes": base64}.
void JsonPrinter::AppendData(std::string_view bytes, CodePage codePage) {
    std::string utf8;
    if (AppendUtf8IfValid(bytes, codePage, utf8)) {
        out_ += "{\"text\":";
        AppendJsonString(utf8, out_);
    } else {
        out_ += "{\"bytes\":\"";
        AppendBase64(bytes, out_);
        out_.push_back('"');
    }
    out_.push_back('}');
}

void JsonPrinter::BeginFile(std::string_view path, CodePage codePage) {
    path_ = path;
    codePage_ = codePage;
    lastHitLine_ = 0;
    fileHits_ = fileLines_ = 0;
    out_ += "{\"type\":\"begin\",\"data\":{\"path\":";
    AppendData(path_, CodePage::Utf8);
    out_ += "}}\n";
    if (written_) written_();
}

// The start of a "match" or "context" object, up to its submatches.
void JsonPrinter::AppendLine(const char* type, const FileLine& line) {
    out_ += "{\"type\":\"";
    out_ += type;
    out_ += "\",\"data\":{\"path\":";
    AppendData(path_, CodePage::Utf8);
    out_ += ",\"lines\":";
    std::string text(line.text);
    text.append(line.lineBreak);
    AppendData(text, codePage_);
    out_ += ",\"line_number\":";
    AppendNumber(out_, line.number);
    out_ += ",\"absolute_offset\":";
    AppendNumber(out_, line.offset);
}

void JsonPrinter::Hit(const FileLine& line, const ExportedHit& hit) {
    ++fileHits_;
    if (line.number != lastHitLine_) ++fileLines_;
    lastHitLine_ = line.number;
    AppendLine("match", line);
    out_ += ",\"column\":";
    AppendNumber(out_, hit.column);
    out_ += ",\"submatches\":[";
    if (hit.end > hit.start) {
        out_ += "{\"match\":";
        AppendData(line.text.substr(hit.start, hit.end - hit.start), codePage_);
        out_ += ",\"start\":";
        AppendNumber(out_, hit.start);
        out_ += ",\"end\":";
        AppendNumber(out_, hit.end);
        out_.push_back('}');
    }
    out_ += "]}}\n";
    if (written_) written_();
}

void JsonPrinter::Context(const FileLine& line) {
    AppendLine("context", line);
    out_ += ",\"submatches\":[]}}\n";
    if (written_) written_();
}

void JsonPrinter::EndFile() {
    ++files_;
    hits_ += fileHits_;
    hitLines_ += fileLines_;
    out_ += "{\"type\":\"end\",\"data\":{\"path\":";
    AppendData(path_, CodePage::Utf8);
    out_ += ",\"binary_offset\":null,\"stats\":{\"matched_lines\":";
    AppendNumber(out_, fileLines_);
    out_ += ",\"matches\":";
    AppendNumber(out_, fileHits_);
    out_ += "}}}\n";
    if (written_) written_();
}

void JsonPrinter::Summary(std::size_t filesSearched, std::optional<double> seconds) {
    out_ += "{\"type\":\"summary\",\"data\":{";
    if (seconds) {
        const auto nanos = static_cast<long long>(*seconds * 1e9);
        char human[32];
        std::snprintf(human, sizeof human, "%.6fs", *seconds);
        out_ += "\"elapsed_total\":{\"secs\":";
        AppendNumber(out_, nanos / 1000000000);
        out_ += ",\"nanos\":";
        AppendNumber(out_, nanos % 1000000000);
        out_ += ",\"human\":\"";
        out_ += human;
        out_ += "\"},";
    }
    out_ += "\"stats\":{\"searches\":";
    AppendNumber(out_, filesSearched);
    out_ += ",\"searches_with_match\":";
    AppendNumber(out_, files_);
    out_ += ",\"matched_lines\":";
    AppendNumber(out_, hitLines_);
    out_ += ",\"matches\":";
    AppendNumber(out_, hits_);
    out_ += "}}}\n";
    if (written_) written_();
}

} // namespace kelvara
