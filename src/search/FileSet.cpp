#include "search/FileSet.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/FileAccess.h"
#include "common/PathHelpers.h"

namespace kelvara {

namespace {

enum class EntryKind { File, Folder, Skipped, Gone };

// What a listed entry that is neither a file nor a folder is.
SkipReason SpecialReason(mode_t mode) {
    if (S_ISFIFO(mode)) return SkipReason::Pipe;
    if (S_ISSOCK(mode)) return SkipReason::Socket;
    return SkipReason::Device;
}

} // namespace

std::string SkipReasonText(const SkippedEntry& entry) {
    std::string text;
    switch (entry.reason) {
    case SkipReason::DanglingLink:
        text = "链接的目标不存在";
        break;
    case SkipReason::LinkOutside:
        text = "链接指向所选目录之外";
        break;
    case SkipReason::LinkUnchecked:
        text = "无法确定链接的目标";
        break;
    case SkipReason::FolderLink:
        text = "目录链接，不跟随";
        break;
    case SkipReason::Pipe:
        text = "命名管道";
        break;
    case SkipReason::Socket:
        text = "套接字";
        break;
    case SkipReason::Device:
        text = "设备文件";
        break;
    case SkipReason::Unlistable:
        text = "无法列出目录";
        break;
    }
    if (entry.error != 0) {
        text += "：";
        text += std::strerror(entry.error);
    }
    return text;
}

struct FileSet::ListedEntry {
    std::string name;
    EntryKind kind = EntryKind::Gone;
    SkipReason reason = SkipReason::DanglingLink;
    int error = 0;
};

bool FileSet::Add(const std::string& path) {
    if (known_.contains(path)) return false;
    entries_.push_back({path, false});
    known_.insert(entries_.back().path);
    return true;
}

bool FileSet::AddDirectoryFiles(const std::string& folder) {
    addedCount_ = 0;
    walkRoot_ = RealPathOf(folder);
    if (!walkRoot_.empty() && walkRoot_.back() != '/') walkRoot_ += '/';
    std::string path = folder;
    if (path.empty() || path.back() != '/') path += '/';
    const bool finished = Walk(path, false);
    addedCount_ = 0;
    return finished;
}

void FileSet::Skip(const std::string& path, SkipReason reason, int error) {
    if (!skippedPaths_.insert(path).second) return;
    skipped_.push_back({path, reason, error});
}

void FileSet::ClearSkipped() {
    skipped_.clear();
    skippedPaths_.clear();
}

// Judges an entry through its open folder, so depth is no limit.
void FileSet::Judge(int folderFd, unsigned char type, const std::string& path,
                    ListedEntry& entry) const {
    struct stat info {};
    const char* name = entry.name.c_str();
    switch (type) {
    case DT_REG:
        entry.kind = EntryKind::File;
        return;
    case DT_DIR:
        entry.kind = EntryKind::Folder;
        return;
    case DT_LNK:
        JudgeLink(folderFd, path, entry);
        return;
    case DT_UNKNOWN:
        // Gone since it was listed: nothing to skip.
        if (fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return;
        if (S_ISLNK(info.st_mode)) return JudgeLink(folderFd, path, entry);
        if (S_ISDIR(info.st_mode) || S_ISREG(info.st_mode)) {
            entry.kind = S_ISDIR(info.st_mode) ? EntryKind::Folder : EntryKind::File;
            return;
        }
        entry.kind = EntryKind::Skipped;
        entry.reason = SpecialReason(info.st_mode);
        return;
    default:
        entry.kind = EntryKind::Skipped;
        entry.reason = type == DT_FIFO   ? SkipReason::Pipe
                       : type == DT_SOCK ? SkipReason::Socket
                                         : SkipReason::Device;
        return;
    }
}

// A link is judged by its target. A file link is taken only when its target
// lies inside the walked folder: a link to ../other/file, or to ~/.bashrc in
// a downloaded tree, must never be rewritten by a replace over that tree.
// Links to folders are not followed (a link back to a parent would make the
// walk endless).
void FileSet::JudgeLink(int folderFd, const std::string& path, ListedEntry& entry) const {
    entry.kind = EntryKind::Skipped;
    struct stat info {};
    if (fstatat(folderFd, entry.name.c_str(), &info, 0) != 0) {
        const int error = errno;
        entry.reason = error == ENOENT ? SkipReason::DanglingLink : SkipReason::LinkUnchecked;
        if (error != ENOENT) entry.error = error;
        return;
    }
    if (S_ISDIR(info.st_mode)) {
        entry.reason = SkipReason::FolderLink;
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        entry.reason = SpecialReason(info.st_mode);
        return;
    }
    const std::string target = RealPathOf(path);
    if (target.empty() || walkRoot_.empty()) {
        entry.reason = SkipReason::LinkUnchecked;
        entry.error = target.empty() ? errno : 0;
        return;
    }
    if (!target.starts_with(walkRoot_)) {
        entry.reason = SkipReason::LinkOutside;
        return;
    }
    entry.kind = EntryKind::File;
}

// The entries of a folder (`folder` ends in "/") other than "." and "..",
// judged and sorted by name in byte order; a folder that cannot be listed is
// recorded as skipped.
std::vector<FileSet::ListedEntry> FileSet::ListFolder(std::string& folder, bool nested) {
    std::vector<ListedEntry> listed;
    // A nested folder was judged a real folder; should it have been swapped
    // for a link since, the link is not followed.
    if (folder.size() > 1) folder.pop_back();
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (nested ? O_NOFOLLOW : 0);
    const int fd = OpenPath(folder, flags);
    DIR* dir = fd >= 0 ? fdopendir(fd) : nullptr;
    if (dir == nullptr) {
        Skip(folder, SkipReason::Unlistable, errno);
        if (fd >= 0) close(fd);
    }
    if (folder.back() != '/') folder += '/';
    if (dir == nullptr) return listed;
    const std::size_t base = folder.size();
    while (const dirent* found = readdir(dir)) {
        const std::string_view name = found->d_name;
        if (name == "." || name == "..") continue;
        ListedEntry entry;
        entry.name = name;
        folder.resize(base);
        folder += name;
        Judge(dirfd(dir), found->d_type, folder, entry);
        if (entry.kind != EntryKind::Gone) listed.push_back(std::move(entry));
    }
    closedir(dir);
    folder.resize(base);
    std::sort(listed.begin(), listed.end(),
              [](const ListedEntry& a, const ListedEntry& b) { return a.name < b.name; });
    return listed;
}

// `folder` ends in "/"; it is used as the path buffer of the whole walk and
// comes back as it was given. Returns false when the stop flag ended the walk.
bool FileSet::Walk(std::string& folder, bool nested) {
    const std::size_t base = folder.size();
    bool first = true;
    for (const ListedEntry& entry : ListFolder(folder, nested)) {
        if (!first && walkYield_) walkYield_();
        first = false;
        if (walkStop_ != nullptr && walkStop_->load(std::memory_order_relaxed)) return false;
        folder.resize(base);
        folder += entry.name;
        switch (entry.kind) {
        case EntryKind::Folder:
            if (entry.name[0] != '.') {
                folder += '/';
                if (!Walk(folder, true)) return false;
            }
            break;
        case EntryKind::File:
            if (Add(folder)) {
                ++addedCount_;
                if (fileAdded_) fileAdded_(addedCount_);
            }
            break;
        case EntryKind::Skipped:
            Skip(folder, entry.reason, entry.error);
            break;
        case EntryKind::Gone:
            break;
        }
    }
    folder.resize(base);
    return true;
}

int FileSet::AddSelectedFiles(const std::string& folder, const std::vector<std::string>& names,
                              std::string_view filterExtension) {
    int added = 0;
    std::string path;
    for (const std::string& name : names) {
        path = folder;
        if (path.empty() || path.back() != '/') path += '/';
        path += name;
        if (Add(path)) ++added;
    }
    ApplyExtensionFilter(filterExtension);
    return added;
}

int FileSet::ApplyExtensionFilter(std::string_view extension) {
    int count = 0;
    for (FileSetEntry& entry : entries_) {
        entry.ticked = ExtractFileExt(entry.path) == extension;
        if (entry.ticked) ++count;
    }
    return count;
}

int FileSet::ApplyExtensionFilter(const std::vector<std::string>& extensions) {
    int count = 0;
    for (FileSetEntry& entry : entries_) {
        const std::string own = ExtractFileExt(entry.path);
        entry.ticked = std::find(extensions.begin(), extensions.end(), own) != extensions.end();
        if (entry.ticked) ++count;
    }
    return count;
}

void FileSet::TickAll() {
    for (FileSetEntry& entry : entries_)
        entry.ticked = true;
}

void FileSet::UntickAll() {
    for (FileSetEntry& entry : entries_)
        entry.ticked = false;
}

void FileSet::Clear() {
    entries_.clear();
    known_.clear();
    ClearSkipped();
}

void FileSet::RemoveWhere(bool ticked) {
    std::erase_if(entries_, [&](const FileSetEntry& entry) { return entry.ticked == ticked; });
    known_.clear();
    for (const FileSetEntry& entry : entries_)
        known_.insert(entry.path);
}

std::vector<std::string> FileSet::TickedPaths() const {
    std::vector<std::string> paths;
    for (const FileSetEntry& entry : entries_) {
        if (entry.ticked) paths.push_back(entry.path);
    }
    return paths;
}

} // namespace kelvara
