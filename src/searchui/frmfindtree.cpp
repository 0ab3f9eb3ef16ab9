// The commands of the batch window: gathering the file set, the runs and the
// result tree.
#include "searchui/frmfindtree.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTreeView>

#include <sys/stat.h>

#include "common/AskUser.h"
#include "common/CodePageConversion.h"
#include "common/PathHelpers.h"
#include "platform/FileDialogs.h"
#include "search/BatchFind.h"
#include "search/BatchReplace.h"
#include "search/BatchSettings.h"
#include "search/ResultExport.h"
#include "search/RunTexts.h"
#include "search/WalkFilter.h"
#include "searchui/DocumentFrame.h"
#include "searchui/FileListFilter.h"
#include "searchui/FileSetModel.h"
#include "searchui/HitLocation.h"
#include "searchui/RegexInput.h"
#include "searchui/ResultTreeModel.h"
#include "searchui/ResultTreeView.h"
#include "searchui/UiText.h"

namespace kelvara {

namespace {

constexpr int kInformation = 0;
constexpr int kError = 2;
// A result of at most this many nodes is shown with every file node
// expanded; a larger one only with the file node of its latest hit.
constexpr std::size_t kExpandedResultNodes = 20000;

void Tell(const std::string& message, int kind = kInformation) {
    AskUser(message, "Kelvara", kind);
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

// --- The file set ---

void Tfrmfindtree::Button6Click() { AddDirectoryFiles(directory_); }

// The globs of the two fields, each a list separated by ";", the excluding
// ones after the including ones so that they win; the texts join their
// histories. False (after a message) when a glob cannot be used.
bool Tfrmfindtree::MakeWalkFilter(WalkFilter& filter) {
    const auto addGlobs = [&](QComboBox* box, std::vector<std::string>& history, bool exclude) {
        const QString text = box->currentText();
        for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            std::string error;
            const std::string glob = (exclude ? "!" : "") + PathFromQt(part.trimmed());
            if (!filter.AddGlob(glob, error)) {
                Tell(MessageText(tr("模式无法使用：%1"), {TextFromUtf8(error)}), kError);
                return false;
            }
        }
        if (!text.trimmed().isEmpty()) AddToHistory(history, PathFromQt(text));
        return true;
    };
    filter.SetIgnoreFiles(chkIgnoreFiles->isChecked());
    const bool made =
        addGlobs(cbInclude, includeHistory_, false) && addGlobs(cbExclude, excludeHistory_, true);
    ShowHistory(cbInclude, includeHistory_, PathToQt);
    ShowHistory(cbExclude, excludeHistory_, PathToQt);
    return made;
}

// Adds every file below the folder that the glob fields take; the list and
// the count follow the walk once per slice, and the stop button or closing
// the window ends it.
void Tfrmfindtree::AddDirectoryFiles(const std::string& folder) {
    if (Busy()) return;
    if (folder.empty() || !IsFolder(folder)) {
        Tell(MessageText(tr("文件夹不存在或无法打开：%1"), {PathInText(folder)}), kError);
        return;
    }
    WalkFilter filter;
    if (!MakeWalkFilter(filter)) return;
    files_.SetWalkFilter(filter.Empty() ? nullptr : &filter);
    SetActivity(Activity::Walking);
    stopRequested_ = false;
    addedCount_ = 0;
    files_.SetFileAddedHandler([this](int added) { addedCount_ = added; });
    files_.SetWalkYield([this] { pump_(); });
    files_.SetWalkStop(&stopRequested_);
    const std::size_t skippedBefore = files_.SkippedCount();
    files_.AddDirectoryFiles(folder);
    files_.SetFileAddedHandler({});
    files_.SetWalkYield({});
    files_.SetWalkStop(nullptr);
    files_.SetWalkFilter(nullptr);
    ShowSkipped(skippedBefore);
    EndActivity();
}

// The entries a walk left out (links out of the folder, unlistable folders)
// are counted in the status panel and listed in its tip.
void Tfrmfindtree::ShowSkipped(std::size_t from) {
    const std::vector<SkippedEntry>& skipped = files_.Skipped();
    if (skipped.size() <= from) return;
    constexpr qsizetype kListed = 30;
    QStringList lines;
    for (std::size_t i = from; i < skipped.size() && lines.size() < kListed; ++i)
        lines << PathToQt(skipped[i].path) + ": " +
                     QString::fromStdString(SkipReasonText(skipped[i]));
    if (skipped.size() - from > static_cast<std::size_t>(kListed)) lines << QStringLiteral("...");
    Panel2->setText(tr("跳过 %1 项（目录外的链接、无法读取的目录等）").arg(skipped.size() - from));
    Panel2->setToolTip(lines.join(QLatin1Char('\n')));
}

void Tfrmfindtree::Button5Click() {
    if (Busy()) return;
    std::vector<std::string> names;
    for (const QModelIndex& index : flb1->selectionModel()->selectedIndexes()) {
        if (index.column() == 0) names.push_back(PathFromQt(fileList_->FileName(index)));
    }
    std::sort(names.begin(), names.end());
    std::string extension;
    if (!BoxText(cb3, tr("筛选"), extension)) return;
    const int added = files_.AddSelectedFiles(directory_, names, extension);
    Label5->setText(QString::number(added));
    fileModel_->ShowAdded();
    fileModel_->MarksChanged();
    if (added > 0) clbfile->setCurrentIndex(fileModel_->index(fileModel_->rowCount() - 1));
}

void Tfrmfindtree::cb3Click() {
    std::string extension;
    if (!BoxText(cb3, tr("筛选"), extension)) return;
    Label3->setText(QString::number(files_.ApplyExtensionFilter(extension)));
    fileModel_->MarksChanged();
}

void Tfrmfindtree::N2Click() {
    files_.TickAll();
    fileModel_->MarksChanged();
}

void Tfrmfindtree::N3Click() {
    files_.UntickAll();
    fileModel_->MarksChanged();
}

void Tfrmfindtree::N4Click() {
    if (Busy()) return;
    files_.RemoveTicked();
    fileModel_->Reload();
}

void Tfrmfindtree::N5Click() {
    if (Busy()) return;
    files_.RemoveUnticked();
    fileModel_->Reload();
}

void Tfrmfindtree::N6Click() {
    if (Busy()) return;
    files_.Clear();
    fileModel_->Reload();
}

void Tfrmfindtree::clbfileContextMenu(const QPoint& at) {
    PopupMenu2->popup(clbfile->viewport()->mapToGlobal(at));
}

// --- The runs ---

MatchOptions Tfrmfindtree::Options() const {
    MatchOptions options;
    options.CaseSensitive = chkdaxiao->isChecked();
    options.WholeWord = chkquanzi->isChecked();
    options.IgnoreSpaces = chkspace->isChecked();
    options.Regex = chkregex->isChecked();
    if (cbcodepage->currentIndex() > 0)
        options.ForcedCodePage =
            cbcodepage->currentData().toInt() == 936 ? CodePage::Gbk : CodePage::Utf8;
    return options;
}

bool Tfrmfindtree::BoxText(QComboBox* box, const QString& what, std::string& out) const {
    if (const auto bad = TextFromQt(box->currentText(), out)) {
        Tell(MessageText(tr("%1含有当前代码页不能表示的字符 %2，没有执行。"),
                         {MessageText(what), CodePointName(bad->codePoint)}),
             kError);
        return false;
    }
    return true;
}

std::string Tfrmfindtree::TypedText(const QComboBox* box) {
    return box->currentText().toStdString();
}

// A regular expression is checked before a run reads any file; a fault is
// shown at its column.
bool Tfrmfindtree::PatternUsable(const std::string& text, const std::string& replacement) const {
    if (!runOptions_.Regex) return true;
    const std::optional<PatternError> fault = CheckRegex(text, replacement, runOptions_);
    if (fault) TellPatternFault(*fault);
    return !fault;
}

void Tfrmfindtree::Button2Click() {
    if (Busy()) return;
    const std::string text = TypedText(cb1);
    if (text.empty()) {
        Tell(MessageText(tr("请先输入要找的字。")));
        return;
    }
    runOptions_ = Options();
    if (!PatternUsable(text, {})) return;
    runText_ = text;
    runReplaced_ = false;
    treeModel_->SetTickable(true);
    SetActivity(Activity::Running);
    const BatchHooks hooks{this, [this] { pump_(); }, &stopRequested_};
    RunBatchFind(text, findHistory_, files_, runOptions_, tree_, hooks);
    EndActivity();
}

void Tfrmfindtree::Button3Click() {
    if (Busy()) return;
    const std::string text = TypedText(cb1);
    const std::string replacement = TypedText(cb4);
    if (text.empty() || replacement.empty()) {
        Tell(MessageText(text.empty() ? tr("请先输入要找的字。") : tr("请先输入要替换的字。")));
        return;
    }
    if (!UnsavedDocumentsAllowed(files_.TickedPaths())) return;
    runOptions_ = Options();
    if (!PatternUsable(text, replacement)) return;
    runText_ = text;
    runReplaced_ = true;
    runReplacement_ = replacement;
    const bool tickable = treeModel_->Tickable();
    treeModel_->SetTickable(false);
    SetActivity(Activity::Running);
    const BatchHooks hooks{this, [this] { pump_(); }, &stopRequested_};
    const BatchResult result = RunBatchReplace(text, replacement, findHistory_, replaceHistory_,
                                               files_, runOptions_, tree_, hooks);
    // Declined: the find's tree and its ticks stay.
    if (result.outcome == BatchOutcome::NotStarted) treeModel_->SetTickable(tickable);
    EndActivity();
    AfterBatchReplace(result);
}

void Tfrmfindtree::Button4Click() {
    stopRequested_ = true;
    files_.ResetAddedCount();
    addedCount_ = 0;
}

// Start buttons and the commands that change the file set wait while a walk
// or a run goes on: they would start a second one inside the first.
void Tfrmfindtree::SetActivity(Activity activity) {
    activity_ = activity;
    const bool idle = activity == Activity::Idle;
    for (QWidget* widget :
         {static_cast<QWidget*>(Button2), static_cast<QWidget*>(Button3),
          static_cast<QWidget*>(Button5), static_cast<QWidget*>(Button6),
          static_cast<QWidget*>(ButtonExport), static_cast<QWidget*>(ButtonReplaceTicked),
          static_cast<QWidget*>(ButtonUndo)})
        widget->setEnabled(idle);
}

void Tfrmfindtree::EndActivity() {
    const Activity ended = activity_;
    SetActivity(Activity::Idle);
    ShowProgress();
    if (ended == Activity::Running) {
        ShowHistory(cb1, findHistory_);
        ShowHistory(cb4, replaceHistory_);
    }
    if (closePending_) close();
}

// Once per slice of a walk or a run: the new rows and the counts.
void Tfrmfindtree::ShowProgress() {
    if (fileModel_->ShowAdded()) {
        clbfile->setCurrentIndex(fileModel_->index(fileModel_->rowCount() - 1));
        Label5->setText(QString::number(addedCount_));
    }
    if (treeModel_->ShowAdded()) FollowTree();
    if (filesRead_ > 0) ShowRunCounts();
}

// During a run the files read and the file at hand; after pruning, the nodes
// left; the labels keep the last file.
void Tfrmfindtree::ShowRunCounts() {
    Label6->setText(QString::number(nodesLeft_.value_or(static_cast<std::size_t>(filesRead_))));
    Label7->setText(PathToQt(FileNameOfPath(currentPath_)));
    const std::size_t hits = tree_.NodeCount() - tree_.FileNodeCount();
    Label8->setText(tr("文件 %1 个，找到 %2 处").arg(tree_.FileNodeCount()).arg(hits));
}

// The tree follows the run: the node appended last is the current one (its
// file node while that is closed), and the status panel names the file of
// the latest hit.
void Tfrmfindtree::FollowTree() {
    const NodeRef node = LatestNode();
    const QModelIndex index = treeModel_->IndexOf(node);
    if (!index.isValid()) return;
    // A hit under a closed file node is followed by its file node: scrolling
    // to the hit would open the file node, and every later slice of the run
    // would lay out its rows again. The run's end opens them (RunEnding).
    const QModelIndex file = index.parent();
    const QModelIndex shown = file.isValid() && !tv1->isExpanded(file) ? file : index;
    tv1->setCurrentIndex(shown);
    tv1->scrollTo(shown);
    const NodeRef hit = node.IsHitNode() ? node : PreviousHit(node);
    if (hit.IsValid()) Panel2->setText(PathToQt(tree_.Caption(tree_.FileNodeOf(hit))));
}

// The selected node, which is the one appended last; when pruning took it
// (a file without hits), the node now last.
NodeRef Tfrmfindtree::LatestNode() const {
    const NodeRef selected = tree_.Selected();
    const std::uint32_t files = tree_.FileNodeCount();
    if (selected.IsValid() || files == 0) return selected;
    const NodeRef lastFile{files - 1, NodeRef::kNone};
    const std::uint32_t hits = tree_.ChildCount(lastFile);
    return hits > 0 ? NodeRef{lastFile.file, hits - 1} : lastFile;
}

// The labels change with a run's first file: a replace the user declines, or
// a run without a ticked file, leaves them as they were.
void Tfrmfindtree::FileRead(int filesRead, const std::string& path) {
    if (filesRead == 1) nodesLeft_.reset();
    filesRead_ = filesRead;
    currentPath_ = path;
}

void Tfrmfindtree::NodesLeft(std::size_t count) { nodesLeft_ = count; }

// The notice or error box that follows is modal: the window paints behind it
// what it shows now. A small result has every file node with hits expanded
// here, in one layout, and not slice by slice during the run: each slice
// would lay out every hit row found so far again. A large one has only the
// latest hit's file node expanded: the view holds about 40 bytes for every
// row it has laid out, for as long as it lives, which for hundreds of
// thousands of hits is more than the hits themselves take.
void Tfrmfindtree::RunEnding() {
    treeModel_->ShowAdded();
    if (tree_.NodeCount() <= kExpandedResultNodes)
        tv1->ExpandAllFiles();
    else
        tv1->expand(treeModel_->IndexOf(tree_.FileNodeOf(LatestNode())));
    FollowTree();
    ShowRunCounts();
    UpdatePreview();
}

// --- The result tree ---

void Tfrmfindtree::tv1Change() {
    const NodeRef node = treeModel_->NodeAt(tv1->currentIndex());
    if (node.IsHitNode()) Panel2->setText(PathToQt(tree_.Caption(tree_.FileNodeOf(node))));
    // A run moves the current node at every slice; the preview, which reads
    // the node's file, waits for the run's end.
    if (activity_ != Activity::Running) UpdatePreview();
}

void Tfrmfindtree::tv1ContextMenu(const QPoint& at) {
    N1->setEnabled(treeModel_->NodeAt(tv1->currentIndex()).IsHitNode());
    PopupMenu1->popup(tv1->viewport()->mapToGlobal(at));
}

void Tfrmfindtree::CopyPath() {
    const NodeRef node = treeModel_->NodeAt(tv1->currentIndex());
    if (node.IsValid())
        QApplication::clipboard()->setText(PathToQt(tree_.Caption(tree_.FileNodeOf(node))));
}

void Tfrmfindtree::CopyCaption() {
    const QModelIndex index = tv1->currentIndex();
    if (index.isValid()) QApplication::clipboard()->setText(index.data().toString());
}

// How the listings cut a hit from its line: a find's hits are the search
// text's length; a replace's lines now hold the replacement, and its hits
// give their lines only.
ExportSettings Tfrmfindtree::ListingSettings() const {
    ExportSettings settings;
    settings.ignoreSpaces = runOptions_.IgnoreSpaces;
    if (runReplaced_)
        settings.hitLength = [](std::string_view, std::size_t, CodePage) { return std::size_t{0}; };
    else
        settings.hitLength = SearchTextLength(runText_, runOptions_);
    return settings;
}

void Tfrmfindtree::CopySelection() {
    std::vector<NodeRef> nodes;
    for (const QModelIndex& index : tv1->selectionModel()->selectedIndexes())
        nodes.push_back(treeModel_->NodeAt(index));
    if (nodes.empty()) return;
    QApplication::clipboard()->setText(
        QString::fromStdString(GrepLinesOf(tree_, nodes, ListingSettings())));
}

void Tfrmfindtree::ExportClick() {
    if (Busy() || tree_.FileNodeCount() == 0) return;
    const QString chosen = FileDialogs().SaveFileName(
        this, tr("grep 格式文本 (*.txt);;CSV (*.csv);;JSON lines (*.jsonl *.json)"),
        tr("结果.txt"));
    if (chosen.isEmpty()) return;
    const std::string path = PathFromQt(chosen);
    SetActivity(Activity::Exporting);
    std::vector<FileError> unread;
    const FileStatus status = ExportResults(tree_, ExportFormatOf(path), ListingSettings(), path,
                                            unread, [this] { pump_(); });
    EndActivity();
    const auto describe = [](const FileError& error) {
        return PathInText(error.path) + ": " + error.reason;
    };
    if (status) {
        Tell(MessageText(tr("导出失败：%1"), {describe(*status)}), kError);
    } else if (!unread.empty()) {
        std::string files;
        for (const FileError& error : unread)
            files += "\n" + describe(error);
        Tell(MessageText(tr("已导出，但以下文件无法再次读取，它们的结果没有行文字：%1"), {files}),
             kError);
    }
}

void Tfrmfindtree::StepHit(bool forward) {
    NodeRef node = treeModel_->NodeAt(tv1->currentIndex());
    const std::uint32_t files = tree_.FileNodeCount();
    if (files == 0) return;
    if (forward) {
        node = node.IsValid() ? tree_.Next(node) : tree_.First();
        while (node.IsValid() && !node.IsHitNode())
            node = tree_.Next(node);
    } else {
        node = PreviousHit(node);
    }
    const QModelIndex index = treeModel_->IndexOf(node);
    if (!index.isValid()) return;
    tv1->setCurrentIndex(index);
    tv1->scrollTo(index);
    N1Click();
}

// The hit node before `node` in display order; none before the first.
NodeRef Tfrmfindtree::PreviousHit(NodeRef node) const {
    if (!node.IsValid()) return {};
    if (node.IsHitNode() && node.hit > 0) return {node.file, node.hit - 1};
    for (std::uint32_t file = node.file; file-- > 0;) {
        const std::uint32_t count = tree_.ChildCount({file, NodeRef::kNone});
        if (count > 0) return {file, count - 1};
    }
    return {};
}

// --- Open at hit ---

HitTarget Tfrmfindtree::TargetOf(NodeRef node) const {
    HitTarget target;
    target.line = tree_.Line(node);
    target.column = tree_.Column(node);
    target.trimmed = runOptions_.IgnoreSpaces;
    // The texts as the file holds them, in its code page.
    target.codePage = tree_.CodePageOf(node);
    const std::string& searchText = tree_.SearchText(node);
    if (runOptions_.Regex) {
        // A find's match is found again; a replaced line holds replacements
        // of any length, so only the line is shown.
        if (runReplaced_) {
            target.column = 0;
            return target;
        }
        const RunTexts texts(runText_, {}, runOptions_);
        if (texts.Regex() != nullptr) target.regex = texts.Regex()->pattern;
        return target;
    }
    if (!runReplaced_) {
        target.text = searchText;
        target.ignoreCase = !runOptions_.CaseSensitive;
        return target;
    }
    // After a replace the line holds the replacement, shifted by the ones
    // replaced before it in the same line. The run wrote only replacements
    // the file's code page holds.
    RecodeLenient(runReplacement_, CodePage::Utf8, target.codePage, target.text);
    if (target.column > 0) {
        const auto growth = static_cast<std::int32_t>(target.text.size()) -
                            static_cast<std::int32_t>(searchText.size());
        for (std::uint32_t hit = node.hit;
             hit-- > 0 && tree_.Line({node.file, hit}) == target.line;)
            target.column += growth;
    }
    return target;
}

void Tfrmfindtree::N1Click() {
    const NodeRef node = treeModel_->NodeAt(tv1->currentIndex());
    if (!node.IsHitNode() || frame_ == nullptr) return;
    const std::string path = tree_.Caption(tree_.FileNodeOf(node));
    DocumentWindow* document = frame_->ShowDocument(path);
    if (document == nullptr) return;
    frame_->UpdateDocumentCommands(0);
    // The frame comes to the front with the hit, the batch window behind it.
    if (QWidget* frameWindow = frame_->FrameWidget()) {
        frameWindow->raise();
        frameWindow->activateWindow();
    }
    document->SetHitStepper([window = QPointer<Tfrmfindtree>(this)](bool forward) {
        if (window && window->isVisible()) window->StepHit(forward);
    });
    document->ShowPage(0);
    const HitSelection found = LocateHit(document->Memo1(), TargetOf(node));
    if (found.place != HitPlace::Found) {
        Tell(MessageText(tr("文件在查找之后已经改变，第 %1 行不再是找到的文字：%2"),
                         {std::to_string(tree_.Line(node)), PathInText(path)}));
        return;
    }
    document->SelectInPlainView(found.selStart, found.selLength);
}

} // namespace kelvara
