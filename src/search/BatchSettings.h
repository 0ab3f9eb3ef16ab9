#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/IniFile.h"

namespace kelvara {

// What the batch window keeps between uses in the settings file.
struct BatchSettings {
    // The texts as typed, in UTF-8; the file holds them in the default code page.
    std::vector<std::string> findHistory;    // [findstr]
    std::vector<std::string> replaceHistory; // [replacestr]
    std::vector<std::string> includeHistory; // [includeglob]: globs the walks take
    std::vector<std::string> excludeHistory; // [excludeglob]: globs the walks leave out
    std::string folder;                      // [dlb1] path: the folder list's folder
    std::string drive;                       // [dcb1] path: the mount point of the drive box
};

// Reads the histories in their stored order (reading stops at count, so keys
// left by a longer earlier history are ignored; an absurd count is cut). Without a stored folder
// the executable's folder is used; without a stored drive, the mount point that holds it.
BatchSettings LoadBatchSettings(const TIniFile& ini, const std::string& exeDirectory);

// Writes every key of the settings; sections are not cleared first.
void SaveBatchSettings(TIniFile& ini, const BatchSettings& settings);

// Appends `text` (a text as typed, in UTF-8, or a path) to the history unless
// an item already equals it ignoring the letter case of the ASCII letters.
void AddToHistory(std::vector<std::string>& history, std::string_view text);

// The mount point of the file system that holds `path`.
std::string MountPointOf(const std::string& path);

} // namespace kelvara
