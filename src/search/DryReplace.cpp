#include "search/DryReplace.h"

#include <cstring>

#include "common/LineFile.h"
#include "search/FileMatch.h"
#include "search/LineMatcher.h"
#include "search/ReplacePlan.h"
#include "search/RunTexts.h"

namespace kelvara {

namespace {

// The stretches moved behind the byte-order mark, so that the diff is one of
// the file's own bytes, which patch applies.
void BehindBom(std::size_t bom, std::vector<Stretch>& stretches) {
    for (Stretch& stretch : stretches)
        stretch.start += bom;
}

} // namespace

DryReplaceResult RunDryReplace(std::string_view text, std::string_view replacement,
                               const std::vector<std::string>& paths, const MatchOptions& options,
                               const BatchHooks& hooks, FileChanges& changes) {
    DryReplaceResult result;
    const RunTexts texts(text, replacement, options);
    FileMatch match(texts, options, TextCodePage());
    std::string bytes;
    FileIdentity identity;
    std::vector<Stretch> stretches;
    std::vector<std::int32_t> cutLines;
    for (const std::string& path : paths) {
        if (hooks.yield) hooks.yield();
        if (hooks.StopRequested()) break;
        if (FileStatus error = ReadFileBytes(path, bytes, &identity)) {
            result.error = std::move(error);
            return result;
        }
        ++result.filesRead;
        if (hooks.observer != nullptr) hooks.observer->FileRead(result.filesRead, path);
        if (std::optional<std::string> unreadable = match.Take(bytes)) {
            result.encodingFiles.push_back({path, std::move(*unreadable)});
            continue;
        }
        const FileEncoding& encoding = match.Encoding();
        LineMatcher* matcher = match.Matcher();
        if (matcher == nullptr) continue; // no hits in this code page
        const bool finished = AllStretches(match.Text(), *matcher, hooks, stretches, cutLines);
        for (const std::int32_t line : cutLines)
            result.cutLines.push_back({path, line});
        if (!finished) break;
        if (stretches.empty()) continue;
        if (std::memchr(match.Text().data(), '\0', match.Text().size()) != nullptr) {
            result.nulFiles.push_back(path);
            continue;
        }
        if (std::optional<std::string> problem = match.ReplacementProblem()) {
            result.encodingFiles.push_back({path, std::move(*problem)});
            continue;
        }
        ++result.filesChanged;
        result.hits += stretches.size();
        const bool utf16 = encoding.utf16 != Utf16Order::None;
        if (!utf16) BehindBom(BomBytes(encoding).size(), stretches);
        changes.Changes(path, identity, utf16 ? match.Text() : std::string_view(bytes), stretches,
                        match.Texts().replacement, match.Page());
    }
    result.stopped = hooks.StopRequested();
    return result;
}

} // namespace kelvara
