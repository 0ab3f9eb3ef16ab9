#include "search/ChosenReplace.h"

#include <cstring>

#include "common/AppPaths.h"
#include "common/CodePageConversion.h"
#include "common/LineFile.h"
#include "common/MessageCatalogue.h"
#include "search/BatchNotice.h"
#include "search/Journal.h"
#include "search/LineCursor.h"
#include "search/LineMatcher.h"
#include "search/RewriteBatch.h"

namespace kelvara {

namespace {

std::string Utf8Of(std::string_view text) {
    std::string utf8;
    RecodeLenient(text, TextCodePage(), CodePage::Utf8, utf8);
    return utf8;
}

// A node per changed line under `fileNode`, captioned with its new text.
void ListChangedLines(std::string_view text, const std::vector<Stretch>& stretches,
                      std::string_view replacement, const std::string& path,
                      std::string_view searchText, ResultTree& tree, NodeRef fileNode) {
    LineCursor cursor(text);
    std::vector<Stretch> inLine;
    std::string newLine;
    for (std::size_t i = 0; i < stretches.size();) {
        cursor.MoveTo(stretches[i].start);
        const std::string_view line = cursor.Line();
        const std::size_t start = cursor.Start();
        inLine.clear();
        for (; i < stretches.size() && stretches[i].start < start + line.size(); ++i)
            inLine.push_back({stretches[i].start - start, stretches[i].length});
        newLine.clear();
        AppendReplaced(line, inLine, replacement, newLine);
        tree.AppendChild(fileNode, newLine, {path, cursor.Number(), 0, searchText});
    }
}

class ChosenRun {
public:
    ChosenRun(std::string_view searchText, std::string_view replacement,
              const MatchOptions& options, ResultTree& tree, BatchResult& result)
        : searchText_(searchText), replacement_(replacement), matcher_(searchText, options),
          tree_(tree), result_(result), batch_(journal_) {}

    FileStatus Start() {
        return journal_.Start(JournalSettingsOf(TIniFile(IniFileName())),
                              {std::string(Translate("kelvara::BatchNotice", "替换所选")),
                               Utf8Of(searchText_), Utf8Of(replacement_)});
    }

    // Reads, checks and rewrites one file; an error ends the run.
    FileStatus Replace(const FilePlan& file) {
        FileIdentity identity;
        if (FileStatus error = ReadFileBytes(file.path, bytes_, &identity)) return error;
        ++result_.filesRead;
        if (identity != file.identity ||
            !ChosenStretches(bytes_, file.hits, matcher_, stretches_)) {
            result_.changedFiles.push_back(file.path);
            return std::nullopt;
        }
        if (std::memchr(bytes_.data(), '\0', bytes_.size()) != nullptr) {
            result_.nulFiles.push_back(file.path);
            return std::nullopt;
        }
        const NodeRef fileNode = tree_.AppendFileNode(file.path, searchText_);
        ListChangedLines(bytes_, stretches_, replacement_, file.path, searchText_, tree_, fileNode);
        FileRewrite& rewrite = batch_.Next();
        FileStatus status = rewrite.Begin(file.path, identity);
        if (!status) {
            status = WriteReplaced(bytes_, stretches_, replacement_,
                                   [&](std::string_view piece) { return rewrite.Append(piece); });
        }
        if (!status) status = batch_.Add(file.path, identity, bytes_, fileNode.file);
        if (!status) return std::nullopt;
        const bool changed = rewrite.ChangedMeanwhile();
        rewrite.Abandon();
        tree_.Delete(fileNode);
        if (!changed) return status;
        result_.changedFiles.push_back(file.path);
        return std::nullopt;
    }

    // Puts the files of the batch in place; returns the error that ends the run.
    FileStatus Commit() {
        FileStatus failed;
        std::vector<std::uint32_t> dropped;
        for (RewriteBatch::Outcome& outcome : batch_.Commit()) {
            if (!outcome.error) {
                ++result_.filesWritten;
                continue;
            }
            dropped.push_back(outcome.tag);
            if (outcome.changedMeanwhile)
                result_.changedFiles.push_back(std::move(outcome.path));
            else if (!failed)
                failed = std::move(outcome.error);
        }
        // Nodes go last first, so that the positions of the others hold.
        for (auto tag = dropped.rbegin(); tag != dropped.rend(); ++tag)
            tree_.Delete({*tag, NodeRef::kNone});
        return failed;
    }

    bool BatchFull() const { return batch_.Full(); }
    void Finish() {
        journal_.Finish();
        result_.journalRun = journal_.RunId();
    }

private:
    std::string_view searchText_;
    std::string_view replacement_;
    LineMatcher matcher_;
    ResultTree& tree_;
    BatchResult& result_;
    JournalWriter journal_;
    RewriteBatch batch_;
    std::string bytes_;
    std::vector<Stretch> stretches_;
};

} // namespace

std::vector<FilePlan> PlanOfTicks(const ResultTree& tree) {
    std::vector<FilePlan> plan;
    for (std::uint32_t file = 0; file < tree.FileNodeCount(); ++file) {
        const NodeRef fileNode{file, NodeRef::kNone};
        if (tree.Ticks(fileNode) == TickState::Unticked) continue;
        FilePlan part{tree.Caption(fileNode), tree.Identity(fileNode), {}};
        for (std::uint32_t hit = 0; hit < tree.ChildCount(fileNode); ++hit) {
            const NodeRef hitNode{file, hit};
            if (tree.Ticks(hitNode) == TickState::Ticked)
                part.hits.push_back({tree.Line(hitNode), tree.Column(hitNode)});
        }
        if (!part.hits.empty()) plan.push_back(std::move(part));
    }
    return plan;
}

BatchResult RunChosenReplace(const std::vector<FilePlan>& plan, std::string_view searchText,
                             std::string_view replacement, const MatchOptions& options,
                             ResultTree& tree, const BatchHooks& hooks) {
    BatchResult result;
    if (!ConfirmReplace()) return result;
    if (hooks.stopRequested != nullptr) hooks.stopRequested->store(false);
    result.searchText = searchText;
    if (plan.empty() || searchText.empty() || replacement.empty()) return result;
    ChosenRun run(searchText, replacement, options, tree, result);
    // The plan is taken; the tree keeps the find until the journal is there.
    if (FileStatus error = run.Start()) return FailRun(hooks.observer, std::move(result), *error);
    tree.Clear();
    for (const FilePlan& file : plan) {
        if (hooks.yield) hooks.yield();
        if (hooks.StopRequested()) break;
        if (hooks.observer != nullptr) hooks.observer->FileRead(result.filesRead + 1, file.path);
        FileStatus error = run.Replace(file);
        if (!error && run.BatchFull()) error = run.Commit();
        if (error) {
            if (FileStatus committed = run.Commit()) error = committed;
            return FailRun(hooks.observer, std::move(result), *error);
        }
    }
    if (FileStatus error = run.Commit()) return FailRun(hooks.observer, std::move(result), *error);
    run.Finish();
    result.stopped = hooks.StopRequested();
    result.outcome = BatchOutcome::Finished;
    ShowDoneNotice(hooks.observer, Translate("kelvara::BatchNotice", "替换完毕"), result.nulFiles,
                   result.changedFiles);
    return result;
}

} // namespace kelvara
