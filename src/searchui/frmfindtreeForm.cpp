// Building the batch window's form, its set-up when shown and its settings.
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

#include "common/AppPaths.h"
#include "common/AskUser.h"
#include "common/IniFile.h"
#include "common/ProcessValues.h"
#include "search/BatchSettings.h"
#include "searchui/FileListFilter.h"
#include "searchui/FileSetModel.h"
#include "searchui/FolderView.h"
#include "searchui/PreviewPane.h"
#include "searchui/ResultTreeModel.h"
#include "searchui/ResultTreeView.h"
#include "searchui/UiText.h"
#include "searchui/frmfindtree.h"

namespace kelvara {

namespace {

constexpr int kLeftWidth = 286;
constexpr int kTopHeight = 165;
constexpr int kStatusHeight = 23;
constexpr int kPreviewHeight = 140;
constexpr int kFileSetExtent = 600;

QWidget* Panel(QWidget* parent) {
    auto* panel = new QWidget(parent);
    panel->setContentsMargins(0, 0, 0, 0);
    return panel;
}

// "description|pattern|description|pattern" as (description, pattern) items.
void FillFileTypes(QComboBox* box, const std::string& filter) {
    box->clear();
    const QStringList parts = TextToQt(filter).split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        box->addItem(parts[i], parts[i + 1]);
}

// The widgets side by side.
QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    for (QWidget* widget : widgets)
        row->addWidget(widget);
    return row;
}

// Lets a widget be narrower than its contents, so the form keeps its size.
void MayShrink(QWidget* widget) {
    widget->setMinimumWidth(0);
    widget->setSizePolicy(QSizePolicy::Ignored, widget->sizePolicy().verticalPolicy());
}

} // namespace

Tfrmfindtree::Tfrmfindtree(std::string iniPath, QWidget* parent)
    : QWidget(parent, Qt::Window), iniPath_(std::move(iniPath)),
      fileModel_(new FileSetModel(files_, this)), treeModel_(new ResultTreeModel(tree_, this)),
      folderModel_(new QFileSystemModel(this)), fileListModel_(new QFileSystemModel(this)),
      fileList_(new FileListFilter(*fileListModel_, this)), pump_([this] { ShowProgress(); }) {
    setWindowTitle(tr("查找并形成树结果"));
    setFont(WindowFont());
    resize(626, 466);
    move(137, 66);
    Splitter2 = new QSplitter(Qt::Horizontal, this);
    CreateLeftPanel();
    CreateRightPanel();
    Splitter2->setSizes({kLeftWidth, 626 - kLeftWidth});
    Splitter2->setStretchFactor(1, 1);
    Panel2 = new QLabel(this);
    Panel2->setFixedHeight(kStatusHeight);
    Panel2->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* status = Row({Panel2, Label8});
    status->setStretch(0, 1);
    status->setContentsMargins(4, 0, 4, 0);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Splitter2, 1);
    layout->addLayout(status);
    CreateShortcuts();
}

// The models read the file set and the tree, members that go before the
// widget's children would: they go first.
Tfrmfindtree::~Tfrmfindtree() {
    tv1->setModel(nullptr);
    clbfile->setModel(nullptr);
    delete treeModel_;
    delete fileModel_;
}

