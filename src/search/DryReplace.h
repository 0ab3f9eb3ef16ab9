#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/CodePage.h"
#include "common/FileIdentity.h"
#include "search/BatchRun.h"
#include "search/MatchOptions.h"
#include "search/Stretch.h"

namespace kelvara {

// Takes what a replace would change in each file.
class FileChanges {
public:
    virtual ~FileChanges() = default;
    // `text` would get each of `stretches` replaced by `replacement`; both
    // are in `codePage`. `text` is the file's bytes, byte-order mark
    // included, except for a UTF-16 file, whose text is its UTF-8 decoding.
    virtual void Changes(const std::string& path, const FileIdentity& identity,
                         std::string_view text, std::span<const Stretch> stretches,
                         std::string_view replacement, CodePage codePage) = 0;
};

struct DryReplaceResult {
    int filesRead = 0;
    int filesChanged = 0;
    std::size_t hits = 0; // the stretches that would be replaced
    bool stopped = false;
    std::vector<std::string> nulFiles; // would not be rewritten
    // Would not be searched or rewritten because of their encoding.
    std::vector<LeftFile> encodingFiles;
    std::vector<CutLine> cutLines; // a regular expression's match limit ended their search
    FileStatus error;              // the file that ended the run, and why
};

// What a replace of `text` by `replacement` (as typed, in UTF-8) would do to
// each of `paths`, in order, without writing anything: the stretches it would
// replace are handed to `changes` for each file that would change, in the
// file's own encoding. A file holding a NUL byte, or one whose encoding cannot
// take the replacement, would not be rewritten and is listed; one that cannot
// be read ends the run, as it ends a replace. The files are read and matched
// on `threads` threads as a find reads them (0: one per core); `changes` is
// called on the calling thread, in the order of the paths.
DryReplaceResult RunDryReplace(std::string_view text, std::string_view replacement,
                               const std::vector<std::string>& paths, const MatchOptions& options,
                               const BatchHooks& hooks, FileChanges& changes, unsigned threads = 1);

} // namespace kelvara
