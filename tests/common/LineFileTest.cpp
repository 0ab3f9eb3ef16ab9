#include "common/LineFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/ChildProcess.h"
#include "common/TempFolder.h"

namespace kelvara {
namespace {

using Texts = std::vector<std::string>;
using Ends = std::vector<LineEnd>;

// The lines of `bytes` as texts, their breaks in `ends`.
Texts SplitText(std::string_view bytes, Ends* ends = nullptr, bool* stoppedAtNul = nullptr) {
    std::vector<LineSpan> spans{{99, 99, LineEnd::Lf}}; // refilled, not appended to
    const bool stopped = SplitLines(bytes, spans);
    if (stoppedAtNul) *stoppedAtNul = stopped;
    Texts texts;
    for (const LineSpan& span : spans) {
        texts.emplace_back(bytes.substr(span.start, span.length));
        if (ends) ends->push_back(span.end);
    }
    return texts;
}

TEST(SplitLines, BreaksAtCrLfAndCrLfPairsAndDropsAnEmptyLastLine) {
    const Texts lines{"a", "bb", "", "c"};
    EXPECT_EQ(SplitText("a\nbb\n\nc\n"), lines);
    EXPECT_EQ(SplitText("a\rbb\r\rc\r"), lines);
    EXPECT_EQ(SplitText("a\r\nbb\r\n\r\nc\r\n"), lines);

    Ends ends;
    EXPECT_EQ(SplitText("a\r\n\rb\n\r\nc", &ends), (Texts{"a", "", "b", "", "c"}));
    EXPECT_EQ(ends, (Ends{LineEnd::CrLf, LineEnd::Cr, LineEnd::Lf, LineEnd::CrLf, LineEnd::None}));
    EXPECT_EQ(SplitText("a\n\rb"), (Texts{"a", "", "b"})); // LF CR is two breaks

    EXPECT_TRUE(SplitText("").empty());
    EXPECT_EQ(SplitText("\r\n"), (Texts{""}));
}

TEST(SplitLines, StopsAtTheFirstNul) {
    using namespace std::string_view_literals;
    bool stopped = false;
    Ends ends;
    EXPECT_EQ(SplitText("ab\ncd\0ef\ngh"sv, &ends, &stopped), (Texts{"ab", "cd"}));
    EXPECT_TRUE(stopped);
    EXPECT_EQ(ends, (Ends{LineEnd::Lf, LineEnd::None}));
    EXPECT_TRUE(SplitText("\0x"sv).empty());
    SplitText("ab\n", nullptr, &stopped);
    EXPECT_FALSE(stopped);

    std::vector<LineSpan> spans;
    SplitAllLines("a\0b\nc"sv, spans);
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0].length, 3u);
}

TEST(LineFile, ReadAndRewriteKeepsEveryLineEnd) {
    TempFolder folder;
    const std::string original = "first\r\nsecond\nthird\r\rfifth";
    const std::string path = folder.Write("mixed.txt", original);
    LineFile file;
    ASSERT_FALSE(ReadLineFile(path, file));
    ASSERT_EQ(file.lines.size(), 5u);
    EXPECT_EQ(file.Line(2), "third");
    EXPECT_EQ(file.Line(3), "");

    std::string out;
    for (std::size_t i = 0; i < file.lines.size(); ++i)
        AppendLine(out, file.Line(i), file.lines[i].end);
    EXPECT_EQ(out, original);
    ASSERT_FALSE(WriteFileAtomic(path, out));
    EXPECT_EQ(TempFolder::Read(path), original);
}

