#include "app/MdiChild.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QTabWidget>
#include <algorithm>

#include "app/HighlightedView.h"
#include "app/MainForm.h"
#include "common/AskUser.h"
#include "common/CodePageConversion.h"
#include "common/FileEncoding.h"
#include "common/IniFile.h"
#include "common/LineFile.h"
#include "common/PathHelpers.h"
#include "common/ProcessValues.h"
#include "platform/EditorWidget.h"
#include "platform/UiText.h"
#include "syntax/ReservedWords.h"

namespace kelvara {

namespace {

// Marks the views as being synchronised for a scope, so their change events
// are not taken for the user's edits.
class Carrying {
public:
    explicit Carrying(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~Carrying() { flag_ = previous_; }
    Carrying(const Carrying&) = delete;
    Carrying& operator=(const Carrying&) = delete;

private:
    bool& flag_;
    bool previous_;
};

std::string SelectedText(TMemoComponent& editor) {
    return editor.TextAt(editor.SelStart() + 1, editor.SelLength());
}

// Gives an editor a text in a code page, as loaded (no undo). A change of
// code page goes first, while the editor is empty, so that the old text is
// not measured again.
void SetTextIn(TMemoComponent& editor, std::string_view text, CodePage codePage) {
    if (editor.GetCodePage() != codePage) {
        editor.ClearText();
        editor.SetCodePage(codePage);
    }
    editor.SetText(text);
    editor.ClearUndo();
}

} // namespace

TMDIChild::TMDIChild(TMainForm& frame, std::string path, int id)
    : frame_(frame), path_(std::move(path)), id_(id) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("MDIChild%1").arg(id));
    BuildPages();
    encoding_ = PlainEncoding(Memo1().GetCodePage());
    AddHitKeys();
    SetCaption(PathInText(FileNameOfPath(path_)));
}

TMDIChild::~TMDIChild() { delete findDialog_.data(); }

void TMDIChild::BuildPages() {
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    pages_->setDocumentMode(true);
    memo1_ = new EditorWidget(pages_);
    memo1_->setObjectName(QStringLiteral("Memo1"));
    memohun_ = new EditorWidget(
        [](EditorHost* host) -> std::unique_ptr<TMemoComponent> {
            return MakeHighlightedEditor(host);
        },
        pages_);
    memohun_->setObjectName(QStringLiteral("Memohun"));
    pages_->addTab(memo1_, tr("正常编辑"));
    pages_->addTab(memohun_, tr("高亮显示"));
    setWidget(pages_);
    connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 1) RefreshHighlighted();
    });

    Memo1().OnChange = [this](TMemoComponent&) { PlainChanged(); };
    Memohun().OnChange = [this](TMemoComponent&) { HighlightedChanged(); };
    Memo1().OnReplaced = [this](int offset, int oldLength, std::string_view text) {
        if (carrying_ || highlightedStale_) return;
        Carry(Memohun(), offset, oldLength, text);
    };
    // A stale highlighted view shows an older text: its edits stay its own.
    Memohun().OnReplaced = [this](int offset, int oldLength, std::string_view text) {
        if (carrying_ || highlightedStale_) return;
        Carry(Memo1(), offset, oldLength, text);
        editedSinceLoad_ = true;
    };

    memo1_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memo1_, &QWidget::customContextMenuRequested, this, &TMDIChild::ShowPlainMenu);
    memohun_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memohun_, &QWidget::customContextMenuRequested, this, &TMDIChild::ShowHighlightedMenu);
    auto* selectAll = new QAction(memo1_);
    selectAll->setShortcut(QKeySequence::SelectAll);
    selectAll->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(selectAll, &QAction::triggered, this, &TMDIChild::SelectAllPlain);
    memo1_->addAction(selectAll);
}

TMemoComponent& TMDIChild::Memo1() { return memo1_->Editor(); }

TSourceEdit& TMDIChild::Memohun() { return static_cast<TSourceEdit&>(memohun_->Editor()); }

int TMDIChild::PageIndex() const { return pages_->currentIndex(); }

