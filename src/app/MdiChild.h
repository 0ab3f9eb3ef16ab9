#pragma once

#include <QMdiSubWindow>
#include <QPointer>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "app/DocumentEncoding.h"
#include "app/DocumentFile.h"
#include "searchui/DocumentFrame.h"

class QTabWidget;

namespace kelvara {

class EditorWidget;
class TMainForm;
class TWordList;

// A document window: one file in two pages, the plain editing view Memo1 (what
// is saved) and the read-only highlighted view Memohun, with the document's
// path, modified mark and id.
class TMDIChild : public QMdiSubWindow, public DocumentWindow {
    Q_OBJECT
public:
    TMDIChild(TMainForm& frame, std::string path, int id);
    ~TMDIChild() override;

    // DocumentWindow
    const std::string& Path() const override { return path_; }
    std::string Id() const override { return std::to_string(id_); }
    bool Modified() const override { return modified_; }
    void SetModified(bool modified) override { modified_ = modified; }
    TMemoComponent& Memo1() override;
    TSourceEdit& Memohun() override;
    void ShowPage(int index) override;
    void SelectInPlainView(int start, int length) override;
    QWidget* FindDialog() const override { return findDialog_; }
    void SetFindDialog(QWidget* dialog) override;
    void SetHitStepper(std::function<void(bool forward)> step) override {
        hitStepper_ = std::move(step);
    }

    int DocumentId() const noexcept { return id_; }
    // Closed, waiting to be destroyed.
    bool IsClosed() const noexcept { return closed_; }
    // The window caption in the text code page.
    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(std::string caption);
    void SetPath(std::string path) { path_ = std::move(path); }
    EditorWidget& Memo1Widget() noexcept { return *memo1_; }
    int PageIndex() const;

    // Fills the plain view with the text of a file's bytes (the highlighted
    // view follows when first shown) and remembers how the file was written:
    // its encoding (detected, unless the user chose a code page) and breaks.
    void LoadText(std::string bytes, const FileStamp& stamp);
    // The code page the next loads take the file's bytes in; none: detected.
    void ChooseCodePage(std::optional<CodePage> codePage) { chosenPage_ = codePage; }
    std::optional<CodePage> ChosenCodePage() const noexcept { return chosenPage_; }
    // How the document's file is written; a new document's is the default
    // code page.
    const FileEncoding& Encoding() const noexcept { return encoding_; }
    // The loaded file was UTF-16 that is not valid UTF-16: the offset of its
    // first bad byte.
    std::optional<std::size_t> DamagedAt() const noexcept { return damagedAt_; }
    // LoadText for a file rewritten by a batch replace or an undo: the caret
    // and the scroll position stay where they were (as far as the text goes).
    void ReloadKeepingPlace(std::string bytes, const FileStamp& stamp);
    // Writes what a save in `target` writes to `path`: the plain view's text
    // with the file's breaks, in the target's encoding; the file's own bytes
    // while the text is as loaded. A text in the target's code page goes
    // straight from the editor's store, without a whole copy. A text that
    // cannot be written so gives the problem, a failed write its error.
    using SaveFailure = std::variant<EncodingProblem, FileError>;
    [[nodiscard]] std::optional<SaveFailure> WriteTo(const std::string& path,
                                                     const FileEncoding& target) const;
    // The document now matches the file written with these bytes.
    void Saved(const FileStamp& stamp);
    // The file was written in `target`: the text follows into its code page,
    // the caret kept on its character, and later saves write that encoding.
    void ChangeEncoding(const FileEncoding& target);
    const FileStamp& Stamp() const noexcept { return stamp_; }
    void SetStamp(const FileStamp& stamp) { stamp_ = stamp; }

    // The word list of the file's extension for the highlighted view, in the
    // document's code page.
    void PrepareViews();

    // "<file name> 已经被修改" or "<file name> 已经被保存".
    void ShowStateCaption();

    // The close question: true when the window may close (saved, or the
    // user chose not to save).
    bool CloseQuery();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildPages();
    void AddHitKeys();
    void PlainChanged();
    void HighlightedChanged();
    void RefreshHighlighted();
    void ShowPlainMenu(const QPoint& at);
    void ShowHighlightedMenu(const QPoint& at);
    void Carry(TMemoComponent& to, int offset, int oldLength, std::string_view text);
    // The list's words, read from `file`, in the document's code page.
    void WordsInDocumentPage(const std::string& file, TWordList& list);
    void SelectAllPlain();
    void CopyHighlighted();
    void CutHighlighted();
    void PasteHighlighted();

    TMainForm& frame_;
    std::string path_;
    int id_;
    bool modified_ = false;
    bool closed_ = false;
    std::string caption_;
    QTabWidget* pages_ = nullptr; // PageControl1
    EditorWidget* memo1_ = nullptr;
    EditorWidget* memohun_ = nullptr;
    QPointer<QWidget> findDialog_; // lstdaohang
    std::function<void(bool forward)> hitStepper_;
    LineBreakStyle lineBreaks_ = LineBreakStyle::Lf;
    FileEncoding encoding_;
    std::optional<CodePage> chosenPage_;
    std::optional<std::size_t> damagedAt_;
    // The file's bytes, when its text would not give them back (more than
    // one kind of break, UTF-16 that is not valid): saved unchanged until
    // edited.
    std::string original_;
    bool editedSinceLoad_ = false;
    bool highlightedStale_ = true; // Memohun was not filled since the last load
    bool carrying_ = false;        // an edit is being carried between the views
    FileStamp stamp_;
};

} // namespace kelvara
