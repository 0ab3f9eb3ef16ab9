#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "search/PathGlob.h"

namespace kelvara {

// Which entries a folder walk takes, by the globs the user gave ("-g GLOB",
// "!" to exclude) and, when asked, by the .gitignore and .ignore files of the
// walked folders. Paths are relative to the folder a walk starts at. As in
// ripgrep: among the user's globs the one given last that matches decides; a
// file no glob matches is left out when there is any including glob; only
// then the ignore files are asked, the deepest folder's first, its .ignore
// before its .gitignore, the last matching line of a file deciding. A folder
// that is left out is not entered at all.
class WalkFilter {
public:
    // False, with `error` saying why, for a glob that cannot be used.
    bool AddGlob(std::string_view glob, std::string& error);
    // Off by default: a replace must not pass over files the user did not
    // choose to leave out.
    void SetIgnoreFiles(bool honour) noexcept { ignoreFiles_ = honour; }
    bool IgnoreFiles() const noexcept { return ignoreFiles_; }
    // Whether it leaves anything out at all.
    bool Empty() const noexcept { return globs_.empty() && !ignoreFiles_; }

    // The walk's side. A walk starts at `relative` "" and enters each folder
    // it takes (open as `folderFd`) before asking about its entries, and
    // leaves it afterwards.
    void EnterFolder(int folderFd, std::string_view relative);
    void LeaveFolder();
    bool Takes(std::string_view relative, bool isFolder) const;

private:
    // The ignore files of one folder of the walk.
    struct Level {
        std::size_t base = 0; // where its entries' names start in a relative path
        std::vector<PathGlob> ignore;
        std::vector<PathGlob> gitignore;
    };
    static const PathGlob* LastMatch(const std::vector<PathGlob>& globs, std::string_view relative,
                                     bool isFolder);
    static void ReadRules(int folderFd, const char* name, std::vector<PathGlob>& rules);

    std::vector<PathGlob> globs_;
    bool including_ = false; // some glob of the user's is not negated
    bool ignoreFiles_ = false;
    std::vector<Level> levels_;
    std::size_t depth_ = 0; // levels_ in use
};

} // namespace kelvara
