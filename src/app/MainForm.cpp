#include "app/MainForm.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <exception>
#include <optional>

#include "app/AboutBox.h"
#include "app/MdiChild.h"
#include "common/AskUser.h"
#include "common/CodePageConversion.h"
#include "common/ProcessValues.h"
#include "platform/UiText.h"

namespace kelvara {

TMainForm::TMainForm(std::string settingsFile, std::string dataFolder)
    : settingsFile_(std::move(settingsFile)), dataFolder_(std::move(dataFolder)),
      searchCommands_(MakeSearchCommands()) {
    setWindowTitle(QStringLiteral("Kelvara"));
    setObjectName(QStringLiteral("MainForm"));
    BuildActions();
    BuildMenus();
    BuildToolBar();
    BuildCentralArea();
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    encodingLabel_ = new QLabel(statusBar());
    encodingLabel_->setObjectName(QStringLiteral("EncodingLabel"));
    encodingLabel_->setToolTip(tr("当前文档的编码"));
    statusBar()->addPermanentWidget(encodingLabel_);
    resize(1000, 700);
}

TMainForm::~TMainForm() {
    // The windows go before the lists that name them.
    for (TMDIChild* window : Documents())
        delete window;
}

void TMainForm::SetSearchCommands(std::unique_ptr<SearchCommands> commands) {
    searchCommands_ = std::move(commands);
}

QAction* TMainForm::MakeAction(const char* name, const QString& caption, const QString& hint,
                               void (TMainForm::*command)()) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromUtf8(name));
    action->setStatusTip(hint);
    action->setToolTip(hint);
    if (command)
        connect(action, &QAction::triggered, this,
                [this, command] { RunCommand([=, this] { (this->*command)(); }); });
    return action;
}

void TMainForm::BuildActions() {
    QStyle* style = QApplication::style();
    FileNew1_ = MakeAction("FileNew1", tr("新建"), tr("新建一个文档"), &TMainForm::FileNew1Execute);
    FileNew1_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    FileNew1_->setIcon(style->standardIcon(QStyle::SP_FileIcon));
    FileOpen1_ = MakeAction("FileOpen1", tr("打开（可以批量）"), tr("打开一个或多个文件"),
                            &TMainForm::FileOpen1Execute);
    FileOpen1_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    FileOpen1_->setIconText(tr("打开"));
    FileOpen1_->setIcon(style->standardIcon(QStyle::SP_DialogOpenButton));
    FileCloseItem_ = MakeAction("FileCloseItem", tr("关闭当前"), tr("关闭当前文档"),
                                &TMainForm::FileCloseItemClick);
    mnucloseall_ =
        MakeAction("mnucloseall", tr("关闭全部"), tr("关闭全部文档"), &TMainForm::mnucloseallClick);
    FileSaveItem_ = MakeAction("FileSaveItem", tr("保存当前"), tr("保存当前文档"), nullptr);
    FileSaveItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    FileSaveItem_->setIconText(tr("保存"));
    FileSaveItem_->setIcon(style->standardIcon(QStyle::SP_DialogSaveButton));
    FileSaveAsItem_ =
        MakeAction("FileSaveAsItem", tr("当前另存为"), tr("用新的名字保存当前文档"), nullptr);
    menusaveall_ =
        MakeAction("menusaveall", tr("保存全部"), tr("保存全部文档"), &TMainForm::menusaveallClick);
    clearrepen_ = MakeAction("clearrepen", tr("清空历史地址"), tr("清空打开过的文件列表"),
                             &TMainForm::clearrepenClick);
    FileExitItem_ =
        MakeAction("FileExitItem", tr("退出"), tr("退出 Kelvara"), &TMainForm::FileExitItemClick);
    mnureadonly_ =
        MakeAction("mnureadonly", tr("只读"), tr("当前文档设为只读"), &TMainForm::mnureadonlyClick);
    mnureadonly_->setCheckable(true);
    findcurrent_ = MakeAction("findcurrent", tr("查找当前"), tr("在当前文档中查找"),
                              &TMainForm::findcurrentClick);
    findcurrent_->setIcon(style->standardIcon(QStyle::SP_FileDialogContentsView));
    replacecurrent_ = MakeAction("replacecurrent", tr("替换当前"), tr("在当前文档中替换"),
                                 &TMainForm::replacecurrentClick);
    replacecurrent_->setIcon(style->standardIcon(QStyle::SP_BrowserReload));
    piliangfind_ = MakeAction("piliangfind", tr("批量查找替换"), tr("在多个文件中查找替换"),
                              &TMainForm::piliangfindClick);
    piliangfind_->setIcon(style->standardIcon(QStyle::SP_DirIcon));
    HelpAboutItem_ =
        MakeAction("HelpAboutItem", tr("关于"), tr("关于 Kelvara"), &TMainForm::HelpAboutItemClick);
    // The two save commands take their window.
    connect(FileSaveItem_, &QAction::triggered, this, [this] {
        RunCommand([this] {
            if (TMDIChild* window = ActiveChild()) SaveDocument(*window);
        });
    });
    connect(FileSaveAsItem_, &QAction::triggered, this, [this] {
        RunCommand([this] {
            if (TMDIChild* window = ActiveChild()) SaveDocumentAs(*window);
        });
    });
    documentCommands_ = {findcurrent_,    FileCloseItem_, mnucloseall_, FileSaveItem_,
                         FileSaveAsItem_, menusaveall_,   mnureadonly_, replacecurrent_};
}

