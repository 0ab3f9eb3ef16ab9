// The frame's search commands: batch windows and the find/replace dialogs.
#include <vector>

#include <QPointer>

#include "searchui/SearchCommands.h"
#include "searchui/frmdaohangtest.h"
#include "searchui/frmfindtree.h"

namespace kelvara {

namespace {

class SearchWindows : public SearchCommands {
public:
    // A new window each time; a closed one is destroyed once its run returned.
    void BatchFindReplace(DocumentFrame& frame) override {
        auto* window = new Tfrmfindtree(frame.SettingsFileName(), frame.FrameWidget());
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->SetFrame(&frame);
        batchWindows_.emplace_back(window);
        std::erase_if(batchWindows_, [](const QPointer<Tfrmfindtree>& open) { return !open; });
        window->show();
    }

    void FindCurrent(DocumentFrame& frame, DocumentWindow& document) override {
        Tfrmdaohangtest::Open(frame, document, Tfrmdaohangtest::Mode::Find);
    }
    void ReplaceCurrent(DocumentFrame& frame, DocumentWindow& document) override {
        Tfrmdaohangtest::Open(frame, document, Tfrmdaohangtest::Mode::Replace);
    }

    // Open batch windows keep their settings and stop their runs.
    void FrameClosing() override {
        for (const QPointer<Tfrmfindtree>& window : batchWindows_) {
            if (!window || !window->isVisible()) continue;
            window->SaveBatchSettings();
            window->Button4Click();
        }
    }

private:
    std::vector<QPointer<Tfrmfindtree>> batchWindows_;
};

} // namespace

std::unique_ptr<SearchCommands> MakeSearchCommands() { return std::make_unique<SearchWindows>(); }

} // namespace kelvara
