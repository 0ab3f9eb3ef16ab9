#pragma once

#include <QByteArrayList>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/CodePage.h"
#include "searchui/DocumentFrame.h"
#include "searchui/SearchCommands.h"

class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTabBar;
class QToolBar;

namespace kelvara {

class TIniFile;
class TMDIChild;
struct FileEncoding;

// The frame window: menus, toolbar, tab strip, the MDI area with the
// document windows, the status bar; the open-path list, the history and the
// settings of the frame.
class TMainForm : public QMainWindow, public DocumentFrame {
    Q_OBJECT
public:
    // `settingsFile`: the settings file; `dataFolder`: where extention.txt
    // and reservedword.txt are looked up (empty: beside the executable, else
    // the installed data folder).
    TMainForm(std::string settingsFile, std::string dataFolder = {});
    ~TMainForm() override;

    // DocumentFrame
    QWidget* FrameWidget() override { return this; }
    const std::string& SettingsFileName() const override { return settingsFile_; }
    bool OpenDocument(const std::string& path) override;
    DocumentWindow* ShowDocument(const std::string& path) override;
    DocumentWindow* ActiveDocument() override;
    void UpdateDocumentCommands(int n) override;
    void ShowStatus(const std::string& text) override;
    std::vector<std::string> UnsavedAmong(const std::vector<std::string>& paths) override;
    void FilesRewritten(const std::vector<std::string>& paths) override;

    void SetSearchCommands(std::unique_ptr<SearchCommands> commands);

    // Run on the first show; public so that a frame can be set up unshown.
    void LoadSettings();
    void SaveSettings();

    // Files named on the command line or handed over by a later start.
    void OpenPaths(const QByteArrayList& paths);

    // The commands of the menus and the toolbar.
    void FileNew1Execute();
    void FileOpen1Execute();
    void FileCloseItemClick();
    void mnucloseallClick();
    bool SaveDocument(TMDIChild& window);
    bool SaveDocumentAs(TMDIChild& window);
    // "编码": the active document's file read again in a code page, or the
    // document saved in an encoding (through the save dialog when it has no
    // file), going on in it.
    void ReopenIn(CodePage codePage);
    void SaveInEncoding(const FileEncoding& encoding);
    void menusaveallClick();
    void clearrepenClick();
    void HistoryItemClick(const std::string& path);
    void mnureadonlyClick();
    void findcurrentClick();
    void replacecurrentClick();
    void piliangfindClick();
    void HelpAboutItemClick();
    void FileExitItemClick();
    // A close asked for by SIGTERM or SIGHUP: the close questions as for the
    // close box, then the settings are saved as far as they can be and the
    // frame closes; a failed write is told on standard error, not in a box
    // that nobody may be there to answer.
    void CloseOnSignal();

    // The document windows, most recently active first.
    std::vector<TMDIChild*> Documents() const;
    TMDIChild* ActiveChild() const;

    // Called by a document window that closes (after its close question).
    void FormCloseOfDocument(TMDIChild& window);
    // Called by a document window whose highlighted view needs its words.
    std::string DataFile(const char* name) const;

    // What the frame shows, for whoever checks it.
    struct OpenPath {
        std::string path;
        TMDIChild* window;
    };
    const std::vector<OpenPath>& OpenPathList() const noexcept { return lbfile_; }
    int SelectedOpenPath() const noexcept { return lbfileSelected_; }
    struct HistoryEntry {
        std::string caption;
        std::string path;
    };
    const std::vector<HistoryEntry>& History() const noexcept { return history_; }
    int DocumentCounter() const noexcept { return documentCounter_; }
    QTabBar& Tabs() const noexcept { return *pg1_; }
    QMenu& WindowMenu() const noexcept { return *mywindows1_; }
    QMenu& HistoryMenu() const noexcept { return *ReOpenItem_; }
    QMdiArea& MdiArea() const noexcept { return *mdi_; }

signals:
    // The frame closed for good (after its questions and its settings).
    void Closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildActions();
    void BuildMenus();
    void BuildToolBar();
    void BuildCentralArea();
    QAction* MakeAction(const char* name, const QString& caption, const QString& hint,
                        void (TMainForm::*command)());
    void RunCommand(const std::function<void()>& command);