void TMDIChild::ShowPage(int index) { pages_->setCurrentIndex(index); }

void TMDIChild::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    setWindowTitle(TextToQt(caption_));
}

void TMDIChild::ShowStateCaption() {
    const std::string name = PathInText(FileNameOfPath(path_));
    SetCaption(MessageText(modified_ ? tr("%1 已经被修改") : tr("%1 已经被保存"), {name}));
}

// F3 / Shift+F3 step through the hits of the batch window that opened one here.
void TMDIChild::AddHitKeys() {
    for (const bool forward : {true, false}) {
        auto* step = new QAction(this);
        step->setShortcut(forward ? QKeySequence(Qt::Key_F3)
                                  : QKeySequence(Qt::SHIFT | Qt::Key_F3));
        step->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(step, &QAction::triggered, this, [this, forward] {
            if (hitStepper_) hitStepper_(forward);
        });
        addAction(step);
    }
}

void TMDIChild::SetFindDialog(QWidget* dialog) {
    if (findDialog_ != dialog) delete findDialog_.data();
    findDialog_ = dialog;
}

// --- Text of the two views -------------------------------------------------

void TMDIChild::LoadText(std::string bytes, const FileStamp& stamp) {
    std::string decoded;
    const DocumentText document = ReadDocumentText(bytes, TextCodePage(), chosenPage_, decoded);
    encoding_ = document.encoding;
    damagedAt_ = document.damagedAt;
    bool mixed = false;
    lineBreaks_ = DetectLineBreaks(document.text, mixed);
    {
        const Carrying carrying(carrying_);
        SetTextIn(Memo1(), document.text, encoding_.codePage);
        Memo1().SetSelStart(0);
    }
    original_ = mixed || damagedAt_ ? std::move(bytes) : std::string();
    editedSinceLoad_ = false;
    highlightedStale_ = true;
    modified_ = false;
    stamp_ = stamp;
    if (pages_->currentIndex() == 1) RefreshHighlighted();
}

void TMDIChild::ReloadKeepingPlace(std::string bytes, const FileStamp& stamp) {
    TMemoComponent& plain = Memo1();
    const int caret = plain.SelStart();
    const int top = plain.View().TopRow();
    const int left = plain.View().LeftCol();
    LoadText(std::move(bytes), stamp);
    // On the start of the character there: the text may have changed.
    const int kept = std::min(caret, plain.TextLength());
    plain.SetSelStart(kept < plain.TextLength() ? plain.PrevCharStart(kept + 2) - 1 : kept);
    plain.View().SetTopRow(std::min(top, plain.LineCount()));
    plain.View().SetLeftCol(left);
}

std::optional<TMDIChild::SaveFailure> TMDIChild::WriteTo(const std::string& path,
                                                         const FileEncoding& target) const {
    const auto failed = [](FileStatus status) -> std::optional<SaveFailure> {
        if (status) return *status;
        return std::nullopt;
    };
    if (target == encoding_ && !editedSinceLoad_ && !original_.empty())
        return failed(WriteFileAtomic(path, original_));
    // Written as UTF-16 again, the units that were no character would be lost.
    if (target == encoding_ && damagedAt_) return EncodingProblem{EncodingProblem::Kind::Damaged};
    if (target.codePage == encoding_.codePage && target.utf16 == Utf16Order::None)
        return failed(
            WriteEditorText(path, BomBytes(target), memo1_->Editor().TextPieces(), lineBreaks_));
    std::string bytes;
    if (auto problem = EncodeDocument(TextForFile(memo1_->Editor().Text(), lineBreaks_),
                                      encoding_.codePage, target, bytes))
        return *problem;
    return failed(WriteFileAtomic(path, bytes));
}

void TMDIChild::Saved(const FileStamp& stamp) {
    modified_ = false;
    stamp_ = stamp;
    if (editedSinceLoad_) original_.clear();
}

