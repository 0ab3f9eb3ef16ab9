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

std::string EncodingText(const FileEncoding& encoding) {
    return std::string(EncodingName(encoding));
}

// Why the document's text cannot be written in `target`. The class is named in
// full: lupdate loses the namespace after a `std::` return type.
std::string ProblemText(const EncodingProblem& problem, const TMDIChild& window,
                        const FileEncoding& target) {
    const std::string name = PathInText(FileNameOfPath(window.Path()));
    const std::string line = std::to_string(problem.line);
    if (problem.kind == EncodingProblem::Kind::Unencodable)
        return MessageText(
            kelvara::TMainForm::tr("%1 第 %2 行的字符 %3 不能用 %4 保存，文件没有写。"),
            {name, line, CodePointName(problem.codePoint), EncodingText(target)});
    if (problem.kind == EncodingProblem::Kind::NotText)
        return MessageText(
            kelvara::TMainForm::tr("%1 第 %2 行有不是 %3 字符的字节，不能转换成 %4，文件没有写。"),
            {name, line, EncodingText(PlainEncoding(window.Encoding().codePage)),
             EncodingText(target)});
    return MessageText(
        kelvara::TMainForm::tr("%1 不是有效的 UTF-16，修改后不能再按 UTF-16 保存，文件没有写。"
                               "可以在“编码”菜单中保存为 UTF-8 或 GBK。"),
        {name});
}

} // namespace

// A text the encoding cannot hold and a failed write say why, and leave the
// file and the modified mark as they were. Written in another encoding, the
// document goes on in that one.
bool TMainForm::WriteDocument(TMDIChild& window, const std::string& target,
                              const FileEncoding& encoding) {
    if (const auto problem = window.WriteTo(target, encoding)) {
        if (const auto* unwritable = std::get_if<EncodingProblem>(&*problem))
            AskUser(ProblemText(*unwritable, window, encoding), "*_*", 2);
        else
            AskUser(PathInText(std::get<FileError>(*problem).Message()), "*_*", 2);
        return false;
    }
    window.Saved(StampOfFile(target));
    if (encoding != window.Encoding()) {
        const CodePage before = window.Encoding().codePage;
        window.ChangeEncoding(encoding);
        ShowEncoding(ActiveChild());
        if (window.Encoding().codePage != before) {
            window.PrepareViews(); // the words in the document's new code page
            ShowStatus({});        // which ran through the status bar
        }
    }
    return true;
}

bool TMainForm::SaveDocument(TMDIChild& window) { return SaveIn(window, window.Encoding()); }

bool TMainForm::SaveDocumentAs(TMDIChild& window) { return SaveAsIn(window, window.Encoding()); }

// To the document's file when it has one, else through the save dialog.
bool TMainForm::SaveIn(TMDIChild& window, const FileEncoding& encoding) {
    if (window.Path() != "NONAME" && FileExists(window.Path())) {
        if (!WriteDocument(window, window.Path(), encoding)) return false;
        TellSaved();
        return true;
    }
    return SaveAsIn(window, encoding);
}

bool TMainForm::SaveAsIn(TMDIChild& window, const FileEncoding& encoding) {
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
    if (!WriteDocument(window, target, encoding)) return false;
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
            all &= WriteDocument(*window, window->Path(), window->Encoding());
        else
            all &= SaveDocumentAs(*window);
    }
    if (all) AskUser(MessageText(tr("全部——已经保存了")), "*_*", 2);
}

} // namespace kelvara
