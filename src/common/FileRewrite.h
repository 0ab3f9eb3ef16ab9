#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <sys/stat.h>

#include "common/ContentHash.h"
#include "common/FileError.h"
#include "common/FileIdentity.h"
#include "common/TempFileCleanup.h"

namespace kelvara {

// Replaces a file's content with bytes handed over piece by piece, so that a
// large file is rewritten without a second copy of it in memory. The file is
// never left half written and keeps its mode, owner, group, hard links and
// extended attributes (ACLs included); a link is followed and its target
// rewritten.
//
// Where a rename keeps all of that, the new content goes to a new file in the
// same folder (unnamed where the file system allows it, so that even a
// killed process leaves nothing behind), which is then renamed over the
// target and the folder flushed. Where it cannot (the owner or group cannot
// be given to a new file, the file has more than one name, the folder is not
// writable), the content is kept in memory and written into the file itself
// (WriteInPlace). A file that is read-only (no write permission bit, even for
// root) is refused.
//
// Errors name the path as given and the reason; after any error the original
// is as it was.
class FileRewrite {
public:
    FileRewrite() = default;
    ~FileRewrite() { Abandon(); }
    FileRewrite(const FileRewrite&) = delete;
    FileRewrite& operator=(const FileRewrite&) = delete;

    // Starts rewriting `path` (which need not exist yet). With `expected`, the
    // file must still be the one read, with the same size and modification
    // time, both now and when the rewrite is committed; otherwise it is left
    // alone and ChangedMeanwhile() tells why.
    [[nodiscard]] FileStatus Begin(const std::string& path,
                                   const std::optional<FileIdentity>& expected = std::nullopt);
    // The next piece of the new content.
    [[nodiscard]] FileStatus Append(std::string_view bytes);
    // Puts the new content in place. `oldBytes` is the content the file has
    // (that is, had when it was read as `expected`), when the caller holds
    // it: a write in place then needs no copy of its own.
    [[nodiscard]] FileStatus Commit(std::optional<std::string_view> oldBytes = std::nullopt);
    // Drops what was written so far; the file stays as it was.
    void Abandon();

    // The last error came from a file changed by someone else since it was read.
    bool ChangedMeanwhile() const { return changed_; }
    // The new content goes to a new file renamed over the old one, which is
    // never written to (no write in place).
    bool RenamesOver() const noexcept { return !inPlace_ && original_.has_value(); }
    // The digest of the new content appended since Begin.
    ContentDigest NewDigest() const noexcept { return hash_.Digest(); }
    // Where the file being rewritten (a link's final target) is, from Begin
    // on: a handle on its folder, the path the folder was opened by, and the
    // file's name in it.
    int FolderFd() const noexcept { return folderFd_; }
    const std::string& FolderPath() const noexcept { return folderPath_; }
    const std::string& Name() const noexcept { return name_; }

private:
    FileStatus Error(int error) const;
    bool OpenFolderOf(const std::string& path);
    std::string OriginalPath() const;
    FileStatus Changed();
    bool OpenTemp(mode_t mode);
    bool KeepAttributes(const struct stat& original);
    void DropTemp();
    FileStatus Flush();
    FileStatus CheckUnchanged();
    bool LinkTemp();
    bool TakeTempName(const std::function<bool(const std::string& name)>& create);
    FileStatus CommitRename();
    FileStatus CommitInPlace(std::optional<std::string_view> oldBytes);
    void SyncFolder() const;

    std::string path_;       // as given, for messages
    std::string targetPath_; // the path, or the final target of a link
    int folderFd_ = -1;      // the target's folder
    std::string folderPath_; // the path it was opened by
    std::string name_;       // the target's name in it
    int tempFd_ = -1;
    std::string tempName_; // set while the new file has a name
    TempFileGuard tempGuard_;
    std::optional<struct stat> original_;
    std::optional<FileIdentity> expected_;
    bool inPlace_ = false;
    bool changed_ = false;
    // In place, the whole new content; otherwise what waits to be written.
    std::string pending_;
    ContentHash hash_;
};

// Whether new content may go to unnamed files (O_TMPFILE); on by default.
// Off, every rewrite takes the named temporary file that file systems
// without unnamed files get.
void AllowUnnamedTempFiles(bool allowed);

} // namespace kelvara
