#include "cli/ResultPrinter.h"

#include <charconv>

#include "cli/PathQuoting.h"
#include "common/CodePageConversion.h"
#include "common/LocaleCodePage.h"
#include "search/HitCaption.h"
#include "search/HitPrinters.h"

namespace kelvara {

namespace {

// ripgrep's colours: paths magenta, line numbers green, hits bold red.
constexpr std::string_view kPathColor = "\033[35m";
constexpr std::string_view kLineColor = "\033[32m";
constexpr std::string_view kHitColor = "\033[1;31m";
constexpr std::string_view kPlain = "\033[0m";

void AppendNumber(std::string& out, std::int32_t value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

void AppendColored(std::string& out, std::string_view color, std::string_view text) {
    out.append(color).append(text).append(kPlain);
}

// The path of a file node and what follows it: a NUL byte after the raw path,
// or `separator` after the quoted one.
// A path is coloured only where it is quoted: a raw one is for scripts.
void AppendPath(std::string& line, std::string_view path, bool nullAfterPath, char separator,
                bool color = false) {
    if (nullAfterPath) {
        line.append(path);
        line.push_back('\0');
        return;
    }
    if (color) line.append(kPathColor);
    AppendQuotedPath(line, path);
    if (color) line.append(kPlain);
    line.push_back(separator);
}

// A find's caption ("被找字：TEXT 在: 行： LINE 列: COLUMN") with its text and
// line number coloured; any other caption (a replaced line) as it is.
void AppendColoredCaption(std::string& out, std::string_view caption, std::int32_t line,
                          std::int32_t column, CodePage codePage) {
    const HitCaptionWords words = CaptionWordsIn(codePage);
    std::string lineNumber;
    AppendNumber(lineNumber, line);
    std::string tail(words.column);
    AppendNumber(tail, column);
    const std::size_t ends = words.atLine.size() + lineNumber.size() + tail.size();
    const bool shaped =
        caption.size() >= words.searched.size() + ends && caption.starts_with(words.searched) &&
        caption.substr(caption.size() - ends) == std::string(words.atLine) + lineNumber + tail;
    if (!shaped) {
        out.append(caption);
        return;
    }
    out.append(words.searched);
    AppendColored(
        out, kHitColor,
        caption.substr(words.searched.size(), caption.size() - words.searched.size() - ends));
    out.append(words.atLine);
    AppendColored(out, kLineColor, lineNumber);
    out.append(tail);
}

void PrintGrepFile(const ResultTree& tree, std::uint32_t file, bool nullAfterPath, bool color,
                   OutputBuffer& out) {
    const NodeRef fileNode{file, NodeRef::kNone};
    const std::uint32_t hits = tree.ChildCount(fileNode);
    if (hits == 0) return;
    std::string prefix;
    AppendPath(prefix, tree.Caption(fileNode), nullAfterPath, ':', color);
    for (std::uint32_t hit = 0; hit < hits; ++hit) {
        const NodeRef hitNode{file, hit};
        std::string& line = out.Pending();
        line.append(prefix);
        if (color) line.append(kLineColor);
        AppendNumber(line, tree.Line(hitNode));
        if (color) line.append(kPlain);
        line.push_back(':');
        AppendNumber(line, tree.Column(hitNode));
        line.push_back('\n');
        out.Written();
    }
}

void PrintTreeFile(const ResultTree& tree, std::uint32_t file, bool nullAfterPath, bool color,
                   OutputBuffer& out) {
    const NodeRef fileNode{file, NodeRef::kNone};
    const CodePage text = tree.CodePageOf(fileNode);
    const CodePage locale = LocaleCodePage();
    AppendPath(out.Pending(), tree.Caption(fileNode), nullAfterPath, '\n', color);
    out.Written();
    std::string colored;
    for (std::uint32_t hit = 0; hit < tree.ChildCount(fileNode); ++hit) {
        std::string& line = out.Pending();
        line.append("  ");
        if (color) {
            const NodeRef hitNode{file, hit};
            colored.clear();
            AppendColoredCaption(colored, tree.Caption(hitNode), tree.Line(hitNode),
                                 tree.Column(hitNode), text);
            RecodeLenient(colored, text, locale, line);
        } else if (text == locale)
            tree.AppendCaption({file, hit}, line);
        else
            RecodeLenient(tree.Caption({file, hit}), text, locale, line);
        line.push_back('\n');
        out.Written();
    }
}

void PrintFile(const ResultTree& tree, std::uint32_t file, OutputFormat format, bool nullAfterPath,
               bool color, OutputBuffer& out) {
    if (format == OutputFormat::Grep)
        PrintGrepFile(tree, file, nullAfterPath, color, out);
    else
        PrintTreeFile(tree, file, nullAfterPath, color, out);
}

// The grep format with texts: paths as the tree format writes them, texts in
// the locale's encoding (bytes it cannot hold as they are).
std::unique_ptr<HitPrinter> MakeGrepPrinter(bool nullAfterPath, bool separators,
                                            OutputBuffer& out) {
    const CodePage locale = LocaleCodePage();
    return std::make_unique<GrepPrinter>(
        out.Pending(),
        [nullAfterPath](std::string_view path, char separator, std::string& line) {
            AppendPath(line, path, nullAfterPath, separator);
        },
        [locale](std::string_view text, CodePage codePage, std::string& line) {
            if (codePage == locale)
                line.append(text);
            else
                RecodeLenient(text, codePage, locale, line);
        },
        separators, [&out] { out.Written(); });
}

} // namespace

void PrintResultTree(const ResultTree& tree, OutputFormat format, bool nullAfterPath, bool color,
                     OutputBuffer& out) {
    for (std::uint32_t file = 0; file < tree.FileNodeCount(); ++file)
        PrintFile(tree, file, format, nullAfterPath, color, out);
}

ResultStreamer::ResultStreamer(const ResultTree& tree, const CommandLine& line,
                               ExportSettings settings, OutputBuffer& out)
    : tree_(tree), format_(line.format), nullAfterPath_(line.nullAfterPath),
      color_(line.color == ColorChoice::Always), out_(out) {
    if (format_ == OutputFormat::Json) {
        auto json = std::make_unique<JsonPrinter>(out.Pending(), [&out] { out.Written(); });
        json_ = json.get();
        printer_ = std::move(json);
    } else if (format_ == OutputFormat::Grep && line.context) {
        printer_ = MakeGrepPrinter(nullAfterPath_, true, out);
    }
    if (printer_) exporter_ = std::make_unique<HitExporter>(*printer_, std::move(settings));
}

ResultStreamer::~ResultStreamer() = default;

void ResultStreamer::PrintUpTo(std::uint32_t end) {
    for (; printed_ < end; ++printed_) {
        if (tree_.ChildCount({printed_, NodeRef::kNone}) == 0) continue;
        if (!exporter_) {
            PrintFile(tree_, printed_, format_, nullAfterPath_, color_, out_);
        } else if (FileStatus status = exporter_->ExportFile(
                       tree_, printed_, tree_.CodePageOf({printed_, NodeRef::kNone}))) {
            unread_.push_back(std::move(*status));
        }
    }
}

void ResultStreamer::Summary(std::size_t filesSearched, double seconds) {
    if (auto* json = dynamic_cast<JsonPrinter*>(printer_.get()))
        json->Summary(filesSearched, seconds);
}

} // namespace kelvara
