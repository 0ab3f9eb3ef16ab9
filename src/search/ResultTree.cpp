#include "search/ResultTree.h"

#include <algorithm>
#include <new>

#include "search/HitCaption.h"

namespace kelvara {

namespace {

// Where the selected node is after `deleted` went; none when it went with it.
NodeRef SelectionAfterDelete(NodeRef selected, NodeRef deleted) {
    if (!selected.IsValid()) return selected;
    if (deleted.IsFileNode()) {
        if (selected.file == deleted.file) return {};
        if (selected.file > deleted.file) --selected.file;
        return selected;
    }
    if (selected.file != deleted.file || selected.IsFileNode()) return selected;
    if (selected.hit == deleted.hit) return {};
    if (selected.hit > deleted.hit) --selected.hit;
    return selected;
}

// Room for one more element, so that the push_back after a listener was told
// cannot throw.
template <typename Vector> void ReserveOneMore(Vector& vector) {
    if (vector.size() == vector.capacity())
        vector.reserve(std::max<std::size_t>(4, vector.size() * 2));
}

} // namespace

NodeRef ResultTree::AppendFileNode(std::string_view path, std::string_view searchText,
                                   CodePage codePage) {
    const NodeRef node{static_cast<std::uint32_t>(files_.size()), NodeRef::kNone};
    FileNode file;
    file.path = path;
    file.codePage = codePage;
    // The file nodes of one run share its search text in each code page.
    bool newSearch = false;
    file.searchText = SearchTextIndex(searchText, newSearch);
    try {
        ReserveOneMore(files_);
    } catch (const std::bad_alloc&) {
        if (newSearch) searchTexts_.pop_back();
        throw;
    }
    if (listener_) listener_->NodeAppending(node);
    files_.push_back(std::move(file));
    if (listener_) listener_->NodeAppended(node);
    SetSelected(node);
    return node;
}

std::uint32_t ResultTree::SearchTextIndex(std::string_view searchText, bool& added) {
    const auto known = std::find(searchTexts_.begin(), searchTexts_.end(), searchText);
    added = known == searchTexts_.end();
    if (!added) return static_cast<std::uint32_t>(known - searchTexts_.begin());
    ReserveOneMore(searchTexts_);
    searchTexts_.emplace_back(searchText);
    return static_cast<std::uint32_t>(searchTexts_.size() - 1);
}

NodeRef ResultTree::AppendFindHit(NodeRef fileNode, const RecordFields& record) {
    return AppendHit(fileNode, HitExtra{}, record);
}

NodeRef ResultTree::AppendChild(NodeRef fileNode, std::string_view caption,
                                const RecordFields& record) {
    return AppendReplaceHit(fileNode, AddLineTexts(caption, {}), caption.size(), 0, record);
}

ResultTree::LineTextsId ResultTree::AddLineTexts(std::string_view newLine,
                                                 std::string_view oldLine) {
    LineTexts texts;
    texts.bytes.reserve(newLine.size() + oldLine.size());
    texts.bytes.append(newLine).append(oldLine);
    texts.newSize = newLine.size();
    lineTexts_.push_back(std::move(texts));
    return static_cast<LineTextsId>(lineTexts_.size() - 1);
}

NodeRef ResultTree::AppendReplaceHit(NodeRef fileNode, LineTextsId texts, std::size_t newPrefix,
                                     std::size_t oldFrom, const RecordFields& record) {
    return AppendHit(fileNode, HitExtra{texts, kNoExtra, newPrefix, oldFrom}, record);
}

NodeRef ResultTree::AppendHit(NodeRef fileNode, const HitExtra& caption,
                              const RecordFields& record) {
    FileNode& file = files_[fileNode.file];
    const NodeRef node{fileNode.file, static_cast<std::uint32_t>(file.hits.size())};
    HitNode hit{record.Line, record.Column, kNoExtra};
    const bool ownPath = file.path != record.FileName;
    const bool ownSearch = searchTexts_[file.searchText] != record.SearchText;
    ReserveOneMore(file.hits);
    std::vector<bool>* unticked = file.detail ? &file.detail->unticked : nullptr;
    if (unticked && unticked->empty()) unticked = nullptr;
    if (unticked) unticked->reserve(file.hits.size() + 1);
    if (caption.texts != kNoExtra || ownPath || ownSearch) {
        HitExtra extra = caption;
        if (ownPath || ownSearch) {
            otherTexts_.push_back(
                {ownPath ? std::make_shared<const std::string>(record.FileName) : nullptr,
                 ownSearch ? std::make_shared<const std::string>(record.SearchText) : nullptr});
            extra.other = static_cast<std::uint32_t>(otherTexts_.size() - 1);
        }
        extras_.push_back(extra);
        hit.extra = static_cast<std::uint32_t>(extras_.size() - 1);
        if (caption.texts != kNoExtra) ++lineTexts_[caption.texts].users;
    }
    if (listener_) listener_->NodeAppending(node);
    file.hits.push_back(hit);
    if (unticked) unticked->push_back(false);
    ++hitCount_;
    if (listener_) listener_->NodeAppended(node);
    SetSelected(node);
    return node;
}

const ResultTree::HitExtra* ResultTree::Extra(const HitNode& hit) const {
    return hit.extra == kNoExtra ? nullptr : &extras_[hit.extra];
}

const ResultTree::OtherTexts* ResultTree::Other(NodeRef node) const {
    const HitExtra* extra = node.IsHitNode() ? Extra(Hit(node)) : nullptr;
    return extra && extra->other != kNoExtra ? &otherTexts_[extra->other] : nullptr;
}

const std::string& ResultTree::PathOf(NodeRef node) const {
    const OtherTexts* other = Other(node);
    return other && other->path ? *other->path : File(node).path;
}

const std::string& ResultTree::SearchText(NodeRef node) const {
    const OtherTexts* other = Other(node);
    return other && other->searchText ? *other->searchText : searchTexts_[File(node).searchText];
}

// The slot stays (later indexes keep their meaning) but its texts go.
void ResultTree::ReleaseExtra(const HitNode& hit) {
    if (hit.extra == kNoExtra) return;
    HitExtra& extra = extras_[hit.extra];
    if (extra.texts != kNoExtra && --lineTexts_[extra.texts].users == 0)
        lineTexts_[extra.texts] = LineTexts{};
    if (extra.other != kNoExtra) otherTexts_[extra.other] = OtherTexts{};
    extra = HitExtra{};
}

ResultTree::FileDetail& ResultTree::DetailOf(FileNode& file) {
    if (!file.detail) file.detail = std::make_unique<FileDetail>();
    return *file.detail;
}

void ResultTree::SetTicked(NodeRef node, bool ticked) {
    FileNode& file = files_[node.file];
    if (ticked && (!file.detail || file.detail->untickedCount == 0)) return;
    FileDetail& detail = DetailOf(file);
    if (node.IsFileNode()) {
        detail.untickedCount = ticked ? 0 : static_cast<std::uint32_t>(file.hits.size());
        if (ticked)
            std::vector<bool>().swap(detail.unticked);
        else
            detail.unticked.assign(file.hits.size(), true);
        return;
    }
    if (detail.unticked.empty()) detail.unticked.assign(file.hits.size(), false);
    if (detail.unticked[node.hit] == !ticked) return;
    detail.unticked[node.hit] = !ticked;
    if (ticked)
        --detail.untickedCount;
    else
        ++detail.untickedCount;
}

TickState ResultTree::Ticks(NodeRef node) const {
    const FileDetail* detail = File(node).detail.get();
    const std::uint32_t unticked = detail ? detail->untickedCount : 0;
    if (node.IsHitNode())
        return unticked > 0 && detail->unticked[node.hit] ? TickState::Unticked : TickState::Ticked;
    if (unticked == 0) return TickState::Ticked;
    return unticked == File(node).hits.size() ? TickState::Unticked : TickState::Partial;
}

void ResultTree::SetIdentity(NodeRef fileNode, const FileIdentity& identity) {
    DetailOf(files_[fileNode.file]).identity = identity;
}

const FileIdentity& ResultTree::Identity(NodeRef fileNode) const {
    static const FileIdentity kNone;
    const FileDetail* detail = File(fileNode).detail.get();
    return detail ? detail->identity : kNone;
}

void ResultTree::Select(NodeRef node) { SetSelected(node); }

void ResultTree::SetSelected(NodeRef node) {
    selected_ = node;
    if (listener_) listener_->SelectionChanged(node);
}

std::string ResultTree::Caption(NodeRef node) const {
    std::string caption;
    AppendCaption(node, caption);
    return caption;
}

void ResultTree::AppendCaption(NodeRef node, std::string& out) const {
    if (node.IsFileNode()) {
        out.append(File(node).path);
        return;
    }
    const HitNode& hit = Hit(node);
    const HitExtra* extra = Extra(hit);
    if (extra && extra->texts != kNoExtra) {
        const LineTexts& texts = lineTexts_[extra->texts];
        const std::string_view bytes(texts.bytes);
        out.append(bytes.substr(0, extra->newPrefix));
        out.append(bytes.substr(texts.newSize + extra->oldFrom));
        return;
    }
    AppendHitCaption(out, SearchText(node), hit.line, hit.column, File(node).codePage);
}

HitRecord ResultTree::Record(NodeRef node) const {
    return MakeHitRecord({PathOf(node), Line(node), Column(node), SearchText(node)});
}

std::int32_t ResultTree::Line(NodeRef node) const { return node.IsFileNode() ? 0 : Hit(node).line; }

std::int32_t ResultTree::Column(NodeRef node) const {
    return node.IsFileNode() ? 0 : Hit(node).column;
}

std::uint32_t ResultTree::ChildCount(NodeRef fileNode) const {
    return static_cast<std::uint32_t>(File(fileNode).hits.size());
}

NodeRef ResultTree::First() const {
    return files_.empty() ? NodeRef{} : NodeRef{0, NodeRef::kNone};
}

NodeRef ResultTree::Next(NodeRef node) const {
    const std::uint32_t nextHit = node.IsFileNode() ? 0 : node.hit + 1;
    if (nextHit < File(node).hits.size()) return {node.file, nextHit};
    if (node.file + 1 < files_.size()) return {node.file + 1, NodeRef::kNone};
    return {};
}

void ResultTree::Delete(NodeRef node) {
    if (listener_) listener_->NodeRemoving(node);
    auto& hits = files_[node.file].hits;
    if (node.IsFileNode()) {
        for (const HitNode& hit : hits)
            ReleaseExtra(hit);
        hitCount_ -= hits.size();
        files_.erase(files_.begin() + node.file);
    } else {
        ReleaseExtra(hits[node.hit]);
        hits.erase(hits.begin() + node.hit);
        --hitCount_;
        FileDetail* detail = files_[node.file].detail.get();
        if (detail && !detail->unticked.empty()) {
            detail->untickedCount -= detail->unticked[node.hit];
            detail->unticked.erase(detail->unticked.begin() + node.hit);
        }
    }
    if (listener_) listener_->NodeRemoved(node);
    selected_ = SelectionAfterDelete(selected_, node);
}

void ResultTree::DeleteChildren(NodeRef fileNode) {
    auto& hits = files_[fileNode.file].hits;
    if (hits.empty()) return;
    if (listener_) listener_->TreeResetting();
    for (const HitNode& hit : hits)
        ReleaseExtra(hit);
    hitCount_ -= hits.size();
    std::vector<HitNode>().swap(hits); // frees without allocating, also when memory ran out
    if (FileDetail* detail = files_[fileNode.file].detail.get()) {
        std::vector<bool>().swap(detail->unticked);
        detail->untickedCount = 0;
    }
    if (selected_.file == fileNode.file && selected_.IsHitNode()) selected_ = fileNode;
    if (listener_) listener_->TreeReset();
}

void ResultTree::ReserveHits(NodeRef fileNode, std::size_t count) {
    FileNode& file = files_[fileNode.file];
    file.hits.reserve(file.hits.size() + count);
    if (file.detail && !file.detail->unticked.empty())
        file.detail->unticked.reserve(file.hits.size() + count);
}

std::size_t ResultTree::PruneChildlessFileNodes() {
    if (listener_) listener_->TreeResetting();
    std::uint32_t kept = 0;
    NodeRef selected = selected_;
    for (std::uint32_t i = 0; i < files_.size(); ++i) {
        if (files_[i].hits.empty()) {
            if (selected.file == i) selected = {};
            continue;
        }
        if (selected.file == i) selected.file = kept;
        if (kept != i) files_[kept] = std::move(files_[i]);
        ++kept;
    }
    const std::size_t removed = files_.size() - kept;
    files_.resize(kept);
    // A run's files without hits may have been most of them.
    if (kept < files_.capacity() / 2) files_.shrink_to_fit();
    selected_ = selected;
    if (listener_) listener_->TreeReset();
    return removed;
}

void ResultTree::InsertChildlessFileNodes(const std::vector<ChildlessFileNode>& nodes,
                                          std::string_view searchText, CodePage codePage) {
    if (nodes.empty()) return;
    std::vector<FileNode> merged;
    merged.reserve(files_.size() + nodes.size());
    bool added = false;
    const std::uint32_t search = SearchTextIndex(searchText, added);
    NodeRef selected = selected_;
    std::uint32_t old = 0;
    const auto takeOld = [&](std::uint32_t until) {
        for (; old < until && old < files_.size(); ++old) {
            if (selected_.file == old) selected.file = static_cast<std::uint32_t>(merged.size());
            merged.push_back(std::move(files_[old]));
        }
    };
    for (const ChildlessFileNode& node : nodes) {
        takeOld(node.place);
        FileNode file;
        file.path = node.path;
        file.codePage = codePage;
        file.searchText = search;
        merged.push_back(std::move(file));
    }
    takeOld(static_cast<std::uint32_t>(files_.size()));
    if (listener_) listener_->TreeResetting();
    files_ = std::move(merged);
    selected_ = selected;
    if (listener_) listener_->TreeReset();
}

void ResultTree::Clear() {
    if (listener_) listener_->TreeResetting();
    files_.clear();
    files_.shrink_to_fit();
    searchTexts_.clear();
    searchTexts_.shrink_to_fit();
    extras_.clear();
    extras_.shrink_to_fit();
    otherTexts_.clear();
    otherTexts_.shrink_to_fit();
    lineTexts_.clear();
    lineTexts_.shrink_to_fit();
    hitCount_ = 0;
    selected_ = {};
    if (listener_) listener_->TreeReset();
}

} // namespace kelvara
