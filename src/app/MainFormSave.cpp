#include <QAction>
#include <QActionGroup>
#include <QTabBar>

#include "app/MainForm.h"
#include "app/MdiChild.h"
#include "common/AskUser.h"
#include "common/CodePageConversion.h"
#include "common/LineFile.h"
#include "common/PathHelpers.h"
#include "common/ProcessValues.h"
#include "platform/FileDialogs.h"
#include "platform/UiText.h"

namespace kelvara {

namespace {

bool FileExists(const std::string& path) { return StampOfFile(path).size >= 0; }

void TellSaved() { AskUser(MessageText(TMainForm::tr("已经保存了")), "*_*", 2); }

} // namespace

// A failed write says why, and leaves the file and the modified mark as they
// were.
bool TMainForm::WriteDocument(TMDIChild& window, const std::string& target) {
    if (const FileStatus error = WriteFileAtomic(target, window.TextToSave())) {
        AskUser(PathInText(error->Message()), "*_*", 2);
        return false;
    }
    window.Saved(StampOfFile(target));
    return true;
}

bool TMainForm::SaveDocument(TMDIChild& window) {
    if (window.Path() != "NONAME" && FileExists(window.Path())) {
        if (!WriteDocument(window, window.Path())) return false;
        TellSaved();
        return true;
    }
    return SaveDocumentAs(window);
}

bool TMainForm::SaveDocumentAs(TMDIChild& window) {
    const bool hasFile = window.Stamp().size >= 0 || FileExists(window.Path());
    const QString proposed = hasFile ? PathToQt(window.Path()) : QStringLiteral("NONAME.txt");
    const QString name = FileDialogs().SaveFileName(this, QtFileFilter(FileFilter), proposed);
    if (name.isEmpty()) return false;
    const std::string chosen = PathFromQt(name);
    std::string extension = ExtractFileExt(chosen);
    if (extension.empty() && ExtractFileExt(window.Path()).empty()) extension = ".txt";
    const std::string target = DefaultExtension(chosen, extension);
    // The dialog asked about the name as typed, not about the longer one.
    if (target != chosen && FileExists(target) &&
        AskUser(MessageText(tr("%1 已经存在，是否替换?"), {PathInText(target)}), "*_*", 1) !=
            kIdYes)
        return false;
    if (!WriteDocument(window, target)) return false;
    RenameDocument(window, target);
    TellSaved();
    return true;
}

// The window now stands for `target`: open-path line, tab, menu entry and
// history follow, so the duplicate test and the session see the new path.
void TMainForm::RenameDocument(TMDIChild& window, const std::string& target) {
    window.SetPath(target);
    for (OpenPath& line : lbfile_)
        if (line.window == &window) line.path = target;
    const int id = window.DocumentId();
    bool hasTab = false;
    for (int i = 0; i < pg1_->count(); ++i)
        if (pg1_->tabData(i).toInt() == id) {
            pg1_->setTabText(i, FileNameToQt(target));
            pg1_->setTabToolTip(i, PathToQt(target));
            hasTab = true;
        }
    if (hasTab) {
        for (QAction* entry : windowGroup_->actions())
            if (entry->data().toInt() == id) {
                entry->setText(FileNameToQt(target));
                entry->setStatusTip(PathToQt(target));
            }
    } else {
        AddWindowMenuItem(target, id);
        AddDocumentTab(target, id);
    }
    AddToHistory(target);
    window.SetCaption(PathInText(FileNameOfPath(target)));
    window.PrepareViews(); // the words of the new extension
    ShowStatus({});        // which ran through the status bar
}

// A document without a file of its own goes through the save-as dialog; a
// failure or a cancelled dialog is reported and the others are still saved.
void TMainForm::menusaveallClick() {
    bool all = true;
    for (TMDIChild* window : Documents()) {
        if (window->Path() != "NONAME" && FileExists(window->Path()))
            all &= WriteDocument(*window, window->Path());
        else
            all &= SaveDocumentAs(*window);
    }
    if (all) AskUser(MessageText(tr("全部——已经保存了")), "*_*", 2);
}

} // namespace kelvara
