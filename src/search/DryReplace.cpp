#include "search/DryReplace.h"

#include <cstring>

#include "common/LineFile.h"
#include "search/LineMatcher.h"
#include "search/ReplacePlan.h"

namespace kelvara {

DryReplaceResult RunDryReplace(std::string_view searchText, std::string_view replacement,
                               const std::vector<std::string>& paths, const MatchOptions& options,
                               const BatchHooks& hooks, FileChanges& changes) {
    DryReplaceResult result;
    LineMatcher matcher(searchText, options);
    std::string bytes;
    FileIdentity identity;
    std::vector<Stretch> stretches;
    for (const std::string& path : paths) {
        if (hooks.yield) hooks.yield();
        if (hooks.StopRequested()) break;
        if (FileStatus error = ReadFileBytes(path, bytes, &identity)) {
            result.error = std::move(error);
            return result;
        }
        ++result.filesRead;
        if (hooks.observer != nullptr) hooks.observer->FileRead(result.filesRead, path);
        if (!AllStretches(bytes, matcher, hooks, stretches)) break;
        if (stretches.empty()) continue;
        if (std::memchr(bytes.data(), '\0', bytes.size()) != nullptr) {
            result.nulFiles.push_back(path);
            continue;
        }
        ++result.filesChanged;
        result.hits += stretches.size();
        changes.Changes(path, identity, bytes, stretches, replacement);
    }
    result.stopped = hooks.StopRequested();
    return result;
}

} // namespace kelvara
