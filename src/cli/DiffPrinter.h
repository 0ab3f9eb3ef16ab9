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
// Each file's diff is made on the thread that matched the file; the
// printer's own thread only writes them out.
class DiffPrinter : public FileChanges {
public:
    DiffPrinter(OutputBuffer& out, bool forTerminal);

    void Describe(const ChangedFile& file, std::string& out) const override;
    void Take(const std::string& path, std::string_view described) override;

private:
    OutputBuffer& out_;
    const bool forTerminal_;
    const CodePage terminalPage_; // looked up once, not on the threads that describe
};

} // namespace kelvara
