#include "search/FileSet.h"

#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>

#include "common/PathHelpers.h"

namespace kelvara {

namespace {

enum class EntryKind { File, Folder, Skipped };

// What a listed entry is. Links are judged by their target: a link to a file
// is a file, a link to a folder is skipped (a link back to a parent would make
// the walk endless). Dangling links, pipes, sockets and devices are skipped:
// reading a pipe would block a run for ever.
EntryKind KindOf(const std::string& path, unsigned char type) {
    struct stat info {};
    switch (type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
        if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return EntryKind::Skipped;
        return EntryKind::File;
    case DT_UNKNOWN:
        if (lstat(path.c_str(), &info) != 0) return EntryKind::Skipped;
        if (S_ISDIR(info.st_mode)) return EntryKind::Folder;
        if (S_ISLNK(info.st_mode)) return KindOf(path, DT_LNK);
        return S_ISREG(info.st_mode) ? EntryKind::File : EntryKind::Skipped;
    default:
        return EntryKind::Skipped;
    }
}

struct ListedEntry {
    std::string name;
    unsigned char type;
};

// The entries of a folder other than "." and "..", sorted by name in byte
// order; empty when the folder cannot be listed.
std::vector<ListedEntry> ListFolder(const std::string& folder) {
    std::vector<ListedEntry> listed;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return listed;
    while (const dirent* entry = readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        listed.push_back({std::string(name), entry->d_type});
    }
    closedir(dir);
    std::sort(listed.begin(), listed.end(),
              [](const ListedEntry& a, const ListedEntry& b) { return a.name < b.name; });
    return listed;
}

} // namespace

bool FileSet::Add(const std::string& path) {
    if (known_.contains(path)) return false;
    entries_.push_back({path, false});
    known_.insert(entries_.back().path);
    return true;
}

void FileSet::AddDirectoryFiles(const std::string& folder) {
    addedCount_ = 0;
    std::string path = folder;
    if (path.empty() || path.back() != '/') path += '/';
    Walk(path);
    addedCount_ = 0;
}

// `folder` ends in "/"; it is used as the path buffer of the whole walk and
// comes back as it was given.
void FileSet::Walk(std::string& folder) {
    const std::size_t base = folder.size();
    bool first = true;
    for (const ListedEntry& entry : ListFolder(folder)) {
        if (!first && walkYield_) walkYield_();
        first = false;
        folder.resize(base);
        folder += entry.name;
        switch (KindOf(folder, entry.type)) {
        case EntryKind::Folder:
            if (entry.name[0] != '.') {
                folder += '/';
                Walk(folder);
            }
            break;
        case EntryKind::File:
            if (Add(folder)) {
                ++addedCount_;
                if (fileAdded_) fileAdded_(addedCount_);
            }
            break;
        case EntryKind::Skipped:
            break;
        }
    }
    folder.resize(base);
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
