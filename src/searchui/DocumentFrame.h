#pragma once

#include <functional>
#include <string>
#include <vector>

#include "editor/MemoComponent.h"
#include "syntax/SourceEdit.h"

class QWidget;

// What the windows of the search side (batch window, find/replace dialog) use
// of the frame and of its document windows. Both sides see only these
// abstract classes, so the search windows need no link to the frame's code.
namespace kelvara {

// One document window: a file shown in a plain, editable view (what is saved)
// and a read-only highlighted view.
class DocumentWindow {
public:
    virtual ~DocumentWindow() = default;

    // The document's path as opened ("NONAME" for a new document).
    virtual const std::string& Path() const = 0;
    // The decimal document id that ties the window to its tab and menu entry.
    virtual std::string Id() const = 0;

    // The modified mark. Whoever changes the text through the views' editors
    // gets it set by the change events; SetModified is there for the rest.
    virtual bool Modified() const = 0;
    virtual void SetModified(bool modified) = 0;

    // The plain view's editor control: its text is what is saved.
    virtual TMemoComponent& Memo1() = 0;
    // The highlighted view's editor control, with its search state and
    // operations. Edits made in it (its popup commands, the in-document
    // replace) are carried into the plain view.
    virtual TSourceEdit& Memohun() = 0;
    // Shows page 0 (plain view) or page 1 (highlighted view, refreshed from
    // the plain view when that changed meanwhile).
    virtual void ShowPage(int index) = 0;

    // Shows the plain page, gives it the focus and selects `length` bytes
    // from the 0-based byte offset `start` (CR LF counting two), clamped to
    // the text and to character starts; the view scrolls to the selection.
    virtual void SelectInPlainView(int start, int length) = 0;

    // The window's own find/replace dialog (empty or one): the window takes
    // ownership and destroys it when it closes.
    virtual QWidget* FindDialog() const = 0;
    virtual void SetFindDialog(QWidget* dialog) = 0;

    // F3 and Shift+F3 pressed in the window call `step` with true (next hit)
    // or false (previous hit): the batch window that opened a hit in it goes
    // on through its hits while the document has the focus.
    virtual void SetHitStepper(std::function<void(bool forward)> step) = 0;
};

// The frame window as the search side sees it.
class DocumentFrame {
public:
    virtual ~DocumentFrame() = default;

    // The frame window itself, as parent for dialogs.
    virtual QWidget* FrameWidget() = 0;

    // The settings file the frame reads and writes; the batch windows keep
    // their settings there too.
    virtual const std::string& SettingsFileName() const = 0;

    // Opens the path in a new document window, which is then the active one.
    // Refuses a path that is already open (notice "重复了"), a missing or
    // unreadable file (a message with the path and the reason); returns
    // false then, with the active window unchanged.
    virtual bool OpenDocument(const std::string& path) = 0;

    // The window that shows `path` when it is open (also when reached through
    // a link or another spelling), else opens it as OpenDocument does; the
    // window is brought to the front. Null when it could not be opened.
    virtual DocumentWindow* ShowDocument(const std::string& path) = 0;

    // The active document window; null when none is open.
    virtual DocumentWindow* ActiveDocument() = 0;

    // Enables the document commands exactly while more than `n` document
    // windows are open.
    virtual void UpdateDocumentCommands(int n) = 0;

    // A text for the status bar (in the text code page), painted at once.
    virtual void ShowStatus(const std::string& text) = 0;

    // Which of `paths` are open with unsaved changes (a replace warns first).
    virtual std::vector<std::string> UnsavedAmong(const std::vector<std::string>& paths) = 0;
    // A batch replace or an undo rewrote `paths`: their open documents follow.
    // One without unsaved changes is loaded again, caret and scroll kept; one
    // with changes asks whether to keep the editor's text or take the file's,
    // so that no save writes the old text back unasked.
    virtual void FilesRewritten(const std::vector<std::string>& paths) = 0;
};

} // namespace kelvara
