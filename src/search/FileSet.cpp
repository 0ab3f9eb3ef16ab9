#include "search/FileSet.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/FileAccess.h"
#include "common/MessageCatalogue.h"
#include "common/PathHelpers.h"
#include "search/WalkFilter.h"

namespace kelvara {

namespace {

enum class EntryKind { File, Folder, Skipped, Gone };

// What a listed entry that is neither a file nor a folder is.
SkipReason SpecialReason(mode_t mode) {
    if (S_ISFIFO(mode)) return SkipReason::Pipe;
    if (S_ISSOCK(mode)) return SkipReason::Socket;
    return SkipReason::Device;
}

// Folders nested deeper than this are opened by their path (see Walk).
constexpr rlim_t kHeldDepth = 256;

} // namespace

std::string SkipReasonText(const SkippedEntry& entry) {
    std::string text;
    switch (entry.reason) {
    case SkipReason::DanglingLink:
        text = Translate("kelvara::FileSet", "链接的目标不存在");
        break;
    case SkipReason::LinkOutside:
        text = Translate("kelvara::FileSet", "链接指向所选目录之外");
        break;
    case SkipReason::LinkUnchecked:
        text = Translate("kelvara::FileSet", "无法确定链接的目标");
        break;
    case SkipReason::FolderLink:
        text = Translate("kelvara::FileSet", "目录链接，不跟随");
        break;
    case SkipReason::Pipe:
        text = Translate("kelvara::FileSet", "命名管道");
        break;
    case SkipReason::Socket:
        text = Translate("kelvara::FileSet", "套接字");
        break;
    case SkipReason::Device:
        text = Translate("kelvara::FileSet", "设备文件");
        break;
    case SkipReason::Unlistable:
        text = Translate("kelvara::FileSet", "无法列出目录");
        break;
    }
    if (entry.error == 0) return text;
    return FormatMessage(Translate("kelvara::FileSet", "%1：%2"),
                         {text, std::strerror(entry.error)});
}

struct FileSet::ListedEntry {
    std::string name;
    EntryKind kind = EntryKind::Gone;
    SkipReason reason = SkipReason::DanglingLink;
    int error = 0;
};

bool FileSet::Contains(std::string_view path) const {
    Index();
    return known_.contains(path);
}

// The path is hashed once: the entry is put in first, and taken back out in
// the rare case that it was already known.
bool FileSet::Add(const std::string& path) {
    Index();
    entries_.push_back({path, false});
    if (known_.insert(entries_.back().path).second) {
        ++indexed_;
        return true;
    }
    entries_.pop_back();
    return false;
}

// A folder walk never meets a path twice, so a path it finds is new unless
// the set held it before the walk; the paths it adds are indexed later, when
// a path is next looked up.
bool FileSet::AddWalked(const std::string& path) {
    if (indexed_ > 0 && known_.contains(path)) return false;
    entries_.push_back({path, false});
    return true;
}

void FileSet::Index() const {
    for (; indexed_ < entries_.size(); ++indexed_)
        known_.insert(entries_[indexed_].path);
}

bool FileSet::AddDirectoryFiles(const std::string& folder) {
    Index();
    addedCount_ = 0;
    walkRoot_ = RealPathOf(folder);
    if (!walkRoot_.empty() && walkRoot_.back() != '/') walkRoot_ += '/';
    std::string path = folder;
    if (path.empty() || path.back() != '/') path += '/';
    walkRootLength_ = path.size();
    // The walk holds one handle per level, at most a quarter of what the
    // process may hold.
    rlimit limit{};
    heldDepth_ = kHeldDepth;
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        heldDepth_ = static_cast<int>(std::min(kHeldDepth, limit.rlim_cur / 4));
    const bool finished = Walk(path, {}, -1, 0);
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

// Records a folder that could not be opened or listed; `folder` ends in "/"
// and comes back as it was given.
void FileSet::SkipFolder(std::string& folder, int error) {
    if (folder.size() > 1) folder.pop_back();
    Skip(folder, SkipReason::Unlistable, error);
    if (folder.back() != '/') folder += '/';
}

// Opens the folder `folder` names (ending in "/"): by `name` within its open
// parent folder when `parentFd` is one, else by its path. A nested folder was
// judged a real folder; should it have been swapped for a link since, the
// link is not followed. -1 when it cannot be opened (recorded as skipped).
int FileSet::OpenFolder(std::string& folder, const std::string& name, int parentFd, bool nested) {
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (nested ? O_NOFOLLOW : 0);
    int fd = -1;
    if (parentFd >= 0) {
        fd = openat(parentFd, name.c_str(), flags);
    } else {
        if (folder.size() > 1) folder.pop_back();
        fd = OpenPath(folder, flags);
        if (folder.back() != '/') folder += '/';
    }
    if (fd < 0) SkipFolder(folder, errno);
    return fd;
}

// The entries of the open folder `fd` (named by `folder`, ending in "/")
// other than "." and "..", judged and sorted by name in byte order. The
// listing reads a copy of the handle, so `fd` stays open for the walk below.
std::vector<FileSet::ListedEntry> FileSet::ListFolder(int fd, std::string& folder) {
    std::vector<ListedEntry> listed;
    const int listFd = dup(fd);
    DIR* dir = listFd >= 0 ? fdopendir(listFd) : nullptr;
    if (dir == nullptr) {
        SkipFolder(folder, errno);
        if (listFd >= 0) close(listFd);
        return listed;
    }
    const std::size_t base = folder.size();
    while (const dirent* found = readdir(dir)) {
        const std::string_view name = found->d_name;
        if (name == "." || name == "..") continue;
        ListedEntry entry;
        entry.name = name;
        folder.resize(base);
        folder += name;
        Judge(fd, found->d_type, folder, entry);
        if (entry.kind != EntryKind::Gone) listed.push_back(std::move(entry));
    }
    closedir(dir);
    folder.resize(base);
    std::sort(listed.begin(), listed.end(),
              [](const ListedEntry& a, const ListedEntry& b) { return a.name < b.name; });
    return listed;
}

// Walks the folder `folder` names (ending in "/"), opened by `name` within
// the open folder `parentFd`, or by its path when that is -1; `depth` is 0
// for the chosen folder. `folder` is the path buffer of the whole walk and
// comes back as it was given. Returns false when the stop flag ended the walk.
bool FileSet::Walk(std::string& folder, const std::string& name, int parentFd, int depth) {
    FileHandle handle(OpenFolder(folder, name, parentFd, depth > 0));
    if (handle.Get() < 0) return true;
    if (walkFilter_ != nullptr) {
        const std::size_t end = std::max(walkRootLength_, folder.size() - 1);
        walkFilter_->EnterFolder(
            handle.Get(), std::string_view(folder).substr(walkRootLength_, end - walkRootLength_));
    }
    const std::vector<ListedEntry> listed = ListFolder(handle.Get(), folder);
    // Each level keeps its handle while the levels below it are walked, so
    // that a folder is opened from its parent and not by walking its whole
    // path again. A tree may nest deeper than the process may hold handles:
    // past heldDepth_ levels the folders are opened by path instead.
    if (depth >= heldDepth_) handle.Close();
    const bool finished = WalkListed(folder, listed, handle.Get(), depth);
    if (walkFilter_ != nullptr) walkFilter_->LeaveFolder();
    return finished;
}

// Whether the walk filter takes the entry the path buffer names.
bool FileSet::Takes(const std::string& path, bool isFolder) const {
    return walkFilter_ == nullptr ||
           walkFilter_->Takes(std::string_view(path).substr(walkRootLength_), isFolder);
}

// The entries of the folder `folder` names, listed from `folderFd` (-1 once
// closed): files added, folders walked, the rest recorded as skipped.
bool FileSet::WalkListed(std::string& folder, const std::vector<ListedEntry>& listed, int folderFd,
                         int depth) {
    const std::size_t base = folder.size();
    bool first = true;
    for (const ListedEntry& entry : listed) {
        if (!first && walkYield_) walkYield_();
        first = false;
        if (walkStop_ != nullptr && walkStop_->load(std::memory_order_relaxed)) return false;
        folder.resize(base);
        folder += entry.name;
        switch (entry.kind) {
        case EntryKind::Folder:
            if (entry.name[0] != '.' && Takes(folder, true)) {
                folder += '/';
                if (!Walk(folder, entry.name, folderFd, depth + 1)) return false;
            }
            break;
        case EntryKind::File:
            if (Takes(folder, false) && AddWalked(folder)) {
                ++addedCount_;
                if (fileAdded_) fileAdded_(addedCount_);
            }
            break;
        case EntryKind::Skipped:
            if (Takes(folder, false)) Skip(folder, entry.reason, entry.error);
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
        entry.ticked = HasExtensionIn(entry.path, extensions);
        if (entry.ticked) ++count;
    }
    return count;
}

bool FileSet::HasExtensionIn(std::string_view path, const std::vector<std::string>& extensions) {
    return std::ranges::find(extensions, ExtractFileExt(path)) != extensions.end();
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
    indexed_ = 0;
    ClearSkipped();
}

void FileSet::RemoveWhere(bool ticked) {
    std::erase_if(entries_, [&](const FileSetEntry& entry) { return entry.ticked == ticked; });
    known_.clear();
    indexed_ = 0;
}

std::vector<std::string> FileSet::TickedPaths() const {
    std::vector<std::string> paths;
    for (const FileSetEntry& entry : entries_) {
        if (entry.ticked) paths.push_back(entry.path);
    }
    return paths;
}

std::vector<const std::string*> FileSet::TickedPathsInPlace() const {
    std::vector<const std::string*> paths;
    for (const FileSetEntry& entry : entries_) {
        if (entry.ticked) paths.push_back(&entry.path);
    }
    return paths;
}

} // namespace kelvara
