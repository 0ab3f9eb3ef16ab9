#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace kelvara {

// The canonical paths of the files a run writes, each folder resolved once
// per run: resolving a path opens and checks every folder on the way, which
// done for every file of a run costs more than writing the file. A folder is
// looked up by the path it was opened by and trusted only while the handle
// the caller just opened by that path is the very folder that was resolved
// (device and inode): a folder renamed, swapped or reached through a link
// that now leads elsewhere is resolved anew.
class CanonicalFolders {
public:
    // The canonical path of `name` (a file, not a link) in the folder that
    // `folderFd` holds, opened just now by `folderPath`; empty with errno set
    // when the folder cannot be resolved.
    std::string PathOf(const std::string& folderPath, int folderFd, std::string_view name);

private:
    struct Folder {
        std::string canonical;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
    };
    std::map<std::string, Folder, std::less<>> folders_;
};

} // namespace kelvara
