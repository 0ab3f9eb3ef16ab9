#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "search/TestFolder.h"

namespace kelvara {
namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the kelvara program with standard input from /dev/null, in a UTF-8
// locale, and collects what it writes (standard output goes to `device`
// instead when one is given). `environment` ("NAME=value") comes on top;
// `meanwhile` is called with the program's process while it runs.
Outcome RunKelvara(std::vector<std::string> args, const char* device = nullptr,
                   std::vector<std::string> environment = {},
                   const std::function<void(pid_t)>& meanwhile = {}) {
    const TestFolder outputs;
    const std::string outPath = device != nullptr ? device : outputs / "out";
    const std::string errPath = outputs / "err";
    const pid_t child = fork();
    if (child == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        setenv("LC_ALL", "C.UTF-8", 1);
        unsetenv("NO_COLOR");
        for (std::string& variable : environment)
            putenv(variable.data());
        args.insert(args.begin(), KELVARA_EXECUTABLE);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(KELVARA_EXECUTABLE, argv.data());
        _exit(127);
    }
    if (meanwhile) meanwhile(child);
    int status = 0;
    waitpid(child, &status, 0);
    Outcome outcome;
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (device == nullptr) outcome.out = TestFolder::Read(outPath);
    outcome.err = TestFolder::Read(errPath);
    return outcome;
}

bool Holds(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

TEST(KelvaraProgramTest, FindPrintsThePrunedTreeOrGrepLines) {
    TestFolder dir;
    const std::string a = dir.Write("a.txt", "one Cat\r\ncat cat\n");
    dir.Write("b.txt", "dog\n");
    const std::string c = dir.Write("sub/c.c", "\tcat");
    const std::string folder = dir.Path() + "/";

    Outcome run = RunKelvara({"find", "--codepage", "utf8", "CAT", dir.Path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, a +
                           "\n"
                           "  被找字：cat 在: 行： 1 列: 5\n"
                           "  被找字：cat 在: 行： 2 列: 1\n"
                           "  被找字：cat 在: 行： 2 列: 5\n" +
                           c + "\n  被找字：cat 在: 行： 1 列: 2\n");
    EXPECT_TRUE(Holds(run.err, "查找完毕\n"));
    EXPECT_TRUE(Holds(run.err, "读取文件 3 个，有结果的文件 2 个，找到 4 处"));

    run = RunKelvara(
        {"find", "-c", "-s", "--format=grep", "-e", ".c", "-e", "txt", "cat", dir.Path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, a + ":2:1\n" + a + ":2:5\n" + c + ":1:1\n");

    run = RunKelvara({"find", "-w", "-e", ".h", "cat", dir.Path(), c});
    EXPECT_EQ(run.status, 1); // only .h files ticked: nothing found
    EXPECT_EQ(run.out, "");
}

TEST(KelvaraProgramTest, GlobsChooseWhatTheFolderWalksTake) {
    TestFolder dir;
    const std::string a = dir.Write("a.c", "cat\n");
    dir.Write("vendor/b.c", "cat\n");
    const std::string named = dir.Write("vendor/named.c", "cat\n");
    dir.Write("c.txt", "cat\n");
    dir.Write("build/d.c", "cat\n");
    dir.Write(".gitignore", "build/\n");

    Outcome run = RunKelvara({"find", "--format=grep", "-g", "*.c", "-g", "!vendor/**",
                              "--ignore-files", "cat", dir.Path(), named});
    EXPECT_EQ(run.status, 0) << run.err;
    // A file named on the command line is searched whatever the globs say.
    EXPECT_EQ(run.out, a + ":1:1\n" + named + ":1:1\n");
    // A dry run shows the very files that replace would change, walking while
    // it runs or before.
    for (const char* threads : {"1", "2"}) {
        run = RunKelvara({"replace", "-n", "--threads", threads, "-g", "*.c", "-g", "!vendor/**",
                          "--ignore-files", "cat", "dog", dir.Path(), named});
        EXPECT_EQ(run.status, 0) << run.err;
        std::vector<std::string> heads;
        for (std::size_t at = run.out.find("\n--- "); at != std::string::npos;
             at = run.out.find("\n--- ", at + 1))
            heads.push_back(run.out.substr(at + 5, run.out.find('\t', at) - at - 5));
        if (run.out.starts_with("--- "))
            heads.insert(heads.begin(), run.out.substr(4, run.out.find('\t') - 4));
        EXPECT_EQ(heads, (std::vector<std::string>{a, named})) << run.out;
    }

    run = RunKelvara({"find", "-g", "[a-", "cat", dir.Path()});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Holds(run.err, "kelvara: 模式 [a-：“[” 没有闭合")) << run.err;
}

TEST(KelvaraProgramTest, RegularExpressionsFindAndReplaceWithGroups) {
    TestFolder dir;
    const std::string gbk = dir.Write("gbk.txt", "\xD6\xD0\xCE\xC4 key=1\r\n"); // 中文
    const std::string utf8 = dir.Write("utf8.txt", "中文 key=22\n");
    Outcome run = RunKelvara({"find", "-E", "--format=grep", "-C0", "中.\\s+\\w+", dir.Path()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, gbk + ":1:1:中文 key=1\n--\n" + utf8 + ":1:1:中文 key=22\n");
    // JSON gives each match's own bytes, in the file's own code page.
    run = RunKelvara({"find", "-E", "--format=json", "\\w+=\\d+", dir.Path()});
    EXPECT_TRUE(Holds(run.out, "{\"match\":{\"text\":\"key=1\"},\"start\":5,\"end\":10}"))
        << run.out;
    EXPECT_TRUE(Holds(run.out, "{\"match\":{\"text\":\"key=22\"},\"start\":7,\"end\":13}"))
        << run.out;

    run = RunKelvara({"replace", "-E", "-y", "(\\w+)=(\\d+)", "$2=${1}", dir.Path()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(TestFolder::Read(gbk), "\xD6\xD0\xCE\xC4 1=key\r\n");
    EXPECT_EQ(TestFolder::Read(utf8), "中文 22=key\n");

    // A fault is named before any file is read.
    run = RunKelvara({"find", "-E", "--trim", "  ab(c", dir / "missing"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Holds(run.err, "TEXT 的正则表达式有误，在第 7 个字符：missing closing parenthesis"))
        << run.err;
    run = RunKelvara({"replace", "-E", "-y", "(a)", "$2", dir.Path()});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Holds(run.err, "分组 2 在表达式里不存在")) << run.err;

    // A line past the match limit is named; the run goes on, and ends in 2.
    const std::string slow = dir.Write("slow.txt", "aa\n" + std::string(3000, 'a') + "b\n");
    run = RunKelvara({"find", "-E", "--format=grep", "(a+)+$", slow});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, slow + ":1:1\n");
    EXPECT_TRUE(Holds(run.err, "这些行的其余部分没有查找：\n" + slow + ":2\n")) << run.err;
    run = RunKelvara({"replace", "-E", "-n", "(a+)+$", "b", slow});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Holds(run.out, "+b\n")) << run.out;
    EXPECT_TRUE(Holds(run.err, "这些行的其余部分没有查找：\n" + slow + ":2\n")) << run.err;
}

TEST(KelvaraProgramTest, ContextLinesComeInGrepsFormat) {
    TestFolder dir;
    const std::string a = dir.Write("a.txt", "one\ncat two\nthree\nfour\nfive\nsix cat\n");
    const std::string b = dir.Write("b.txt", "cat\n");
    Outcome run = RunKelvara({"find", "--format=grep", "-C1", "cat", a, b});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, a + "-1-one\n" + a + ":2:1:cat two\n" + a + "-3-three\n--\n" + a +
                           "-5-five\n" + a + ":6:5:six cat\n--\n" + b + ":1:1:cat\n");
    run = RunKelvara({"find", "--format=grep", "-A", "0", "-0", "cat", b});
    EXPECT_EQ(run.out, b + std::string("\0", 1) + "1:1:cat\n");

    run = RunKelvara({"find", "-C1", "cat", a});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Holds(run.err, "要与 --format grep 或 json 一起用")) << run.err;
}

// Each line of `--format json` parsed by Python's JSON parser, the paths and
// lines decoded back to their bytes (hex).
std::string ParsedJson(const std::string& output) {
    TestFolder dir;
    const std::string file = dir.Write("out.json", output);
    const std::string script =
        "import base64, json, sys\n"
        "def data(d): return d['text'].encode() if 'text' in d else base64.b64decode(d['bytes'])\n"
        "for line in open(sys.argv[1], encoding='utf-8'):\n"
        "    o = json.loads(line)\n"
        "    if o['type'] in ('begin', 'match'): print(o['type'], data(o['data']['path']).hex())\n"
        "    if o['type'] == 'match': print(data(o['data']['lines']).hex(),"
        " o['data']['submatches'][0]['start'])\n"
        "    if o['type'] == 'summary': print(o['data']['stats']['matches'])\n";
    const std::string scriptPath = dir.Write("parse.py", script);
    FILE* pipe = popen(("python3 " + scriptPath + " " + file + " 2>&1").c_str(), "r");
    std::string parsed;
    char chunk[4096];
    for (std::size_t got; (got = fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        parsed.append(chunk, got);
    pclose(pipe);
    return parsed;
}

std::string Hex(std::string_view bytes) {
    std::string hex;
    char digits[3];
    for (const char byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(byte));
        hex += digits;
    }
    return hex;
}

TEST(KelvaraProgramTest, JsonLinesParseAndGiveBackPathsAndLinesByteForByte) {
    if (std::system("command -v python3 >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
    TestFolder dir;
    const std::string odd = dir.Write("new\nline\xff\\\".txt", "x\xfe cat\r\n");
    const std::string plain = dir.Write("中文.txt", "中文 cat\n");
    const Outcome run =
        RunKelvara({"find", "--format", "json", "--codepage=utf8", "cat", dir.Path()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ParsedJson(run.out), "begin " + Hex(odd) + "\nmatch " + Hex(odd) + "\n" +
                                       Hex("x\xfe cat\r\n") + " 3\nbegin " + Hex(plain) +
                                       "\nmatch " + Hex(plain) + "\n" + Hex("中文 cat\n") +
                                       " 7\n2\n");
}

TEST(KelvaraProgramTest, TextsAreConvertedBetweenLocaleAndCodePage) {
    TestFolder dir;
    const std::string gbk = dir.Write("gbk.txt", "\xC4\xE3\xD6\xD0\xCE\xC4\n"); // 你中文
    const Outcome run = RunKelvara({"find", "--codepage", "gbk", "中文", gbk});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, gbk + "\n  被找字：中文 在: 行： 1 列: 3\n");

    // A text the file's code page cannot hold is not in the file.
    const Outcome beyond = RunKelvara({"find", "--codepage", "gbk", "x\U0001F600", gbk});
    EXPECT_EQ(beyond.status, 1);
    EXPECT_EQ(beyond.out, "");
}

// A folder where GBK, UTF-8 and UTF-16 files stand side by side: every file
// is found and replaced in its own encoding, and -v tells which that was.
TEST(KelvaraProgramTest, MixedEncodingsAreFoundAndReplacedPerFile) {
    TestFolder dir;
    const std::string gbk = dir.Write("a-gbk.txt", "\xD6\xD0\xCE\xC4 foo\n");
    const std::string utf8 = dir.Write("b-utf8.txt", "中文 foo\n");
    const std::string utf16 =
        dir.Write("c-utf16.txt", std::string("\xFF\xFE\x2D\x4E\x87\x65 \0f\0o\0o\0", 14));
    Outcome run = RunKelvara({"find", "-v", "中文", dir.Path()});
    EXPECT_EQ(run.status, 0);
    const std::string hit = "\n  被找字：中文 在: 行： 1 列: 1\n";
    EXPECT_EQ(run.out, gbk + hit + utf8 + hit + utf16 + hit);
    EXPECT_TRUE(Holds(run.err, "各文件的编码：\n" + gbk + ": GBK\n" + utf8 + ": UTF-8\n" + utf16 +
                                   ": UTF-16LE\n"))
        << run.err;
    run = RunKelvara({"find", "--format=grep", "foo", dir.Path()});
    EXPECT_EQ(run.out, gbk + ":1:6\n" + utf8 + ":1:8\n" + utf16 + ":1:8\n");
    // Lines read again for a listing are shown in UTF-8 whatever their file's encoding.
    run = RunKelvara({"find", "--format=json", "中文", gbk, utf16});
    EXPECT_TRUE(Holds(run.out, gbk + "\"},\"lines\":{\"text\":\"中文 foo\\n\"}")) << run.out;
    EXPECT_TRUE(Holds(run.out, utf16 + "\"},\"lines\":{\"text\":\"中文 foo\"}")) << run.out;
    // The dry run's diff holds the GBK file's own bytes, so that patch applies it.
    run = RunKelvara({"replace", "--dry-run", "foo", "汉字", gbk});
    EXPECT_TRUE(Holds(run.out, "-\xD6\xD0\xCE\xC4 foo\n+\xD6\xD0\xCE\xC4 \xBA\xBA\xD7\xD6\n"))
        << run.out;

    run = RunKelvara({"replace", "-y", "foo", "汉字", dir.Path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(TestFolder::Read(gbk), "\xD6\xD0\xCE\xC4 \xBA\xBA\xD7\xD6\n");
    EXPECT_EQ(TestFolder::Read(utf8), "中文 汉字\n");
    EXPECT_EQ(TestFolder::Read(utf16),
              std::string("\xFF\xFE\x2D\x4E\x87\x65 \0\x49\x6C\x57\x5B", 12));
    EXPECT_EQ(run.out,
              gbk + "\n  中文 汉字\n" + utf8 + "\n  中文 汉字\n" + utf16 + "\n  中文 汉字\n");

    // GBK cannot hold 😀: that file is left and named, the run goes on, and
    // the exit status says that not everything was replaced.
    run = RunKelvara({"replace", "-y", "汉字", "😀", dir.Path()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(TestFolder::Read(gbk), "\xD6\xD0\xCE\xC4 \xBA\xBA\xD7\xD6\n");
    EXPECT_EQ(TestFolder::Read(utf8), "中文 😀\n");
    EXPECT_TRUE(
        Holds(run.err, "以下文件因编码没有改写：\n" + gbk + ": GBK 不能表示替换文字中的 U+1F600\n"))
        << run.err;

    // Forced, every file without a byte-order mark is taken to be GBK.
    run = RunKelvara({"find", "--codepage", "gbk", "--format=grep", "中文", dir.Path()});
    EXPECT_EQ(run.out, gbk + ":1:1\n" + utf16 + ":1:1\n");
}

TEST(KelvaraProgramTest, ErrorsExitWithTwoAndNameTheCause) {
    TestFolder dir;
    dir.Write("a.txt", "x");
    Outcome run = RunKelvara({"find", "x", dir / "missing"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Holds(run.err, dir / "missing"));
    EXPECT_TRUE(Holds(run.err, "No such file or directory"));

    run = RunKelvara({"find", "", dir.Path()});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Holds(run.err, "是空的"));

    run = RunKelvara({"replace", "x", "", dir.Path()});
    EXPECT_EQ(run.status, 2);
    run = RunKelvara({"find", "--bogus", "x", dir.Path()});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Holds(run.err, "用法"));
    EXPECT_EQ(RunKelvara({"--bogus"}).status, 2);

    // Paths in messages are written as the file system gives them, also when
    // the text code page differs from the locale's.
    const std::string locked = dir.Write("只读.txt", "x");
    ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
    run = RunKelvara({"replace", "-y", "--codepage", "gbk", "x", "y", locked});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Holds(run.err, "kelvara: " + locked + ": "));
    EXPECT_EQ(TestFolder::Read(locked), "x");

    // Hits that cannot be written are an error, not success.
    run = RunKelvara({"find", "x", dir.Path()}, "/dev/full");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Holds(run.err, "标准输出：No space left on device"));
}

TEST(KelvaraProgramTest, ReplaceNeedsATerminalOrYes) {
    TestFolder dir;
    const std::string a = dir.Write("a.txt", "cat\r\nno\n");
    const std::string b = dir.Write("b.txt", "none\n");
    const std::string nul = dir.Write("n.bin", std::string("cat\0", 4));

    Outcome run = RunKelvara({"replace", "cat", "dog", dir.Path()});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Holds(run.err, "--yes"));
    EXPECT_EQ(TestFolder::Read(a), "cat\r\nno\n");

    run = RunKelvara({"replace", "--codepage=utf8", "-y", "cat", "dog", dir.Path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(TestFolder::Read(a), "dog\r\nno\n");
    EXPECT_EQ(TestFolder::Read(nul), std::string("cat\0", 4));
    // Not pruned: every file read is listed.
    EXPECT_EQ(run.out, a + "\n  dog\n" + b + "\n" + nul + "\n");
    // The notice, the summary, then the files that were not rewritten.
    EXPECT_EQ(run.err.rfind("替换完毕\n读取文件 3 个，改写文件 1 个", 0), 0u);
    EXPECT_TRUE(run.err.ends_with("\n以下文件含有 NUL 字节，没有改写：\n" + nul + "\n"));

    run = RunKelvara({"replace", "-y", "cat", "dog", b});
    EXPECT_EQ(run.status, 1);
}

TEST(KelvaraProgramTest, AFolderReplaceNeverRewritesFilesOutsideTheFolder) {
    TestFolder dir;
    const std::string inside = dir.Write("t/a.txt", "cat\n");
    const std::string outside = dir.Write("o/v.txt", "cat\n");
    std::filesystem::create_symlink("../o/v.txt", dir / "t/out.txt");
    std::filesystem::create_symlink("a.txt", dir / "t/in.txt");

    Outcome run = RunKelvara({"replace", "-y", "cat", "dog", dir / "t"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(TestFolder::Read(inside), "dog\n");
    EXPECT_EQ(TestFolder::Read(outside), "cat\n");
    EXPECT_TRUE(
        Holds(run.err, "改写文件 1 个，结果 1 条，含 NUL 字节未改写 0 个，跳过 1 个（-v 列出）"))
        << run.err;

    // -v names what was skipped and why.
    run = RunKelvara({"find", "-v", "cat", dir / "t"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(
        run.err.ends_with("以下条目被跳过：\n" + dir / "t/out.txt" + ": 链接指向所选目录之外\n"))
        << run.err;

    // A link named directly is followed wherever it leads.
    run = RunKelvara({"replace", "-y", "cat", "dog", dir / "t/out.txt"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(TestFolder::Read(outside), "dog\n");
}

TEST(KelvaraProgramTest, FilesBelowPathsLongerThanTheSystemLimitAreFoundAndReplaced) {
    TestFolder dir;
    const std::string deep = dir.WriteDeep("deep", "f.txt", "cat\n");
    ASSERT_GT(deep.size(), std::size_t{PATH_MAX});

    Outcome run = RunKelvara({"find", "--format=grep", "cat", dir.Path()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, deep + ":1:1\n");
    run = RunKelvara({"replace", "-y", "cat", "dog", dir.Path()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(TestFolder::Read(deep), "dog\n");
}

// Waits until the process runs the kelvara program and has `path` open.
bool WaitUntilOpen(pid_t process, const std::string& path) {
    const std::string proc = "/proc/" + std::to_string(process);
    for (int tries = 0; tries < 2000; ++tries) {
        std::error_code error;
        if (std::filesystem::read_symlink(proc + "/exe", error) != KELVARA_EXECUTABLE) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        for (const auto& fd : std::filesystem::directory_iterator(proc + "/fd", error))
            if (std::filesystem::read_symlink(fd.path(), error) == path) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

// Ctrl-C stops a find or a dry run as the stop button does, and the exit
// status says the output is cut short (130, as a shell reports SIGINT), so
// that `kelvara replace -n ... > d && patch -p0 < d` applies no half change.
// The run waits in a pipe that the test holds open until the signal is sent.
TEST(KelvaraProgramTest, ARunThatCtrlCStopsExitsWith130) {
    TestFolder dir;
    const std::string pipe = dir / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string after = dir.Write("after.txt", "cat\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"find", "--format", "grep", "cat", pipe, after},
          std::vector<std::string>{"find", "--threads", "1", "cat", pipe, after},
          std::vector<std::string>{"replace", "-n", "cat", "dog", pipe, after}}) {
        SCOPED_TRACE(args[1]);
        // The run's read waits for this end; the program does not inherit it.
        const int writer = open(pipe.c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(writer, 0);
        const Outcome run = RunKelvara(args, nullptr, {}, [&](pid_t child) {
            EXPECT_TRUE(WaitUntilOpen(child, pipe));
            kill(child, SIGINT);
            EXPECT_EQ(write(writer, "cat\n", 4), 4);
            close(writer);
        });
        EXPECT_EQ(run.status, 130) << run.err;
        EXPECT_FALSE(Holds(run.out, "after.txt")) << run.out;
    }
    EXPECT_EQ(TestFolder::Read(after), "cat\n");
}

TEST(KelvaraProgramTest, SkippedEntriesAreCountedAndTheNullDeviceIsAnEmptyFile) {
    TestFolder dir;
    dir.Write("a.txt", "cat\n");
    std::filesystem::create_symlink("missing", dir / "dangling");
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    std::filesystem::create_directory_symlink("/", dir / "root");

    Outcome run = RunKelvara({"find", "--verbose", "cat", dir.Path(), "/dev/null"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Holds(run.err, "读取文件 2 个，有结果的文件 1 个，找到 1 处，跳过 3 个，用时"))
        << run.err;
    EXPECT_TRUE(run.err.ends_with("以下条目被跳过：\n" + dir / "dangling" + ": 链接的目标不存在\n" +
                                  dir / "pipe" + ": 命名管道\n" + dir / "root" +
                                  ": 目录链接，不跟随\n"))
        << run.err;
}

TEST(KelvaraProgramTest, ReportsOfFailedRunsListOnlyWhatHappened) {
    TestFolder dir;
    const std::string a = dir.Write("a.txt", "cat\n");
    dir.Write("b.txt", "none\n");
    // A find that ends on an unreadable file counts and lists the files with hits.
    Outcome run = RunKelvara({"find", "cat", a, dir / "b.txt", "/dev/zero"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, a + "\n  被找字：cat 在: 行： 1 列: 1\n");
    EXPECT_TRUE(Holds(run.err, "读取文件 2 个，有结果的文件 1 个，找到 1 处")) << run.err;

    // A replace lists no line of a file it could not write.
    const std::string locked = dir.Write("locked.txt", "cat\n");
    ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
    run = RunKelvara({"replace", "-y", "cat", "dog", a, locked});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, a + "\n  dog\n" + locked + "\n");
    EXPECT_TRUE(Holds(run.err, "改写文件 1 个，结果 1 条")) << run.err;
    EXPECT_EQ(TestFolder::Read(locked), "cat\n");
}

// On several threads a find searches while its folders are still walked and
// prints while it searches; what it prints is what one thread prints after
// walking first: named files and folders in order, each path once, only
// the files the extensions pick.
TEST(KelvaraProgramTest, AFindWhileWalkingPrintsWhatOneThreadPrints) {
    TestFolder dir;
    for (int i = 0; i < 300; ++i) {
        const std::string name = "d" + std::to_string(i % 7) + "/f" + std::to_string(i);
        const char* extension = i % 3 == 0 ? ".c" : i % 3 == 1 ? ".txt" : ".h";
        dir.Write(name + extension, i % 4 == 0 ? "none\n" : "a cat\ncat\n");
    }
    const std::vector<std::string> paths = {dir / "d3/f3.c", dir / "d2/f2.h", dir.Path(),
                                            dir / "d2"};
    for (const char* format : {"--format=grep", "--format=tree"}) {
        std::vector<std::string> args = {"find", format, "-e", ".c", "-e", ".txt", "cat"};
        args.insert(args.end(), paths.begin(), paths.end());
        args.insert(args.begin() + 1, "--threads=1");
        const Outcome one = RunKelvara(args);
        ASSERT_EQ(one.status, 0) << one.err;
        EXPECT_TRUE(Holds(one.err, "读取文件 200 个，有结果的文件 150 个，找到 300 处")) << one.err;
        args[1] = "--threads=3";
        const Outcome three = RunKelvara(args);
        EXPECT_EQ(three.status, 0);
        EXPECT_EQ(three.out, one.out);
        EXPECT_TRUE(Holds(three.err, "读取文件 200 个，有结果的文件 150 个，找到 300 处"))
            << three.err;
    }
}

TEST(KelvaraProgramTest, PathsWithLineBreaksAreQuotedOrEndedByNul) {
    TestFolder dir;
    const std::string odd = dir.Write("two\nlines\t\"q\\.txt", "cat\n");
    const std::string quoted = "\"" + dir.Path() + "/two\\nlines\\t\\\"q\\\\.txt\"";
    Outcome run = RunKelvara({"find", "--format", "grep", "cat", odd});
    EXPECT_EQ(run.out, quoted + ":1:1\n");
    run = RunKelvara({"find", "cat", odd});
    EXPECT_EQ(run.out, quoted + "\n  被找字：cat 在: 行： 1 列: 1\n");

    run = RunKelvara({"find", "--format", "grep", "-0", "cat", odd});
    EXPECT_EQ(run.out, odd + std::string(1, '\0') + "1:1\n");
    run = RunKelvara({"find", "--null", "cat", odd});
    EXPECT_EQ(run.out, odd + std::string(1, '\0') + "  被找字：cat 在: 行： 1 列: 1\n");

    // Messages on standard error quote such paths too.
    ASSERT_EQ(chmod(odd.c_str(), 0444), 0);
    run = RunKelvara({"replace", "-y", "cat", "dog", odd});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Holds(run.err, "kelvara: " + quoted + ": ")) << run.err;
}

// Runs kelvara with `args` on a terminal in a UTF-8 locale and types `answer`.
int RunOnTerminal(std::vector<std::string> args, const char* answer, std::string& screen) {
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        setenv("LC_ALL", "C.UTF-8", 1);
        args.insert(args.begin(), KELVARA_EXECUTABLE);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(KELVARA_EXECUTABLE, argv.data());
        _exit(127);
    }
    EXPECT_EQ(write(terminal, answer, std::strlen(answer)),
              static_cast<ssize_t>(std::strlen(answer)));
    char bytes[4096];
    for (ssize_t got; (got = read(terminal, bytes, sizeof bytes)) > 0;)
        screen.append(bytes, static_cast<std::size_t>(got));
    close(terminal);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs `kelvara replace TEXT REPLACEMENT PATH` on a terminal and types `answer`.
int ReplaceOnTerminal(const std::string& path, const char* answer, std::string& screen) {
    return RunOnTerminal({"replace", "cat", "dog", path}, answer, screen);
}

TEST(KelvaraProgramTest, ReplaceAsksOnTheTerminal) {
    TestFolder dir;
    const std::string a = dir.Write("a.txt", "cat\n");
    std::string screen;
    EXPECT_EQ(ReplaceOnTerminal(a, "n\n", screen), 1);
    EXPECT_TRUE(Holds(screen, "确定要替换吗？ [y/N]"));
    EXPECT_EQ(TestFolder::Read(a), "cat\n");
    EXPECT_EQ(ReplaceOnTerminal(a, "y\n", screen), 0);
    EXPECT_EQ(TestFolder::Read(a), "dog\n");
}

// On a terminal the dry run shows each file's lines in the terminal's
// encoding, whatever thread made the file's diff; the heads keep the paths'
// bytes, and the files come in the order of the paths.
TEST(KelvaraProgramTest, ADryRunOnATerminalShowsEveryFileInTheTerminalsEncoding) {
    TestFolder dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 40; ++i) {
        const std::string name = (i < 10 ? "0" : "") + std::to_string(i);
        paths.push_back(i % 2 ? dir.Write(name + "-gbk.txt", "\xD6\xD0\xCE\xC4 foo\n")
                              : dir.Write(name + "-utf8.txt", "中文 foo\n"));
    }
    std::string screen;
    EXPECT_EQ(
        RunOnTerminal({"replace", "-n", "--threads", "3", "foo", "汉字", dir.Path()}, "", screen),
        0);
    std::size_t at = 0;
    for (const std::string& path : paths) {
        at = screen.find("--- " + path + "\t", at);
        ASSERT_NE(at, std::string::npos) << path << "\n" << screen;
        at = screen.find("+++ " + path + "\t", at);
        ASSERT_NE(at, std::string::npos) << path;
        const std::string lines = "\r\n@@ -1 +1 @@\r\n-中文 foo\r\n+中文 汉字\r\n";
        EXPECT_EQ(screen.find(lines, at), screen.find("\r\n", at)) << path;
    }
}

TEST(KelvaraProgramTest, VersionAndHelpOfTheProgramAndEachCommand) {
    Outcome run = RunKelvara({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "kelvara " KELVARA_VERSION "\n");
    EXPECT_EQ(RunKelvara({"find", "--version"}).out, run.out);

    run = RunKelvara({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(Holds(run.out, "kelvara find") && Holds(run.out, "kelvara replace") &&
                Holds(run.out, "--threads") && Holds(run.out, "--yes"))
        << run.out;
    run = RunKelvara({"find", "-h"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.starts_with("用法：kelvara find ")) << run.out;
    EXPECT_TRUE(Holds(run.out, "--threads") && !Holds(run.out, "--yes"));
    run = RunKelvara({"replace", "--help", "a"});
    EXPECT_TRUE(run.out.starts_with("用法：kelvara replace ")) << run.out;
    EXPECT_TRUE(Holds(run.out, "--yes") && !Holds(run.out, "--threads"));
    run = RunKelvara({"replace", "--bogus"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Holds(run.err, "kelvara: 未知的选项 --bogus\n用法：kelvara replace")) << run.err;
}

TEST(KelvaraProgramTest, AnEnglishLocaleGetsEnglishMessagesCaptionsAndUsage) {
    const TestFolder dir;
    const std::string a = dir.Write("a.txt", "cat\n");
    const std::vector<std::string> english{"LC_ALL=en_US.UTF-8"};
    Outcome run = RunKelvara({"find", "cat", a}, nullptr, english);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, a + "\n  Found: cat at line: 1 column: 1\n");
    EXPECT_TRUE(Holds(run.err, "Search finished\n1 files read, 1 with hits, 1 hits, 0 skipped in "))
        << run.err;
    run = RunKelvara({"find", "--bogus", "x", a}, nullptr, english);
    EXPECT_TRUE(Holds(run.err, "kelvara: unknown option --bogus\nusage: kelvara find ")) << run.err;
    EXPECT_TRUE(RunKelvara({"--help"}, nullptr, english).out.starts_with("usage: kelvara "));
    EXPECT_TRUE(
        RunKelvara({"undo", "--help"}, nullptr, english).out.starts_with("usage: kelvara undo"));
    run = RunKelvara({"undo", "a", "b"}, nullptr, english);
    EXPECT_TRUE(Holds(run.err, "kelvara: undo takes one RUN\nusage: kelvara undo")) << run.err;
    // LANGUAGE picks English under a locale of another language, not under C.
    EXPECT_TRUE(
        Holds(RunKelvara({"find", "cat", a}, nullptr, {"LC_ALL=fr_FR.UTF-8", "LANGUAGE=de:en"}).out,
              "Found: "));
    EXPECT_TRUE(Holds(RunKelvara({"find", "cat", a}, nullptr, {"LANGUAGE=en"}).out, "被找字："));
}

TEST(KelvaraProgramTest, ColourFollowsColorAndNoColor) {
    const TestFolder dir;
    const std::string a = dir.Write("a.txt", "x cat\n");
    const std::string path = "\033[35m" + a + "\033[0m";
    Outcome run = RunKelvara({"find", "--color=always", "cat", a});
    EXPECT_EQ(run.out, path + "\n  被找字：\033[1;31mcat\033[0m 在: 行： \033[32m1\033[0m 列: 3\n");
    run = RunKelvara({"find", "--color", "always", "--format", "grep", "cat", a}, nullptr,
                     {"NO_COLOR=1"});
    EXPECT_EQ(run.out, path + ":\033[32m1\033[0m:3\n");
    // Not a terminal: auto is plain, and -0 paths stay raw for scripts.
    EXPECT_EQ(RunKelvara({"find", "--format=grep", "cat", a}).out, a + ":1:3\n");
    EXPECT_EQ(RunKelvara({"find", "--color=always", "-0", "--format=grep", "cat", a}).out,
              a + std::string("\0", 1) + "\033[32m1\033[0m:3\n");
    run = RunKelvara({"find", "--color=sometimes", "cat", a});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Holds(run.err, "sometimes")) << run.err;
}

} // namespace
} // namespace kelvara