    // Opening (the history is left alone for a history entry).
    // `codePage`: the code page the file is read in; none: detected.
    bool OpenDocumentWith(const std::string& path, bool addToHistory,
                          std::optional<CodePage> codePage = std::nullopt);
    int FindOpenPath(const std::string& path) const;
    void AddToHistory(const std::string& path);
    void RebuildHistoryMenu();
    void AddHistoryAction(const HistoryEntry& entry);

    // Tabs, window menu, activation.
    void AddDocumentTab(const std::string& path, int id);
    void AddWindowMenuItem(const std::string& path, int id);
    void SelectTabOf(int id);
    void CheckMenuItemOf(int id);
    void pg1Change(int index);
    void WindowMenuItemClick(QAction* entry);
    void FormActivate(QMdiSubWindow* window);
    void SyncWithActive();
    void BringToFront(TMDIChild& window);
    TMDIChild* WindowWithId(int id) const;
    void ScheduleDiskCheck(TMDIChild& window);
    void CheckFileOnDisk(TMDIChild& window);

    // Saving.
    bool SaveIn(TMDIChild& window, const FileEncoding& encoding);
    bool SaveAsIn(TMDIChild& window, const FileEncoding& encoding);
    bool WriteDocument(TMDIChild& window, const std::string& target, const FileEncoding& encoding);

    // Encodings.
    QMenu* BuildEncodingMenu();
    // The status bar shows the encoding of the document (none: nothing).
    void ShowEncoding(const TMDIChild* window);
    void RenameDocument(TMDIChild& window, const std::string& target);

    // Settings.
    void ReadExtensions();
    void PlaceFrame(const TIniFile& settings);
    // The close questions, but for the documents in `kept`.
    bool AskAllBeforeExit(const std::vector<const TMDIChild*>& kept);
    // A close by a signal keeps each document's unsaved text in the state
    // folder's "recovery/" instead of asking; the next start opens the copies.
    // Gives the documents kept; the others still get the question.
    std::vector<const TMDIChild*> KeepUnsavedForRecovery();
    void OpenRecovered();

    std::string settingsFile_;
    std::string dataFolder_;
    std::unique_ptr<SearchCommands> searchCommands_;
    bool settingsLoaded_ = false;
    bool closed_ = false;
    bool closingOnSignal_ = false;
    int documentCounter_ = 0;

    std::vector<OpenPath> lbfile_; // the open-path list, one line per document window
    int lbfileSelected_ = -1;
    std::vector<HistoryEntry> history_;

    QMdiArea* mdi_ = nullptr;
    QTabBar* pg1_ = nullptr;
    QToolBar* ToolBar2_ = nullptr;
    QMenu* ReOpenItem_ = nullptr;
    QMenu* mywindows1_ = nullptr;
    QActionGroup* historyGroup_ = nullptr;
    QActionGroup* windowGroup_ = nullptr;
    QLabel* encodingLabel_ = nullptr;
    QActionGroup* reopenGroup_ = nullptr; // the reopen commands of the encoding menu

    QAction* FileNew1_ = nullptr;
    QAction* FileOpen1_ = nullptr;
    QAction* FileCloseItem_ = nullptr;
    QAction* mnucloseall_ = nullptr;
    QAction* FileSaveItem_ = nullptr;
    QAction* FileSaveAsItem_ = nullptr;
    QAction* menusaveall_ = nullptr;
    QAction* clearrepen_ = nullptr;
    QAction* FileExitItem_ = nullptr;
    QAction* mnureadonly_ = nullptr;
    QAction* findcurrent_ = nullptr;
    QAction* replacecurrent_ = nullptr;
    QAction* piliangfind_ = nullptr;
    QAction* HelpAboutItem_ = nullptr;
    std::vector<QAction*> documentCommands_; // enabled only while a document is open
};

} // namespace kelvara
