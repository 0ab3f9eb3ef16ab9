#include "search/ReplaceUndo.h"

#include <algorithm>
#include <set>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "common/FileAccess.h"
#include "common/FileRewrite.h"
#include "common/LineFile.h"
#include "common/MessageCatalogue.h"

namespace kelvara {

namespace {

// The newer runs not undone that rewrote a file of `run`: their ids.
std::vector<std::string> NewerRunsOverlapping(const std::vector<JournalRun>& runs,
                                              const JournalRun& run) {
    std::set<std::string> targets;
    for (const JournalFile& file : run.files)
        targets.insert(file.target);
    std::vector<std::string> newer;
    for (const JournalRun& other : runs) {
        if (other.id <= run.id || other.undone) continue;
        if (std::any_of(other.files.begin(), other.files.end(),
                        [&](const JournalFile& file) { return targets.contains(file.target); }))
            newer.push_back(other.id);
    }
    return newer;
}

// The saved old content of `file`, checked against its digest: the old file
// kept in the run's folder, or its copy in `data`.
bool ReadSavedContent(const std::string& runFolder, int dataFd, const JournalFile& file,
                      std::string& bytes) {
    if (!file.keptName.empty()) {
        return file.keptName.find('/') == std::string::npos &&
               !ReadFileBytes(runFolder + "/" + file.keptName, bytes) &&
               DigestOf(bytes) == file.oldDigest;
    }
    bytes.resize(file.dataLength);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = pread(dataFd, bytes.data() + done, bytes.size() - done,
                                  static_cast<off_t>(file.dataOffset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<std::size_t>(got);
    }
    return DigestOf(bytes) == file.oldDigest;
}

class Restorer {
public:
    Restorer(const std::string& runFolder, int dataFd, UndoResult& result)
        : runFolder_(runFolder), dataFd_(dataFd), result_(result) {}

    void Restore(const JournalFile& file) {
        FileIdentity now;
        if (FileStatus error = ReadFileBytes(file.target, current_, &now))
            return Skip(file, FormatMessage(Translate("kelvara::Journal", "读不出来：%1"),
                                            {error->reason}));
        const ContentDigest digest = DigestOf(current_);
        if (digest == file.oldDigest) {
            ++result_.alreadyOld;
            return;
        }
        if (digest != file.newDigest)
            return Skip(file, Translate("kelvara::Journal", "替换以后又被改动过，没有撤销"));
        if (!ReadSavedContent(runFolder_, dataFd_, file, saved_))
            return Skip(file, Translate("kelvara::Journal", "日志里保存的原内容已损坏，没有撤销"));
        FileRewrite rewrite;
        FileStatus error = rewrite.Begin(file.target, now);
        if (!error) error = rewrite.Append(saved_);
        if (!error) error = rewrite.Commit(current_);
        if (error) return Skip(file, error->reason);
        result_.restored.push_back(file.target);
    }

private:
    void Skip(const JournalFile& file, std::string_view reason) {
        result_.skipped.push_back({file.target, std::string(reason)});
    }

    const std::string& runFolder_;
    int dataFd_;
    UndoResult& result_;
    std::string current_;
    std::string saved_;
};

} // namespace

UndoResult UndoReplaceRun(const JournalSettings& settings, const std::string& runId) {
    UndoResult result;
    const std::vector<JournalRun> runs = ListJournalRuns(settings);
    const auto run = std::find_if(runs.begin(), runs.end(), [&](const JournalRun& candidate) {
        return runId.empty() ? !candidate.undone : candidate.id == runId;
    });
    if (run == runs.end()) {
        result.refused =
            runId.empty()
                ? std::string(Translate("kelvara::Journal", "没有可以撤销的批量替换"))
                : FormatMessage(Translate("kelvara::Journal", "没有这次批量替换：%1"), {runId});
        return result;
    }
    const std::vector<std::string> newer = NewerRunsOverlapping(runs, *run);
    if (!newer.empty()) {
        result.refused = FormatMessage(
            Translate("kelvara::Journal",
                      "较新的批量替换 %1 又改写了其中的文件；请先撤销它（批量替换要从新到旧撤销）"),
            {newer.front()});
        return result;
    }
    const FileHandle index(open((run->folder + "/index").c_str(), O_RDONLY | O_CLOEXEC));
    if (index.Get() < 0 || flock(index.Get(), LOCK_EX | LOCK_NB) != 0) {
        result.refused =
            FormatMessage(Translate("kelvara::Journal", "这次批量替换还在进行：%1"), {run->id});
        return result;
    }
    const FileHandle data(open((run->folder + "/data").c_str(), O_RDONLY | O_CLOEXEC));
    Restorer restorer(run->folder, data.Get(), result);
    for (const JournalFile& file : run->files)
        restorer.Restore(file);
    const FileHandle mark(
        open((run->folder + "/undone").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
    if (mark.Get() >= 0) fsync(mark.Get());
    return result;
}

} // namespace kelvara
