#pragma once

#include "cli/CommandLine.h"
#include "cli/OutputBuffer.h"
#include "search/ResultTree.h"

namespace kelvara {

// Writes the result tree, one node a line. Tree format: a file node's path
// alone, a hit node's caption after two blanks, converted from the text code
// page to the locale's encoding. Grep format: "path:line:column" per hit node.
// Paths are written as the file system gives them, quoted when they hold a
// control byte (AppendQuotedPath); with `nullAfterPath` every path is written
// raw and followed by a NUL byte instead of its line break or colon.
void PrintResultTree(const ResultTree& tree, OutputFormat format, bool nullAfterPath,
                     OutputBuffer& out);

// Prints a find's results as the run goes, as PrintResultTree would print the
// tree at its end: a find appends its nodes in order and deletes only file
// nodes without hits (when it prunes), so a file's hits are final once the
// next file node comes. Files without hits are left out. Listens to the
// tree from the start of the run; Finish prints what is left.
class ResultStreamer : public ResultTreeListener {
public:
    ResultStreamer(const ResultTree& tree, OutputFormat format, bool nullAfterPath,
                   OutputBuffer& out);
    void Finish() { PrintUpTo(tree_.FileNodeCount()); }

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
    OutputBuffer& out_;
    std::uint32_t printed_ = 0; // file nodes printed or passed over
};

} // namespace kelvara