void Tfrmfindtree::CreateLeftPanel() {
    Panel5 = Panel(Splitter2);
    CreateFilePickers();
    Button6 = new QPushButton(tr("从目录中添加添加"), Panel5);
    Button5 = new QPushButton(tr("从文件列表中添加"), Panel5);
    Label5 = new QLabel(tr("个数："), Panel5);
    Label3 = new QLabel(Panel5);
    Label2 = new QLabel(tr("筛选:"), Panel5);
    cb3 = new QComboBox(Panel5);
    MayShrink(cb3);
    CreateWalkFilterFields();
    CreateFileSetList();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button6);
    buttons->addWidget(Button5);
    auto* counts = new QHBoxLayout;
    counts->addWidget(Label5, 1);
    counts->addWidget(Label3, 1);
    counts->addWidget(Label2);
    counts->addWidget(cb3, 1);
    auto* layout = new QVBoxLayout(Panel5);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(GroupBox1);
    layout->addLayout(buttons);
    layout->addLayout(counts);
    auto* globs = new QGridLayout;
    globs->setSpacing(2);
    globs->addWidget(LabelInclude, 0, 0);
    globs->addWidget(cbInclude, 0, 1);
    globs->addWidget(LabelExclude, 0, 2);
    globs->addWidget(cbExclude, 0, 3);
    globs->addWidget(chkIgnoreFiles, 1, 0, 1, 4);
    globs->setColumnStretch(1, 1);
    globs->setColumnStretch(3, 1);
    layout->addLayout(globs);
    layout->addWidget(clbfile, 1);

    connect(Button6, &QPushButton::clicked, this, &Tfrmfindtree::Button6Click);
    connect(Button5, &QPushButton::clicked, this, &Tfrmfindtree::Button5Click);
    connect(cb3, &QComboBox::activated, this, &Tfrmfindtree::cb3Click);
}

// The drive box, folder list, file list and file-type box over the file
// system models: choosing a drive shows its folders, choosing a folder its
// files of the chosen type.
void Tfrmfindtree::CreateFilePickers() {
    GroupBox1 = new QGroupBox(tr("方式一添加"), Panel5);
    dcb1 = new QComboBox(GroupBox1);
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady()) dcb1->addItem(volume.rootPath());
    }
    dcb1->model()->sort(0);
    fcb1 = new QComboBox(GroupBox1);

    folderModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folderModel_->setRootPath(QStringLiteral("/"));
    dlb1 = new FolderView(GroupBox1);
    dlb1->setModel(folderModel_);
    for (int column = 1; column < folderModel_->columnCount(); ++column)
        dlb1->hideColumn(column);
    dlb1->setHeaderHidden(true);

    // Names match the mask as the file system compares them: exactly.
    fileListModel_->setFilter(QDir::Files | QDir::Hidden | QDir::CaseSensitive);
    fileListModel_->setNameFilterDisables(false);
    flb1 = new QListView(GroupBox1);
    flb1->setModel(fileList_);
    flb1->setSelectionMode(QAbstractItemView::ExtendedSelection);

    for (QWidget* widget : {static_cast<QWidget*>(dcb1), static_cast<QWidget*>(fcb1),
                            static_cast<QWidget*>(dlb1), static_cast<QWidget*>(flb1)})
        MayShrink(widget);
    auto* layout = new QGridLayout(GroupBox1);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(dcb1, 0, 0);
    layout->addWidget(fcb1, 0, 1);
    layout->addWidget(dlb1, 1, 0);
    layout->addWidget(flb1, 1, 1);

    connect(dcb1, &QComboBox::activated, this, &Tfrmfindtree::DriveChosen);
    connect(fcb1, &QComboBox::activated, this, &Tfrmfindtree::fcb1Change);
    connect(dlb1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) SetDirectory(PathFromQt(folderModel_->filePath(current)));
            });
}

void Tfrmfindtree::CreateWalkFilterFields() {
    LabelInclude = new QLabel(tr("包含:"), Panel5);
    cbInclude = new QComboBox(Panel5);
    LabelExclude = new QLabel(tr("排除:"), Panel5);
    cbExclude = new QComboBox(Panel5);
    const QString tip = tr("从目录中添加时用的模式，多个用 ; 分隔，相对于所选目录：\n"
                           "*.c  任何一层的 .c 文件\n"
                           "src/**  src 下的一切\n"
                           "**/test_*.py  任何一层的 test_ 开头的 .py 文件\n"
                           "排除的目录不会被打开。");
    for (QComboBox* box : {cbInclude, cbExclude}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setToolTip(tip);
        MayShrink(box);
    }
    chkIgnoreFiles = new QCheckBox(tr("遵循 .gitignore 和 .ignore 文件"), Panel5);
    chkIgnoreFiles->setToolTip(tr("从目录中添加时，跳过这些文件列出的文件和目录"));
}

