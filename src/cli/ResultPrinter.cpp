#include "cli/ResultPrinter.h"

#include <charconv>

#include "common/LocaleCodePage.h"

namespace kelvara {

namespace {

void AppendNumber(std::string& out, std::int32_t value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

void PrintGrep(const ResultTree& tree, OutputBuffer& out) {
    for (std::uint32_t file = 0; file < tree.FileNodeCount(); ++file) {
        const NodeRef fileNode{file, NodeRef::kNone};
        const std::string path = tree.Caption(fileNode);
        const std::uint32_t hits = tree.ChildCount(fileNode);
        for (std::uint32_t hit = 0; hit < hits; ++hit) {
            const NodeRef hitNode{file, hit};
            std::string& line = out.Pending();
            line.append(path);
            line.push_back(':');
            AppendNumber(line, tree.Line(hitNode));
            line.push_back(':');
            AppendNumber(line, tree.Column(hitNode));
            line.push_back('\n');
            out.Written();
        }
    }
}

void PrintTree(const ResultTree& tree, OutputBuffer& out) {
    const CodePage text = TextCodePage();
    const CodePage locale = LocaleCodePage();
    for (NodeRef node = tree.First(); node.IsValid(); node = tree.Next(node)) {
        std::string& line = out.Pending();
        if (node.IsFileNode()) {
            line.append(tree.Caption(node));
        } else if (text == locale) {
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

void PrintResultTree(const ResultTree& tree, OutputFormat format, OutputBuffer& out) {
    if (format == OutputFormat::Grep)
        PrintGrep(tree, out);
    else
        PrintTree(tree, out);
}

} // namespace kelvara
