#include "search/Journal.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#if __has_include(<linux/fs.h>)
#include <linux/fs.h>
#endif

#include "common/AppPaths.h"
#include "common/FileAccess.h"
#include "common/MessageCatalogue.h"
#include "search/JournalRecord.h"
#include "search/JournalRuns.h"

namespace kelvara {

namespace {

// A cloned copy must start on a block of the saved-content file.
constexpr std::uint64_t kCloneAlignment = 4096;

// The folder and each missing one above it, private to the user.
int MakeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
        if (slash == std::string::npos) return 0;
    }
}

void SyncFolder(const std::string& folder) {
    const FileHandle handle(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle.Get() >= 0) fsync(handle.Get());
}

int WriteAllAt(int fd, std::string_view bytes, std::uint64_t offset) {
    while (!bytes.empty()) {
        const ssize_t written = pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += static_cast<std::uint64_t>(written);
    }
    return 0;
}

std::int64_t NowNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// "20261209-101530.123456-4242": the start time (UTC) and the process.
std::string MakeRunId(std::int64_t nanoseconds) {
    const std::time_t seconds = static_cast<std::time_t>(nanoseconds / 1000000000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &utc);
    std::snprintf(text + length, sizeof text - length, ".%06lld-%d",
                  static_cast<long long>(nanoseconds / 1000 % 1000000), static_cast<int>(getpid()));
    return text;
}

std::string CurrentFolder() {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
}

} // namespace

JournalSettings JournalSettingsOf(const TIniFile& settings) {
    JournalSettings journal;
    journal.folder = StateFolder() + "journal";
    journal.keepRuns = std::max(0, settings.ReadInteger("journal", "runs", journal.keepRuns));
    const int megabytes = settings.ReadInteger("journal", "megabytes", 2048);
    journal.keepBytes = static_cast<std::uint64_t>(std::max(1, megabytes)) << 20;
    return journal;
}

FileStatus JournalWriter::Error(int error) const {
    return FileError{runFolder_.empty() ? settings_.folder : runFolder_,
                     FormatMessage(Translate("kelvara::Journal", "替换日志写不进去：%1"),
                                   {SystemReason(error)})};
}

