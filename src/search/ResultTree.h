#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/CodePage.h"
#include "common/FileIdentity.h"
#include "search/HitRecord.h"

namespace kelvara {

// A node of the result tree by position: the file node's index at the top
// level, and for a hit node its index among that file node's children.
// Positions shift when nodes before them are deleted.
struct NodeRef {
    static constexpr std::uint32_t kNone = UINT32_MAX;
    std::uint32_t file = kNone;
    std::uint32_t hit = kNone; // kNone on a file node

    bool IsValid() const { return file != kNone; }
    bool IsFileNode() const { return file != kNone && hit == kNone; }
    bool IsHitNode() const { return file != kNone && hit != kNone; }
    friend bool operator==(const NodeRef&, const NodeRef&) = default;
};

// Whether a node is ticked: a file node is partly ticked when some of its hits are.
enum class TickState : std::uint8_t { Unticked, Partial, Ticked };

// Told about every change, so that a view can follow the tree.
class ResultTreeListener {
public:
    virtual ~ResultTreeListener() = default;
    virtual void NodeAppending(NodeRef node) = 0; // `node` is where it will be
    virtual void NodeAppended(NodeRef node) = 0;
    virtual void NodeRemoving(NodeRef node) = 0;
    virtual void NodeRemoved(NodeRef node) = 0;
    virtual void TreeResetting() = 0; // many nodes go at once (clear, prune)
    virtual void TreeReset() = 0;
    virtual void SelectionChanged(NodeRef selected) = 0;
};

// The two-level result tree of a batch run: file nodes at the top level, hit
// nodes under them, in the order they were appended. Each node owns its
// record. Hits are stored compactly: the path and search text are kept once
// per file node (the search text once per run), a find hit's caption is
// rebuilt from its record instead of being stored, and the captions of a
// replaced line's hits are cut from the line's texts, kept once. An append
// that runs out of memory throws std::bad_alloc and leaves the tree (and its
// listener) as it was.
class ResultTree {
public:
    using LineTextsId = std::uint32_t;

    // Appends a file node at the end of the top level and selects it. Its
    // caption is the whole path; its record is (path, 0, 0, searchText). The
    // captions of its hits and their search text are in `codePage`, the code
    // page of the file's text.
    NodeRef AppendFileNode(std::string_view path, std::string_view searchText, CodePage codePage);
    // Appends a hit node under `fileNode` whose caption is the find caption
    // built from `record` (HitCaption), and selects it.
    NodeRef AppendFindHit(NodeRef fileNode, const RecordFields& record);
    // Appends a hit node under `fileNode` with its own caption, and selects it.
    NodeRef AppendChild(NodeRef fileNode, std::string_view caption, const RecordFields& record);
    // Keeps the texts that the captions of one replaced line are cut from: the
    // line after all its replacements and the line before them.
    LineTextsId AddLineTexts(std::string_view newLine, std::string_view oldLine);
    // Appends a hit node under `fileNode` whose caption is the first
    // `newPrefix` bytes of the new line of `texts` followed by its old line
    // from byte `oldFrom` on (the line as it was after this hit's
    // replacement), and selects it.
    NodeRef AppendReplaceHit(NodeRef fileNode, LineTextsId texts, std::size_t newPrefix,
                             std::size_t oldFrom, const RecordFields& record);

    // Every node is ticked when appended; "替换所选" replaces the ticked hits.
    // Ticking a file node ticks (or unticks) all its hits.
    void SetTicked(NodeRef node, bool ticked);
    TickState Ticks(NodeRef node) const;
    // The file as the find read it, which a replace of its hits checks first.
    void SetIdentity(NodeRef fileNode, const FileIdentity& identity);
    // A file node that was given none has the empty identity.
    const FileIdentity& Identity(NodeRef fileNode) const;

    void Select(NodeRef node);
    NodeRef Selected() const { return selected_; }

    // A hit node's caption is in the code page of its file node.
    std::string Caption(NodeRef node) const;
    // The caption appended to `out`.
    void AppendCaption(NodeRef node, std::string& out) const;
    // The node's record, texts cut to kMaxRecordText bytes.
    HitRecord Record(NodeRef node) const;
    // The code page of the texts of the node's file.
    CodePage CodePageOf(NodeRef node) const { return File(node).codePage; }
    // Gives a file node the code page its file turned out to be in. Only for
    // hits whose captions read the same in both code pages: the listener is
    // not told.
    void SetCodePage(NodeRef fileNode, CodePage codePage) {
        files_[fileNode.file].codePage = codePage;
    }
    // The node's search text, whole.
    const std::string& SearchText(NodeRef node) const;
    std::int32_t Line(NodeRef node) const;
    std::int32_t Column(NodeRef node) const;
    // The file node a hit node hangs under (a file node is its own).
    NodeRef FileNodeOf(NodeRef node) const { return {node.file, NodeRef::kNone}; }

