#include "search/JournalRuns.h"

#include <algorithm>
#include <filesystem>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/FileAccess.h"
#include "common/LineFile.h"
#include "search/JournalRecord.h"

namespace kelvara {

namespace {

bool ReadHeader(std::string_view fields, JournalRun& run) {
    JournalFieldReader reader(fields);
    return reader.I64(run.startedNanoseconds) && reader.Text(run.description.what) &&
           reader.Text(run.description.searchText) && reader.Text(run.description.replacement) &&
           reader.Text(run.currentFolder);
}

bool ReadFileRecord(std::string_view fields, JournalFile& file) {
    JournalFieldReader reader(fields);
    std::uint32_t index = 0;
    return reader.U32(index) && reader.Text(file.path) && reader.Text(file.target) &&
           reader.U64(file.old.device) && reader.U64(file.old.inode) && reader.I64(file.old.size) &&
           reader.I64(file.old.modifiedSeconds) && reader.I64(file.old.modifiedNanoseconds) &&
           reader.U64(file.dataOffset) && reader.U64(file.dataLength) &&
           reader.Digest(file.oldDigest) && reader.Digest(file.newDigest) &&
           (reader.AtEnd() || reader.Text(file.keptName));
}

// Reads the records after the header; false at bytes that are not a whole,
// well-formed record.
bool ReadRecords(std::string_view index, std::size_t offset, JournalRun& run) {
    bool damaged = false;
    while (std::optional<JournalRecord> record = NextJournalRecord(index, offset, damaged)) {
        JournalFieldReader reader(record->fields);
        std::uint32_t number = 0;
        switch (record->type) {
        case JournalRecordType::File: {
            JournalFile file;
            if (!ReadFileRecord(record->fields, file)) return false;
            run.files.push_back(std::move(file));
            break;
        }
        case JournalRecordType::Written:
            if (!reader.U32(number) || number >= run.files.size()) return false;
            run.files[number].written = true;
            break;
        case JournalRecordType::End:
            run.ended = true;
            break;
        default:
            return false;
        }
    }
    return !damaged;
}

std::uint64_t SizeOf(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

// Whether another process holds the run's lock (it is still writing it).
bool IsBusy(const std::string& folder) {
    const FileHandle index(open((folder + "/index").c_str(), O_RDONLY | O_CLOEXEC));
    if (index.Get() < 0) return false;
    if (flock(index.Get(), LOCK_EX | LOCK_NB) == 0) return false;
    return errno == EWOULDBLOCK;
}

void RemoveRun(const std::string& folder) {
    const FileHandle index(open((folder + "/index").c_str(), O_RDONLY | O_CLOEXEC));
    if (index.Get() >= 0 && flock(index.Get(), LOCK_EX | LOCK_NB) != 0) return;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

} // namespace

std::optional<JournalRun> ReadJournalRun(const std::string& folder) {
    std::string index;
    if (ReadFileBytes(folder + "/index", index)) return std::nullopt;
    JournalRun run;
    run.folder = folder;
    run.id = std::filesystem::path(folder).filename().string();
    std::size_t offset = 0;
    bool damaged = false;
    const std::optional<JournalRecord> header = NextJournalRecord(index, offset, damaged);
    if (!header || header->type != JournalRecordType::Header || !ReadHeader(header->fields, run))
        return std::nullopt;
    run.damaged = !ReadRecords(index, offset, run);
    run.undone = access((folder + "/undone").c_str(), F_OK) == 0;
    run.busy = IsBusy(folder);
    run.bytes = index.size() + SizeOf(folder + "/data");
    for (const JournalFile& file : run.files) {
        if (!file.keptName.empty()) run.bytes += file.dataLength;
    }
    return run;
}

std::vector<JournalRun> ListJournalRuns(const JournalSettings& settings) {
    std::vector<std::string> folders;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(settings.folder, error)) {
        if (entry.is_directory(error)) folders.push_back(entry.path().string());
    }
    std::sort(folders.rbegin(), folders.rend());
    std::vector<JournalRun> runs;
    for (const std::string& folder : folders) {
        if (std::optional<JournalRun> run = ReadJournalRun(folder)) runs.push_back(std::move(*run));
    }
    return runs;
}

void PruneJournal(const JournalSettings& settings) {
    if (settings.folder.empty()) return;
    const std::vector<JournalRun> runs = ListJournalRuns(settings);
    std::uint64_t kept = 0;
    bool full = false; // once a run does not fit, no older one is kept
    for (std::size_t i = 0; i < runs.size(); ++i) {
        full = full || i >= static_cast<std::size_t>(settings.keepRuns) ||
               (i > 0 && kept + runs[i].bytes > settings.keepBytes);
        if (full && !runs[i].busy)
            RemoveRun(runs[i].folder);
        else
            kept += runs[i].bytes;
    }
}

} // namespace kelvara
