#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QWidget>

#include "search/BatchRun.h"
#include "search/FileSet.h"
#include "search/HitExport.h"
#include "search/MatchOptions.h"
#include "search/ReplacePreview.h"
#include "search/ResultTree.h"
#include "searchui/EventPump.h"
#include "searchui/HitLocation.h"
#include "searchui/UiText.h"

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QGroupBox;
class QLabel;
class QListView;
class QMenu;
class QPushButton;
class QSplitter;

namespace kelvara {

class DocumentFrame;
class FileListFilter;
class FileSetModel;
class FolderView;
class PreviewPane;
class WalkFilter;
class ResultTreeModel;
class ResultTreeView;

// The batch window "查找并形成树结果": a file set gathered from folder trees
// and file lists, a batch find or replace over its ticked files, and the
// result tree with one node per file and one per hit. Components keep their
// form names. Runs and folder walks process the window's events as they go;
// while one is going on the commands that would start another are disabled.
class Tfrmfindtree : public QWidget, private BatchObserver {
    Q_OBJECT

public:
    // `iniPath` is the settings file the window reads when first shown and
    // writes when closed.
    explicit Tfrmfindtree(std::string iniPath, QWidget* parent = nullptr);
    ~Tfrmfindtree() override;

    // The frame that "打开定位" opens hits in; not owned, may be null.
    void SetFrame(DocumentFrame* frame) { frame_ = frame; }

    FileSet& Files() noexcept { return files_; }
    ResultTree& Tree() noexcept { return tree_; }
    FileSetModel& FileModel() noexcept { return *fileModel_; }
    ResultTreeModel& TreeModel() noexcept { return *treeModel_; }
    // The yield hook of the window's walks and runs.
    EventPump& Pump() noexcept { return pump_; }
    bool Busy() const noexcept { return activity_ != Activity::Idle; }
    const std::vector<std::string>& FindHistory() const noexcept { return findHistory_; }
    const std::vector<std::string>& ReplaceHistory() const noexcept { return replaceHistory_; }
    const std::vector<std::string>& IncludeHistory() const noexcept { return includeHistory_; }
    const std::vector<std::string>& ExcludeHistory() const noexcept { return excludeHistory_; }

    // The folder list's current folder (`Directory`), and choosing one.
    const std::string& Directory() const noexcept { return directory_; }
    void SetDirectory(const std::string& folder);

    // The commands of the window.
    void AddDirectoryFiles(const std::string& folder);
    void Button6Click();
    void Button5Click();
    void cb3Click();
    void fcb1Change();
    void N2Click();
    void N3Click();
    void N4Click();
    void N5Click();
    void N6Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    // "替换所选": the ticked hits of the last find, at their places.
    void ReplaceTickedClick();
    // "撤销上次批量替换": this window's last replace, else the newest one.
    void UndoLastClick();
    void N1Click();
    // F3 / Shift+F3: the next or previous hit node after the selected node,
    // selected and opened.
    void StepHit(bool forward);
    void CopyPath();
    void CopyCaption();
    // The selected nodes' hits as grep lines (path:line:column:text).
    void CopySelection();
    // "导出结果": every hit into a file the save dialog names, in the format
    // its extension asks for (grep lines, CSV, JSON lines).
    void ExportClick();

    void LoadBatchSettings();
    void SaveBatchSettings();

