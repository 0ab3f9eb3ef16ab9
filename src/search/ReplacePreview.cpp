#include "search/ReplacePreview.h"

#include "common/LineFile.h"
#include "common/MessageCatalogue.h"
#include "search/BatchNotice.h"
#include "search/ChosenReplace.h"
#include "search/FileMatch.h"
#include "search/LineCursor.h"
#include "search/LineMatcher.h"
#include "search/RunTexts.h"

namespace kelvara {

namespace {

constexpr std::size_t kContext = 2;

// Keeps the diff's lines.
class PreviewLines : public DiffSink {
public:
    explicit PreviewLines(std::vector<PreviewLine>& lines) : lines_(lines) {}
    void Hunk(std::size_t oldStart, std::size_t oldCount, std::size_t newStart,
              std::size_t newCount) override {
        std::string head;
        UnifiedDiffPrinter(head).Hunk(oldStart, oldCount, newStart, newCount);
        head.pop_back(); // its line break
        lines_.push_back({true, DiffLineKind::Context, std::move(head), {}});
    }
    void Line(DiffLineKind kind, std::string_view text, std::span<const Stretch> marks,
              bool) override {
        lines_.push_back({false, kind, std::string(text), {marks.begin(), marks.end()}});
    }

private:
    std::vector<PreviewLine>& lines_;
};

// The ticked hits of `fileNode`, or of the line of hit `only` alone.
std::vector<ChosenHit> TickedHits(const ResultTree& tree, NodeRef fileNode, NodeRef only) {
    std::vector<ChosenHit> hits;
    for (std::uint32_t hit = 0; hit < tree.ChildCount(fileNode); ++hit) {
        const NodeRef node{fileNode.file, hit};
        if (only.IsValid() && tree.Line(node) != tree.Line(only)) continue;
        if (tree.Ticks(node) == TickState::Ticked)
            hits.push_back({tree.Line(node), tree.Column(node)});
    }
    return hits;
}

// The line of `number` before and after its stretches are replaced, with up
// to kContext lines on either side as they are.
void ShowLine(std::string_view text, std::int32_t number, const std::vector<Stretch>& stretches,
              std::string_view replacement, Preview& preview) {
    LineCursor cursor(text);
    std::vector<std::string_view> before;
    while (cursor.Number() < number) {
        if (cursor.Number() >= number - static_cast<std::int32_t>(kContext))
            before.push_back(cursor.Line());
        if (!cursor.NextLine()) break;
    }
    for (const std::string_view line : before)
        preview.lines.push_back({false, DiffLineKind::Context, std::string(line), {}});
    const std::string_view line = cursor.Line();
    std::vector<Stretch> inLine;
    for (const Stretch& stretch : stretches)
        inLine.push_back(stretch.MovedTo(stretch.start - cursor.Start()));
    std::string after;
    AppendReplaced(line, inLine, replacement, after);
    preview.lines.push_back({false, DiffLineKind::Removed, std::string(line), inLine});
    preview.lines.push_back(
        {false, DiffLineKind::Added, std::move(after), NewStretches(inLine, replacement)});
    for (std::size_t shown = 0; shown < kContext && cursor.NextLine(); ++shown)
        preview.lines.push_back({false, DiffLineKind::Context, std::string(cursor.Line()), {}});
}

} // namespace

FileStatus ReplacePreviewer::Read(const ResultTree& tree, NodeRef fileNode) {
    const std::string path = tree.Caption(fileNode);
    if (path == path_ && identity_ == tree.Identity(fileNode)) return std::nullopt;
    path_.clear();
    if (FileStatus error = ReadFileBytes(path, bytes_, &identity_)) return error;
    path_ = path;
    return std::nullopt;
}

Preview ReplacePreviewer::Show(const ResultTree& tree, NodeRef node, std::string_view text,
                               std::string_view replacement, const MatchOptions& options) {
    Preview preview;
    if (!node.IsValid()) return preview;
    const NodeRef fileNode = tree.FileNodeOf(node);
    if (FileStatus error = Read(tree, fileNode)) {
        preview.note = error->Message();
        return preview;
    }
    if (identity_ != tree.Identity(fileNode)) {
        preview.note = Translate("kelvara::Preview", "文件在查找以后被改动过，替换时会跳过它");
        return preview;
    }
    // The file in its own encoding, as the replace will take it.
    const RunTexts texts(text, replacement, options);
    if (const std::optional<PatternError>& error = texts.RegexError()) {
        preview.note = PatternFaultText(*error);
        return preview;
    }
    FileMatch match(texts, options, TextCodePage());
    if (std::optional<std::string> unreadable = match.Take(bytes_)) {
        preview.note = std::move(*unreadable);
        return preview;
    }
    match.Encoding();
    preview.codePage = match.Page();
    std::vector<Stretch> stretches;
    const NodeRef only = node.IsHitNode() ? node : NodeRef{};
    LineMatcher* matcher = match.Matcher();
    if (matcher == nullptr ||
        !ChosenStretches(match.Text(), TickedHits(tree, fileNode, only), *matcher, stretches)) {
        preview.note = Translate("kelvara::Preview", "文件在查找以后被改动过，替换时会跳过它");
        return preview;
    }
    if (std::optional<std::string> problem = match.ReplacementProblem()) {
        preview.note = std::move(*problem);
        return preview;
    }
    const std::string_view encoded = match.Texts().replacement;
    if (node.IsHitNode()) {
        if (tree.Ticks(node) != TickState::Ticked)
            preview.note = Translate("kelvara::Preview", "这一处没有勾选，不会替换");
        ShowLine(match.Text(), tree.Line(node), stretches, encoded, preview);
        return preview;
    }
    if (stretches.empty()) preview.note = Translate("kelvara::Preview", "没有勾选的地方");
    PreviewLines lines(preview.lines);
    DiffReplaced(match.Text(), stretches, encoded, kContext, lines);
    return preview;
}

} // namespace kelvara
