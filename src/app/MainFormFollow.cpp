#include <set>
#include <utility>

#include <sys/stat.h>

#include "app/DocumentEvents.h"
#include "app/MainForm.h"
#include "app/MdiChild.h"
#include "common/AskUser.h"
#include "common/FileAccess.h"
#include "common/LineFile.h"
#include "common/PathHelpers.h"
#include "platform/UiText.h"

// Open documents follow the files a batch replace or an undo rewrites.
namespace kelvara {

namespace {

using FileKey = std::pair<dev_t, ino_t>;

// The files `paths` lead to now, by device and inode: a document opened
// through a link or another spelling of the path is found too.
std::set<FileKey> FilesOf(const std::vector<std::string>& paths) {
    std::set<FileKey> files;
    for (const std::string& path : paths) {
        struct stat info {};
        if (StatPath(path, info)) files.emplace(info.st_dev, info.st_ino);
    }
    return files;
}

bool Among(const std::set<FileKey>& files, const std::string& path) {
    struct stat info {};
    return !files.empty() && StatPath(path, info) && files.contains({info.st_dev, info.st_ino});
}

} // namespace

std::vector<std::string> TMainForm::UnsavedAmong(const std::vector<std::string>& paths) {
    const std::set<FileKey> files = FilesOf(paths);
    std::vector<std::string> unsaved;
    for (TMDIChild* window : Documents())
        if (window->Modified() && Among(files, window->Path())) unsaved.push_back(window->Path());
    return unsaved;
}

void TMainForm::FilesRewritten(const std::vector<std::string>& paths) {
    const std::set<FileKey> files = FilesOf(paths);
    for (TMDIChild* window : Documents()) {
        if (!Among(files, window->Path())) continue;
        const FileStamp now = StampOfFile(window->Path());
        if (window->Modified()) {
            const std::string question =
                MessageText(tr("%1 已被批量替换改写，而编辑器里还有没保存的修改。\n"
                               "保留编辑器里的文字（是），还是载入文件的新内容（否）？"),
                            {PathInText(window->Path())});
            if (AskUser(question, PathInText(FileNameOfPath(window->Path())), 3) == kIdYes) {
                // The user keeps the text; the rewrite is not asked about again.
                window->SetStamp(now);
                continue;
            }
        }
        std::string bytes;
        if (const FileStatus error = ReadFileBytes(window->Path(), bytes)) {
            AskUser(PathInText(error->Message()), "**_*", 2);
            continue;
        }
        const DocumentEventsOff eventsOff;
        window->ReloadKeepingPlace(std::move(bytes), now);
        window->PrepareViews();
        window->ShowStateCaption();
    }
}

} // namespace kelvara
