#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "search/TestFolder.h"

// `kelvara replace --dry-run`, the journal of a real replace and `kelvara
// undo`, run as a user runs them.
namespace kelvara {
namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Starts `program args...` in `folder` with its own state folder; standard
// input from /dev/null (and from `input` when given).
pid_t Start(const std::string& folder, const std::string& state, std::vector<std::string> args,
            const std::string& out, const std::string& err, const std::string& input = "") {
    const pid_t child = fork();
    if (child == 0) {
        const int in = open(input.empty() ? "/dev/null" : input.c_str(), O_RDONLY);
        dup2(in, STDIN_FILENO);
        dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
        dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
        if (chdir(folder.c_str()) != 0) _exit(126);
        setenv("LC_ALL", "C.UTF-8", 1);
        setenv("XDG_STATE_HOME", state.c_str(), 1);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return child;
}

struct Workspace {
    TestFolder tree;   // the files replaced
    TestFolder copy;   // the same files, for a second run
    TestFolder state;  // the journal
    TestFolder output; // what the programs print

    Outcome Exec(const std::string& folder, std::vector<std::string> args,
                 const std::string& input = "") {
        const pid_t child =
            Start(folder, state.Path(), std::move(args), output / "out", output / "err", input);
        int status = 0;
        waitpid(child, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, TestFolder::Read(output / "out"),
                TestFolder::Read(output / "err")};
    }
    Outcome Kelvara(const std::string& folder, std::vector<std::string> args) {
        args.insert(args.begin(), KELVARA_EXECUTABLE);
        return Exec(folder, std::move(args));
    }
    // Every file below `folder` by its path there.
    static std::map<std::string, std::string> Contents(const std::string& folder) {
        std::map<std::string, std::string> contents;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file())
                contents[entry.path().lexically_relative(folder).string()] =
                    TestFolder::Read(entry.path().string());
        }
        return contents;
    }
};

void WriteBoth(Workspace& w, const std::string& name, const std::string& bytes) {
    w.tree.Write(name, bytes);
    w.copy.Write(name, bytes);
}

TEST(ReplaceUndoProgramTest, DryRunDiffAppliedWithPatchGivesWhatTheReplaceWrites) {
    Workspace w;
    WriteBoth(w, "a.txt", "one cat\r\ntwo\nthree cat cat\n4\n5\n6\n7\n8\n9\nten cat");
    WriteBoth(w, "sub/b c.txt", "x\ny cat\n");
    WriteBoth(w, "gbk.txt", "\xD6\xD0 cat \xCE\xC4\n");
    WriteBoth(w, "none.txt", "nothing\n");
    const auto before = Workspace::Contents(w.tree.Path());

    const Outcome dry = w.Kelvara(w.tree.Path(), {"replace", "-n", "cat", "Cow\nmoo", "."});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(Workspace::Contents(w.tree.Path()), before); // nothing written
    EXPECT_NE(dry.out.find("--- ./a.txt\t"), std::string::npos);
    EXPECT_NE(dry.out.find("\n-three cat cat\n+three Cow\n+moo Cow\n+moo\n"), std::string::npos);
    std::ofstream(w.output / "diff", std::ios::binary) << dry.out;

    const Outcome patch = w.Exec(w.tree.Path(), {"patch", "-p0", "--quiet"}, w.output / "diff");
    ASSERT_EQ(patch.status, 0) << patch.out << patch.err;
    const Outcome real = w.Kelvara(w.copy.Path(), {"replace", "-y", "cat", "Cow\nmoo", "."});
    ASSERT_EQ(real.status, 0) << real.err;
    EXPECT_EQ(Workspace::Contents(w.tree.Path()), Workspace::Contents(w.copy.Path()));

    EXPECT_EQ(w.Kelvara(w.tree.Path(), {"replace", "--dry-run", "cat", "dog", "."}).status, 1);
    EXPECT_EQ(w.Kelvara(w.tree.Path(), {"find", "--dry-run", "cat", "."}).status, 2);
}

TEST(ReplaceUndoProgramTest, UndoListsRunsAndTakesTheNewestBack) {
    Workspace w;
    w.tree.Write("a.txt", "cat\n");
    w.tree.Write("b.txt", "cat cat\n");
    ASSERT_EQ(w.Kelvara(w.tree.Path(), {"replace", "-y", "cat", "dog", "."}).status, 0);
    ASSERT_EQ(w.Kelvara(w.tree.Path(), {"replace", "-y", "dog", "emu", "b.txt"}).status, 0);

    const Outcome list = w.Kelvara(w.tree.Path(), {"undo", "--list"});
    EXPECT_EQ(list.status, 0);
    EXPECT_NE(list.out.find("1  "), std::string::npos);
    EXPECT_NE(list.out.find("\"dog\" → \"emu\"  1 个文件  完成"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("\"cat\" → \"dog\"  2 个文件  完成"), std::string::npos) << list.out;

    // The older run waits for the newer one, which rewrote b.txt again.
    Outcome undo = w.Kelvara("/", {"undo", "2"});
    EXPECT_EQ(undo.status, 2);
    EXPECT_NE(undo.err.find("请先撤销"), std::string::npos) << undo.err;
    undo = w.Kelvara("/", {"undo"});
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(undo.out, w.tree.Path() + "/b.txt\n"); // an absolute path, wherever undo runs
    undo = w.Kelvara("/", {"undo"});
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(TestFolder::Read(w.tree / "a.txt"), "cat\n");
    EXPECT_EQ(TestFolder::Read(w.tree / "b.txt"), "cat cat\n");
    EXPECT_EQ(w.Kelvara("/", {"undo"}).status, 1);
}

// A replace killed at several moments, then undone, gives back every file.
TEST(ReplaceUndoProgramTest, UndoAfterAKilledReplaceGivesBackEveryFileItTouched) {
    Workspace w;
    const std::string file = [] {
        std::string text;
        for (int i = 0; i < 2500; ++i)
            text += "line " + std::to_string(i) + " holds cat here\n";
        return text;
    }();
    for (int i = 0; i < 80; ++i)
        w.tree.Write("f" + std::to_string(i) + ".txt", file);
    const auto before = Workspace::Contents(w.tree.Path());
    // Before the journal holds a file, with some files rewritten, with many.
    for (const int delayMs : {40, 300, 700}) {
        const pid_t child = Start(w.tree.Path(), w.state.Path(),
                                  {KELVARA_EXECUTABLE, "replace", "-y", "cat", "dog", "."},
                                  w.output / "out", w.output / "err");
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        std::size_t rewritten = 0;
        for (const auto& [name, content] : Workspace::Contents(w.tree.Path())) {
            ASSERT_TRUE(content == file || content.find("cat") == std::string::npos) << name;
            rewritten += content != file;
        }
        const Outcome undo = w.Kelvara("/", {"undo"});
        if (rewritten > 0) {
            EXPECT_EQ(undo.status, 0) << delayMs << undo.err;
        }
        EXPECT_EQ(Workspace::Contents(w.tree.Path()), before) << delayMs;
    }
}

} // namespace
} // namespace kelvara
