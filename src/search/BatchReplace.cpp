#include "search/BatchReplace.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <set>
#include <stdexcept>
#include <utility>

#include <sys/stat.h>

#include "common/AppPaths.h"
#include "common/CodePageConversion.h"
#include "common/FileAccess.h"
#include "common/FileRewrite.h"
#include "common/LineFile.h"
#include "common/MessageCatalogue.h"
#include "search/BatchFindFile.h"
#include "search/BatchNotice.h"
#include "search/BatchSettings.h"
#include "search/Journal.h"
#include "search/LineCursor.h"
#include "search/LineMatcher.h"
#include "search/Matcher.h"
#include "search/RewriteBatch.h"
#include "search/SubstringFinder.h"

namespace kelvara {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// A text of the run as the journal keeps it.
std::string Utf8Of(std::string_view text) {
    std::string utf8;
    RecodeLenient(text, TextCodePage(), CodePage::Utf8, utf8);
    return utf8;
}

// The files a run has rewritten or is about to, by device and inode: a file
// reached again through a link or another spelling of its path is not
// replaced twice (a replacement that holds the search text would grow at
// every visit).
class RewrittenFiles {
public:
    void Add(const FileIdentity& identity) { ids_.emplace(identity.device, identity.inode); }
    void Add(const std::string& path) {
        struct stat info {};
        if (StatPath(path, info)) Add(IdentityOf(info));
    }
    bool Contains(const FileIdentity& identity) const {
        return ids_.contains({identity.device, identity.inode});
    }

private:
    std::set<std::pair<std::uint64_t, std::uint64_t>> ids_;
};

// One text the candidate search looks for, with what it has learnt of the
// file so far: where the next occurrence is, or up to where there is none.
struct Occurrences {
    Occurrences(std::string_view text, bool ignoreCase)
        : finder(text, ignoreCase), size(text.size()) {}

    // Forgets what it learnt of the file before.
    void Reset() {
        next = kNone;
        clearTo = 0;
    }
    // The first occurrence at or after `from` that starts before `limit`.
    std::size_t Find(std::string_view bytes, std::size_t from, std::size_t limit) {
        if (size == 0) return kNone;
        if (next != kNone && next >= from) return next < limit ? next : kNone;
        const std::size_t start = std::max(from, clearTo);
        if (start >= limit) return kNone;
        next = finder.Find(bytes.substr(0, std::min(bytes.size(), limit + size - 1)), start);
        if (next == kNone) clearTo = limit;
        return next;
    }

    SubstringFinder finder;
    std::size_t size;
    std::size_t next = kNone;
    std::size_t clearTo = 0;
};

// The lines of a file that the replace step can change or list: those holding
// the search text (letter case folded unless it counts) and, without whole
// words, those holding the replacement text, which get a node even when
// nothing in them is replaced. Every other line is passed over unread. One
// object serves the whole run, reset for each file.
class ReplaceCandidates {
public:
    ReplaceCandidates(std::string_view searchText, std::string_view replacement,
                      const MatchOptions& options)
        : search_(searchText, !options.CaseSensitive),
          replacement_(options.WholeWord ? std::string_view() : replacement, false) {}

    void Reset() {
        search_.Reset();
        replacement_.Reset();
    }

