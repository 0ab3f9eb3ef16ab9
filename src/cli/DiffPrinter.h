#pragma once

#include "cli/OutputBuffer.h"
#include "search/DryReplace.h"

namespace kelvara {

// Prints what `replace --dry-run` finds as a unified diff that `patch -p0`
// applies from the folder the command ran in: per file "--- PATH" and
// "+++ PATH" (each with the file's modification time after a tab, as diff
// writes them; a path holding a control byte in C quotes, as patch reads it),
// then its hunks with three lines of context. For a terminal the lines are
// converted from the file's code page to the locale's encoding; into a file
// or a pipe they go as the file holds them, so that the diff applies (a
// UTF-16 file's diff shows its UTF-8 decoding, which patch cannot apply).
class DiffPrinter : public FileChanges {
public:
    DiffPrinter(OutputBuffer& out, bool forTerminal);

    void Changes(const std::string& path, const FileIdentity& identity, std::string_view text,
                 std::span<const Stretch> stretches, std::string_view replacement,
                 CodePage codePage) override;

private:
    OutputBuffer& out_;
    bool forTerminal_;
    std::string diff_; // one file's diff, reused
};

} // namespace kelvara
