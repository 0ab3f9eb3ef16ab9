#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "common/AskUser.h"
#include "common/ProcessValues.h"
#include "search/CodePageScope.h"
#include "search/TestFolder.h"
#include "searchui/FakeFrame.h"
#include "searchui/ResultTreeView.h"
#include "searchui/frmfindtree.h"

namespace kelvara::test {

// The one application object of the test program.
inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "searchui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    (void)application;
}

// Runs `action` once, from the n-th processing of events after it is made
// (inside the walk or run that starts next).
class AtSlice {
public:
    AtSlice(int n, std::function<void()> action)
        : AtSlice([this, n] { return ++count_ >= n; }, std::move(action)) {}
    // Acts at the first slice where `ready` holds.
    AtSlice(std::function<bool()> ready, std::function<void()> action) {
        QObject::connect(&timer_, &QTimer::timeout,
                         [this, ready = std::move(ready), action = std::move(action)] {
                             if (!ready()) return;
                             timer_.stop();
                             action();
                         });
        timer_.start(0);
    }

private:
    QTimer timer_;
    int count_ = 0;
};

// A batch window on its own settings file, with the message boxes recorded
// and answered by `answer`.
class WindowTest : public ::testing::Test {
protected:
    WindowTest() {
        EnsureApplication();
        ExtensionList = {".txt", ".pas", ".htm"};
        FileFilter = "Text|*.txt|All|*";
        SetAskUserSink([this](const MessageBoxRequest& request) {
            messages.emplace_back(request.text);
            return answer;
        });
    }
    ~WindowTest() override {
        SetAskUserSink({});
        ExtensionList.clear();
        FileFilter.clear();
    }

    std::unique_ptr<Tfrmfindtree> MakeWindow() {
        auto window = std::make_unique<Tfrmfindtree>(settings.Path() + "/kelvara.ini");
        window->show();
        return window;
    }

    // Adds the folder tree below `folder` and ticks the entries with `extension`.
    static void AddAndTick(Tfrmfindtree& window, const std::string& folder,
                           const QString& extension) {
        window.SetDirectory(folder);
        window.Button6->click();
        window.cb3->setCurrentText(extension);
        window.cb3Click();
    }

    CodePageScope codePage{CodePage::Utf8};
    TestFolder settings;
    TestFolder files;
    std::vector<std::string> messages;
    int answer = kIdOk;
};

} // namespace kelvara::test