TEST(ReadFileBytes, ReportsWhatCannotBeReadAndReusesTheBuffer) {
    TempFolder folder;
    std::string buffer = "old content";
    const FileStatus error = ReadFileBytes(folder.Path(), buffer);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Message(), folder.Path() + ": Is a directory");
    EXPECT_TRUE(buffer.empty());
    EXPECT_EQ(ReadFileBytes(folder.Path("none"), buffer)->reason, "No such file or directory");
    EXPECT_TRUE(ReadFileBytes("/dev/zero", buffer)); // a device would never end
    // A named pipe nobody writes to reads as empty instead of waiting for ever.
    const std::string pipe = folder.Path("pipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    alarm(10);
    EXPECT_FALSE(ReadFileBytes(pipe, buffer));
    alarm(0);
    EXPECT_TRUE(buffer.empty());

    const std::string big(300000, 'x');
    ASSERT_FALSE(ReadFileBytes(folder.Write("big", big), buffer));
    EXPECT_EQ(buffer, big);
    ASSERT_FALSE(ReadFileBytes(folder.Write("small", "ab"), buffer));
    EXPECT_EQ(buffer, "ab");
}

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0);
    return info;
}

mode_t ModeOf(const std::string& path) { return StatOf(path).st_mode & 07777; }

TEST(WriteFileAtomic, KeepsModeAndGivesNewFilesTheUmaskMode) {
    TempFolder folder;
    const std::string path = folder.Write("kept.txt", "old");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_FALSE(WriteFileAtomic(path, "new"));
    EXPECT_EQ(TempFolder::Read(path), "new");
    EXPECT_EQ(ModeOf(path), 0640u);

    const mode_t mask = umask(022);
    umask(mask);
    ASSERT_FALSE(WriteFileAtomic(folder.Path("fresh.txt"), ""));
    EXPECT_EQ(ModeOf(folder.Path("fresh.txt")), 0666u & ~mask);
    EXPECT_EQ(folder.EntryCount(), 2u); // no temporary file left
}

TEST(WriteFileAtomic, RefusesReadOnlyFilesAndLeavesThemIntact) {
    TempFolder folder;
    const std::string path = folder.Write("locked.txt", "keep me");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    const FileStatus error = WriteFileAtomic(path, "lost");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->path, path);
    EXPECT_NE(error->reason.find("Permission denied"), std::string::npos);
    EXPECT_EQ(TempFolder::Read(path), "keep me");
    EXPECT_EQ(folder.EntryCount(), 1u);

    const FileStatus noFolder = WriteFileAtomic(folder.Path("none/x.txt"), "x");
    ASSERT_TRUE(noFolder);
    EXPECT_EQ(noFolder->Message(), folder.Path("none/x.txt") + ": No such file or directory");
    EXPECT_TRUE(WriteFileAtomic(folder.Path(), "x"));
}

TEST(WriteFileAtomic, WritableFileInAReadOnlyFolderIsWrittenInPlace) {
    TempFolder folder;
    const std::string path = folder.Write("inside.txt", "original text");
    ASSERT_EQ(chmod(path.c_str(), 0666), 0);
    ASSERT_EQ(chmod(folder.Path().c_str(), 0555), 0);
    const ino_t inode = StatOf(path).st_ino;
    // Root may write into any folder, so the write runs as nobody then.
    const int status = RunInChild([&] {
        if (!BecomeNobody()) return 2;
        if (WriteFileAtomic(path, "short")) return 1;
        const FileStatus noNewFile = WriteFileAtomic(folder.Path("new.txt"), "x");
        return noNewFile && noNewFile->reason == "Permission denied" ? 0 : 3;
    });
    chmod(folder.Path().c_str(), 0755);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(TempFolder::Read(path), "short");
    EXPECT_EQ(StatOf(path).st_ino, inode);
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(WriteFileAtomic, RewritesTheTargetOfALinkAndKeepsTheLink) {
    TempFolder folder;
    const std::string target = folder.Write("target.txt", "old");
    const std::string link = folder.Path("link.txt");
    ASSERT_EQ(symlink("target.txt", link.c_str()), 0);
    ASSERT_FALSE(WriteFileAtomic(link, "new"));
    struct stat info {};
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(TempFolder::Read(target), "new");

    const std::string dangling = folder.Path("dangling.txt");
    ASSERT_EQ(symlink("gone.txt", dangling.c_str()), 0);
    EXPECT_TRUE(WriteFileAtomic(dangling, "x"));
}

} // namespace
} // namespace kelvara