    // Where the next candidate occurrence starts, at or after `from`; kNone at
    // the end of the bytes or when a stop was requested.
    std::size_t Next(std::string_view bytes, std::size_t from, const BatchHooks& hooks) {
        while (from < bytes.size()) {
            const std::size_t limit = std::min(bytes.size(), from + kYieldStretch);
            const std::size_t found =
                std::min(search_.Find(bytes, from, limit), replacement_.Find(bytes, from, limit));
            if (found != kNone || limit == bytes.size()) return found;
            from = limit;
            if (hooks.yield) hooks.yield();
            if (hooks.StopRequested()) break;
        }
        return kNone;
    }

private:
    Occurrences search_;
    Occurrences replacement_;
};

// What the run keeps from file to file.
struct ReplaceContext {
    std::string_view replacement;
    LineMatcher& matcher;
    ReplaceCandidates& candidates;
    ResultTree& tree;
    const BatchHooks& hooks;
    RewriteBatch& batch;
    std::string bytes; // the file read
    FileIdentity identity;
    std::string newLine;
};

// Runs the replace step over the candidate lines of one file and streams the
// new content into a rewrite that begins at the first replacement: the
// stretches between changed lines straight from the bytes read, every line
// keeping its own break. A stop keeps the rest of the file as it was. Sets
// `changed` when the file was rewritten.
FileStatus ReplaceInFile(const std::string& path, NodeRef fileNode, ReplaceContext& context,
                         bool& changed) {
    const std::string_view bytes(context.bytes);
    ReplaceCandidates& candidates = context.candidates;
    candidates.Reset();
    LineCursor cursor(bytes);
    std::size_t copied = 0;
    changed = false;
    FileRewrite& rewrite = context.batch.Next();
    for (std::size_t from = 0;;) {
        const std::size_t at = candidates.Next(bytes, from, context.hooks);
        if (at == kNone || context.hooks.StopRequested()) break;
        if (context.hooks.yield) context.hooks.yield();
        cursor.MoveTo(at);
        const std::string_view line = cursor.Line();
        if (context.matcher.ReplaceLine(line, context.replacement, cursor.Number(), path,
                                        context.tree, fileNode, context.newLine)) {
            if (!changed) {
                if (FileStatus error = rewrite.Begin(path, context.identity)) return error;
                changed = true;
            }
            const std::size_t start = cursor.Start();
            if (FileStatus error = rewrite.Append(bytes.substr(copied, start - copied)))
                return error;
            if (FileStatus error = rewrite.Append(context.newLine)) return error;
            copied = start + line.size();
        }
        if (!cursor.NextLine()) break;
        from = cursor.Start();
    }
    if (!changed) return std::nullopt;
    if (FileStatus error = rewrite.Append(bytes.substr(copied))) return error;
    return context.batch.Add(path, context.identity, bytes, fileNode.file);
}

// Replaces in one file read; the rewrite joins the batch. A file that is not
// written keeps no hit nodes: the tree lists only what was written.
FileStatus ProcessFile(const std::string& path, NodeRef fileNode, ReplaceContext& context,
                       BatchResult& result, RewrittenFiles& rewritten) {
    bool changed = false;
    FileStatus status;
    bool outOfMemory = false;
    try {
        status = ReplaceInFile(path, fileNode, context, changed);
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    } catch (const std::length_error&) {
        outOfMemory = true;
    }
    if (!status && !outOfMemory) {
        if (changed) rewritten.Add(context.identity);
        return std::nullopt;
    }
    // Only an error of this file's rewrite can say that the file changed.
    FileRewrite& rewrite = context.batch.Next();
    const bool changedMeanwhile = !outOfMemory && rewrite.ChangedMeanwhile();
    rewrite.Abandon();
    context.tree.DeleteChildren(fileNode);
    if (changedMeanwhile) {
        result.changedFiles.push_back(path);
        return std::nullopt;
    }
    if (outOfMemory) {
        std::string().swap(context.bytes); // room for the message
        return OutOfMemory(path);
    }
    return status;
}

// Commits the files of the batch. Returns the error that ends the run.
FileStatus CommitBatch(ReplaceContext& context, BatchResult& result, RewrittenFiles& rewritten) {
    FileStatus failed;
    for (RewriteBatch::Outcome& outcome : context.batch.Commit()) {
        if (!outcome.error) {
            rewritten.Add(outcome.path);
            ++result.filesWritten;
            continue;
        }
        context.tree.DeleteChildren({outcome.tag, NodeRef::kNone});
        if (outcome.changedMeanwhile)
            result.changedFiles.push_back(std::move(outcome.path));
        else if (!failed)
            failed = std::move(outcome.error);
    }
    return failed;
}

} // namespace

BatchResult RunBatchReplace(std::string_view text, std::string_view replacement,
                            std::vector<std::string>& findHistory,
                            std::vector<std::string>& replaceHistory, const FileSet& files,
                            const MatchOptions& options, ResultTree& tree,
                            const BatchHooks& hooks) {
    BatchResult result;
    if (!ConfirmReplace()) return result;
    if (hooks.stopRequested != nullptr) hooks.stopRequested->store(false);
    if (text.empty()) return result;
    AddToHistory(findHistory, text);
    result.searchText = PrepareSearchText(text, options);
    if (files.Empty() || replacement.empty()) return result;
    AddToHistory(replaceHistory, replacement);

    const std::vector<std::string> paths = files.TickedPaths();
    tree.Clear();
    JournalWriter journal;
    if (FileStatus error =
            journal.Start(JournalSettingsOf(TIniFile(IniFileName())),
                          {std::string(Translate("kelvara::BatchNotice", "批量替换")), Utf8Of(text),
                           Utf8Of(replacement)}))
        return FailRun(hooks.observer, std::move(result), *error);
    LineMatcher matcher(result.searchText, options);
    ReplaceCandidates candidates(matcher.SearchText(), replacement, options);
    RewriteBatch batch(journal);
    ReplaceContext context{replacement, matcher, candidates, tree, hooks, batch, {}, {}, {}};
    RewrittenFiles rewritten;
    // Files already in place stay so when the run ends on an error.
    const auto fail = [&](const FileError& error) {
        if (FileStatus batchError = CommitBatch(context, result, rewritten))
            return FailRun(hooks.observer, std::move(result), *batchError);
        return FailRun(hooks.observer, std::move(result), error);
    };
    for (const std::string& path : paths) {
        // Also between files: files with NUL bytes or without lines have no
        // line to yield at.
        if (hooks.yield) hooks.yield();
        if (hooks.StopRequested()) break;
        if (FileStatus status = ReadFileBytes(path, context.bytes, &context.identity))
            return fail(*status);
        ++result.filesRead;
        if (hooks.observer != nullptr) hooks.observer->FileRead(result.filesRead, path);
        const NodeRef fileNode = tree.AppendFileNode(path, result.searchText);
        if (rewritten.Contains(context.identity)) continue;
        if (std::memchr(context.bytes.data(), '\0', context.bytes.size()) != nullptr) {
            result.nulFiles.push_back(path);
            continue;
        }
        if (FileStatus status = ProcessFile(path, fileNode, context, result, rewritten))
            return fail(*status);
        if (batch.Full()) {
            if (FileStatus status = CommitBatch(context, result, rewritten))
                return FailRun(hooks.observer, std::move(result), *status);
        }
    }
    if (FileStatus status = CommitBatch(context, result, rewritten))
        return FailRun(hooks.observer, std::move(result), *status);
    journal.Finish();
    result.journalRun = journal.RunId();
    result.stopped = hooks.StopRequested();
    result.outcome = BatchOutcome::Finished;
    ShowDoneNotice(hooks.observer, Translate("kelvara::BatchNotice", "替换完毕"), result.nulFiles,
                   result.changedFiles);
    return result;
}

} // namespace kelvara
