#include "search/BatchReplace.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <set>
#include <stdexcept>
#include <utility>

#include <sys/stat.h>

#include "common/AppPaths.h"
#include "common/FileAccess.h"
#include "common/FileRewrite.h"
#include "common/LineFile.h"
#include "common/MessageCatalogue.h"
#include "search/BatchFindFile.h"
#include "search/BatchNotice.h"
#include "search/BatchSettings.h"
#include "search/EncodedRewrite.h"
#include "search/FileMatch.h"
#include "search/Journal.h"
#include "search/LineCursor.h"
#include "search/LineMatcher.h"
#include "search/RewriteBatch.h"
#include "search/RunTexts.h"
#include "search/SubstringFinder.h"

namespace kelvara {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

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
    Occurrences(std::string_view text, bool ignoreCase, CodePage codePage)
        : finder(text, ignoreCase, codePage), size(text.size()) {}

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

// The lines of a file that the replace step can change or list: those
// holding what every hit holds (the search text, letter case folded unless it
// counts, or the text every match of a regular expression holds) and, for a
// text without whole words, those holding the replacement text, which get a
// node even when nothing in them is replaced. Every other line is passed over
// unread; a regular expression that holds no text tries every line. One object
// per code page serves the whole run, reset for each file.
class ReplaceCandidates {
public:
    ReplaceCandidates(const LineMatcher& matcher, const CodePageTexts& texts,
                      const MatchOptions& options, CodePage codePage)
        : search_(matcher.CandidateText(), !options.CaseSensitive, codePage),
          replacement_(options.WholeWord || options.Regex ? std::string_view() : texts.replacement,
                       false, codePage),
          everyLine_(options.Regex && matcher.CandidateText().empty()) {}

    void Reset() {
        search_.Reset();
        replacement_.Reset();
    }

    // Where the next candidate occurrence starts, at or after `from`; kNone at
    // the end of the bytes or when a stop was requested.
    std::size_t Next(std::string_view bytes, std::size_t from, const BatchHooks& hooks) {
        if (everyLine_) return from < bytes.size() ? from : kNone;
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
    bool everyLine_;
};

// What the run keeps from file to file.
struct ReplaceContext {
    ReplaceContext(const RunTexts& texts, const MatchOptions& options, ResultTree& tree,
                   const BatchHooks& hooks, RewriteBatch& batch, std::vector<CutLine>& cutLines)
        : texts(texts), options(options), match(texts, options, TextCodePage()), tree(tree),
          hooks(hooks), batch(batch), cutLines(cutLines) {}

    ReplaceCandidates& CandidatesFor(const LineMatcher& matcher) {
        const CodePage codePage = matcher.Page();
        std::optional<ReplaceCandidates>& candidates =
            candidatesByPage[static_cast<std::size_t>(codePage)];
        if (!candidates) candidates.emplace(matcher, texts.In(codePage), options, codePage);
        return *candidates;
    }