void Tfrmfindtree::CreateFileSetList() {
    clbfile = new QListView(Panel5);
    clbfile->setModel(fileModel_);
    clbfile->setUniformItemSizes(true);
    clbfile->setTextElideMode(Qt::ElideNone);
    clbfile->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    clbfile->setContextMenuPolicy(Qt::CustomContextMenu);
    PopupMenu2 = new QMenu(clbfile);
    connect(PopupMenu2->addAction(tr("全选")), &QAction::triggered, this, &Tfrmfindtree::N2Click);
    connect(PopupMenu2->addAction(tr("反选")), &QAction::triggered, this, &Tfrmfindtree::N3Click);
    connect(PopupMenu2->addAction(tr("删除所选")), &QAction::triggered, this,
            &Tfrmfindtree::N4Click);
    connect(PopupMenu2->addAction(tr("删除未选")), &QAction::triggered, this,
            &Tfrmfindtree::N5Click);
    connect(PopupMenu2->addAction(tr("清空")), &QAction::triggered, this, &Tfrmfindtree::N6Click);
    connect(clbfile, &QWidget::customContextMenuRequested, this, &Tfrmfindtree::clbfileContextMenu);
}

void Tfrmfindtree::CreateRightPanel() {
    Panel6 = Panel(Splitter2);
    Splitter1 = new QSplitter(Qt::Vertical, Panel6);
    Panel1 = Panel(Splitter1);
    Label1 = new QLabel(tr("要找的字："), Panel1);
    cb1 = new QComboBox(Panel1);
    Label4 = new QLabel(tr("要替换的字"), Panel1);
    cb4 = new QComboBox(Panel1);
    for (QComboBox* box : {cb1, cb4}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(8);
    }
    chkquanzi = new QCheckBox(tr("全字匹配 "), Panel1);
    chkspace = new QCheckBox(tr("忽略被查找字的空格"), Panel1);
    chkdaxiao = new QCheckBox(tr("区别大小写"), Panel1);
    chkregex = new QCheckBox(tr("正则表达式"), Panel1);
    chkregex->setToolTip(tr("要找的字是正则表达式（PCRE2）；要替换的字里 $1、${名字} "
                            "代表分组，$0 代表找到的字，$$ 代表 $"));
    Label9 = new QLabel(tr("编码："), Panel1);
    cbcodepage = new QComboBox(Panel1);
    cbcodepage->addItem(tr("自动"), 0);
    cbcodepage->addItem(QStringLiteral("GBK"), 936);
    cbcodepage->addItem(QStringLiteral("UTF-8"), 65001);
    cbcodepage->setToolTip(tr("自动：每个文件按自己的编码（字节顺序标记、是否为有效的 "
                              "UTF-8）；GBK 或 UTF-8：没有字节顺序标记的文件都按它处理"));
    Button2 = new QPushButton(tr("开始批量查找"), Panel1);
    Button3 = new QPushButton(tr("批量替换"), Panel1);
    Button4 = new QPushButton(tr("停止"), Panel1);
    ButtonExport = new QPushButton(tr("导出结果"), Panel1);
    ButtonReplaceTicked = new QPushButton(tr("替换所选"), Panel1);
    ButtonUndo = new QPushButton(tr("撤销上次批量替换"), Panel1);
    Label6 = new QLabel(Panel1);
    Label7 = new QLabel(Panel1);
    MayShrink(Label7);
    Label8 = new QLabel(this);

    auto* layout = new QGridLayout(Panel1);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setVerticalSpacing(2);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(cb1, 0, 1);
    layout->addWidget(Label4, 1, 0);
    layout->addWidget(cb4, 1, 1);
    // The code page box shares the row of the first options.
    QHBoxLayout* options = Row({chkquanzi, chkdaxiao, chkregex, Label9, cbcodepage});
    options->insertStretch(3, 1);
    layout->addLayout(options, 2, 0, 1, 2);
    // The replace of the ticked hits and its undo share the row of the last
    // option, so that the form keeps its width.
    QHBoxLayout* ticked = Row({chkspace, ButtonReplaceTicked, ButtonUndo});
    ticked->insertStretch(1, 1);
    layout->addLayout(ticked, 3, 0, 1, 2);
    layout->addLayout(Row({Button2, Button3, Button4, ButtonExport}), 4, 0, 1, 2);
    QHBoxLayout* progress = Row({Label6, Label7});
    progress->setStretch(1, 1);
    layout->addLayout(progress, 5, 0, 1, 2);
    layout->setColumnStretch(1, 1);

    CreateResultTree();
    preview_ = new PreviewPane(Splitter1);
    Splitter1->setSizes(
        {kTopHeight, 466 - kTopHeight - kStatusHeight - kPreviewHeight, kPreviewHeight});
    Splitter1->setStretchFactor(1, 1);
    auto* right = new QVBoxLayout(Panel6);
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(Splitter1);

    connect(Button2, &QPushButton::clicked, this, &Tfrmfindtree::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &Tfrmfindtree::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &Tfrmfindtree::Button4Click);
    connect(ButtonExport, &QPushButton::clicked, this, &Tfrmfindtree::ExportClick);
    connect(ButtonReplaceTicked, &QPushButton::clicked, this, &Tfrmfindtree::ReplaceTickedClick);
    connect(ButtonUndo, &QPushButton::clicked, this, &Tfrmfindtree::UndoLastClick);
    connect(cb4, &QComboBox::editTextChanged, this, &Tfrmfindtree::UpdatePreview);
    connect(treeModel_, &QAbstractItemModel::dataChanged, this, &Tfrmfindtree::UpdatePreview);
}

