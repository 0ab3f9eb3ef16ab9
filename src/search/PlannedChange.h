#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/CodePage.h"
#include "common/FileIdentity.h"
#include "search/BatchRun.h"
#include "search/FileMatch.h"
#include "search/Stretch.h"
#include "search/TextDiff.h"

namespace kelvara {

// What a replace of every hit would change in one file, worked out on the
// thread that read and matched the file: a dry run goes through the find's
// threads and buffers.
struct PlannedChange {
    std::vector<Stretch> stretches;  // in `text`, in order, apart
    std::vector<NumberedLine> lines; // those that hold the stretches, in `text`
    // The file's bytes, byte-order mark included (a UTF-16 file: its UTF-8
    // decoding), while they are read; only of a file that would be rewritten.
    std::string_view text;
    bool nul = false; // the file holds a NUL byte and is not rewritten
    // Why the replacement cannot be written into the file (in UTF-8).
    std::optional<std::string> replacementProblem;

    // Ready for the next file.
    void Clear();
    // The file would be rewritten.
    bool Changes() const noexcept { return !stretches.empty() && !nul && !replacementProblem; }
};

// Plans the replace of every hit of the file that `match` took, read as
// `bytes`: the same stretches a replace writes, each line matched in the
// file's code page; the numbers of lines whose search a regular expression's
// match limit ended go to `cutLines`. False when a stop was requested.
bool PlanChange(FileMatch& match, std::string_view bytes, const BatchHooks& hooks,
                PlannedChange& change, std::vector<std::int32_t>& cutLines);

// A file that a replace would change, as the thread that matched it holds it.
struct ChangedFile {
    const std::string& path;
    const FileIdentity& identity; // as the file was read
    // The file's bytes, byte-order mark included, except for a UTF-16 file,
    // whose text is its UTF-8 decoding; in `codePage`, as is `replacement`.
    std::string_view text;
    std::span<const Stretch> stretches;  // each would be replaced by `replacement`
    std::span<const NumberedLine> lines; // those that hold the stretches, as the find numbered them
    std::string_view replacement;
    CodePage codePage;
};

// Takes what a replace would change in each file, in two steps. Describe
// runs on the thread that matched the file, while its bytes are at hand, so
// that the costly part of the output is made on every thread of the run; it
// runs on several threads at once and may change nothing but `out`. Take
// runs on the run's own thread, in the order of the paths, with what
// Describe wrote for the file.
class FileChanges {
public:
    virtual ~FileChanges() = default;
    virtual void Describe(const ChangedFile& file, std::string& out) const = 0;
    virtual void Take(const std::string& path, std::string_view described) = 0;
};

} // namespace kelvara
