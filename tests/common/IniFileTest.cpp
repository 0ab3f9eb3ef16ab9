#include "common/IniFile.h"

#include <cstdlib>
#include <gtest/gtest.h>

#include "common/CodePage.h"
#include "common/TempFolder.h"

namespace kelvara {
namespace {

TEST(IniFileRead, MatchesNamesIgnoringCaseAndTrimsValues) {
    TempFolder folder;
    const TIniFile ini(folder.Write("a.ini", "; comment=1\r\n"
                                             "early=before any section\r\n"
                                             "[LastOpened]\r\n"
                                             "  Count =  2 \r\n"
                                             "0.opened=/home/a b.txt\t\r\n"
                                             "url=x=y\r\n"
                                             "empty=\r\n"
                                             "count=9\r\n"
                                             "[lastopened]\r\n"
                                             "extra=second section of the same name\r\n"));
    EXPECT_EQ(ini.ReadInteger("lastopened", "COUNT", 0), 2);
    EXPECT_EQ(ini.ReadString("LASTOPENED", "0.Opened", "d"), "/home/a b.txt");
    EXPECT_EQ(ini.ReadString("lastopened", "url", "d"), "x=y");
    EXPECT_EQ(ini.ReadString("lastopened", "empty", "d"), "");
    EXPECT_EQ(ini.ReadString("lastopened", "extra", "d"), "d");
    EXPECT_EQ(ini.ReadString("", "early", "d"), "d");
    EXPECT_EQ(ini.ReadString("lastopened", "; comment", "d"), "d");
    EXPECT_EQ(ini.ReadString("lastopened", "missing", "d"), "d");
    EXPECT_EQ(ini.ReadString("nosuch", "count", "d"), "d");
}

TEST(IniFileRead, MissingFilesMalformedLinesAndBadNumbersGiveDefaults) {
    TempFolder folder;
    const TIniFile missing(folder.Path("none.ini"));
    EXPECT_EQ(missing.ReadInteger("a", "count", 7), 7);

    const TIniFile ini(folder.Write("b.ini", "[broken\n"
                                             "garbage line\n"
                                             "=no key\n"
                                             "[n]\n"
                                             "words=abc\n"
                                             "mixed=12abc\n"
                                             "negative=-5\n"
                                             "huge=99999999999\n"
                                             "blank=  \n"
                                             "[broken2\n"
                                             "after=still in n\n"));
    for (const char* key : {"words", "mixed", "huge", "blank"})
        EXPECT_EQ(ini.ReadInteger("n", key, 3), 3) << key;
    EXPECT_EQ(ini.ReadInteger("n", "negative", 3), -5);
    EXPECT_EQ(ini.ReadString("n", "after", ""), "still in n");
    EXPECT_EQ(ini.ReadString("broken", "garbage line", "d"), "d");
}

TEST(IniFileRead, CutsValuesAt2047BytesNeverInsideACharacter) {
    TempFolder folder;
    const std::string ascii(3000, 'a');
    // 2046 ASCII bytes, then a two-byte GBK character that would end at byte 2048.
    const std::string gbk = std::string(2046, 'b') + "\xB0\xA1" + "tail";
    const TIniFile ini(folder.Write("long.ini", "[s]\nascii=" + ascii + "\ngbk=" + gbk + "\n"));
    EXPECT_EQ(ini.ReadString("s", "ascii", ""), ascii.substr(0, 2047));
    const CodePage saved = TextCodePage();
    SetTextCodePage(CodePage::Gbk);
    EXPECT_EQ(ini.ReadString("s", "gbk", ""), gbk.substr(0, 2046));
    SetTextCodePage(saved);
}

TEST(IniFileWrite, KeepsEveryUntouchedByteOfACrLfFile) {
    TempFolder folder;
    const std::string path = folder.Write("keep.ini", "; settings\r\n"
                                                      "[findstr]\r\n"
                                                      "  Count = 1\r\n"
                                                      "0.vvalue=old\r\n"
                                                      "\r\n"
                                                      "[unknown]\r\n"
                                                      "keep=me\r\n");
    TIniFile ini(path);
    ini.WriteInteger("FINDSTR", "count", 2);
    ini.WriteString("findstr", "1.vvalue", "new");
    ini.WriteString("unknown", "keep", "me"); // unchanged
    ini.WriteString("dlb1", "path", "/home");
    ASSERT_FALSE(ini.UpdateFile());
    EXPECT_EQ(TempFolder::Read(path), "; settings\r\n"
                                      "[findstr]\r\n"
                                      "  Count =2\r\n"
                                      "0.vvalue=old\r\n"
                                      "1.vvalue=new\r\n"
                                      "\r\n"
                                      "[unknown]\r\n"
                                      "keep=me\r\n"
                                      "[dlb1]\r\n"
                                      "path=/home\r\n");

    const TIniFile again(path);
    EXPECT_EQ(again.ReadInteger("findstr", "count", 0), 2);
    EXPECT_EQ(again.ReadString("findstr", "1.vvalue", ""), "new");
    EXPECT_EQ(again.ReadString("dlb1", "path", ""), "/home");
}

TEST(IniFileWrite, LfFilesWithByteOrderMarkOrWithoutFinalBreakAndNewFiles) {
    TempFolder folder;
    const std::string path = folder.Write("lf.ini", "\xEF\xBB\xBF[a]\nx=1");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("a", "x", ""), "1");
    ini.WriteString("a", "y", "2");
    ini.WriteString("b", "z", "3");
    ASSERT_FALSE(ini.UpdateFile());
    EXPECT_EQ(TempFolder::Read(path), "\xEF\xBB\xBF[a]\nx=1\ny=2\n[b]\nz=3\n");

