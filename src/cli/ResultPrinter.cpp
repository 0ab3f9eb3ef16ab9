#include "cli/ResultPrinter.h"

#include <charconv>

#include "cli/PathQuoting.h"
#include "common/LocaleCodePage.h"

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

void PrintGrep(const ResultTree& tree, bool nullAfterPath, OutputBuffer& out) {
    for (std::uint32_t file = 0; file < tree.FileNodeCount(); ++file) {
        const NodeRef fileNode{file, NodeRef::kNone};
        const std::uint32_t hits = tree.ChildCount(fileNode);
        if (hits == 0) continue;
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
}

void PrintTree(const ResultTree& tree, bool nullAfterPath, OutputBuffer& out) {
    const CodePage text = TextCodePage();
    const CodePage locale = LocaleCodePage();
    for (NodeRef node = tree.First(); node.IsValid(); node = tree.Next(node)) {
        std::string& line = out.Pending();
        if (node.IsFileNode()) {
            AppendPath(line, tree.Caption(node), nullAfterPath, '\n');
            out.Written();
            continue;
        }
        if (text == locale) {
            line.append("  ");
            line.append(tree.Caption(node));
        } else {
            line.append("  ");
            RecodeLenient(tree.Caption(node), text, locale, line);
        }
        line.push_back('\n');
        out.Written();
    }
}

} // namespace

void PrintResultTree(const ResultTree& tree, OutputFormat format, bool nullAfterPath,
                     OutputBuffer& out) {
    if (format == OutputFormat::Grep)
        PrintGrep(tree, nullAfterPath, out);
    else
        PrintTree(tree, nullAfterPath, out);
}

} // namespace kelvara
