#pragma once

#include <QApplication>
#include <QMdiArea>
#include <QMenu>
#include <QStandardPaths>
#include <QTabBar>
#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "app/MdiChild.h"
#include "common/AskUser.h"
#include "common/CodePage.h"
#include "common/CodePageConversion.h"
#include "common/ProcessValues.h"
#include "common/TempFolder.h"
#include "platform/FileDialogs.h"

namespace kelvara {

// The one application object of the test program.
inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
        // The windows never need a display, also when the test runner did not
        // choose the platform.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        QStandardPaths::setTestModeEnabled(true);
        return new QApplication(argc, argv);
    }();
    return *application;
}

// A message box that was shown: its texts in UTF-8 and its kind's buttons.
struct ShownBox {
    std::string text;
    std::string caption;
    MessageButtons buttons;
};

// Answers the file dialogs from queues filled by the test.
class ScriptedDialogs : public FileDialogProvider {
public:
    std::deque<QStringList> opens;
    std::deque<QString> saves;
    int saveCalls = 0;

    QStringList OpenFileNames(QWidget*, const QString&) override {
        if (opens.empty()) return {};
        QStringList names = opens.front();
        opens.pop_front();
        return names;
    }
    QString SaveFileName(QWidget*, const QString&, const QString&) override {
        ++saveCalls;
        if (saves.empty()) return {};
        QString name = saves.front();
        saves.pop_front();
        return name;
    }
};

// A frame over a settings file and data files in a fresh folder, with the
// message boxes and file dialogs answered by the test.
class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        SetTextCodePage(CodePage::Utf8);
        DocumentEventsEnabled = false;
        SetAskUserSink([this](const MessageBoxRequest& request) {
            boxes.push_back(
                {RecodeToUtf8(request.text), RecodeToUtf8(request.caption), request.style.buttons});
            // Notices take no answer from the queue.
            if (answers.empty() || request.style.buttons == MessageButtons::Ok)
                return request.style.defaultButton;
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        });
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        SetFileDialogs(std::move(scripted));
        folder.Write("extention.txt",
                     "[real]\ncount=2\n0=.txt\n1=.htm\n[disp]\n0=Text|*\n1=Pages|*\n");
        settingsFile = folder.Path("kelvara.ini");
        MakeFrame();
    }

    void TearDown() override {
        frame.reset();
        SetAskUserSink({});
        SetFileDialogs(nullptr);
    }

    static std::string RecodeToUtf8(std::string_view text) {
        std::string out;
        RecodeLenient(text, TextCodePage(), CodePage::Utf8, out);
        return out;
    }

    void MakeFrame() {
        frame = std::make_unique<TMainForm>(settingsFile, folder.Path());
        frame->show(); // loads the settings
    }

    // Closes the frame as the close box does and makes a new one on the same
    // settings file.
    void RestartFrame() {
        ASSERT_TRUE(frame->close());
        frame.reset();
        DocumentEventsEnabled = false;
        MakeFrame();
    }

    void Trigger(const char* command) {
        auto* action = frame->findChild<QAction*>(QString::fromUtf8(command));
        ASSERT_NE(action, nullptr) << command;
        ASSERT_TRUE(action->isEnabled()) << command;
        action->trigger();
    }
    bool Enabled(const char* command) {
        return frame->findChild<QAction*>(QString::fromUtf8(command))->isEnabled();
    }

    void OpenWithDialog(const std::vector<std::string>& paths) {
        QStringList names;
        for (const std::string& path : paths)
            names.append(QString::fromStdString(path));
        dialogs->opens.push_back(names);
        Trigger("FileOpen1");
    }

    TMDIChild& Active() {
        TMDIChild* window = frame->ActiveChild();
        EXPECT_NE(window, nullptr);
        return *window;
    }

    // Types bytes at the end of the active document's plain view.
    void Type(std::string_view bytes) {
        TMemoComponent& editor = Active().Memo1();
        editor.SetSelStart(editor.TextLength());
        editor.KeyPress(bytes);
    }

    std::string LastBox() const { return boxes.empty() ? std::string() : boxes.back().text; }

    std::vector<std::string> TabCaptions() const {
        std::vector<std::string> captions;
        for (int i = 0; i < frame->Tabs().count(); ++i)
            captions.push_back(frame->Tabs().tabText(i).toStdString());
        return captions;
    }

    // Tabs, window-menu entries, windows and the open-path list agree, and
    // the selection marks follow the active window.
    void ExpectInStep() {
        const std::vector<TMDIChild*> windows = frame->Documents();
        ASSERT_EQ(frame->OpenPathList().size(), windows.size());
        std::vector<QAction*> entries;
        for (QAction* action : frame->WindowMenu().actions())
            if (action->data().isValid()) entries.push_back(action);
        ASSERT_EQ(static_cast<std::size_t>(frame->Tabs().count()), entries.size());
        for (TMDIChild* window : windows) {
            if (window->Path() == "NONAME") continue;
            int tabs = 0;
            for (int i = 0; i < frame->Tabs().count(); ++i)
                tabs += frame->Tabs().tabData(i).toInt() == window->DocumentId();
            int menuEntries = 0;
            for (QAction* entry : entries)
                menuEntries += entry->data().toInt() == window->DocumentId();
            EXPECT_EQ(tabs, 1);
            EXPECT_EQ(menuEntries, 1);
        }
        TMDIChild* active = frame->ActiveChild();
        if (!active || active->Path() == "NONAME") return;
        const int current = frame->Tabs().currentIndex();
        ASSERT_GE(current, 0);
        EXPECT_EQ(frame->Tabs().tabData(current).toInt(), active->DocumentId());
        for (QAction* entry : entries)
            EXPECT_EQ(entry->isChecked(), entry->data().toInt() == active->DocumentId());
        ASSERT_GE(frame->SelectedOpenPath(), 0);
        EXPECT_EQ(frame->OpenPathList()[static_cast<std::size_t>(frame->SelectedOpenPath())].window,
                  active);
    }

    TempFolder folder;
    std::string settingsFile;
    std::unique_ptr<TMainForm> frame;
    ScriptedDialogs* dialogs = nullptr;
    std::vector<ShownBox> boxes;
    std::deque<int> answers;
};

} // namespace kelvara
