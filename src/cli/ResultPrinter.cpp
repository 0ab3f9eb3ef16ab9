#include "cli/ResultPrinter.h"

#include <charconv>

#include "cli/PathQuoting.h"
#include "common/CodePageConversion.h"
#include "common/LocaleCodePage.h"
#include "search/HitPrinters.h"

namespace kelvara {

namespace {

void AppendNumber(std::string& out, std::int32_t value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

// The path of a file node and what follows it: a NUL byte after the raw path,
// or `separator` after the quoted one.
void AppendPath(std::string& line, std::string_view path, bool nullAfterPath, char separator) {
    if (nullAfterPath) {
        line.append(path);
        line.push_back('\0');
    } else {
        AppendQuotedPath(line, path);
        line.push_back(separator);
    }
}

void PrintGrepFile(const ResultTree& tree, std::uint32_t file, bool nullAfterPath,
                   OutputBuffer& out) {
    const NodeRef fileNode{file, NodeRef::kNone};
    const std::uint32_t hits = tree.ChildCount(fileNode);
    if (hits == 0) return;
    std::string prefix;
    AppendPath(prefix, tree.Caption(fileNode), nullAfterPath, ':');
    for (std::uint32_t hit = 0; hit < hits; ++hit) {
        const NodeRef hitNode{file, hit};
        std::string& line = out.Pending();
        line.append(prefix);
        AppendNumber(line, tree.Line(hitNode));
        line.push_back(':');
        AppendNumber(line, tree.Column(hitNode));
        line.push_back('\n');
        out.Written();
    }
}

void PrintTreeFile(const ResultTree& tree, std::uint32_t file, bool nullAfterPath,
                   OutputBuffer& out) {
    const CodePage text = TextCodePage();
    const CodePage locale = LocaleCodePage();
    const NodeRef fileNode{file, NodeRef::kNone};
    AppendPath(out.Pending(), tree.Caption(fileNode), nullAfterPath, '\n');
    out.Written();
    for (std::uint32_t hit = 0; hit < tree.ChildCount(fileNode); ++hit) {
        std::string& line = out.Pending();
        line.append("  ");
        if (text == locale)
            tree.AppendCaption({file, hit}, line);
        else
            RecodeLenient(tree.Caption({file, hit}), text, locale, line);
        line.push_back('\n');
        out.Written();
    }
}

void PrintFile(const ResultTree& tree, std::uint32_t file, OutputFormat format, bool nullAfterPath,
               OutputBuffer& out) {
    if (format == OutputFormat::Grep)
        PrintGrepFile(tree, file, nullAfterPath, out);
    else
        PrintTreeFile(tree, file, nullAfterPath, out);
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

void PrintResultTree(const ResultTree& tree, OutputFormat format, bool nullAfterPath,
                     OutputBuffer& out) {
    for (std::uint32_t file = 0; file < tree.FileNodeCount(); ++file)
        PrintFile(tree, file, format, nullAfterPath, out);
}

ResultStreamer::ResultStreamer(const ResultTree& tree, const CommandLine& line,
                               ExportSettings settings, OutputBuffer& out)
    : tree_(tree), format_(line.format), nullAfterPath_(line.nullAfterPath), out_(out) {
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
            PrintFile(tree_, printed_, format_, nullAfterPath_, out_);
        } else if (FileStatus status = exporter_->ExportFile(tree_, printed_, TextCodePage())) {
            unread_.push_back(std::move(*status));
        }
    }
}

void ResultStreamer::Summary(std::size_t filesSearched, double seconds) {
    if (auto* json = dynamic_cast<JsonPrinter*>(printer_.get()))
        json->Summary(filesSearched, seconds);
}

} // namespace kelvara
