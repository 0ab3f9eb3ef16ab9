#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/FileIdentity.h"
#include "common/FileRewrite.h"
#include "search/Journal.h"

namespace kelvara {

// The rewrites of a replace run, committed a few files at a time: the old
// contents of a batch of files go into the journal, the journal is flushed to
// disk once, and only then are the files of the batch put in place. Flushing
// once per file would make the journal cost as much as the rewrites.
class RewriteBatch {
public:
    explicit RewriteBatch(JournalWriter& journal) : journal_(journal) {}

    // The rewrite to fill (Begin, Append) for the next file.
    FileRewrite& Next();
    // The rewrite handed out last holds the new content of `path`, read as
    // `old` with `oldBytes`: these go into the journal, and the file is
    // committed with its batch. On an error of the journal the file is
    // dropped from the batch, untouched.
    [[nodiscard]] FileStatus Add(const std::string& path, const FileIdentity& old,
                                 std::string_view oldBytes, std::uint32_t tag);
    // Time to Commit.
    bool Full() const noexcept;

    struct Outcome {
        std::uint32_t tag = 0;
        std::string path;
        FileStatus error;              // the file was not rewritten
        bool changedMeanwhile = false; // ... because another program changed it
    };
    // Flushes the journal, then commits the files of the batch in order. An
    // error ends the commits: the files after it are dropped, untouched (their
    // outcome says so), unless another program had changed the file, which
    // only drops that one. Returns one outcome per file of the batch.
    std::vector<Outcome> Commit();

private:
    struct Pending {
        std::string path;
        std::uint32_t tag = 0;
        std::uint32_t journalIndex = 0;
    };
    JournalWriter& journal_;
    // One rewrite per file of the batch, reused from batch to batch.
    std::vector<std::unique_ptr<FileRewrite>> rewrites_;
    std::vector<Pending> pending_;
};

} // namespace kelvara
