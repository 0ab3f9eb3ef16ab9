#include "search/BatchSettings.h"

#include <algorithm>

#include <sys/stat.h>

#include "common/AnsiString.h"

namespace kelvara {

namespace {

// More entries than anyone types in a lifetime of runs: a larger count is a
// damaged file, and reading it whole would exhaust memory with empty entries.
constexpr int kMaxHistoryRead = 100000;

std::string ValueKey(std::size_t index) { return std::to_string(index) + ".vvalue"; }

std::vector<std::string> ReadHistory(const TIniFile& ini, std::string_view section) {
    std::vector<std::string> history;
    const int count = std::min(ini.ReadInteger(section, "count", 0), kMaxHistoryRead);
    for (int i = 0; i < count; ++i)
        history.push_back(ini.ReadString(section, ValueKey(i), ""));
    return history;
}

void WriteHistory(TIniFile& ini, std::string_view section,
                  const std::vector<std::string>& history) {
    ini.WriteInteger(section, "count", static_cast<int>(history.size()));
    for (std::size_t i = 0; i < history.size(); ++i) {
        ini.WriteString(section, ValueKey(i), history[i]);
    }
}

std::string WithoutTrailingSlash(std::string folder) {
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

} // namespace

BatchSettings LoadBatchSettings(const TIniFile& ini, const std::string& exeDirectory) {
    BatchSettings settings;
    settings.findHistory = ReadHistory(ini, "findstr");
    settings.replaceHistory = ReadHistory(ini, "replacestr");
    settings.includeHistory = ReadHistory(ini, "includeglob");
    settings.excludeHistory = ReadHistory(ini, "excludeglob");
    settings.folder = ini.ReadString("dlb1", "path", WithoutTrailingSlash(exeDirectory));
    settings.drive = ini.ReadString("dcb1", "path", MountPointOf(exeDirectory));
    return settings;
}

void SaveBatchSettings(TIniFile& ini, const BatchSettings& settings) {
    WriteHistory(ini, "findstr", settings.findHistory);
    WriteHistory(ini, "replacestr", settings.replaceHistory);
    WriteHistory(ini, "includeglob", settings.includeHistory);
    WriteHistory(ini, "excludeglob", settings.excludeHistory);
    ini.WriteString("dlb1", "path", settings.folder);
    ini.WriteString("dcb1", "path", settings.drive);
}

void AddToHistory(std::vector<std::string>& history, std::string_view text) {
    const CodePage codePage = TextCodePage();
    const std::string folded = LowerCaseLetters(text, codePage);
    const bool present = std::any_of(history.begin(), history.end(), [&](const std::string& item) {
        return item.size() == folded.size() && LowerCaseLetters(item, codePage) == folded;
    });
    if (!present) history.emplace_back(text);
}

std::string MountPointOf(const std::string& path) {
    std::string current = WithoutTrailingSlash(path);
    struct stat info {};
    if (current.empty() || current[0] != '/' || stat(current.c_str(), &info) != 0) return "/";
    const dev_t device = info.st_dev;
    while (current != "/") {
        std::size_t slash = current.rfind('/');
        std::string parent = slash == 0 ? "/" : current.substr(0, slash);
        if (stat(parent.c_str(), &info) != 0 || info.st_dev != device) break;
        current = std::move(parent);
    }
    return current;
}

} // namespace kelvara
