#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/CodePage.h"
#include "common/FileIdentity.h"
#include "search/MatchOptions.h"
#include "search/ResultTree.h"
#include "search/Stretch.h"
#include "search/TextDiff.h"

namespace kelvara {

// One line of a preview: a hunk head ("@@ -a,b +c,d @@"), or a line of the
// file before or after the replace, or an unchanged one around them.
struct PreviewLine {
    bool hunkHead = false;
    DiffLineKind kind = DiffLineKind::Context;
    std::string text;           // in the file's code page; a hunk head in ASCII
    std::vector<Stretch> marks; // what goes out (before) or comes in (after)
};

struct Preview {
    std::string note; // UTF-8; why the lines are not a change, or empty
    std::vector<PreviewLine> lines;
    CodePage codePage = CodePage::Utf8; // of the lines' texts: the file's
};

// What "替换所选" would do, for the node selected in a find's tree: for a hit,
// its line before and after the replace of the ticked hits in it, with two
// lines around it; for a file,
// the diff of its whole change with two lines of context. Taken from the file
// as it is on disk, in its own encoding, by the very functions that write it.
// The texts are as typed (UTF-8). The file read last is kept, so that stepping
// through its hits reads it once.
class ReplacePreviewer {
public:
    Preview Show(const ResultTree& tree, NodeRef node, std::string_view text,
                 std::string_view replacement, const MatchOptions& options);

private:
    FileStatus Read(const ResultTree& tree, NodeRef fileNode);

    std::string path_;
    FileIdentity identity_;
    std::string bytes_;
};

} // namespace kelvara
