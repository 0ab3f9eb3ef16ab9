#include "search/DryReplace.h"

#include <algorithm>
#include <thread>

#include "search/BatchFindParallel.h"
#include "search/RunTexts.h"

namespace kelvara {

DryReplaceResult RunDryReplace(std::string_view text, std::string_view replacement,
                               const std::vector<std::string>& paths, const MatchOptions& options,
                               const BatchHooks& hooks, FileChanges& changes, unsigned threads) {
    std::vector<const std::string*> listed;
    listed.reserve(paths.size());
    for (const std::string& path : paths)
        listed.push_back(&path);
    PathFeed feed(std::move(listed));
    return RunDryReplace(text, replacement, feed, options, hooks, changes, threads);
}

DryReplaceResult RunDryReplace(std::string_view text, std::string_view replacement, PathFeed& feed,
                               const MatchOptions& options, const BatchHooks& hooks,
                               FileChanges& changes, unsigned threads) {
    DryReplaceResult result;
    const RunTexts texts(text, replacement, options);
    if (threads == 0) threads = std::max(std::thread::hardware_concurrency(), 1u);
    ParallelFind find(feed, texts, options, TextCodePage(), hooks, threads, &changes);
    for (;;) {
        if (hooks.yield) hooks.yield();
        const FileFindings* findings = find.Next();
        if (findings == nullptr) break;
        if (findings->error) {
            result.error = findings->error;
            return result;
        }
        const std::string& path = *findings->path;
        ++result.filesRead;
        if (hooks.observer != nullptr) hooks.observer->FileRead(result.filesRead, path);
        const PlannedChange& change = findings->change;
        for (const std::int32_t line : findings->cutLines)
            result.cutLines.push_back({path, line});
        if (findings->unreadable)
            result.encodingFiles.push_back({path, *findings->unreadable});
        else if (change.nul)
            result.nulFiles.push_back(path);
        else if (change.replacementProblem)
            result.encodingFiles.push_back({path, *change.replacementProblem});
        if (!change.Changes()) continue;
        ++result.filesChanged;
        result.hits += change.stretches.size();
        changes.Take(path, findings->described);
    }
    result.stopped = hooks.StopRequested();
    return result;
}

} // namespace kelvara
