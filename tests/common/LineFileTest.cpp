#include "common/LineFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/TempFolder.h"

namespace kelvara {
namespace {

struct Split {
    std::vector<std::string> texts;
    std::vector<LineEnd> ends;
    bool stoppedAtNul = false;
};

Split SplitText(std::string_view bytes) {
    std::vector<LineSpan> spans{{99, 99, LineEnd::Lf}}; // refilled, not appended to
    Split split;
    split.stoppedAtNul = SplitLines(bytes, spans);
    for (const LineSpan& span : spans) {
        split.texts.emplace_back(bytes.substr(span.start, span.length));
        split.ends.push_back(span.end);
    }
    return split;
}

using Texts = std::vector<std::string>;
using Ends = std::vector<LineEnd>;

TEST(SplitLines, BreaksAtCrLfAndCrLfPairs) {
    const Split lfOnly = SplitText("a\nbb\n\nc\n");
    EXPECT_EQ(lfOnly.texts, (Texts{"a", "bb", "", "c"}));
    EXPECT_EQ(lfOnly.ends, (Ends(4, LineEnd::Lf)));

    EXPECT_EQ(SplitText("a\rbb\r\rc\r").texts, lfOnly.texts);
    EXPECT_EQ(SplitText("a\r\nbb\r\n\r\nc\r\n").texts, lfOnly.texts);

    const Split mixed = SplitText("a\r\n\rb\n\r\nc");
    EXPECT_EQ(mixed.texts, (Texts{"a", "", "b", "", "c"}));
    EXPECT_EQ(mixed.ends,
              (Ends{LineEnd::CrLf, LineEnd::Cr, LineEnd::Lf, LineEnd::CrLf, LineEnd::None}));

    // LF CR is two breaks, not one.
    EXPECT_EQ(SplitText("a\n\rb").texts, (Texts{"a", "", "b"}));
}

TEST(SplitLines, LastLineOnlyWhenNotEmpty) {
    EXPECT_TRUE(SplitText("").texts.empty());
    EXPECT_EQ(SplitText("\r\n").texts, (Texts{""}));
    EXPECT_EQ(SplitText("x").ends, (Ends{LineEnd::None}));
    EXPECT_EQ(SplitText("x\ny").texts, (Texts{"x", "y"}));
    EXPECT_EQ(SplitText("x\r").ends, (Ends{LineEnd::Cr}));
}

TEST(SplitLines, StopsAtTheFirstNul) {
    using namespace std::string_view_literals;
    const Split split = SplitText("ab\ncd\0ef\ngh"sv);
    EXPECT_TRUE(split.stoppedAtNul);
    EXPECT_EQ(split.texts, (Texts{"ab", "cd"}));
    EXPECT_EQ(split.ends, (Ends{LineEnd::Lf, LineEnd::None}));
    EXPECT_TRUE(SplitText("\0x"sv).texts.empty());
    EXPECT_FALSE(SplitText("ab\n").stoppedAtNul);

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

TEST(ReadFileBytes, ReportsFoldersAndMissingFilesAndReusesTheBuffer) {
    TempFolder folder;
    std::string buffer = "old content";
    FileStatus error = ReadFileBytes(folder.Path(), buffer);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->path, folder.Path());
    EXPECT_EQ(error->reason, "Is a directory");
    EXPECT_TRUE(buffer.empty());

    error = ReadFileBytes(folder.Path("missing"), buffer);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Message(), folder.Path("missing") + ": No such file or directory");

    EXPECT_TRUE(ReadFileBytes("/dev/zero", buffer)); // a device would never end

    const std::string big(300000, 'x');
    ASSERT_FALSE(ReadFileBytes(folder.Write("big", big), buffer));
    EXPECT_EQ(buffer, big);
    ASSERT_FALSE(ReadFileBytes(folder.Write("small", "ab"), buffer));
    EXPECT_EQ(buffer, "ab");
    EXPECT_GE(buffer.capacity(), big.size());
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

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

TEST(WriteFileAtomic, ReadOnlyFolderLeavesTheOriginalIntact) {
    if (geteuid() == 0) GTEST_SKIP() << "root may write into any folder";
    TempFolder folder;
    const std::string path = folder.Write("inside.txt", "original");
    ASSERT_EQ(chmod(folder.Path().c_str(), 0555), 0);
    const FileStatus error = WriteFileAtomic(path, "changed");
    chmod(folder.Path().c_str(), 0755);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->reason, "Permission denied");
    EXPECT_EQ(TempFolder::Read(path), "original");
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
