#include <algorithm>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "app/MainForm.h"
#include "app/MdiChild.h"
#include "common/AppPaths.h"
#include "common/AskUser.h"
#include "common/FileEncoding.h"
#include "common/PathHelpers.h"
#include "platform/UiText.h"

// Closed by SIGTERM or SIGHUP, the frame cannot ask whether to save: nobody may
// be there to answer, and a SIGKILL may follow. The unsaved text of each
// document goes to "recovery/new/" in Kelvara's state folder instead, written as
// a save would write it, and the next start moves the copies up into
// "recovery/" and opens them, so each is shown once and none is lost.
namespace kelvara {

namespace {

std::string RecoveryFolder() { return StateFolder() + "recovery/"; }

std::string TimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// `folder` + `name`, or with "2-", "3-", ... before the name where that is taken.
std::string FreeName(const std::string& folder, const std::string& name) {
    std::string candidate = folder + name;
    std::error_code error;
    for (int n = 2; std::filesystem::exists(candidate, error); ++n)
        candidate = folder + std::to_string(n) + "-" + name;
    return candidate;
}

// What a save would write; a text that its own encoding cannot take back
// (UTF-16 units that were no character) is kept in the document's code page.
FileStatus WriteCopy(const TMDIChild& window, const std::string& target) {
    auto problem = window.WriteTo(target, window.Encoding());
    if (problem && std::holds_alternative<EncodingProblem>(*problem))
        problem = window.WriteTo(target, PlainEncoding(window.Encoding().codePage));
    if (!problem) return std::nullopt;
    if (const auto* error = std::get_if<FileError>(&*problem)) return *error;
    return FileError{target, SystemReason(EIO)}; // not met: the code page takes its own text
}

} // namespace

std::vector<const TMDIChild*> TMainForm::KeepUnsavedForRecovery() {
    const UnattendedBoxes unattended; // every word goes to standard error
    const std::string folder = RecoveryFolder() + "new/";
    const std::string stem = TimeStamp();
    std::vector<const TMDIChild*> kept;
    for (const TMDIChild* window : Documents()) {
        if (!window->Modified()) continue;
        std::string name = FileNameOfPath(window->Path());
        if (window->Stamp().size < 0 && ExtractFileExt(name).empty()) name += ".txt";
        std::error_code ignored; // a failure shows when the copy is written
        std::filesystem::create_directories(folder, ignored);
        const std::string target = FreeName(folder, stem + "-" + name);
        if (const FileStatus error = WriteCopy(*window, target)) {
            AskUser(MessageText(tr("%1 没有保存的修改没能另存：%2"),
                                {PathInText(window->Path()), PathInText(error->Message())}),
                    "Kelvara", 2);
            continue;
        }
        AskUser(MessageText(tr("%1 没有保存的修改另存在 %2"),
                            {PathInText(window->Path()), PathInText(target)}),
                "Kelvara", 2);
        kept.push_back(window);
    }
    return kept;
}

void TMainForm::OpenRecovered() {
    const std::string folder = RecoveryFolder();
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder + "new", error))
        if (entry.is_regular_file(error)) names.push_back(entry.path().filename().string());
    if (names.empty()) return;
    std::sort(names.begin(), names.end());
    int opened = 0;
    for (const std::string& name : names) {
        const std::string target = FreeName(folder, name);
        std::filesystem::rename(folder + "new/" + name, target, error);
        if (error) {
            AskUser(MessageText(tr("%1 没能移到 %2：%3"), {PathInText(folder + "new/" + name),
                                                           PathInText(folder), error.message()}),
                    "Kelvara", 2);
            continue;
        }
        opened += OpenDocumentWith(target, false) ? 1 : 0;
    }
    if (opened > 0)
        AskUser(MessageText(tr("Kelvara 上次被系统关闭时，有 %1 个文档没有保存。它们的修改另存在 "
                               "%2，现在打开了。"),
                            {std::to_string(opened), PathInText(folder)}),
                "Kelvara", 2);
}

} // namespace kelvara
