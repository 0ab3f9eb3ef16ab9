#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace kelvara {

// One entry of the file set: a full path and its check mark.
struct FileSetEntry {
    std::string path;
    bool ticked = false;
};

// The ordered list of files a batch run works on. Entries keep the order in
// which they were added; no path is present twice (compared exactly, as the
// file system does).
class FileSet {
public:
    std::size_t Count() const noexcept { return entries_.size(); }
    bool Empty() const noexcept { return entries_.empty(); }
    const FileSetEntry& Entry(std::size_t index) const { return entries_[index]; }
    void SetTicked(std::size_t index, bool ticked) { entries_[index].ticked = ticked; }
    bool Contains(std::string_view path) const { return known_.contains(path); }

    // Appends the path unticked unless it is already present.
    bool Add(const std::string& path);

    // Adds every file below the folder, depth first, names sorted by byte
    // order inside each folder. Folders whose name begins with "." and links
    // to folders are skipped; folders that cannot be listed add nothing.
    // AddedCount is 0 before and after the walk and counts the files added.
    void AddDirectoryFiles(const std::string& folder);

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

    void TickAll();
    void UntickAll();
    void RemoveTicked() { RemoveWhere(true); }
    void RemoveUnticked() { RemoveWhere(false); }
    void Clear();

    // The ticked paths in list order: what a run works on.
    std::vector<std::string> TickedPaths() const;

    // Files added by the current folder walk; the stop button resets it.
    int AddedCount() const noexcept { return addedCount_; }
    void ResetAddedCount() noexcept { addedCount_ = 0; }

    // Called with AddedCount after each file the walk adds.
    void SetFileAddedHandler(std::function<void(int addedCount)> handler) {
        fileAdded_ = std::move(handler);
    }
    // Called between the entries of a folder so that a window stays live.
    void SetWalkYield(std::function<void()> yield) { walkYield_ = std::move(yield); }

private:
    void Walk(std::string& folder);
    void RemoveWhere(bool ticked);

    // A deque never moves its entries, so the set can look at their paths.
    std::deque<FileSetEntry> entries_;
    std::unordered_set<std::string_view> known_;
    int addedCount_ = 0;
    std::function<void(int)> fileAdded_;
    std::function<void()> walkYield_;
};

} // namespace kelvara
