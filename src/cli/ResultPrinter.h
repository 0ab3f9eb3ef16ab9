#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/OutputBuffer.h"
#include "common/FileError.h"
#include "search/HitExport.h"
#include "search/ResultTree.h"

namespace kelvara {

class JsonPrinter;

// Writes the result tree, one node a line. Tree format: a file node's path
// alone, a hit node's caption after two blanks, converted from the code page
// of its file's text to the locale's encoding. Grep format: "path:line:column" per hit node.
// Paths are written as the file system gives them, quoted when they hold a
// control byte (AppendQuotedPath); with `nullAfterPath` every path is written
// raw and followed by a NUL byte instead of its line break or colon. With
// `color`, quoted paths, line numbers and a find's hit texts get ripgrep's
// colours.
void PrintResultTree(const ResultTree& tree, OutputFormat format, bool nullAfterPath, bool color,
                     OutputBuffer& out);

// Prints a find's results as the run goes, as PrintResultTree would print the
// tree at its end: a find appends its nodes in order and deletes only file
// nodes without hits (when it prunes), so a file's hits are final once the
// next file node comes. Files without hits are left out. Listens to the
// tree from the start of the run; Finish prints what is left.
//
// The JSON format, and the grep format with lines around the hits, show the
// hit lines' texts: each file with hits is read again once its hits are
// final. A file that cannot be read again still has its hits printed (with
// empty texts); Unread() names it.
class ResultStreamer : public ResultTreeListener {
public:
    // `settings` say how many lines to show around hits and how long a hit is.
    ResultStreamer(const ResultTree& tree, const CommandLine& line, ExportSettings settings,
                   OutputBuffer& out);
    ~ResultStreamer() override;
    void Finish() { PrintUpTo(tree_.FileNodeCount()); }
    // The JSON format's closing line.
    void Summary(std::size_t filesSearched, double seconds);
    const std::vector<FileError>& Unread() const noexcept { return unread_; }

    void NodeAppending(NodeRef) override {}
    void NodeAppended(NodeRef node) override {
        if (node.IsFileNode()) PrintUpTo(node.file);
    }
    void NodeRemoving(NodeRef) override {}
    void NodeRemoved(NodeRef) override {}
    void TreeResetting() override { Finish(); }
    void TreeReset() override { printed_ = tree_.FileNodeCount(); }
    void SelectionChanged(NodeRef) override {}

private:
    void PrintUpTo(std::uint32_t end);

    const ResultTree& tree_;
    const OutputFormat format_;
    const bool nullAfterPath_;
    const bool color_; // the line's choice, resolved to Always or Never
    OutputBuffer& out_;
    std::uint32_t printed_ = 0; // file nodes printed or passed over
    // The printer of the texts, when the format shows them.
    std::unique_ptr<HitPrinter> printer_;
    JsonPrinter* json_ = nullptr; // printer_, when it prints JSON
    std::unique_ptr<HitExporter> exporter_;
    std::vector<FileError> unread_;
};

} // namespace kelvara
