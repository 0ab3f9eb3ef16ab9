#include <random>

#include "FrameFixture.h"

namespace kelvara {
namespace {

// Opening, activating by tab, by window-menu entry and by the MDI area, and
// closing, in random orders: tabs, entries, windows and the open-path list
// stay in step after every step.
TEST_F(FrameTest, TabsAndWindowMenuStayInStepInEveryOrder) {
    std::vector<std::string> paths;
    for (int i = 0; i < 6; ++i)
        paths.push_back(folder.Write("f" + std::to_string(i) + ".txt", std::to_string(i)));
    std::mt19937 random(20261208);
    DocumentEventsEnabled = true;
    for (int step = 0; step < 300; ++step) {
        const auto documents = frame->Documents();
        const int choice = static_cast<int>(random() % 6);
        if (choice == 0 || documents.empty()) {
            const std::string& path = paths[random() % paths.size()];
            if (frame->ShowDocument(path) == nullptr) FAIL() << path;
        } else if (choice == 1 && frame->Tabs().count() > 0) {
            frame->Tabs().setCurrentIndex(static_cast<int>(random() % frame->Tabs().count()));
        } else if (choice == 2) {
            std::vector<QAction*> entries;
            for (QAction* action : frame->WindowMenu().actions())
                if (action->data().isValid()) entries.push_back(action);
            if (!entries.empty()) entries[random() % entries.size()]->trigger();
        } else if (choice == 3) {
            frame->MdiArea().setActiveSubWindow(documents[random() % documents.size()]);
        } else if (choice == 4) {
            Trigger("FileCloseItem");
        } else {
            frame->MdiArea().activateNextSubWindow();
        }
        ExpectInStep();
        if (HasFatalFailure()) FAIL() << "step " << step;
        EXPECT_EQ(Enabled("FileSaveItem"), !frame->Documents().empty());
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FrameTest, ActivationWritesTheStateIntoTheCaption) {
    const std::string a = folder.Write("a.txt", "a");
    const std::string b = folder.Write("b.txt", "b");
    OpenWithDialog({a, b});
    // A new window's caption is its bare name.
    EXPECT_EQ(Active().windowTitle().toStdString(), "b.txt");
    Type("x");
    frame->Tabs().setCurrentIndex(0);
    EXPECT_EQ(Active().windowTitle().toStdString(), "a.txt 已经被保存");
    frame->Tabs().setCurrentIndex(1);
    EXPECT_EQ(Active().windowTitle().toStdString(), "b.txt 已经被修改");
}

} // namespace
} // namespace kelvara
