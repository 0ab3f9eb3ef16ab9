#include "search/ChosenReplace.h"

#include <cstring>
#include <set>
#include <utility>

#include "common/AppPaths.h"
#include "common/LineFile.h"
#include "common/MessageCatalogue.h"
#include "search/BatchNotice.h"
#include "search/EncodedRewrite.h"
#include "search/FileMatch.h"
#include "search/Journal.h"
#include "search/LineCursor.h"
#include "search/LineMatcher.h"
#include "search/RewriteBatch.h"
#include "search/RunTexts.h"

namespace kelvara {

namespace {

// Changed lines listed, and pieces of a file's new content written, between
// two calls of the yield hook: a file of millions of hits keeps the window
// live, and the clock is not read for every line or piece.
constexpr unsigned kLinesPerYield = 64;
constexpr unsigned kPiecesPerYield = 4096;

// A node per changed line under `fileNode`, captioned with its new text.
void ListChangedLines(std::string_view text, const std::vector<Stretch>& stretches,
                      std::string_view replacement, const std::string& path,
                      std::string_view searchText, ResultTree& tree, NodeRef fileNode,
                      const BatchHooks& hooks) {
    LineCursor cursor(text);
    std::vector<Stretch> inLine;
    std::string newLine;
    unsigned lines = 0;
    for (std::size_t i = 0; i < stretches.size();) {
        if (++lines % kLinesPerYield == 0 && hooks.yield) hooks.yield();
        cursor.MoveTo(stretches[i].start);
        const std::string_view line = cursor.Line();
        const std::size_t start = cursor.Start();
        inLine.clear();
        for (; i < stretches.size() && stretches[i].start < start + line.size(); ++i)
            inLine.push_back(stretches[i].MovedTo(stretches[i].start - start));
        newLine.clear();
        AppendReplaced(line, inLine, replacement, newLine);
        tree.AppendChild(fileNode, newLine, {path, cursor.Number(), 0, searchText});
    }
}

class ChosenRun {
public:
    ChosenRun(std::string_view text, std::string_view replacement, const MatchOptions& options,
              ResultTree& tree, BatchResult& result, const BatchHooks& hooks)
        : text_(text), replacement_(replacement), texts_(text, replacement, options),
          match_(texts_, options, TextCodePage()), tree_(tree), result_(result), hooks_(hooks),
          batch_(journal_) {}

    FileStatus Start() {
        return journal_.Start(JournalSettingsOf(TIniFile(IniFileName())),
                              {std::string(Translate("kelvara::BatchNotice", "替换所选")),
                               std::string(text_), std::string(replacement_)});
    }

    // Reads, checks and rewrites one file in its own encoding; an error ends
    // the run.
    FileStatus Replace(const FilePlan& file) {
        // The find met this file before by another name (a link): it is
        // replaced already, and not changed by another program.
        if (rewritten_.contains({file.identity.device, file.identity.inode})) return std::nullopt;
        FileIdentity identity;
        if (FileStatus error = ReadFileBytes(file.path, bytes_, &identity)) return error;
        ++result_.filesRead;
        if (identity != file.identity) {
            result_.changedFiles.push_back(file.path);
            return std::nullopt;
        }
        if (std::optional<std::string> unreadable = match_.Take(bytes_)) {
            result_.encodingFiles.push_back({file.path, std::move(*unreadable)});
            return std::nullopt;
        }
        const FileEncoding& encoding = match_.Encoding();
        const std::string_view text = match_.Text();
        LineMatcher* matcher = match_.Matcher();
        if (matcher == nullptr || !ChosenStretches(text, file.hits, *matcher, stretches_, hooks_)) {
            result_.changedFiles.push_back(file.path);
            return std::nullopt;
        }
        if (std::memchr(text.data(), '\0', text.size()) != nullptr) {
            result_.nulFiles.push_back(file.path);
            return std::nullopt;
        }
        if (std::optional<std::string> problem = match_.ReplacementProblem()) {
            result_.encodingFiles.push_back({file.path, std::move(*problem)});
            return std::nullopt;
        }
        const std::string& searchText = match_.Texts().searchText;
        const std::string_view replacement = match_.Texts().replacement;
        const NodeRef fileNode = tree_.AppendFileNode(file.path, searchText, match_.Page());
        ListChangedLines(text, stretches_, replacement, file.path, searchText, tree_, fileNode,
                         hooks_);
        FileRewrite& rewrite = batch_.Next();
        EncodedRewrite out(file.path, encoding, rewrite, encoded_);
        FileStatus status = out.Begin(identity);
        if (!status) {
            unsigned pieces = 0;
            status = WriteReplaced(text, stretches_, replacement, [&](std::string_view piece) {
                if (++pieces % kPiecesPerYield == 0 && hooks_.yield) hooks_.yield();
                return out.Append(piece);
            });
        }
        if (!status) status = batch_.Add(file.path, identity, bytes_, fileNode.file);
        if (!status) {
            rewritten_.emplace(identity.device, identity.inode);
            return std::nullopt;
        }
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
    const std::string& SearchText() const { return texts_.SearchText(); }
    const std::optional<PatternError>& RegexError() const { return texts_.RegexError(); }
    void Finish() {
        journal_.Finish();
        result_.journalRun = journal_.RunId();
    }

private:
    std::string_view text_;
    std::string_view replacement_;
    const RunTexts texts_;
    FileMatch match_; // a file of nothing but ASCII takes the default code page
    ResultTree& tree_;
    BatchResult& result_;
    const BatchHooks& hooks_;
    JournalWriter journal_;
    RewriteBatch batch_;
    std::string bytes_;
    // The files rewritten, by device and inode as the find met them.
    std::set<std::pair<std::uint64_t, std::uint64_t>> rewritten_;
    std::vector<Stretch> stretches_;
    std::string encoded_; // a piece of a UTF-16 file's new content
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

BatchResult RunChosenReplace(const std::vector<FilePlan>& plan, std::string_view text,
                             std::string_view replacement, const MatchOptions& options,
                             ResultTree& tree, const BatchHooks& hooks) {
    BatchResult result;
    if (!ConfirmReplace()) return result;
    if (hooks.stopRequested != nullptr) hooks.stopRequested->store(false);
    if (plan.empty() || text.empty() || replacement.empty()) return result;
    ChosenRun run(text, replacement, options, tree, result, hooks);
    result.searchText = run.SearchText();
    if (const std::optional<PatternError>& error = run.RegexError())
        return FailPattern(hooks.observer, std::move(result), *error);
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
                   result.changedFiles, result.encodingFiles, result.cutLines);
    return result;
}

} // namespace kelvara
