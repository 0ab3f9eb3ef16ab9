#include <QAction>
#include <QActionGroup>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QTabBar>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "app/DocumentEvents.h"
#include "app/MainForm.h"
#include "app/MdiChild.h"
#include "common/AskUser.h"
#include "common/CodePageConversion.h"
#include "common/LineFile.h"
#include "common/PathHelpers.h"
#include "common/ProcessValues.h"
#include "platform/EditorWidget.h"
#include "platform/FileDialogs.h"
#include "platform/UiText.h"

namespace kelvara {

namespace {

constexpr const char* kNewDocument = "NONAME";

} // namespace

// --- Opening -------------------------------------------------------------

bool TMainForm::OpenDocument(const std::string& path) { return OpenDocumentWith(path, true); }

void TMainForm::FileNew1Execute() { OpenDocumentWith(kNewDocument, false); }

void TMainForm::HistoryItemClick(const std::string& path) { OpenDocumentWith(path, false); }

void TMainForm::FileOpen1Execute() {
    const QStringList names = FileDialogs().OpenFileNames(this, QtFileFilter(FileFilter));
    for (const QString& name : names)
        OpenDocument(PathFromQt(name));
}

void TMainForm::OpenPaths(const QByteArrayList& paths) {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    for (const QByteArray& path : paths)
        RunCommand([&] { OpenDocument(path.toStdString()); });
}

// A path is open when a line of the open-path list holds it, or names the
// same file through a link or another spelling: the file the path leads to
// is compared with the one each window last read or wrote, and only where
// they match is the window's own path looked at again (its file may have
// gone, and its number gone to a new file).
int TMainForm::FindOpenPath(const std::string& path) const {
    const FileStamp file = StampOfFile(path);
    for (std::size_t i = 0; i < lbfile_.size(); ++i) {
        const OpenPath& line = lbfile_[i];
        if (line.path == path ||
            (file.SameFileAs(line.window->Stamp()) && file.SameFileAs(StampOfFile(line.path))))
            return static_cast<int>(i);
    }
    return -1;
}

// The file is read before any window is made, so a file that cannot be read
// leaves nothing behind; "新建" never reads the disk.
bool TMainForm::OpenDocumentWith(const std::string& path, bool addToHistory,
                                 std::optional<CodePage> codePage) {
    const DocumentEventsOff eventsOff;
    if (FindOpenPath(path) >= 0) {
        AskUser(MessageText(tr("重复了")), "**_*", 2);
        return false;
    }
    const bool newDocument = path == kNewDocument;
    std::string bytes;
    FileStamp stamp;
    if (!newDocument) {
        const std::string loading = MessageText(tr("正在加载。。。"));
        ShowStatus(loading);
        FileIdentity identity;
        const FileStatus error = ReadFileBytes(path, bytes, &identity, [&](int percent) {
            ShowStatus(loading + " " + std::to_string(percent) + "%");
        });
        if (error) {
            ShowStatus({});
            AskUser(PathInText(error->Message()), "**_*", 2);
            return false;
        }
        stamp = StampOfRead(identity, bytes.size());
    }
    // The text goes in before the window is registered anywhere, so a text
    // the editor refuses leaves nothing behind.
    auto made = std::make_unique<TMDIChild>(*this, path, documentCounter_ + 1);
    made->ChooseCodePage(codePage);
    if (!newDocument) made->LoadText(std::move(bytes), stamp);
    TMDIChild* window = made.get();
    documentCounter_ = window->DocumentId();
    mdi_->addSubWindow(made.release()); // the area owns it from here
    lbfile_.push_back({path, window});
    if (!newDocument) {
        AddWindowMenuItem(path, window->DocumentId());
        AddDocumentTab(path, window->DocumentId());
        if (addToHistory) AddToHistory(path);
        window->PrepareViews();
    }
    window->showMaximized();
    mdi_->setActiveSubWindow(window);
    window->Memo1Widget().setFocus();
    lbfileSelected_ = static_cast<int>(lbfile_.size()) - 1;
    // A damaged UTF-16 file is shown, not edited: its bad units have no text.
    if (window->DamagedAt()) window->Memo1().SetReadOnly(true);
    mnureadonly_->setChecked(window->Memo1().ReadOnly());
    UpdateDocumentCommands(0);
    ShowEncoding(window);
    ShowStatus(MessageText(tr("加载完毕!")));
    if (const auto damaged = window->DamagedAt())
        AskUser(MessageText(tr("%1 不是有效的 UTF-16（从第 %2 个字节起），以只读方式打开。"),
                            {PathInText(path), std::to_string(*damaged + 1)}),
                "**_*", 2);
    return true;
}

DocumentWindow* TMainForm::ShowDocument(const std::string& path) {
    const int line = FindOpenPath(path);
    if (line < 0) return OpenDocument(path) ? ActiveChild() : nullptr;
    TMDIChild* window = lbfile_[static_cast<std::size_t>(line)].window;
    {
        const DocumentEventsOff eventsOff;
        BringToFront(*window);
    }
    SyncWithActive();
    window->ShowStateCaption();
    ScheduleDiskCheck(*window);
    return window;
}

// --- History -------------------------------------------------------------

void TMainForm::AddToHistory(const std::string& path) {
    std::string caption = FileNameOfPath(path);
    const bool known = std::any_of(history_.begin(), history_.end(),
                                   [&](const HistoryEntry& e) { return e.caption == caption; });
    if (known) return;
    history_.push_back({std::move(caption), path});
    AddHistoryAction(history_.back()); // one entry more, not the menu anew for every file
}

void TMainForm::RebuildHistoryMenu() {
    for (QAction* entry : historyGroup_->actions())
        delete entry;
    for (const HistoryEntry& entry : history_)
        AddHistoryAction(entry);
}

void TMainForm::AddHistoryAction(const HistoryEntry& entry) {
    auto* action = new QAction(PathToQt(entry.caption), historyGroup_);
    action->setCheckable(true);
    action->setStatusTip(PathToQt(entry.path));
    action->setToolTip(PathToQt(entry.path));
    const std::string path = entry.path;
    connect(action, &QAction::triggered, this,
            [this, path] { RunCommand([&] { HistoryItemClick(path); }); });
    ReOpenItem_->addAction(action);
}

void TMainForm::clearrepenClick() {
    history_.clear();
    RebuildHistoryMenu();
}

// --- Tabs, window menu, activation ---------------------------------------

void TMainForm::AddDocumentTab(const std::string& path, int id) {
    bool exists = false;
    for (int i = 0; i < pg1_->count(); ++i)
        exists |= pg1_->tabData(i).toInt() == id;
    if (!exists) {
        const QSignalBlocker quiet(pg1_);
        const int index = pg1_->addTab(FileNameToQt(path));
        pg1_->setTabData(index, id);
        pg1_->setTabToolTip(index, PathToQt(path));
    }
    SelectTabOf(id);
}

void TMainForm::AddWindowMenuItem(const std::string& path, int id) {
    auto* entry = new QAction(FileNameToQt(path), windowGroup_);
    entry->setCheckable(true);
    entry->setData(id);
    entry->setStatusTip(PathToQt(path));
    mywindows1_->addAction(entry);
    entry->setChecked(true);
}

// Selecting a tab from the program does not count as the user's choice.
void TMainForm::SelectTabOf(int id) {
    const QSignalBlocker quiet(pg1_);
    for (int i = 0; i < pg1_->count(); ++i)
        if (pg1_->tabData(i).toInt() == id) return pg1_->setCurrentIndex(i);
}

void TMainForm::CheckMenuItemOf(int id) {
    for (QAction* entry : windowGroup_->actions())
        if (entry->data().toInt() == id) return entry->setChecked(true);
}

TMDIChild* TMainForm::WindowWithId(int id) const {
    for (TMDIChild* window : Documents())
        if (window->DocumentId() == id) return window;
    return nullptr;
}

void TMainForm::BringToFront(TMDIChild& window) {
    mdi_->setActiveSubWindow(&window);
    window.Memo1Widget().setFocus();
}

void TMainForm::pg1Change(int index) {
    if (index < 0) return;
    const int id = pg1_->tabData(index).toInt();
    {
        const DocumentEventsOff eventsOff;
        if (TMDIChild* window = WindowWithId(id)) {
            BringToFront(*window);
            window->ShowStateCaption();
            ScheduleDiskCheck(*window);
        }
        CheckMenuItemOf(id);
    }
    SyncWithActive();
}

void TMainForm::WindowMenuItemClick(QAction* entry) {
    const DocumentEventsOff eventsOff;
    const int id = entry->data().toInt();
    entry->setChecked(true);
    SelectTabOf(id);
    if (TMDIChild* window = WindowWithId(id)) {
        BringToFront(*window);
        ScheduleDiskCheck(*window);
    }
    const auto line = std::find_if(lbfile_.begin(), lbfile_.end(),
                                   [&](const OpenPath& p) { return p.window->DocumentId() == id; });
    if (line != lbfile_.end()) {
        lbfileSelected_ = static_cast<int>(line - lbfile_.begin());
        mnureadonly_->setChecked(line->window->Memo1().ReadOnly());
    }
}

// The platform activated a document window.
void TMainForm::FormActivate(QMdiSubWindow* subWindow) {
    auto* window = dynamic_cast<TMDIChild*>(subWindow);
    if (!DocumentEventsEnabled || !window) return;
    SyncWithActive();
    window->ShowStateCaption();
    ScheduleDiskCheck(*window);
}

// The check runs from the event loop, after the activation is complete.
void TMainForm::ScheduleDiskCheck(TMDIChild& window) {
    QPointer<TMDIChild> guarded(&window);
    QTimer::singleShot(0, this, [this, guarded] {
        if (guarded && guarded == ActiveChild()) RunCommand([&] { CheckFileOnDisk(*guarded); });
    });
}

// Open-path line, read-only mark, menu entry and tab follow the active window.
void TMainForm::SyncWithActive() {
    TMDIChild* window = ActiveChild();
    lbfileSelected_ = -1;
    ShowEncoding(window);
    if (!window) {
        mnureadonly_->setChecked(false);
        return;
    }
    for (std::size_t i = 0; i < lbfile_.size(); ++i)
        if (lbfile_[i].window == window) lbfileSelected_ = static_cast<int>(i);
    mnureadonly_->setChecked(window->Memo1().ReadOnly());
    CheckMenuItemOf(window->DocumentId());
    SelectTabOf(window->DocumentId());
}

// A file changed by another program since it was loaded or saved: the user
// chooses whether to load it again (once per change).
void TMainForm::CheckFileOnDisk(TMDIChild& window) {
    if (window.Stamp().size < 0) return;
    const FileStamp now = StampOfFile(window.Path());
    if (now.size < 0 || now == window.Stamp()) return;
    window.SetStamp(now);
    std::string question =
        MessageText(tr("%1 已被其他程序修改，是否重新加载?"), {PathInText(window.Path())});
    if (window.Modified()) question += MessageText(tr("\n当前的修改将会丢失。"));
    if (AskUser(question, PathInText(FileNameOfPath(window.Path())), 3) != kIdYes) return;
    std::string bytes;
    if (const FileStatus error = ReadFileBytes(window.Path(), bytes)) {
        AskUser(PathInText(error->Message()), "**_*", 2);
        return;
    }
    const DocumentEventsOff eventsOff;
    window.LoadText(std::move(bytes), now);
    window.PrepareViews();
    window.ShowStateCaption();
    ShowStatus(MessageText(tr("加载完毕!"))); // not the last word the views loaded
}

// --- Closing -------------------------------------------------------------

void TMainForm::FormCloseOfDocument(TMDIChild& window) {
    const int id = window.DocumentId();
    for (QAction* entry : windowGroup_->actions())
        if (entry->data().toInt() == id) {
            delete entry;
            break;
        }
    {
        const QSignalBlocker quiet(pg1_);
        for (int i = 0; i < pg1_->count(); ++i)
            if (pg1_->tabData(i).toInt() == id) {
                pg1_->removeTab(i);
                break;
            }
    }
    std::erase_if(lbfile_, [&](const OpenPath& line) { return line.window == &window; });
    lbfileSelected_ = -1;
    if (lbfile_.empty()) ShowEncoding(nullptr);
    UpdateDocumentCommands(1);
}

void TMainForm::FileCloseItemClick() {
    if (TMDIChild* window = ActiveChild()) window->close();
}

// Cancel in a close question stops here and keeps the remaining windows.
void TMainForm::mnucloseallClick() {
    for (std::vector<TMDIChild*> windows = Documents(); !windows.empty(); windows = Documents())
        if (!windows.front()->close()) return;
}

bool TMainForm::AskAllBeforeExit(const std::vector<const TMDIChild*>& kept) {
    for (TMDIChild* window : Documents())
        if (std::find(kept.begin(), kept.end(), window) == kept.end() && !window->CloseQuery())
            return false;
    return true;
}

void TMainForm::mnureadonlyClick() {
    TMDIChild* window = ActiveChild();
    if (!window) return mnureadonly_->setChecked(false);
    window->Memo1().SetReadOnly(mnureadonly_->isChecked());
}

void TMainForm::UpdateDocumentCommands(int n) {
    const bool enabled = static_cast<int>(Documents().size()) > n;
    for (QAction* command : documentCommands_)
        command->setEnabled(enabled);
}

std::vector<TMDIChild*> TMainForm::Documents() const {
    std::vector<TMDIChild*> windows;
    const QList<QMdiSubWindow*> list = mdi_->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (auto* window = dynamic_cast<TMDIChild*>(*it); window && !window->IsClosed())
            windows.push_back(window);
    return windows;
}

TMDIChild* TMainForm::ActiveChild() const {
    auto* window = dynamic_cast<TMDIChild*>(mdi_->currentSubWindow());
    return window && !window->IsClosed() ? window : nullptr;
}

DocumentWindow* TMainForm::ActiveDocument() { return ActiveChild(); }

} // namespace kelvara