    // Components of the form.
    QWidget* Panel5;
    QGroupBox* GroupBox1;
    QComboBox* dcb1;
    FolderView* dlb1;
    QListView* flb1;
    QComboBox* fcb1;
    QPushButton* Button6;
    QPushButton* Button5;
    QLabel* Label5;
    QLabel* Label3;
    QLabel* Label2;
    QComboBox* cb3;
    // Globs that folder walks take and leave out, separated by ";", and
    // whether they honour ignore files.
    QLabel* LabelInclude;
    QComboBox* cbInclude;
    QLabel* LabelExclude;
    QComboBox* cbExclude;
    QCheckBox* chkIgnoreFiles;
    QListView* clbfile;
    QMenu* PopupMenu2;
    QSplitter* Splitter2;
    QWidget* Panel6;
    QWidget* Panel1;
    QLabel* Label1;
    QComboBox* cb1;
    QLabel* Label4;
    QComboBox* cb4;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8; // the live count of files with hits and of hits
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* ButtonExport;
    QPushButton* ButtonReplaceTicked;
    QPushButton* ButtonUndo;
    QCheckBox* chkquanzi;
    QCheckBox* chkspace;
    QCheckBox* chkdaxiao;
    QCheckBox* chkregex; // "正则表达式": the search text is a regular expression
    QLabel* Label9;      // "编码："
    // The code page of the files: each file's own, or one forced for all.
    QComboBox* cbcodepage;
    QSplitter* Splitter1;
    ResultTreeView* tv1;
    PreviewPane* preview_; // under the tree: what a replace of the ticked hits does
    QMenu* PopupMenu1;
    QAction* N1;
    QLabel* Panel2;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Activity { Idle, Walking, Running, Exporting };

    // Building the form.
    void CreateLeftPanel();
    void CreateFilePickers();
    void CreateWalkFilterFields();
    void CreateFileSetList();
    void CreateRightPanel();
    void CreateResultTree();
    void CreateShortcuts();
    void FormShow();

    // BatchObserver: the progress labels, and the whole result before the
    // run's notice.
    void FileRead(int filesRead, const std::string& path) override;
    void NodesLeft(std::size_t count) override;
    void RunEnding() override;

    bool MakeWalkFilter(WalkFilter& filter);
    void ShowSkipped(std::size_t from);
    void SetActivity(Activity activity);
    void ShowProgress();
    void ShowRunCounts();
    void FollowTree();
    NodeRef LatestNode() const;
    void EndActivity();
    MatchOptions Options() const;
    bool PatternUsable(const std::string& text, const std::string& replacement) const;
    // A combo box's text in the text code page; false (after a message) when
    // the code page cannot hold it.
    bool BoxText(QComboBox* box, const QString& what, std::string& out) const;
    // A search or replacement text as typed, in UTF-8: a run encodes it into
    // the code page of each file.
    static std::string TypedText(const QComboBox* box);
    // `toQt` shows an item: Utf8ToQt for typed texts, PathToQt for globs.
    void ShowHistory(QComboBox* box, const std::vector<std::string>& history,
                     QString (*toQt)(std::string_view) = Utf8ToQt);
    void DriveChosen();
    void tv1Change();
    void UpdatePreview();
    // False when the user would rather not replace over open documents with
    // unsaved changes among `paths`.
    bool UnsavedDocumentsAllowed(const std::vector<std::string>& paths);
    void FilesRewritten(const std::vector<std::string>& paths);
    void AfterBatchReplace(const BatchResult& result);
    NodeRef PreviousHit(NodeRef node) const;
    HitTarget TargetOf(NodeRef hitNode) const;
    ExportSettings ListingSettings() const;
    void tv1ContextMenu(const QPoint& at);
    void clbfileContextMenu(const QPoint& at);

    std::string iniPath_;
    DocumentFrame* frame_ = nullptr;
    FileSet files_;
    ResultTree tree_;
    FileSetModel* fileModel_;
    ResultTreeModel* treeModel_;
    QFileSystemModel* folderModel_;
    QFileSystemModel* fileListModel_;
    FileListFilter* fileList_;
    std::vector<std::string> findHistory_;
    std::vector<std::string> replaceHistory_;
    std::vector<std::string> includeHistory_;
    std::vector<std::string> excludeHistory_;
    std::string directory_;
    std::atomic<bool> stopRequested_{false};
    EventPump pump_;
    Activity activity_ = Activity::Idle;
    bool shownOnce_ = false;
    bool closePending_ = false;
    int addedCount_ = 0;
    int filesRead_ = 0;
    std::string currentPath_;
    std::optional<std::size_t> nodesLeft_; // after pruning
    // What the result tree came from: the run's options and search text, and
    // for a replace its replacement text (UTF-8, as typed).
    MatchOptions runOptions_;
    std::string runText_;
    bool runReplaced_ = false;
    std::string runReplacement_;
    std::string lastRun_; // the journal's name of this window's last replace
    ReplacePreviewer previewer_;
};

} // namespace kelvara
