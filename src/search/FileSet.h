#pragma once

#include <atomic>
#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace kelvara {

class WalkFilter;

// One entry of the file set: a full path and its check mark.
struct FileSetEntry {
    std::string path;
    bool ticked = false;
};

// Why a folder walk left an entry out.
enum class SkipReason {
    DanglingLink,  // a link whose target does not exist
    LinkOutside,   // a file link leading out of the walked folder
    LinkUnchecked, // a file link whose target could not be resolved (a loop)
    FolderLink,    // links to folders are not followed
    Pipe,
    Socket,
    Device,
    Unlistable, // a folder that could not be listed
};

// An entry a walk met and did not add. `error` is the system's error number
// where one caused the skip, else 0.
struct SkippedEntry {
    std::string path;
    SkipReason reason = SkipReason::DanglingLink;
    int error = 0;
};

// Why an entry was skipped, in words (UTF-8), the system's reason appended.
std::string SkipReasonText(const SkippedEntry& entry);

// The ordered list of files a batch run works on. Entries keep the order in
// which they were added; no path is present twice (compared exactly, as the
// file system does).
class FileSet {
public:
    std::size_t Count() const noexcept { return entries_.size(); }
    bool Empty() const noexcept { return entries_.empty(); }
    const FileSetEntry& Entry(std::size_t index) const { return entries_[index]; }
    void SetTicked(std::size_t index, bool ticked) { entries_[index].ticked = ticked; }
    bool Contains(std::string_view path) const;

    // Appends the path unticked unless it is already present.
    bool Add(const std::string& path);

    // Adds every file below the folder, depth first, names sorted by byte
    // order inside each folder; depth has no limit. Folders whose name begins
    // with "." are passed over. A link to a file is added only when its target
    // lies inside the walked folder, so a run never reaches beyond the folders
    // chosen. Links out of the folder, dangling links, folder links, pipes,
    // sockets, devices and folders that cannot be listed are skipped and
    // recorded (see Skipped). AddedCount is 0 before and after the walk and
    // counts the files added. Returns false when the stop flag ended it.
    bool AddDirectoryFiles(const std::string& folder);

    // Adds folder + "/" + name for each name (one separator only), then ticks
    // exactly the entries with the extension `filterExtension`. Returns the
    // number of files added.
    int AddSelectedFiles(const std::string& folder, const std::vector<std::string>& names,
                         std::string_view filterExtension);

    // Ticks exactly the entries whose extension equals `extension` byte for
    // byte; returns how many were ticked.
    int ApplyExtensionFilter(std::string_view extension);
    // The same for a list: ticks the entries whose extension is one of them.
    int ApplyExtensionFilter(const std::vector<std::string>& extensions);
    // Whether that filter ticks `path`.
    static bool HasExtensionIn(std::string_view path, const std::vector<std::string>& extensions);

    void TickAll();
    void UntickAll();
    void RemoveTicked() { RemoveWhere(true); }
    void RemoveUnticked() { RemoveWhere(false); }
    // Removes every entry and the record of skipped entries.
    void Clear();

    // The ticked paths in list order: what a run works on.
    std::vector<std::string> TickedPaths() const;
    // The same paths as the set holds them, without a copy: valid while no
    // entry is removed (a window allows no removal during a run).
    std::vector<const std::string*> TickedPathsInPlace() const;

    // Files added by the current folder walk; the stop button resets it.
    int AddedCount() const noexcept { return addedCount_; }
    void ResetAddedCount() noexcept { addedCount_ = 0; }

    // Called with AddedCount after each file the walk adds.
    void SetFileAddedHandler(std::function<void(int addedCount)> handler) {
        fileAdded_ = std::move(handler);
    }
    // Called between the entries of a folder so that a window stays live.
    void SetWalkYield(std::function<void()> yield) { walkYield_ = std::move(yield); }
    // A walk ends soon after `stop` becomes true (checked after each yield);
    // nullptr: walks are not stopped. Not owned.
    void SetWalkStop(const std::atomic<bool>* stop) noexcept { walkStop_ = stop; }

    // Walks leave out what `filter` does not take, and do not enter the
    // folders it does not take; nullptr: they take everything. Not owned.
    void SetWalkFilter(WalkFilter* filter) noexcept { walkFilter_ = filter; }

    // The entries the walks since the last Clear/ClearSkipped left out, in
    // the order met, each path once.
    const std::vector<SkippedEntry>& Skipped() const noexcept { return skipped_; }
    std::size_t SkippedCount() const noexcept { return skipped_.size(); }
    void ClearSkipped();

private:
    struct ListedEntry;
    bool Walk(std::string& folder, const std::string& name, int parentFd, int depth);
    bool WalkListed(std::string& folder, const std::vector<ListedEntry>& listed, int folderFd,
                    int depth);
    bool Takes(const std::string& path, bool isFolder) const;
    int OpenFolder(std::string& folder, const std::string& name, int parentFd, bool nested);
    std::vector<ListedEntry> ListFolder(int fd, std::string& folder);
    void SkipFolder(std::string& folder, int error);
    void Judge(int folderFd, unsigned char type, const std::string& path, ListedEntry& entry) const;
    void JudgeLink(int folderFd, const std::string& path, ListedEntry& entry) const;
    void Skip(const std::string& path, SkipReason reason, int error = 0);
    bool AddWalked(const std::string& path);
    void Index() const;
    void RemoveWhere(bool ticked);

    // A deque never moves its entries, so the set can look at their paths.
    std::deque<FileSetEntry> entries_;
    // The paths of the first `indexed_` entries. Entries are indexed when a
    // path is looked up, not as a walk adds them: a walk into an empty set
    // (the command line's) needs no index at all.
    mutable std::unordered_set<std::string_view> known_;
    mutable std::size_t indexed_ = 0;
    int addedCount_ = 0;
    std::function<void(int)> fileAdded_;
    std::function<void()> walkYield_;
    const std::atomic<bool>* walkStop_ = nullptr;
    WalkFilter* walkFilter_ = nullptr;
    // Where the walked folder's entries' paths start in the path buffer.
    std::size_t walkRootLength_ = 0;
    // The walked folder's real path, ending in "/", for the link test;
    // empty when it could not be resolved (no file link is then added).
    std::string walkRoot_;
    // Levels of the walk that keep their folder handle open (see Walk).
    int heldDepth_ = 0;
    std::vector<SkippedEntry> skipped_;
    std::unordered_set<std::string> skippedPaths_;
};

} // namespace kelvara
