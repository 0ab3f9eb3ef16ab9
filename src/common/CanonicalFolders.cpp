#include "common/CanonicalFolders.h"

#include <sys/stat.h>

#include "common/FileAccess.h"

namespace kelvara {

namespace {

bool IsFolder(const struct stat& info, std::uint64_t device, std::uint64_t inode) {
    return static_cast<std::uint64_t>(info.st_dev) == device &&
           static_cast<std::uint64_t>(info.st_ino) == inode;
}

std::string Join(const std::string& folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    if (folder != "/") path += folder;
    (path += '/') += name;
    return path;
}

} // namespace

std::string CanonicalFolders::PathOf(const std::string& folderPath, int folderFd,
                                     std::string_view name) {
    struct stat held {};
    if (fstat(folderFd, &held) != 0) return {};
    const auto known = folders_.find(folderPath);
    if (known != folders_.end() && IsFolder(held, known->second.device, known->second.inode))
        return Join(known->second.canonical, name);

    Folder folder{RealPathOf(folderPath), static_cast<std::uint64_t>(held.st_dev),
                  static_cast<std::uint64_t>(held.st_ino)};
    if (folder.canonical.empty()) return {};
    const std::string path = Join(folder.canonical, name);
    // Kept only when the path leads to the folder held: one swapped between
    // the caller's open and this resolution gives the path as it is now, as
    // resolving the file's whole path would, and is resolved again next time.
    struct stat resolved {};
    if (StatPath(folder.canonical, resolved) && IsFolder(resolved, folder.device, folder.inode))
        folders_.insert_or_assign(folderPath, std::move(folder));
    return path;
}

} // namespace kelvara