FileStatus JournalWriter::Start(const JournalSettings& settings,
                                const RunDescription& description) {
    Finish();
    settings_ = settings;
    files_ = 0;
    dataSize_ = 0;
    cloning_ = true;
    records_.clear();
    folders_ = {};
    if (settings_.keepRuns == 0) {
        PruneJournal(settings_);
        return std::nullopt;
    }
    if (const int error = MakeFolders(settings_.folder)) return Error(error);
    const std::int64_t started = NowNanoseconds();
    runId_ = MakeRunId(started);
    for (int attempt = 1; mkdir((settings_.folder + "/" + runId_).c_str(), 0700) != 0; ++attempt) {
        if (errno != EEXIST || attempt == 100) return Error(errno);
        runId_ = MakeRunId(started) + "-" + std::to_string(attempt);
    }
    runFolder_ = settings_.folder + "/" + runId_;
    folderFd_ = open(runFolder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    indexFd_ = open((runFolder_ + "/index").c_str(),
                    O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
    if (folderFd_ < 0 || indexFd_ < 0 || flock(indexFd_, LOCK_EX) != 0) {
        const int error = errno;
        Finish();
        return Error(error);
    }
    dataFd_ = open((runFolder_ + "/data").c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    FileStatus status = dataFd_ < 0 ? Error(errno) : std::nullopt;
    if (!status) {
        Append(JournalRecordBuilder(JournalRecordType::Header)
                   .U64(static_cast<std::uint64_t>(started))
                   .Text(description.what)
                   .Text(description.searchText)
                   .Text(description.replacement)
                   .Text(CurrentFolder())
                   .Finish());
        status = Sync();
    }
    if (status) {
        Finish();
        return status;
    }
    SyncFolder(runFolder_);
    SyncFolder(settings_.folder);
    return std::nullopt;
}

FileStatus JournalWriter::WriteRecords() {
    const int error = WriteAll(indexFd_, records_);
    records_.clear();
    return error != 0 ? Error(error) : std::nullopt;
}

// Gives the old file a second name in the run's folder, so that it outlives
// the rename of the new content over it: no byte is copied. Only a file on
// the journal's file system that is still the one read qualifies. The file is
// reached through the folder the rewrite holds, the one it will rename in.
bool JournalWriter::KeepOldFile(const FileRewrite& rewrite, const FileIdentity& old,
                                const std::string& name) {
    if (linkat(rewrite.FolderFd(), rewrite.Name().c_str(), folderFd_, name.c_str(), 0) != 0)
        return false;
    struct stat info {};
    if (fstatat(folderFd_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        IdentityOf(info) == old)
        return true;
    unlinkat(folderFd_, name.c_str(), 0);
    return false;
}

FileStatus JournalWriter::SaveContent(const FileRewrite& rewrite, const FileIdentity& old,
                                      std::string_view bytes, std::uint64_t& offset) {
#ifdef FICLONERANGE
    if (cloning_ && !bytes.empty()) {
        offset = (dataSize_ + kCloneAlignment - 1) / kCloneAlignment * kCloneAlignment;
        const FileHandle source(
            openat(rewrite.FolderFd(), rewrite.Name().c_str(), O_RDONLY | O_CLOEXEC));
        struct stat info {};
        if (source.Get() >= 0 && fstat(source.Get(), &info) == 0 && IdentityOf(info) == old) {
            file_clone_range range{};
            range.src_fd = source.Get();
            range.dest_offset = offset;
            if (ioctl(dataFd_, FICLONERANGE, &range) == 0) {
                dataSize_ = offset + bytes.size();
                dataAdded_ = true;
                return std::nullopt;
            }
            cloning_ = false; // this file system does not share blocks
        }
    }
#endif
    offset = dataSize_;
    if (const int error = WriteAllAt(dataFd_, bytes, offset)) return Error(error);
    dataSize_ = offset + bytes.size();
    dataAdded_ = true;
    return std::nullopt;
}

FileStatus JournalWriter::Add(const std::string& path, const FileRewrite& rewrite,
                              const FileIdentity& old, std::string_view oldBytes,
                              std::uint32_t& index) {
    index = files_;
    if (!Started()) return std::nullopt;
    const std::string target =
        folders_.PathOf(rewrite.FolderPath(), rewrite.FolderFd(), rewrite.Name());
    if (target.empty()) return SystemError(path, errno);
    std::uint64_t offset = 0;
    std::string keptName = "old-" + std::to_string(index);
    if (rewrite.RenamesOver() && KeepOldFile(rewrite, old, keptName)) {
        linksAdded_ = true;
    } else {
        keptName.clear();
        if (FileStatus error = SaveContent(rewrite, old, oldBytes, offset)) return error;
    }
    Append(JournalRecordBuilder(JournalRecordType::File)
               .U32(index)
               .Text(path)
               .Text(target)
               .U64(old.device)
               .U64(old.inode)
               .U64(static_cast<std::uint64_t>(old.size))
               .U64(static_cast<std::uint64_t>(old.modifiedSeconds))
               .U64(static_cast<std::uint64_t>(old.modifiedNanoseconds))
               .U64(offset)
               .U64(oldBytes.size())
               .Digest(DigestOf(oldBytes))
               .Digest(rewrite.NewDigest())
               .Text(keptName)
               .Finish());
    ++files_;
    return std::nullopt;
}

FileStatus JournalWriter::Sync() {
    if (!Started()) return std::nullopt;
    if (FileStatus error = WriteRecords()) return error;
    if (dataAdded_ && fdatasync(dataFd_) != 0) return Error(errno);
    if (linksAdded_ && fsync(folderFd_) != 0) return Error(errno);
    if (fdatasync(indexFd_) != 0) return Error(errno);
    dataAdded_ = linksAdded_ = false;
    return std::nullopt;
}

void JournalWriter::Written(std::uint32_t index) {
    if (!Started()) return;
    // Only a help for the list: an undo goes by the files' digests. Written
    // with the next batch's records, so a killed run may not have it.
    Append(JournalRecordBuilder(JournalRecordType::Written).U32(index).Finish());
}

void JournalWriter::Finish() {
    if (runFolder_.empty()) return;
    if (indexFd_ >= 0 && files_ > 0) {
        Append(JournalRecordBuilder(JournalRecordType::End).U32(files_).Finish());
        if (!WriteRecords()) fdatasync(indexFd_);
    }
    records_.clear();
    if (dataFd_ >= 0) close(dataFd_);
    if (indexFd_ >= 0) close(indexFd_);
    if (folderFd_ >= 0) close(folderFd_);
    dataFd_ = indexFd_ = folderFd_ = -1;
    dataAdded_ = linksAdded_ = false;
    if (files_ == 0) {
        unlink((runFolder_ + "/index").c_str());
        unlink((runFolder_ + "/data").c_str());
        rmdir(runFolder_.c_str());
        runId_.clear();
    }
    runFolder_.clear();
    PruneJournal(settings_);
}

} // namespace kelvara
