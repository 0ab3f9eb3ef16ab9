#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/FileIdentity.h"
#include "search/BatchRun.h"
#include "search/MatchOptions.h"
#include "search/ReplacePlan.h"
#include "search/ResultTree.h"

namespace kelvara {

// The hits of one file that a replace is to take, and the file as the find
// read it.
struct FilePlan {
    std::string path;
    FileIdentity identity;
    std::vector<ChosenHit> hits; // in order of line and column
};

// The ticked hits of a find's tree, file by file; files without a ticked hit
// are left out.
std::vector<FilePlan> PlanOfTicks(const ResultTree& tree);

// "替换所选": after "确定要替换吗？" is answered Yes, replaces exactly the
// planned hits of `text` (as typed, UTF-8, with the options of the find) by
// `replacement` (as typed), at the places the find recorded, each file in its
// own encoding. A file that is no longer the one the find read (another file,
// size or modification time) or no longer holds a planned hit at its place is
// left untouched and listed with the files changed by another program; a file
// the find met by two names (a link) is replaced once, under the first; a file
// holding a NUL byte is not rewritten and is listed, and so is one whose
// encoding cannot take the replacement, with the reason. Each file goes
// through the journal and the hardened writer, as in the batch replace. The
// tree then lists what was written, as the batch replace lists it: a file node
// per rewritten file and a node per changed line, captioned with the line as
// it now is.
BatchResult RunChosenReplace(const std::vector<FilePlan>& plan, std::string_view text,
                             std::string_view replacement, const MatchOptions& options,
                             ResultTree& tree, const BatchHooks& hooks);

} // namespace kelvara
