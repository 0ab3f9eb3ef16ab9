#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>

#include "app/DocumentEvents.h"
#include "app/MainForm.h"
#include "app/MdiChild.h"
#include "common/AskUser.h"
#include "common/FileEncoding.h"
#include "common/LineFile.h"
#include "common/PathHelpers.h"
#include "platform/UiText.h"

namespace kelvara {

QMenu* TMainForm::BuildEncodingMenu() {
    auto* menu = new QMenu(tr("编码"), this);
    menu->setObjectName(QStringLiteral("mnuencoding"));
    auto add = [&](const char* name, const QString& caption, const QString& hint,
                   const std::function<void()>& command) {
        QAction* action = MakeAction(name, caption, hint, nullptr);
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
        menu->addAction(action);
        documentCommands_.push_back(action);
    };
    // The reopen commands carry the check mark of the code page the document is
    // read in; a UTF-16 file is read in neither, so none is checked.
    reopenGroup_ = new QActionGroup(this);
    reopenGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    auto addReopen = [&](const char* name, const QString& caption, const QString& hint,
                         CodePage codePage) {
        add(name, caption, hint, [this, codePage] {
            ReopenIn(codePage);
            ShowEncoding(ActiveChild()); // also when the reopen was called off
        });
        QAction* action = menu->actions().back();
        action->setCheckable(true);
        action->setData(static_cast<int>(codePage));
        reopenGroup_->addAction(action);
    };
    addReopen("mnureopengbk", tr("以 GBK 重新打开"), tr("按 GBK 重新读入当前文档的文件"),
              CodePage::Gbk);
    addReopen("mnureopenutf8", tr("以 UTF-8 重新打开"), tr("按 UTF-8 重新读入当前文档的文件"),
              CodePage::Utf8);
    menu->addSeparator();
    add("mnusavegbk", tr("保存为 GBK"), tr("用 GBK 保存当前文档"),
        [this] { SaveInEncoding(PlainEncoding(CodePage::Gbk)); });
    add("mnusaveutf8", tr("保存为 UTF-8"), tr("用 UTF-8 保存当前文档"),
        [this] { SaveInEncoding(PlainEncoding(CodePage::Utf8)); });
    add("mnusaveutf8bom", tr("保存为 UTF-8（带 BOM）"),
        tr("用 UTF-8 保存当前文档，文件以 BOM 开头"), [this] {
            SaveInEncoding({CodePage::Utf8, true, Utf16Order::None});
        });
    return menu;
}

void TMainForm::ShowEncoding(const TMDIChild* window) {
    const std::string_view name = window ? EncodingName(window->Encoding()) : std::string_view();
    encodingLabel_->setText(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    const bool readInCodePage = window && window->Encoding().utf16 == Utf16Order::None;
    for (QAction* action : reopenGroup_->actions())
        action->setChecked(readInCodePage &&
                           action->data().toInt() == static_cast<int>(window->Encoding().codePage));
}

// The text is read anew, so edits not saved are lost: the user agrees first.
void TMainForm::ReopenIn(CodePage codePage) {
    TMDIChild* window = ActiveChild();
    if (!window) return;
    const std::string name = PathInText(FileNameOfPath(window->Path()));
    if (window->Stamp().size < 0) {
        AskUser(MessageText(tr("%1 还没有文件，不能重新打开。"), {name}), "*_*", 2);
        return;
    }
    const std::string encoding(EncodingName(PlainEncoding(codePage)));
    if (window->Modified() &&
        AskUser(MessageText(tr("%1 有没保存的修改，以 %2 重新打开会丢失它们。是否继续?"),
                            {name, encoding}),
                name, 3) != kIdYes)
        return;
    std::string bytes;
    if (const FileStatus error = ReadFileBytes(window->Path(), bytes)) {
        AskUser(PathInText(error->Message()), "**_*", 2);
        return;
    }
    const DocumentEventsOff eventsOff;
    window->ChooseCodePage(codePage);
    window->ReloadKeepingPlace(std::move(bytes), StampOfFile(window->Path()));
    window->PrepareViews(); // the words in the code page now taken
    window->ShowStateCaption();
    ShowEncoding(window);
    ShowStatus(MessageText(tr("加载完毕!"))); // not the last word the views loaded
}

void TMainForm::SaveInEncoding(const FileEncoding& encoding) {
    if (TMDIChild* window = ActiveChild()) SaveIn(*window, encoding);
}

} // namespace kelvara
