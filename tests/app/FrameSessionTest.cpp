#include <filesystem>

#include "FrameFixture.h"
#include "common/IniFile.h"

namespace kelvara {
namespace {

// The files of a folder, by name, with their bytes.
std::map<std::string, std::string> FilesIn(const std::string& folder) {
    std::map<std::string, std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.is_regular_file())
            files[entry.path().filename()] = TempFolder::Read(entry.path());
    return files;
}

// Closed by a signal, nobody answers "save?": each document's unsaved text is
// kept in the state folder, its file stays as it was, and the next start opens
// the copies, once. Where no copy can be written, the question is still asked.
TEST_F(FrameTest, ASignalKeepsUnsavedEditsForTheNextStart) {
    const std::string before = std::getenv("XDG_STATE_HOME");
    setenv("XDG_STATE_HOME", folder.Path("state").c_str(), 1);
    const std::string recovery = folder.Path("state/kelvara/recovery/");
    const std::string gbk = folder.Write("a.txt", "\xD6\xD0\n"); // "中" in GBK
    const std::string kept = folder.Write("b.txt", "b\n");
    OpenWithDialog({gbk});
    Type("x");
    OpenWithDialog({kept});
    Trigger("FileNew1");
    Type("new");
    boxes.clear();
    testing::internal::CaptureStderr();
    frame->CloseOnSignal();
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(boxes.empty()) << LastBox();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(TempFolder::Read(gbk), "\xD6\xD0\n");
    std::map<std::string, std::string> copies = FilesIn(recovery + "new");
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_TRUE(copies.begin()->first.ends_with("-NONAME.txt"));
    EXPECT_EQ(copies.begin()->second, "new");
    EXPECT_TRUE(copies.rbegin()->first.ends_with("-a.txt"));
    EXPECT_EQ(copies.rbegin()->second, "\xD6\xD0\nx");
    EXPECT_NE(told.find(recovery + "new/" + copies.rbegin()->first), std::string::npos) << told;

    // The next start opens them and says so; the one after does not again.
    RestartFrame();
    QApplication::processEvents();
    EXPECT_TRUE(FilesIn(recovery + "new").empty());
    EXPECT_EQ(FilesIn(recovery), copies);
    std::vector<std::string> open;
    for (const TMDIChild* window : frame->Documents())
        open.push_back(window->Path());
    for (const auto& [name, bytes] : copies)
        EXPECT_NE(std::find(open.begin(), open.end(), recovery + name), open.end()) << name;
    EXPECT_NE(LastBox().find(recovery), std::string::npos) << LastBox();
    boxes.clear();
    RestartFrame();
    QApplication::processEvents();
    EXPECT_TRUE(boxes.empty()) << LastBox();

    // No state folder to write in: the question comes as for the close box.
    folder.Write("state-file", "");
    setenv("XDG_STATE_HOME", folder.Path("state-file").c_str(), 1);
    Type("y");
    answers = {kIdNo};
    frame->CloseOnSignal();
    EXPECT_NE(LastBox().find("是否保存"), std::string::npos) << LastBox();
    EXPECT_FALSE(frame->isVisible());
    setenv("XDG_STATE_HOME", before.c_str(), 1);
}

TEST_F(FrameTest, SettingsFileAfterASessionByteForByte) {
    const std::string a = folder.Write("a.txt", "a");
    const std::string b = folder.Write("b.cpp", "b");
    OpenWithDialog({a, b});
    Trigger("FileNew1");
    frame->setGeometry(20, 30, 640, 480);
    ASSERT_TRUE(frame->close());
    EXPECT_EQ(TempFolder::Read(settingsFile), "[lastopened]\n"
                                              "count=3\n"
                                              "0.opened=" +
                                                  a +
                                                  "\n"
                                                  "1.opened=" +
                                                  b +
                                                  "\n"
                                                  "2.opened=NONAME\n"
                                                  "[MenuMenu]\n"
                                                  "count=2\n"
                                                  "0.CC=a.txt\n"
                                                  "0.HH=" +
                                                  a +
                                                  "\n"
                                                  "1.CC=b.cpp\n"
                                                  "1.HH=" +
                                                  b +
                                                  "\n"
                                                  "[MainForm]\n"
                                                  "left=20\n"
                                                  "top=30\n"
                                                  "width=640\n"
                                                  "height=480\n"
                                                  "maximized=0\n");
}

TEST_F(FrameTest, SessionReopensEveryExistingFileAfterARestart) {
    const std::string a = folder.Write("a.txt", "a");
    const std::string b = folder.Write("b.htm", "b");
    const std::string c = folder.Write("c.TXT", "c");
    const std::string gone = folder.Write("gone.txt", "gone");
    OpenWithDialog({a, b, c, gone});
    Trigger("FileNew1");
    frame->setGeometry(40, 50, 600, 400);
    RestartFrame();
    std::filesystem::remove(gone);
    RestartFrame();
    // Every file that still exists, whatever its extension; not the new one.
    std::vector<std::string> paths;
    for (const auto& line : frame->OpenPathList())
        paths.push_back(line.path);
    EXPECT_EQ(paths, (std::vector<std::string>{a, b, c}));
    EXPECT_EQ(TabCaptions(), (std::vector<std::string>{"a.txt", "b.htm", "c.TXT"}));
    EXPECT_EQ(frame->DocumentCounter(), 3);
    EXPECT_EQ(frame->History().size(), 3u);
    EXPECT_EQ(frame->geometry(), QRect(40, 50, 600, 400));
    ExpectInStep();
    EXPECT_TRUE(boxes.empty());

    // A shorter list leaves the old keys behind; reading stops at count.
    Trigger("mnucloseall");
    RestartFrame();
    EXPECT_TRUE(frame->OpenPathList().empty());
    const TIniFile settings(settingsFile);
    EXPECT_EQ(settings.ReadInteger("lastopened", "count", -1), 0);
    EXPECT_EQ(settings.ReadString("lastopened", "0.opened", ""), a);
}

// A file reopened in a code page comes back in it with the session; one
// detected is detected again, also in a place of the list for which an
// earlier session kept a code page.
TEST_F(FrameTest, SessionKeepsTheCodePageAFileWasReopenedIn) {
    const std::string a = folder.Write("a.txt", "\xE4\xB8\xAD\n"); // "中" in UTF-8
    const std::string b = folder.Write("b.txt", "\xE6\x96\x87\n"); // "文" in UTF-8
    OpenWithDialog({a});
    Trigger("mnureopengbk");
    RestartFrame();
    ASSERT_EQ(frame->Documents().size(), 1u);
    EXPECT_EQ(Active().Encoding().codePage, CodePage::Gbk);
    Trigger("mnucloseall");
    OpenWithDialog({b});
    RestartFrame();
    EXPECT_EQ(Active().Encoding().codePage, CodePage::Utf8);
    EXPECT_EQ(TIniFile(settingsFile).ReadString("lastopened", "0.codepage", "-"), "");
}

TEST_F(FrameTest, ExtensionsGiveTheFilterAndTheList) {
    EXPECT_EQ(FileFilter, "Text|*.txt|Pages|*.htm");
    EXPECT_EQ(ExtensionList, (std::vector<std::string>{".txt", ".htm"}));
    EXPECT_EQ(QtFileFilter(FileFilter).toStdString(), "Text (*.txt);;Pages (*.htm)");
    EXPECT_EQ(QtFileFilter("C (*.c;*.h)|*.c;*.h").toStdString(), "C (*.c;*.h) (*.c *.h)");
    std::filesystem::remove(folder.Path("extention.txt"));
    MakeFrame();
    EXPECT_EQ(FileFilter, "");
    EXPECT_TRUE(ExtensionList.empty());
}

TEST_F(FrameTest, DamagedSettingsReadAsEmpty) {
    folder.Write("kelvara.ini", "[lastopened]\ncount=x\n[MenuMenu]\ncount=2\n0.CC=a\n0.HH=\n");
    MakeFrame();
    EXPECT_TRUE(frame->OpenPathList().empty());
    EXPECT_TRUE(frame->History().empty());
}

} // namespace
} // namespace kelvara
