#include "search/BatchSettings.h"

#include <algorithm>

#include <sys/stat.h>

#include "common/AnsiString.h"
#include "common/CodePageConversion.h"

namespace kelvara {

namespace {

// More entries than anyone types in a lifetime of runs: a larger count is a
// damaged file, and reading it whole would exhaust memory with empty entries.
constexpr int kMaxHistoryRead = 100000;

std::string ValueKey(std::size_t index) { return std::to_string(index) + ".vvalue"; }

// The settings file holds texts in the default code page, while the find and
// replace histories hold them as typed, in UTF-8. Globs are paths: their bytes
// stay as they are.
enum class HistoryKind { Typed, Paths };

std::vector<std::string> ReadHistory(const TIniFile& ini, std::string_view section,
                                     HistoryKind kind) {
    std::vector<std::string> history;
    const int count = std::min(ini.ReadInteger(section, "count", 0), kMaxHistoryRead);
    for (int i = 0; i < count; ++i) {
        std::string stored = ini.ReadString(section, ValueKey(i), "");
        if (kind == HistoryKind::Paths) {
            history.push_back(std::move(stored));
            continue;
        }
        history.emplace_back();
        RecodeLenient(stored, TextCodePage(), CodePage::Utf8, history.back());
    }
    return history;
}

// A typed text the settings file's code page cannot hold stays out: written
// as it is, it would come back as other characters.
void WriteHistory(TIniFile& ini, std::string_view section, const std::vector<std::string>& history,
                  HistoryKind kind) {
    std::size_t written = 0;
    for (const std::string& item : history) {
        std::string stored = item;
        if (kind == HistoryKind::Typed) {
            stored.clear();
            if (RecodeText(item, CodePage::Utf8, TextCodePage(), stored)) continue;
        }
        ini.WriteString(section, ValueKey(written++), stored);
    }
    ini.WriteInteger(section, "count", static_cast<int>(written));
}

std::string WithoutTrailingSlash(std::string folder) {
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

} // namespace

BatchSettings LoadBatchSettings(const TIniFile& ini, const std::string& exeDirectory) {
    BatchSettings settings;
    settings.findHistory = ReadHistory(ini, "findstr", HistoryKind::Typed);
    settings.replaceHistory = ReadHistory(ini, "replacestr", HistoryKind::Typed);
    settings.includeHistory = ReadHistory(ini, "includeglob", HistoryKind::Paths);
    settings.excludeHistory = ReadHistory(ini, "excludeglob", HistoryKind::Paths);
    settings.folder = ini.ReadString("dlb1", "path", WithoutTrailingSlash(exeDirectory));
    settings.drive = ini.ReadString("dcb1", "path", MountPointOf(exeDirectory));
    return settings;
}

void SaveBatchSettings(TIniFile& ini, const BatchSettings& settings) {
    WriteHistory(ini, "findstr", settings.findHistory, HistoryKind::Typed);
    WriteHistory(ini, "replacestr", settings.replaceHistory, HistoryKind::Typed);
    WriteHistory(ini, "includeglob", settings.includeHistory, HistoryKind::Paths);
    WriteHistory(ini, "excludeglob", settings.excludeHistory, HistoryKind::Paths);
    ini.WriteString("dlb1", "path", settings.folder);
    ini.WriteString("dcb1", "path", settings.drive);
}

void AddToHistory(std::vector<std::string>& history, std::string_view text) {
    const std::string folded = LowerCaseLetters(text, CodePage::Utf8);
    const bool present = std::any_of(history.begin(), history.end(), [&](const std::string& item) {
        return item.size() == folded.size() && LowerCaseLetters(item, CodePage::Utf8) == folded;
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