void TMDIChild::ChangeEncoding(const FileEncoding& target) {
    const CodePage from = encoding_.codePage;
    TMemoComponent& editor = Memo1();
    const int caret = editor.SelStart();
    std::string text;
    int newCaret = 0;
    if (target.codePage != from) {
        // The save converted every character, so the text converts too; were
        // it not to, the document stays in its old code page, text and all.
        if (RecodeText(editor.TextView(1, caret), from, target.codePage, text)) return;
        newCaret = static_cast<int>(text.size());
        if (RecodeText(editor.TextView(caret + 1, editor.TextLength() - caret), from,
                       target.codePage, text))
            return;
    }
    encoding_ = target;
    damagedAt_.reset();
    original_.clear(); // the file now holds what the text gives
    // A reload reads the file as written; UTF-16 tells itself by its mark.
    chosenPage_ = target.utf16 == Utf16Order::None ? std::optional(target.codePage) : std::nullopt;
    if (target.codePage == from) return;
    {
        const Carrying carrying(carrying_);
        SetTextIn(editor, text, target.codePage);
        editor.SetSelStart(newCaret);
        editor.ScrollToCaret();
    }
    highlightedStale_ = true;
    if (pages_->currentIndex() == 1) RefreshHighlighted();
}

void TMDIChild::PlainChanged() {
    if (carrying_) return;
    editedSinceLoad_ = true;
    if (DocumentEventsEnabled) modified_ = true;
}

void TMDIChild::HighlightedChanged() {
    if (carrying_) return;
    if (DocumentEventsEnabled) modified_ = true;
}

// The highlighted view shows the plain view's text: it is filled when first
// shown after a load, and follows every edit from then on.
void TMDIChild::RefreshHighlighted() {
    if (!highlightedStale_) return;
    const Carrying carrying(carrying_);
    SetTextIn(Memohun(), Memo1().TextView(1, Memo1().TextLength()), Memo1().GetCodePage());
    Memohun().SetSelStart(std::min(Memo1().SelStart(), Memohun().TextLength()));
    highlightedStale_ = false;
}

// An edit of one view is made in the other one too: both hold the same
// text, so the same place and length name the same bytes. If the other view
// cannot take it, the highlighted one is filled anew when next shown.
void TMDIChild::Carry(TMemoComponent& to, int offset, int oldLength, std::string_view text) {
    const Carrying carrying(carrying_);
    try {
        TMCRange(&to, offset, offset + oldLength - 1).SetText(text);
    } catch (...) {
        highlightedStale_ = true;
        throw;
    }
}

void TMDIChild::SelectInPlainView(int start, int length) {
    ShowPage(0);
    memo1_->setFocus();
    TMemoComponent& editor = Memo1();
    start = std::clamp(start, 0, editor.TextLength());
    length = std::clamp(length, 0, editor.TextLength() - start);
    editor.SetSelStart(start);
    editor.SetSelLength(length);
    editor.ScrollToCaret();
}

// --- Menus of the two views ------------------------------------------------

void TMDIChild::SelectAllPlain() {
    Memo1().SetSelStart(0);
    Memo1().SetSelLength(Memo1().TextLength());
}

void TMDIChild::ShowPlainMenu(const QPoint& at) {
    TMemoComponent& editor = Memo1();
    const bool writable = !editor.ReadOnly();
    const bool selected = editor.SelLength() > 0;
    QMenu menu(this);
    auto add = [&](const QString& caption, QKeySequence keys, bool enabled, auto command) {
        QAction* action = menu.addAction(caption, command);
        action->setShortcut(keys);
        action->setEnabled(enabled);
    };
    add(tr("撤销(&U)"), QKeySequence::Undo, writable && editor.EMCanUndo(0),
        [&] { editor.Undo(); });
    menu.addSeparator();
    add(tr("剪切(&T)"), QKeySequence::Cut, writable && selected, [&] { editor.WMCut(); });
    add(tr("复制(&C)"), QKeySequence::Copy, selected, [&] { editor.WMCopy(); });
    add(tr("粘贴(&P)"), QKeySequence::Paste, writable, [&] { editor.WMPaste(); });
    add(tr("删除(&D)"), QKeySequence::Delete, writable && selected, [&] { editor.WMClear(); });
    menu.addSeparator();
    add(tr("全选(&A)"), QKeySequence::SelectAll, editor.TextLength() > 0,
        [this] { SelectAllPlain(); });
    menu.exec(memo1_->viewport()->mapToGlobal(at));
}