void Tfrmfindtree::CreateResultTree() {
    tv1 = new ResultTreeView(Splitter1);
    tv1->setModel(treeModel_);
    tv1->setHeaderHidden(true);
    tv1->setUniformRowHeights(true);
    tv1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tv1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tv1->setContextMenuPolicy(Qt::CustomContextMenu);
    tv1->header()->setStretchLastSection(true);
    PopupMenu1 = new QMenu(tv1);
    N1 = PopupMenu1->addAction(tr("打开定位"));
    connect(N1, &QAction::triggered, this, &Tfrmfindtree::N1Click);
    connect(PopupMenu1->addAction(tr("复制路径")), &QAction::triggered, this,
            &Tfrmfindtree::CopyPath);
    connect(PopupMenu1->addAction(tr("复制这一行")), &QAction::triggered, this,
            &Tfrmfindtree::CopyCaption);
    QAction* copyHits = PopupMenu1->addAction(tr("复制所选结果（grep 格式）"));
    copyHits->setShortcut(QKeySequence::Copy);
    copyHits->setShortcutContext(Qt::WidgetShortcut);
    tv1->addAction(copyHits);
    connect(copyHits, &QAction::triggered, this, &Tfrmfindtree::CopySelection);
    connect(PopupMenu1->addAction(tr("导出结果…")), &QAction::triggered, this,
            &Tfrmfindtree::ExportClick);
    PopupMenu1->addSeparator();
    connect(PopupMenu1->addAction(tr("全部展开")), &QAction::triggered, tv1,
            &ResultTreeView::ExpandAllFiles);
    connect(PopupMenu1->addAction(tr("全部折叠")), &QAction::triggered, tv1,
            &QTreeView::collapseAll);
    connect(tv1, &QWidget::customContextMenuRequested, this, &Tfrmfindtree::tv1ContextMenu);
    connect(tv1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &Tfrmfindtree::tv1Change);
    // The status panel names a file of the tree: a run that clears the tree
    // clears it too, and a replace the user declines keeps it.
    connect(treeModel_, &QAbstractItemModel::modelReset, this, [this] {
        Panel2->clear();
        Panel2->setToolTip({});
    });
    connect(tv1, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        if (treeModel_->NodeAt(index).IsHitNode()) N1Click();
    });
}

void Tfrmfindtree::CreateShortcuts() {
    auto* next = new QShortcut(QKeySequence(Qt::Key_F3), this);
    connect(next, &QShortcut::activated, this, [this] { StepHit(true); });
    auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this);
    connect(previous, &QShortcut::activated, this, [this] { StepHit(false); });
}

