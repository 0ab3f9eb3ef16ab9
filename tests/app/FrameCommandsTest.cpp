#include <sys/stat.h>

#include "FrameFixture.h"
#include "common/PathHelpers.h"

namespace kelvara {
namespace {

TEST_F(FrameTest, NewDocumentHasNoTabAndASecondOneIsRefused) {
    EXPECT_FALSE(Enabled("FileSaveItem"));
    folder.Write("NONAME", "must not be read");
    Trigger("FileNew1");
    ASSERT_EQ(frame->Documents().size(), 1u);
    EXPECT_EQ(Active().Path(), "NONAME");
    EXPECT_EQ(Active().Memo1().TextLength(), 0);
    EXPECT_EQ(frame->Tabs().count(), 0);
    EXPECT_TRUE(frame->History().empty());
    EXPECT_TRUE(Enabled("FileSaveItem"));
    Trigger("FileNew1");
    EXPECT_EQ(LastBox(), "重复了");
    EXPECT_EQ(frame->Documents().size(), 1u);
}

TEST_F(FrameTest, OpenEditSaveKeepsTheFileLineBreaks) {
    const std::string a = folder.Write("a.txt", "one\ntwo");
    const std::string b = folder.Write("b.htm", "x\r\ny\r\n");
    OpenWithDialog({a, b});
    ASSERT_EQ(frame->Documents().size(), 2u);
    EXPECT_EQ(Active().Path(), b);
    EXPECT_EQ(TabCaptions(), (std::vector<std::string>{"a.txt", "b.htm"}));
    EXPECT_EQ(frame->DocumentCounter(), 2);
    ASSERT_EQ(frame->History().size(), 2u);
    EXPECT_EQ(frame->History()[0].path, a);
    EXPECT_EQ(frame->HistoryMenu().actions().size(), 2);
    ExpectInStep();

    // Opening does not mark; typing does.
    EXPECT_FALSE(Active().Modified());
    Type("z");
    EXPECT_TRUE(Active().Modified());
    Trigger("FileSaveItem");
    EXPECT_EQ(LastBox(), "已经保存了");
    EXPECT_FALSE(Active().Modified());
    EXPECT_EQ(TempFolder::Read(b), "x\r\ny\r\nz");

    frame->Tabs().setCurrentIndex(0);
    EXPECT_EQ(Active().Path(), a);
    EXPECT_EQ(Active().windowTitle().toStdString(), "a.txt 已经被保存");
    Active().Memo1().SetSelStart(3);
    Active().Memo1().KeyPress("!");
    Trigger("FileSaveItem");
    EXPECT_EQ(TempFolder::Read(a), "one!\ntwo");
}

TEST_F(FrameTest, DuplicatesAreRefusedAlsoThroughALink) {
    const std::string a = folder.Write("a.txt", "a");
    const std::string b = folder.Write("b.txt", "b");
    const std::string link = folder.Path("link.txt");
    ASSERT_EQ(symlink(a.c_str(), link.c_str()), 0);
    OpenWithDialog({a});
    OpenWithDialog({b, link, a});
    EXPECT_EQ(frame->Documents().size(), 2u);
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(LastBox(), "重复了");
    // The refusal leaves the active window as it was.
    EXPECT_EQ(Active().Path(), b);
    ExpectInStep();
    // A save puts a new file in place of the old one: the link still leads
    // to the open document.
    frame->ShowDocument(a);
    Type("!");
    Trigger("FileSaveItem");
    OpenWithDialog({link});
    EXPECT_EQ(frame->Documents().size(), 2u);
    EXPECT_EQ(LastBox(), "重复了");
}

TEST_F(FrameTest, UnreadableOrMissingFilesOpenNoWindow) {
    const std::string missing = folder.Path("missing.txt");
    OpenWithDialog({missing, folder.Path(), "/dev/zero"}); // a device never ends
    EXPECT_TRUE(frame->Documents().empty());
    EXPECT_EQ(frame->Tabs().count(), 0);
    EXPECT_TRUE(frame->OpenPathList().empty());
    EXPECT_TRUE(frame->History().empty());
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_NE(boxes[0].text.find(missing), std::string::npos);
    EXPECT_NE(boxes[0].text.find("No such file"), std::string::npos);
    EXPECT_FALSE(Enabled("FileSaveItem"));
}

TEST_F(FrameTest, SaveAsOfANewDocumentAddsTxtAndFollowsTheNewPath) {
    Trigger("FileNew1");
    Type("hello\r\n");
    dialogs->saves.push_back(QString::fromStdString(folder.Path("note")));
    Trigger("FileSaveItem"); // no file of its own: the save dialog
    const std::string note = folder.Path("note.txt");
    EXPECT_EQ(TempFolder::Read(note), "hello\n");
    EXPECT_EQ(Active().Path(), note);
    EXPECT_FALSE(Active().Modified());
    EXPECT_EQ(Active().windowTitle().toStdString(), "note.txt");
    EXPECT_EQ(frame->OpenPathList()[0].path, note);
    EXPECT_EQ(TabCaptions(), std::vector<std::string>{"note.txt"});
    ASSERT_EQ(frame->History().size(), 1u);
    ExpectInStep();
    // NONAME is free again, and the saved file counts as open.
    Trigger("FileNew1");
    EXPECT_EQ(frame->Documents().size(), 2u);
    OpenWithDialog({note});
    EXPECT_EQ(LastBox(), "重复了");

    // A typed extension is kept; a longer name that exists is asked about.
    folder.Write("other.txt", "keep");
    dialogs->saves.push_back(QString::fromStdString(folder.Path("other")));
    answers.push_back(kIdNo);
    Trigger("FileSaveAsItem");
    EXPECT_EQ(TempFolder::Read(folder.Path("other.txt")), "keep");
    EXPECT_EQ(Active().Path(), "NONAME");
    dialogs->saves.push_back(QString::fromStdString(folder.Path("page.htm")));
    Trigger("FileSaveAsItem");
    EXPECT_EQ(Active().Path(), folder.Path("page.htm"));
}

TEST_F(FrameTest, AFailedSaveSaysWhyAndChangesNothing) {
    const std::string a = folder.Write("a.txt", "old");
    OpenWithDialog({a});
    Type("new");
    ASSERT_EQ(chmod(a.c_str(), 0444), 0);
    Trigger("FileSaveItem");
    EXPECT_NE(LastBox().find(a), std::string::npos);
    EXPECT_NE(LastBox(), "已经保存了");
    EXPECT_EQ(TempFolder::Read(a), "old");
    EXPECT_TRUE(Active().Modified());

    // Save all reports the failure instead of claiming success.
    boxes.clear();
    Trigger("menusaveall");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find(a), std::string::npos);
    EXPECT_TRUE(Active().Modified());
}

TEST_F(FrameTest, SaveAllSavesEveryDocumentAndAsksForNewOnes) {
    EXPECT_FALSE(Enabled("FileSaveItem")); // nothing open
    const std::string a = folder.Write("a.txt", "a");
    const std::string b = folder.Write("b.txt", "b");
    OpenWithDialog({a, b});
    Type("2");
    frame->Tabs().setCurrentIndex(0);
    Type("1");
    Trigger("FileNew1");
    Type("new");
    // The new document's save dialog is cancelled: the others are saved.
    Trigger("menusaveall");
    EXPECT_EQ(dialogs->saveCalls, 1);
    EXPECT_EQ(TempFolder::Read(a), "a1");
    EXPECT_EQ(TempFolder::Read(b), "b2");
    EXPECT_NE(LastBox(), "全部——已经保存了");
    EXPECT_TRUE(Active().Modified());
    EXPECT_FALSE(std::filesystem::exists("NONAME"));
    dialogs->saves.push_back(QString::fromStdString(folder.Path("c")));
    Trigger("menusaveall");
    EXPECT_EQ(LastBox(), "全部——已经保存了");
    EXPECT_EQ(TempFolder::Read(folder.Path("c.txt")), "new");
}

TEST_F(FrameTest, ClosingAsksAboutUnsavedChanges) {
    const std::string a = folder.Write("a.txt", "a");
    const std::string b = folder.Write("b.txt", "b");
    OpenWithDialog({a, b});
    Type("x");
    answers.push_back(kIdCancel);
    Trigger("FileCloseItem");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "b.txt 被修改了，是否保存?");
    EXPECT_EQ(boxes[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(frame->Documents().size(), 2u);
    EXPECT_EQ(frame->Tabs().count(), 2);

    // Yes with a failing save keeps the window.
    ASSERT_EQ(chmod(b.c_str(), 0444), 0);
    answers.push_back(kIdYes);
    Trigger("FileCloseItem");
    EXPECT_EQ(frame->Documents().size(), 2u);
    ASSERT_EQ(chmod(b.c_str(), 0644), 0);
    answers.push_back(kIdYes);
    Trigger("FileCloseItem");
    EXPECT_EQ(TempFolder::Read(b), "bx");
    EXPECT_EQ(frame->Documents().size(), 1u);
    EXPECT_EQ(TabCaptions(), std::vector<std::string>{"a.txt"});
    ExpectInStep();
    EXPECT_TRUE(Enabled("FileSaveItem"));
    Trigger("FileCloseItem");
    EXPECT_TRUE(frame->Documents().empty());
    EXPECT_EQ(frame->Tabs().count(), 0);
    EXPECT_FALSE(Enabled("FileSaveItem"));
    EXPECT_FALSE(Enabled("mnureadonly"));
    EXPECT_TRUE(Enabled("FileNew1"));
    EXPECT_TRUE(Enabled("FileOpen1"));
}

TEST_F(FrameTest, CloseAllStopsAtCancelAndKeepsTheRest) {
    std::vector<std::string> paths;
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        paths.push_back(folder.Write(name, name));
    OpenWithDialog(paths);
    Type("!"); // c.txt, the active one
    frame->Tabs().setCurrentIndex(0);
    Type("!"); // a.txt, now the most recently active
    answers = {kIdNo, kIdCancel};
    Trigger("mnucloseall");
    // a.txt was asked first and closed unsaved; the area then activated
    // b.txt, which closed without a question; c.txt answered Cancel and the
    // loop stopped there.
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "a.txt 被修改了，是否保存?");
    EXPECT_EQ(boxes[1].text, "c.txt 被修改了，是否保存?");
    EXPECT_EQ(TempFolder::Read(paths[0]), "a.txt");
    ASSERT_EQ(frame->Documents().size(), 1u);
    EXPECT_EQ(TabCaptions(), std::vector<std::string>{"c.txt"});
    ExpectInStep();
    answers = {kIdNo};
    Trigger("mnucloseall");
    EXPECT_TRUE(frame->Documents().empty());
    EXPECT_TRUE(frame->OpenPathList().empty());
}

TEST_F(FrameTest, ExitAsksEveryQuestionBeforeClosingAnything) {
    const std::string a = folder.Write("a.txt", "a");
    const std::string b = folder.Write("b.txt", "b");
    OpenWithDialog({a, b});
    Type("x");
    frame->Tabs().setCurrentIndex(0);
    Type("y");
    answers = {kIdNo, kIdCancel};
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(frame->Documents().size(), 2u);
    answers = {kIdYes, kIdNo};
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(TempFolder::Read(a), "ay");
    EXPECT_EQ(TempFolder::Read(b), "b");
    // Every document that was open is in the session.
    const std::string settings = TempFolder::Read(settingsFile);
    EXPECT_NE(settings.find("0.opened=" + a), std::string::npos);
    EXPECT_NE(settings.find("1.opened=" + b), std::string::npos);
}

TEST_F(FrameTest, HistoryKeepsOneEntryPerNameAndCanBeCleared) {
    std::filesystem::create_directory(folder.Path("sub"));
    const std::string a = folder.Write("a.txt", "a");
    const std::string other = folder.Write("sub/a.txt", "other a");
    OpenWithDialog({a, other});
    ASSERT_EQ(frame->History().size(), 1u);
    EXPECT_EQ(frame->History()[0].path, a);
    EXPECT_EQ(TabCaptions(), (std::vector<std::string>{"a.txt", "a.txt"}));
    Trigger("mnucloseall");
    Trigger("clearrepen");
    EXPECT_TRUE(frame->HistoryMenu().actions().isEmpty());
    OpenWithDialog({other});
    ASSERT_EQ(frame->HistoryMenu().actions().size(), 1);
    Trigger("mnucloseall");
    // A history entry opens its file without touching the history.
    frame->HistoryMenu().actions()[0]->trigger();
    EXPECT_EQ(Active().Path(), other);
    EXPECT_EQ(frame->History().size(), 1u);
}

TEST_F(FrameTest, ReadOnlyFollowsTheActiveWindow) {
    const std::string a = folder.Write("a.txt", "a");
    const std::string b = folder.Write("b.txt", "b");
    OpenWithDialog({a, b});
    Trigger("mnureadonly");
    EXPECT_TRUE(Active().Memo1().ReadOnly());
    Active().Memo1().KeyPress("x");
    EXPECT_EQ(Active().Memo1().Text(), "b");
    frame->Tabs().setCurrentIndex(0);
    EXPECT_FALSE(frame->findChild<QAction*>("mnureadonly")->isChecked());
    frame->Tabs().setCurrentIndex(1);
    EXPECT_TRUE(frame->findChild<QAction*>("mnureadonly")->isChecked());
}

} // namespace
} // namespace kelvara
