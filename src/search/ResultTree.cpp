#include "search/ResultTree.h"

#include <algorithm>

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

using SharedText = std::shared_ptr<const std::string>;

// `known` when it holds `text`, else a new copy.
SharedText Share(const SharedText& known, std::string_view text) {
    if (known && *known == text) return known;
    return std::make_shared<const std::string>(text);
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
    // The file nodes of one run share its search text.
    SharedText sharedSearch =
        Share(files_.empty() ? nullptr : files_.back().searchText, searchText);
    FileNode file;
    file.path = std::make_shared<const std::string>(path);
    file.searchText = std::move(sharedSearch);
    file.codePage = codePage;
    ReserveOneMore(files_);
    if (listener_) listener_->NodeAppending(node);
    files_.push_back(std::move(file));
    if (listener_) listener_->NodeAppended(node);
    SetSelected(node);
    return node;
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
    const bool ownPath = *file.path != record.FileName;
    const bool ownSearch = *file.searchText != record.SearchText;
    ReserveOneMore(file.hits);
    if (!file.unticked.empty()) file.unticked.reserve(file.hits.size() + 1);
    if (caption.texts != kNoExtra || ownPath || ownSearch) {
        HitExtra extra = caption;
        if (ownPath || ownSearch) {
            otherTexts_.push_back(
                {ownPath ? std::make_shared<const std::string>(record.FileName) : nullptr,
                 ownSearch ? Share(file.searchText, record.SearchText) : nullptr});
            extra.other = static_cast<std::uint32_t>(otherTexts_.size() - 1);
        }
        extras_.push_back(extra);
        hit.extra = static_cast<std::uint32_t>(extras_.size() - 1);
        if (caption.texts != kNoExtra) ++lineTexts_[caption.texts].users;
    }
    if (listener_) listener_->NodeAppending(node);
    file.hits.push_back(hit);
    if (!file.unticked.empty()) file.unticked.push_back(false);
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
    return other && other->path ? *other->path : *File(node).path;
}

const std::string& ResultTree::SearchText(NodeRef node) const {
    const OtherTexts* other = Other(node);
    return other && other->searchText ? *other->searchText : *File(node).searchText;
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

void ResultTree::SetTicked(NodeRef node, bool ticked) {
    FileNode& file = files_[node.file];
    if (node.IsFileNode()) {
        file.untickedCount = ticked ? 0 : static_cast<std::uint32_t>(file.hits.size());
        if (ticked)
            std::vector<bool>().swap(file.unticked);
        else
            file.unticked.assign(file.hits.size(), true);
        return;
    }
    if (file.unticked.empty()) {
        if (ticked) return;
        file.unticked.assign(file.hits.size(), false);
    }
    if (file.unticked[node.hit] == !ticked) return;
    file.unticked[node.hit] = !ticked;
    if (ticked)
        --file.untickedCount;
    else
        ++file.untickedCount;
}

TickState ResultTree::Ticks(NodeRef node) const {
    const FileNode& file = File(node);
    if (node.IsHitNode())
        return !file.unticked.empty() && file.unticked[node.hit] ? TickState::Unticked
                                                                 : TickState::Ticked;
    if (file.untickedCount == 0) return TickState::Ticked;
    return file.untickedCount == file.hits.size() ? TickState::Unticked : TickState::Partial;
}

void ResultTree::SetIdentity(NodeRef fileNode, const FileIdentity& identity) {
    files_[fileNode.file].identity = identity;
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
        out.append(*File(node).path);
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
        FileNode& file = files_[node.file];
        if (!file.unticked.empty()) {
            file.untickedCount -= file.unticked[node.hit];
            file.unticked.erase(file.unticked.begin() + node.hit);
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
    std::vector<bool>().swap(files_[fileNode.file].unticked);
    files_[fileNode.file].untickedCount = 0;
    if (selected_.file == fileNode.file && selected_.IsHitNode()) selected_ = fileNode;
    if (listener_) listener_->TreeReset();
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
    selected_ = selected;
    if (listener_) listener_->TreeReset();
    return removed;
}

void ResultTree::Clear() {
    if (listener_) listener_->TreeResetting();
    files_.clear();
    files_.shrink_to_fit();
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
