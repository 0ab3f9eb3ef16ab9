#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/CanonicalFolders.h"
#include "common/FileError.h"
#include "common/FileIdentity.h"
#include "common/FileRewrite.h"
#include "common/IniFile.h"

// The journal of the batch replaces: before a file is rewritten, its old
// content and identity are saved and flushed to disk, so that the run can be
// taken back, also after it was killed half way. Each run has a folder of
// its own under the journal folder, named after the time it started (so that
// names sort as the runs came), holding `index` (the records of
// JournalRecord.h), `data` (old contents copied, one after the other) and
// `old-N` (old files kept whole under a second name, N the file's number in
// the run). A run being written is locked (flock on its index); an undone one gets a file
// `undone`.
namespace kelvara {

struct JournalSettings {
    std::string folder;                   // holds the runs' folders
    int keepRuns = 20;                    // the newest runs kept; 0: no journal
    std::uint64_t keepBytes = 2ull << 30; // and at most this much of them
};

// $XDG_STATE_HOME/kelvara/journal (~/.local/state when the variable is unset);
// [journal] runs and megabytes of the settings file give the limits.
JournalSettings JournalSettingsOf(const TIniFile& settings);

// What a run was, for the list of runs.
struct RunDescription {
    std::string what;        // "批量替换", "替换所选", "kelvara replace"
    std::string searchText;  // as typed (UTF-8)
    std::string replacement; // as typed (UTF-8)
};

// Writes one run's journal.
class JournalWriter {
public:
    JournalWriter() = default;
    ~JournalWriter() { Finish(); }
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Makes the run's folder and index and flushes them to disk; an error
    // (no room, no permission) comes before any file of the run is touched.
    // Settings that keep no runs keep no journal: then Add, Sync and the rest
    // do nothing.
    [[nodiscard]] FileStatus Start(const JournalSettings& settings,
                                   const RunDescription& description);
    bool Started() const noexcept { return indexFd_ >= 0; }
    // Saves the old content of `path`, read as `old`, which `rewrite` (begun
    // and filled) is about to replace; on disk after Sync. When the rewrite
    // puts a new file in the old one's place and never writes into the old
    // one, the journal keeps the old file itself under a second name (a hard
    // link, on the same file system) and copies nothing. Otherwise the saved
    // copy is a clone where the file system shares blocks, else a copy.
    // `index` receives the file's number in the run.
    [[nodiscard]] FileStatus Add(const std::string& path, const FileRewrite& rewrite,
                                 const FileIdentity& old, std::string_view oldBytes,
                                 std::uint32_t& index);
    // Writes what was added and flushes it to disk: only then may those files
    // be touched.
    [[nodiscard]] FileStatus Sync();
    // File `index` was rewritten.
    void Written(std::uint32_t index);
    // Ends the run (a run that saved no file leaves nothing behind) and drops
    // the oldest runs beyond the limits.
    void Finish();
    // The run's name; empty when no run was started.
    const std::string& RunId() const noexcept { return runId_; }

private:
    void Append(const std::string& record) { records_ += record; }
    FileStatus WriteRecords();
    bool KeepOldFile(const FileRewrite& rewrite, const FileIdentity& old, const std::string& name);
    FileStatus SaveContent(const FileRewrite& rewrite, const FileIdentity& old,
                           std::string_view bytes, std::uint64_t& offset);
    FileStatus Error(int error) const;

    JournalSettings settings_;
    std::string runId_;
    std::string runFolder_;
    int folderFd_ = -1; // the run's folder
    int indexFd_ = -1;
    int dataFd_ = -1;
    bool dataAdded_ = false;  // since the last Sync
    bool linksAdded_ = false; // since the last Sync
    std::uint64_t dataSize_ = 0;
    std::uint32_t files_ = 0;
    bool cloning_ = true; // until the file system refuses a clone
    // Records not yet written to the index: one write per batch, not per file.
    std::string records_;
    CanonicalFolders folders_;
};

} // namespace kelvara