    const RunTexts& texts;
    const MatchOptions& options;
    // The file read; a file of nothing but ASCII takes the default code page.
    FileMatch match;
    std::array<std::optional<ReplaceCandidates>, 2> candidatesByPage;
    ResultTree& tree;
    const BatchHooks& hooks;
    RewriteBatch& batch;
    std::vector<CutLine>& cutLines;
    std::string bytes; // the file read
    FileIdentity identity;
    std::string newLine;
    std::string encoded; // a piece of a UTF-16 file's new content
};

// Runs the replace step over the candidate lines of the file taken by the
// context's match and streams the new content into a rewrite that begins at
// the first replacement: the stretches between changed lines straight from
// the text read, every line keeping its own break. A stop keeps the rest of
// the file as it was. Sets `changed` when the file was rewritten.
FileStatus ReplaceInFile(const std::string& path, NodeRef fileNode, ReplaceContext& context,
                         bool& changed) {
    FileMatch& match = context.match;
    const std::string_view text = match.Text();
    LineMatcher& matcher = *match.Matcher();
    const std::string_view replacement = match.Texts().replacement;
    ReplaceCandidates& candidates = context.CandidatesFor(matcher);
    candidates.Reset();
    EncodedRewrite out(path, match.Encoding(), context.batch.Next(), context.encoded);
    LineCursor cursor(text);
    std::size_t copied = 0;
    changed = false;
    for (std::size_t from = 0;;) {
        const std::size_t at = candidates.Next(text, from, context.hooks);
        if (at == kNone || context.hooks.StopRequested()) break;
        if (context.hooks.yield) context.hooks.yield();
        cursor.MoveTo(at);
        const std::string_view line = cursor.Line();
        const bool replaced = matcher.ReplaceLine(line, replacement, cursor.Number(), path,
                                                  context.tree, fileNode, context.newLine);
        if (matcher.LineCutShort()) context.cutLines.push_back({path, cursor.Number()});
        if (replaced) {
            if (!changed) {
                if (FileStatus error = out.Begin(context.identity)) return error;
                changed = true;
            }
            const std::size_t start = cursor.Start();
            if (FileStatus error = out.Append(text.substr(copied, start - copied))) return error;
            if (FileStatus error = out.Append(context.newLine)) return error;
            copied = start + line.size();
        }
        if (!cursor.NextLine()) break;
        from = cursor.Start();
    }
    if (!changed) return std::nullopt;
    if (FileStatus error = out.Append(text.substr(copied))) return error;
    return context.batch.Add(path, context.identity, context.bytes, fileNode.file);
}

// Whether the replace step would change a line of the file taken by `match`.
bool WouldReplace(FileMatch& match, const BatchHooks& hooks) {
    class AnyHit : public CandidateLines {
    public:
        explicit AnyHit(LineMatcher& matcher) : matcher_(matcher) {}
        void Take(std::int32_t, std::string_view line) override {
            found = found || !matcher_.Scan(line).empty();
        }
        bool found = false;

    private:
        LineMatcher& matcher_;
    };
    LineMatcher& matcher = *match.Matcher();
    AnyHit hit(matcher);
    matcher.SearchFile(match.Text(), hooks, hit);
    return hit.found;
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
    const RunTexts texts(text, replacement, options);
    result.searchText = texts.SearchText();
    if (files.Empty() || replacement.empty()) return result;
    if (const std::optional<PatternError>& error = texts.RegexError())
        return FailPattern(hooks.observer, std::move(result), *error);
    AddToHistory(replaceHistory, replacement);

    const std::vector<const std::string*> paths = files.TickedPathsInPlace();
    tree.Clear();
    JournalWriter journal;
    if (FileStatus error =
            journal.Start(JournalSettingsOf(TIniFile(IniFileName())),
                          {std::string(Translate("kelvara::BatchNotice", "批量替换")),
                           std::string(text), std::string(replacement)}))
        return FailRun(hooks.observer, std::move(result), *error);
    RewriteBatch batch(journal);
    ReplaceContext context(texts, options, tree, hooks, batch, result.cutLines);
    FileMatch& match = context.match;
    RewrittenFiles rewritten;
    // Files already in place stay so when the run ends on an error.
    const auto fail = [&](const FileError& error) {
        if (FileStatus batchError = CommitBatch(context, result, rewritten))
            return FailRun(hooks.observer, std::move(result), *batchError);
        return FailRun(hooks.observer, std::move(result), error);
    };
    for (const std::string* listed : paths) {
        const std::string& path = *listed;
        // Also between files: files with NUL bytes or without lines have no
        // line to yield at.
        if (hooks.yield) hooks.yield();
        if (hooks.StopRequested()) break;
        if (FileStatus status = ReadFileBytes(path, context.bytes, &context.identity))
            return fail(*status);
        ++result.filesRead;
        if (hooks.observer != nullptr) hooks.observer->FileRead(result.filesRead, path);
        std::optional<std::string> unreadable = match.Take(context.bytes);
        // A file is written in its encoding, and its lines are shown in it.
        const FileEncoding& encoding = match.Encoding();
        const NodeRef fileNode = tree.AppendFileNode(path, match.Texts().searchText, match.Page());
        if (unreadable) {
            result.encodingFiles.push_back({path, std::move(*unreadable)});
            continue;
        }
        if (hooks.reportEncodings && hooks.observer != nullptr)
            hooks.observer->EncodingFound(path, encoding);
        if (rewritten.Contains(context.identity)) continue;
        if (std::memchr(match.Text().data(), '\0', match.Text().size()) != nullptr) {
            result.nulFiles.push_back(path);
            continue;
        }
        if (match.Matcher() == nullptr) continue; // no hits in this code page
        if (std::optional<std::string> problem = match.ReplacementProblem()) {
            if (WouldReplace(match, hooks)) result.encodingFiles.push_back({path, *problem});
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
                   result.changedFiles, result.encodingFiles, result.cutLines);
    return result;
}

} // namespace kelvara