    const std::string fresh = folder.Path("fresh.ini");
    TIniFile created(fresh);
    ASSERT_FALSE(created.UpdateFile()); // nothing written: no file made
    EXPECT_EQ(folder.EntryCount(), 1u);
    created.WriteInteger("lastopened", "count", 0);
    ASSERT_FALSE(created.UpdateFile());
    EXPECT_EQ(TempFolder::Read(fresh), "[lastopened]\ncount=0\n");
}

TEST(IniFileWrite, ValuesNeverAddLinesAndUnreadableFilesAreNotOverwritten) {
    TempFolder folder;
    const std::string path = folder.Path("inject.ini");
    TIniFile ini(path);
    ini.WriteString("s", "path", "a\nb\r[evil]\nk=v");
    ini.WriteString("s", "nul", std::string_view("x\0y", 3));
    ASSERT_FALSE(ini.UpdateFile());
    EXPECT_EQ(TempFolder::Read(path), "[s]\npath=a\nnul=x\n");

    TIniFile folderIni(folder.Path());
    folderIni.WriteString("s", "k", "v");
    const FileStatus error = folderIni.UpdateFile();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->reason, "Is a directory");
}

// A new key takes the first line's break, but never a lone CR that the LF of
// a blank line after it would join.
TEST(IniFileWrite, ANewKeyKeepsTheBlankLinesAfterALoneCr) {
    TIniFile ini("unused.ini", "[k]\r]\n\n[m]\rx=1\r\n\n");
    ini.WriteString("k", "k", "");
    ini.WriteString("m", "y", "2");
    EXPECT_EQ(ini.Contents(), "[k]\r]\nk=\r\n\n[m]\rx=1\r\ny=2\r\n\n");
    const TIniFile again("unused.ini", ini.Contents());
    EXPECT_EQ(again.ReadString("k", "k", "d"), "");
    EXPECT_EQ(again.ReadString("m", "y", "d"), "2");
}

TEST(IniFileWrite, ManyNewKeysInAnEarlierSectionStayFindable) {
    TempFolder folder;
    const std::string path = folder.Write("many.ini", "[first]\na=1\n\n[last]\nb=2\n");
    TIniFile ini(path);
    for (int i = 0; i < 3000; ++i)
        ini.WriteString("first", std::to_string(i) + ".vvalue", "v" + std::to_string(i));
    ini.WriteString("FIRST", "1500.VVALUE", "changed");
    ASSERT_FALSE(ini.UpdateFile());

    const TIniFile again(path);
    EXPECT_EQ(again.ReadString("first", "2999.vvalue", ""), "v2999");
    EXPECT_EQ(again.ReadString("first", "1500.vvalue", ""), "changed");
    EXPECT_EQ(again.ReadString("last", "b", ""), "2");
    EXPECT_NE(TempFolder::Read(path).find("2999.vvalue=v2999\n\n[last]"), std::string::npos);
}

// The files shipped beside the program read as the dialogs and the word
// lists expect them.
TEST(ShippedFiles, ExtensionsAndWordListsAreComplete) {
    const char* binDir = std::getenv("KELVARA_BIN_DIR");
    if (!binDir) GTEST_SKIP() << "run through ctest to find the shipped files";
    const TIniFile extensions(std::string(binDir) + "/extention.txt");
    const int count = extensions.ReadInteger("real", "count", 0);
    EXPECT_GE(count, 15);
    for (int i = 0; i < count; ++i) {
        const std::string key = std::to_string(i);
        const std::string real = extensions.ReadString("real", key, "");
        const std::string entry = extensions.ReadString("disp", key, "") + real;
        EXPECT_EQ(real.front(), '.');
        EXPECT_TRUE(entry.ends_with("|*" + real)) << entry;
    }

    const TIniFile words(std::string(binDir) + "/reservedword.txt");
    for (const char* section :
         {".CPP", ".c", ".h", ".pas", ".java", ".js", ".php", ".sql", ".htm"}) {
        const int wordCount = words.ReadInteger(section, "count", 0);
        EXPECT_GT(wordCount, 0) << section;
        for (int i = 0; i < wordCount; ++i)
            EXPECT_NE(words.ReadString(section, std::to_string(i), ""), "") << section << i;
    }
}

} // namespace
} // namespace kelvara
