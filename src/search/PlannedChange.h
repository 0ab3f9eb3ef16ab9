#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "search/BatchRun.h"
#include "search/FileBuffer.h"
#include "search/FileMatch.h"
#include "search/Stretch.h"

namespace kelvara {

// What a replace of every hit would change in one file, worked out on the
// thread that read and matched the file: a dry run goes through the find's
// threads and buffers, and keeps a text only of the files that would change.
struct PlannedChange {
    std::vector<Stretch> stretches; // in `text`, in order, apart
    // The file's bytes, byte-order mark included (a UTF-16 file: its UTF-8
    // decoding); only of a file that would be rewritten.
    std::string_view text;
    bool nul = false; // the file holds a NUL byte and is not rewritten
    // Why the replacement cannot be written into the file (in UTF-8).
    std::optional<std::string> replacementProblem;
    // Where `text` lies: the bytes read, taken over from the reading buffer,
    // or the decoding of a UTF-16 file.
    FileBuffer bytes;
    std::string decoded;

    // Ready for the next file; a large decoding gives its memory back.
    void Clear();
    // The file would be rewritten.
    bool Changes() const noexcept { return !stretches.empty() && !nul && !replacementProblem; }
};

// Plans the replace of every hit of the file that `match` took, read into
// `buffer`: the same stretches a replace writes, each line matched in the
// file's code page; the numbers of lines whose search a regular expression's
// match limit ended go to `cutLines`. The bytes of a file that would be rewritten move into
// `change` (the buffer gets its old memory). False when a stop was
// requested.
bool PlanChange(FileMatch& match, FileBuffer& buffer, const BatchHooks& hooks,
                PlannedChange& change, std::vector<std::int32_t>& cutLines);

} // namespace kelvara
