#include "FrameFixture.h"
#include "common/IniFile.h"

namespace kelvara {
namespace {

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
