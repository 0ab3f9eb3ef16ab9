#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/FileIdentity.h"
#include "search/BatchRun.h"
#include "search/MatchOptions.h"
#include "search/Stretch.h"

namespace kelvara {

// Takes what a replace would change in each file.
class FileChanges {
public:
    virtual ~FileChanges() = default;
    // `text` would get each of `stretches` replaced by `replacement`.
    virtual void Changes(const std::string& path, const FileIdentity& identity,
                         std::string_view text, std::span<const Stretch> stretches,
                         std::string_view replacement) = 0;
};

struct DryReplaceResult {
    int filesRead = 0;
    int filesChanged = 0;
    std::size_t hits = 0; // the stretches that would be replaced
    bool stopped = false;
    std::vector<std::string> nulFiles; // would not be rewritten
    FileStatus error;                  // the file that ended the run, and why
};

// What a replace of `searchText` (prepared) by `replacement` would do to each
// of `paths`, in order, without writing anything: the stretches it would
// replace are handed to `changes` for each file that would change. A file
// holding a NUL byte would not be rewritten and is listed; one that cannot be
// read ends the run, as it ends a replace.
DryReplaceResult RunDryReplace(std::string_view searchText, std::string_view replacement,
                               const std::vector<std::string>& paths, const MatchOptions& options,
                               const BatchHooks& hooks, FileChanges& changes);

} // namespace kelvara