void Tfrmfindtree::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    FormShow();
}

// The set-up of the first show: empty labels, the file types and extensions
// of extention.txt, then the settings.
void Tfrmfindtree::FormShow() {
    addedCount_ = 0;
    Label5->clear();
    Label6->clear();
    Label7->clear();
    Label8->clear();
    stopRequested_ = false;
    const int rowHeight = clbfile->fontMetrics().height() + 2;
    fileModel_->SetRowSize(QSize(kFileSetExtent, rowHeight));
    FillFileTypes(fcb1, FileFilter);
    fcb1Change();
    Label3->clear();
    cb3->clear();
    for (const std::string& extension : ExtensionList)
        cb3->addItem(TextToQt(extension));
    if (cb3->count() > 0) cb3->setCurrentIndex(0);
    LoadBatchSettings();
}

void Tfrmfindtree::closeEvent(QCloseEvent* event) {
    SaveBatchSettings();
    if (Busy()) {
        // The run or walk returns first; the window closes after it.
        stopRequested_ = true;
        closePending_ = true;
        hide();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void Tfrmfindtree::LoadBatchSettings() {
    const TIniFile ini(iniPath_);
    BatchSettings settings = kelvara::LoadBatchSettings(ini, ExeDirectory());
    findHistory_ = std::move(settings.findHistory);
    replaceHistory_ = std::move(settings.replaceHistory);
    includeHistory_ = std::move(settings.includeHistory);
    excludeHistory_ = std::move(settings.excludeHistory);
    ShowHistory(cb1, findHistory_);
    ShowHistory(cb4, replaceHistory_);
    ShowHistory(cbInclude, includeHistory_, PathToQt);
    ShowHistory(cbExclude, excludeHistory_, PathToQt);
    const int drive = dcb1->findText(PathToQt(settings.drive));
    if (drive >= 0) dcb1->setCurrentIndex(drive);
    SetDirectory(settings.folder);
}

// Read, change, write: the other sections of the settings file stay as the
// frame and the other windows wrote them.
void Tfrmfindtree::SaveBatchSettings() {
    TIniFile ini(iniPath_);
    BatchSettings settings;
    settings.findHistory = findHistory_;
    settings.replaceHistory = replaceHistory_;
    settings.includeHistory = includeHistory_;
    settings.excludeHistory = excludeHistory_;
    settings.folder = directory_;
    settings.drive = PathFromQt(dcb1->currentText());
    kelvara::SaveBatchSettings(ini, settings);
    if (FileStatus status = ini.UpdateFile()) AskUser(status->Message(), "Kelvara", 2);
}

void Tfrmfindtree::ShowHistory(QComboBox* box, const std::vector<std::string>& history,
                               QString (*toQt)(std::string_view)) {
    const QString text = box->currentText();
    box->clear();
    for (const std::string& item : history)
        box->addItem(toQt(item));
    box->setCurrentText(text);
}

void Tfrmfindtree::DriveChosen() {
    const QString drive = dcb1->currentText();
    dlb1->setRootIndex(folderModel_->index(drive));
    SetDirectory(PathFromQt(drive));
}

// The folder list shows the folder under its drive, the file list its files.
void Tfrmfindtree::SetDirectory(const std::string& folder) {
    if (folder == directory_ && !folder.empty()) return;
    directory_ = folder;
    const QString path = PathToQt(folder);
    const QString drive = dcb1->currentText();
    if (!drive.isEmpty() && !path.startsWith(drive)) {
        const int own = dcb1->findText(PathToQt(MountPointOf(folder)));
        if (own >= 0) dcb1->setCurrentIndex(own);
    }
    dlb1->setRootIndex(folderModel_->index(dcb1->currentText()));
    dlb1->ShowFolder(folderModel_->index(path));
    flb1->setRootIndex(fileList_->SetFolder(path));
}

void Tfrmfindtree::fcb1Change() {
    const QString pattern = fcb1->currentData().toString();
    QStringList filters;
    for (const QString& part : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        filters << part.trimmed();
    fileListModel_->setNameFilters(filters);
}

} // namespace kelvara