void TMDIChild::ShowHighlightedMenu(const QPoint& at) {
    QMenu menu(this);
    menu.addAction(tr("复制"), this, &TMDIChild::CopyHighlighted);
    menu.addAction(tr("剪切"), this, &TMDIChild::CutHighlighted);
    menu.addAction(tr("张贴"), this, &TMDIChild::PasteHighlighted);
    menu.exec(memohun_->viewport()->mapToGlobal(at));
}

void TMDIChild::CopyHighlighted() {
    QGuiApplication::clipboard()->setText(
        TextToQt(SelectedText(Memohun()), Memohun().GetCodePage()));
}

void TMDIChild::CutHighlighted() {
    CopyHighlighted();
    Memohun().Selection().SetText({});
}

// The clipboard's text goes in at the caret; the selection stays.
void TMDIChild::PasteHighlighted() {
    std::string bytes;
    if (const auto bad =
            TextFromQt(QGuiApplication::clipboard()->text(), Memohun().GetCodePage(), bytes)) {
        AskUser(MessageText(tr("剪贴板中的字符 %1 不能用当前的代码页保存，没有粘贴。"),
                            {CodePointName(bad->codePoint)}),
                "Kelvara", 2);
        return;
    }
    const int at = Memohun().SelStart() + 1;
    TMCRange(&Memohun(), at, at - 1).SetText(bytes);
}

// --- Closing -------------------------------------------------------------

bool TMDIChild::CloseQuery() {
    if (!modified_) return true;
    // The question names the file; the caption's state text would contradict it.
    const std::string name = PathInText(FileNameOfPath(path_));
    switch (AskUser(MessageText(tr("%1 被修改了，是否保存?"), {name}), caption_, 6)) {
    case kIdYes:
        return frame_.SaveDocument(*this);
    case kIdNo:
        return true;
    default:
        return false;
    }
}

void TMDIChild::closeEvent(QCloseEvent* event) {
    if (closed_) return QMdiSubWindow::closeEvent(event);
    if (!CloseQuery()) return event->ignore();
    frame_.FormCloseOfDocument(*this);
    closed_ = true;
    delete findDialog_.data();
    QMdiSubWindow::closeEvent(event);
}

// The highlighted view's words are those of the file's extension (none for
// a new document, a .txt file and a file without extension).
void TMDIChild::PrepareViews() {
    TWordList& list = Memohun().SyntaxColoring().WordLists().Items(0);
    const std::string extension = Stamp().size >= 0 ? ExtractFileExt(path_) : std::string();
    if (extension.empty() || extension == ".txt") {
        if (!list.Words().empty()) list.ClearWords();
        return;
    }
    const std::string file = frame_.DataFile("reservedword.txt");
    const TIniFile words(file);
    LoadReservedWords(words, extension, list,
                      [this](const std::string& word) { frame_.ShowStatus(word); });
    WordsInDocumentPage(file, list);
}

// The words are compared with the document's bytes, so they take its code
// page; a word it cannot hold is never in the document.
void TMDIChild::WordsInDocumentPage(const std::string& file, TWordList& list) {
    std::string bytes;
    if (list.Words().empty() || ReadFileBytes(file, bytes)) return;
    const CodePage from = DetectEncoding(bytes, {TextCodePage(), std::nullopt}).codePage;
    const CodePage to = Memo1().GetCodePage();
    if (from == to) return;
    std::vector<std::string> recoded;
    for (const std::string& word : list.Words()) {
        std::string out;
        if (!RecodeText(word, from, to, out)) recoded.push_back(std::move(out));
    }
    list.SetWords(recoded);
}

} // namespace kelvara
