#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "search/TestFolder.h"
#include "searchui/DocumentFrame.h"
#include "syntax/SourceEdit.h"

namespace kelvara::test {

// A view without a window.
class PlainView : public TMemoComponent {
public:
    void PaintRowText(TMCRange&, int, int, int) override {}
};

// A document window without a window: its file loaded into both views, the
// highlighted one a syntax-colouring editor.
class FakeDocument : public DocumentWindow {
public:
    explicit FakeDocument(std::string path) : path_(std::move(path)) {
        const std::string bytes = TestFolder::Read(path_);
        plain_.SetText(bytes);
        highlighted_.SetText(bytes);
    }
    ~FakeDocument() override { delete dialog_.data(); }
    const std::string& Path() const override { return path_; }
    std::string Id() const override { return "1"; }
    bool Modified() const override { return modified_; }
    void SetModified(bool modified) override { modified_ = modified; }
    TMemoComponent& Memo1() override { return plain_; }
    TSourceEdit& Memohun() override { return highlighted_; }
    void ShowPage(int index) override { page = index; }
    void SelectInPlainView(int start, int length) override {
        page = 0;
        plain_.SetSelStart(start);
        plain_.SetSelLength(length);
    }
    // Owns its dialog, as a document window does.
    QWidget* FindDialog() const override { return dialog_; }
    void SetFindDialog(QWidget* dialog) override {
        if (dialog_ != dialog) delete dialog_.data();
        dialog_ = dialog;
    }
    void SetHitStepper(std::function<void(bool)> step) override { stepper = std::move(step); }

    int page = 0;
    std::function<void(bool)> stepper;

private:
    std::string path_;
    PlainView plain_;
    TSourceEdit highlighted_;
    bool modified_ = false;
    QPointer<QWidget> dialog_;
};

// A frame that shows each path in one document, made when first shown.
class FakeFrame : public DocumentFrame {
public:
    QWidget* FrameWidget() override { return nullptr; }
    const std::string& SettingsFileName() const override { return settings; }
    bool OpenDocument(const std::string& path) override { return ShowDocument(path) != nullptr; }
    DocumentWindow* ShowDocument(const std::string& path) override {
        opened.push_back(path);
        auto& document = documents[path];
        if (!document) document = std::make_unique<FakeDocument>(path);
        active = document.get();
        return active;
    }
    DocumentWindow* ActiveDocument() override { return active; }
    void UpdateDocumentCommands(int) override {}
    void ShowStatus(const std::string&) override {}
    std::vector<std::string> UnsavedAmong(const std::vector<std::string>& paths) override {
        std::vector<std::string> unsaved;
        for (const std::string& path : paths)
            if (documents.contains(path) && documents[path]->Modified()) unsaved.push_back(path);
        return unsaved;
    }
    void FilesRewritten(const std::vector<std::string>& paths) override {
        rewritten.insert(rewritten.end(), paths.begin(), paths.end());
    }
    std::vector<std::string> rewritten;

    int SelStart(const std::string& path) { return documents[path]->Memo1().SelStart(); }
    int SelLength(const std::string& path) { return documents[path]->Memo1().SelLength(); }

    std::string settings; // no batch window of this frame saves
    std::vector<std::string> opened;
    std::map<std::string, std::unique_ptr<FakeDocument>> documents;
    FakeDocument* active = nullptr;
};

} // namespace kelvara::test