    std::uint32_t FileNodeCount() const { return static_cast<std::uint32_t>(files_.size()); }
    std::uint32_t ChildCount(NodeRef fileNode) const;
    // All nodes, file nodes and hit nodes together.
    std::size_t NodeCount() const { return files_.size() + hitCount_; }

    // Display order: each file node followed by its hit nodes.
    NodeRef First() const;
    NodeRef Next(NodeRef node) const;

    // Deletes a node; a file node goes with its children.
    void Delete(NodeRef node);
    // Deletes every hit node of a file node, which stays.
    void DeleteChildren(NodeRef fileNode);
    // Room for this many file nodes, so that a run that knows its files does
    // not grow the tree by doubling it.
    void ReserveFileNodes(std::size_t count) { files_.reserve(count); }
    // Room for this many more hit nodes under `fileNode`: a run that knows a
    // file's hits leaves no grown and freed arrays behind it, which would
    // scatter holes through the heap that the next run cannot always use.
    void ReserveHits(NodeRef fileNode, std::size_t count);
    // Deletes every file node without children in one pass; returns how many.
    std::size_t PruneChildlessFileNodes();
    // A file node without children to put back where it was: `place` file
    // nodes of today's tree come before it.
    struct ChildlessFileNode {
        std::uint32_t place = 0;
        std::string_view path;
    };
    // Puts back file nodes deleted while later ones were appended, in one
    // pass, each with `searchText` in `codePage`; `nodes` is in order of
    // place (nodes of one place in their order). The selected node stays
    // selected.
    void InsertChildlessFileNodes(const std::vector<ChildlessFileNode>& nodes,
                                  std::string_view searchText, CodePage codePage);
    void Clear();

    // The listener is not owned; nullptr detaches it.
    void SetListener(ResultTreeListener* listener) { listener_ = listener; }

private:
    using SharedText = std::shared_ptr<const std::string>;
    static constexpr std::uint32_t kNoExtra = UINT32_MAX;
    // A find hit is just its position: path and search text are its file
    // node's, its caption is rebuilt.
    struct HitNode {
        std::int32_t line = 0;
        std::int32_t column = 0;
        std::uint32_t extra = kNoExtra; // index into extras_
    };
    // What a hit holds beyond that: a caption cut from line texts (replace
    // hits), or a path or search text other than its file node's (rare).
    struct HitExtra {
        LineTextsId texts = kNoExtra;
        std::uint32_t other = kNoExtra; // index into otherTexts_
        std::size_t newPrefix = 0;
        std::size_t oldFrom = 0;
    };
    // A path or search text other than the file node's (null when the same).
    struct OtherTexts {
        SharedText path;
        SharedText searchText;
    };
    // The new line followed by the old one; freed when no hit uses it.
    struct LineTexts {
        std::string bytes;
        std::size_t newSize = 0;
        std::uint32_t users = 0;
    };
    // What only file nodes with hits need, kept apart so that a run's many
    // files without hits cost little until pruning.
    struct FileDetail {
        // Empty while every hit is ticked, else one flag per hit.
        std::vector<bool> unticked;
        std::uint32_t untickedCount = 0;
        FileIdentity identity;
    };
    struct FileNode {
        std::string path;
        std::vector<HitNode> hits;
        std::unique_ptr<FileDetail> detail; // null until needed
        std::uint32_t searchText = 0;       // index into searchTexts_
        CodePage codePage = CodePage::Utf8;
    };

    NodeRef AppendHit(NodeRef fileNode, const HitExtra& caption, const RecordFields& record);
    // The index of `searchText` among the run's search texts; `added` says
    // that it was new and has been added.
    std::uint32_t SearchTextIndex(std::string_view searchText, bool& added);
    const FileNode& File(NodeRef node) const { return files_[node.file]; }
    const HitNode& Hit(NodeRef node) const { return files_[node.file].hits[node.hit]; }
    const HitExtra* Extra(const HitNode& hit) const;
    const OtherTexts* Other(NodeRef node) const;
    const std::string& PathOf(NodeRef node) const;
    void ReleaseExtra(const HitNode& hit);
    void SetSelected(NodeRef node);
    static FileDetail& DetailOf(FileNode& file);

    std::vector<FileNode> files_;
    // The search texts of the file nodes, each once (a run has one per code
    // page).
    std::vector<std::string> searchTexts_;
    std::vector<HitExtra> extras_;
    std::vector<OtherTexts> otherTexts_;
    std::vector<LineTexts> lineTexts_;
    std::size_t hitCount_ = 0;
    NodeRef selected_;
    ResultTreeListener* listener_ = nullptr;
};

} // namespace kelvara