void TMainForm::BuildMenus() {
    QMenu* file = menuBar()->addMenu(tr("文件"));
    file->addAction(FileNew1_);
    file->addAction(FileOpen1_);
    file->addSeparator();
    file->addAction(FileCloseItem_);
    file->addAction(mnucloseall_);
    file->addSeparator();
    file->addAction(FileSaveItem_);
    file->addAction(FileSaveAsItem_);
    file->addAction(menusaveall_);
    file->addSeparator();
    ReOpenItem_ = file->addMenu(tr("重新打开"));
    ReOpenItem_->setObjectName(QStringLiteral("ReOpenItem"));
    historyGroup_ = new QActionGroup(this);
    file->addAction(clearrepen_);
    file->addSeparator();
    file->addAction(FileExitItem_);

    mywindows1_ = menuBar()->addMenu(tr("处理"));
    mywindows1_->setObjectName(QStringLiteral("mywindows1"));
    mywindows1_->addAction(mnureadonly_);
    mywindows1_->addAction(findcurrent_);
    mywindows1_->addAction(replacecurrent_);
    mywindows1_->addSeparator();
    mywindows1_->addAction(piliangfind_);
    mywindows1_->addSeparator();
    windowGroup_ = new QActionGroup(this);
    connect(windowGroup_, &QActionGroup::triggered, this,
            [this](QAction* entry) { RunCommand([=, this] { WindowMenuItemClick(entry); }); });

    menuBar()->addMenu(BuildEncodingMenu());

    QMenu* help = menuBar()->addMenu(tr("帮助"));
    help->addAction(HelpAboutItem_);
}

void TMainForm::BuildToolBar() {
    ToolBar2_ = addToolBar(tr("工具栏"));
    ToolBar2_->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2_->setMovable(false);
    ToolBar2_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar2_->addAction(FileNew1_);
    ToolBar2_->addAction(FileOpen1_);
    ToolBar2_->addAction(FileSaveItem_);
    ToolBar2_->addSeparator();
    ToolBar2_->addAction(findcurrent_);
    ToolBar2_->addAction(replacecurrent_);
    ToolBar2_->addAction(piliangfind_);
}

void TMainForm::BuildCentralArea() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    pg1_ = new QTabBar(central);
    pg1_->setObjectName(QStringLiteral("pg1"));
    pg1_->setExpanding(false);
    pg1_->setDocumentMode(true);
    pg1_->setUsesScrollButtons(true);
    connect(pg1_, &QTabBar::currentChanged, this,
            [this](int index) { RunCommand([=, this] { pg1Change(index); }); });
    layout->addWidget(pg1_);
    mdi_ = new QMdiArea(central);
    mdi_->setObjectName(QStringLiteral("ClientArea"));
    mdi_->setBackground(palette().brush(QPalette::Dark));
    connect(mdi_, &QMdiArea::subWindowActivated, this, &TMainForm::FormActivate);
    // Coming back from another program: was the active file changed meanwhile?
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive && DocumentEventsEnabled && ActiveChild())
                    ScheduleDiskCheck(*ActiveChild());
            });
    layout->addWidget(mdi_, 1);
    setCentralWidget(central);
}

// No failure leaves a command: it is reported with its reason, and the
// documents stay as they were.
void TMainForm::RunCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& error) {
        AskUser(TextFromUtf8(error.what()), "Kelvara", 2);
    }
}

void TMainForm::ShowStatus(const std::string& text) {
    statusBar()->showMessage(TextToQt(text));
    statusBar()->repaint();
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!settingsLoaded_) LoadSettings();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (closed_) return event->accept();
    if (!AskAllBeforeExit(closingOnSignal_ ? KeepUnsavedForRecovery()
                                           : std::vector<const TMDIChild*>()))
        return event->ignore();
    closed_ = true;
    {
        std::optional<UnattendedBoxes> unattended;
        if (closingOnSignal_) unattended.emplace();
        if (searchCommands_) searchCommands_->FrameClosing();
        SaveSettings();
    }
    event->accept();
    emit Closed();
}

// "退出" asks the same close questions as the close box.
void TMainForm::FileExitItemClick() { close(); }

void TMainForm::CloseOnSignal() {
    closingOnSignal_ = true;
    close();
    closingOnSignal_ = false;
}

void TMainForm::findcurrentClick() {
    if (TMDIChild* window = ActiveChild()) searchCommands_->FindCurrent(*this, *window);
}

void TMainForm::replacecurrentClick() {
    if (TMDIChild* window = ActiveChild()) searchCommands_->ReplaceCurrent(*this, *window);
}

void TMainForm::piliangfindClick() { searchCommands_->BatchFindReplace(*this); }

void TMainForm::HelpAboutItemClick() {
    TAboutBox box(this);
    box.exec();
}

} // namespace kelvara
