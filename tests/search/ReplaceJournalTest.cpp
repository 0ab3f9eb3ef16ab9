#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "TestFolder.h"
#include "common/AskUser.h"
#include "search/BatchReplace.h"
#include "search/JournalRecord.h"
#include "search/JournalRuns.h"
#include "search/ReplaceUndo.h"

namespace kelvara {
namespace {

// A replace journal of the test's own, in a fresh state folder.
struct JournalFixture {
    JournalFixture() {
        setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
        SetAskUserSink([](const MessageBoxRequest&) { return kIdYes; });
        settings = JournalSettingsOf(TIniFile(""));
    }
    ~JournalFixture() {
        setenv("XDG_STATE_HOME", KELVARA_TEST_STATE_HOME, 1);
        SetAskUserSink({});
    }

    BatchResult Replace(std::string_view text, std::string_view replacement,
                        const BatchHooks& hooks = {}) {
        FileSet files;
        for (const std::string& path : paths)
            files.Add(path);
        files.TickAll();
        std::vector<std::string> findHistory, replaceHistory;
        ResultTree tree;
        return RunBatchReplace(text, replacement, findHistory, replaceHistory, files, {}, tree,
                               hooks);
    }

    TestFolder state;
    TestFolder dir;
    JournalSettings settings;
    std::vector<std::string> paths;
};

struct stat StatOf(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return info;
}

TEST(ReplaceJournalTest, UndoGivesBackEveryFileAsItWasAndLeavesOnesEditedSince) {
    JournalFixture f;
    const std::string a = f.dir.Write("a.txt", "cat one\r\ncat");
    const std::string b = f.dir.Write("b.txt", "a cat\n");
    const std::string edited = f.dir.Write("c.txt", "cat\n");
    const std::string none = f.dir.Write("d.txt", "dog\n");
    chmod(b.c_str(), 0640);
    link(b.c_str(), (f.dir / "b-link.txt").c_str());
    f.paths = {a, b, edited, none};
    const ino_t oldInodeOfA = StatOf(a).st_ino;
    const BatchResult result = f.Replace("cat", "tiger");
    ASSERT_EQ(result.filesWritten, 3);
    ASSERT_FALSE(result.journalRun.empty());
    // a was renamed over: the journal keeps its old file whole, no copy. b,
    // written in place because of its second name, must be copied.
    const std::vector<JournalFile> saved = ListJournalRuns(f.settings).at(0).files;
    ASSERT_EQ(saved.size(), 3u);
    ASSERT_FALSE(saved[0].keptName.empty());
    const std::string runFolder = f.settings.folder + "/" + result.journalRun;
    EXPECT_EQ(StatOf(runFolder + "/" + saved[0].keptName).st_ino, oldInodeOfA);
    EXPECT_EQ(saved[1].keptName, "");
    EXPECT_EQ(TestFolder::Read(runFolder + "/data").substr(saved[1].dataOffset, 6), "a cat\n");
    std::ofstream(edited, std::ios::app) << "mine\n";

    const UndoResult undo = UndoReplaceRun(f.settings, "");
    EXPECT_EQ(undo.refused, "");
    EXPECT_EQ(undo.restored, (std::vector<std::string>{a, b}));
    ASSERT_EQ(undo.skipped.size(), 1u);
    EXPECT_EQ(undo.skipped[0].path, edited);
    EXPECT_EQ(TestFolder::Read(a), "cat one\r\ncat");
    EXPECT_EQ(TestFolder::Read(b), "a cat\n");
    EXPECT_EQ(TestFolder::Read(edited), "tiger\nmine\n");
    EXPECT_EQ(StatOf(b).st_mode & 07777, 0640u);
    EXPECT_EQ(StatOf(b).st_nlink, 2u); // the hard link still shares the file
    EXPECT_EQ(TestFolder::Read(f.dir / "b-link.txt"), "a cat\n");
    EXPECT_EQ(StatOf(a).st_nlink, 1u);

    // Undone once; nothing left to undo, and the list says so.
    const std::vector<JournalRun> runs = ListJournalRuns(f.settings);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE(runs[0].undone && runs[0].ended && !runs[0].damaged);
    EXPECT_EQ(runs[0].description.searchText, "cat");
    EXPECT_FALSE(UndoReplaceRun(f.settings, "").refused.empty());
}

// The journal names each file where the run wrote it, also when a folder on
// its path is swapped during the run: the same path then leads elsewhere.
TEST(ReplaceJournalTest, AFolderSwappedDuringTheRunIsJournaledWhereItsFilesWereWritten) {
    JournalFixture f;
    const std::string a = f.dir.Write("one/a.txt", "cat a\n");
    const std::string oneC = f.dir.Write("one/c.txt", "cat one\n");
    const std::string twoC = f.dir.Write("two/c.txt", "cat two\n");
    std::filesystem::create_directory_symlink("one", f.dir / "link");
    f.paths = {f.dir / "link/a.txt", f.dir / "link/c.txt"};
    // The run yields before a file, at each line, and before the next file:
    // the third time, a.txt is journaled and c.txt not yet read.
    int yields = 0;
    BatchHooks hooks;
    hooks.yield = [&] {
        if (++yields != 3) return;
        std::filesystem::remove(f.dir / "link");
        std::filesystem::create_directory_symlink("two", f.dir / "link");
    };
    const BatchResult result = f.Replace("cat", "dog", hooks);
    ASSERT_EQ(result.filesWritten, 2);
    EXPECT_EQ(TestFolder::Read(a), "dog a\n");
    EXPECT_EQ(TestFolder::Read(oneC), "cat one\n");
    EXPECT_EQ(TestFolder::Read(twoC), "dog two\n");

    const std::string real = std::filesystem::canonical(f.dir.Path());
    const UndoResult undo = UndoReplaceRun(f.settings, "");
    EXPECT_EQ(undo.restored, (std::vector<std::string>{real + "/one/a.txt", real + "/two/c.txt"}));
    EXPECT_TRUE(undo.skipped.empty());
    EXPECT_EQ(TestFolder::Read(a), "cat a\n");
    EXPECT_EQ(TestFolder::Read(twoC), "cat two\n");
}

TEST(ReplaceJournalTest, RunsAreUndoneNewestFirst) {
    JournalFixture f;
    const std::string a = f.dir.Write("a.txt", "cat\n");
    f.paths = {a};
    const std::string first = f.Replace("cat", "dog").journalRun;
    f.Replace("dog", "emu");
    EXPECT_FALSE(UndoReplaceRun(f.settings, first).refused.empty());
    EXPECT_EQ(TestFolder::Read(a), "emu\n");
    EXPECT_EQ(UndoReplaceRun(f.settings, "").restored.size(), 1u);
    EXPECT_EQ(UndoReplaceRun(f.settings, first).restored.size(), 1u);
    EXPECT_EQ(TestFolder::Read(a), "cat\n");
}

TEST(ReplaceJournalTest, AJournalThatCannotBeWrittenStopsTheReplaceBeforeAnyFile) {
    JournalFixture f;
    // The state folder is a file: no journal can be made below it.
    const std::string blocker = f.state.Write("blocker", "");
    setenv("XDG_STATE_HOME", blocker.c_str(), 1);
    const std::string a = f.dir.Write("a.txt", "cat\n");
    f.paths = {a};
    const BatchResult result = f.Replace("cat", "dog");
    EXPECT_EQ(result.outcome, BatchOutcome::Failed);
    ASSERT_TRUE(result.error);
    EXPECT_NE(result.error->reason.find("替换日志"), std::string::npos);
    EXPECT_EQ(TestFolder::Read(a), "cat\n");
}

TEST(ReplaceJournalTest, DamagedJournalsAreReportedAndTheirDamagedCopiesNeverWritten) {
    JournalFixture f;
    const std::string a = f.dir.Write("a.txt", "cat a\n");
    const std::string b = f.dir.Write("b.txt", "cat b\n");
    f.paths = {a, b};
    const std::string run = f.Replace("cat", "dog").journalRun;
    const std::string folder = f.settings.folder + "/" + run;
    // A killed run's last record cut short, and the saved copy of b (the old
    // file kept in the journal) spoilt.
    const std::string index = TestFolder::Read(folder + "/index");
    std::ofstream(folder + "/index", std::ios::binary) << index.substr(0, index.size() - 5);
    std::fstream data(folder + "/old-1", std::ios::in | std::ios::out | std::ios::binary);
    ASSERT_TRUE(data.is_open());
    data.seekp(2);
    data << 'X';
    data.close();

    const std::vector<JournalRun> runs = ListJournalRuns(f.settings);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE(runs[0].damaged);
    EXPECT_FALSE(runs[0].ended);
    const UndoResult undo = UndoReplaceRun(f.settings, run);
    EXPECT_EQ(undo.restored, (std::vector<std::string>{a}));
    ASSERT_EQ(undo.skipped.size(), 1u);
    EXPECT_EQ(undo.skipped[0].path, b);
    EXPECT_EQ(TestFolder::Read(b), "dog b\n");
}

// A run journaled before old files were kept by a second name has file
// records without that name: its saved contents are in `data`, and an undo
// still takes them from there.
TEST(ReplaceJournalTest, RunsOfAnEarlierKelvaraAreStillUndone) {
    JournalFixture f;
    const std::string a = f.dir.Write("a.txt", "dog\n");
    const std::string folder = f.settings.folder + "/20261201-000000.000000-1";
    std::filesystem::create_directories(folder);
    const std::string old = "cat\n";
    std::ofstream(folder + "/data", std::ios::binary) << old;
    std::ofstream(folder + "/index", std::ios::binary)
        << JournalRecordBuilder(JournalRecordType::Header)
               .U64(1)
               .Text("kelvara replace")
               .Text("cat")
               .Text("dog")
               .Text("/")
               .Finish()
        << JournalRecordBuilder(JournalRecordType::File)
               .U32(0)
               .Text(a)
               .Text(a)
               .U64(0)
               .U64(0)
               .U64(4)
               .U64(0)
               .U64(0)
               .U64(0)
               .U64(old.size())
               .Digest(DigestOf(old))
               .Digest(DigestOf("dog\n"))
               .Finish();
    const std::vector<JournalRun> runs = ListJournalRuns(f.settings);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_FALSE(runs[0].damaged);
    ASSERT_EQ(runs[0].files.size(), 1u);
    EXPECT_EQ(runs[0].files[0].keptName, "");
    EXPECT_EQ(UndoReplaceRun(f.settings, "").restored, std::vector<std::string>{a});
    EXPECT_EQ(TestFolder::Read(a), old);
}

TEST(ReplaceJournalTest, OldestRunsGoBeyondTheCountAndTheSize) {
    JournalFixture f;
    const std::string a = f.dir.Write("a.txt", std::string(10000, 'x') + "\n");
    f.paths = {a};
    std::vector<std::string> runs;
    const char* texts[] = {"x", "y", "z", "x"};
    for (int i = 0; i < 3; ++i)
        runs.push_back(f.Replace(texts[i], texts[i + 1]).journalRun);
    f.settings.keepRuns = 2;
    PruneJournal(f.settings);
    std::vector<JournalRun> kept = ListJournalRuns(f.settings);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].id, runs[2]);
    EXPECT_EQ(kept[1].id, runs[1]);
    // Each run saved 10 KB: room for one, and the newest always stays.
    f.settings.keepBytes = 15000;
    PruneJournal(f.settings);
    kept = ListJournalRuns(f.settings);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].id, runs[2]);
    // Keeping no runs keeps no journal.
    f.settings.keepRuns = 0;
    JournalWriter off;
    ASSERT_FALSE(off.Start(f.settings, {}));
    EXPECT_FALSE(off.Started());
    EXPECT_TRUE(ListJournalRuns(f.settings).empty());
}

} // namespace
} // namespace kelvara
