#include "platform/EditorWidget.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QWheelEvent>

#include "common/AskUser.h"
#include "common/CodePage.h"
#include "common/CodePageConversion.h"
#include "platform/EditorAccessible.h"
#include "platform/EditorWidgetHost.h"
#include "platform/UiText.h"

namespace kelvara {

namespace {

ShiftState ShiftOf(Qt::KeyboardModifiers modifiers) {
    ShiftState shift = kNoShift;
    if (modifiers & Qt::ShiftModifier) shift |= kShift;
    if (modifiers & Qt::ControlModifier) shift |= kCtrl;
    if (modifiers & Qt::AltModifier) shift |= kAlt;
    return shift;
}

Key KeyOf(int key) {
    switch (key) {
    case Qt::Key_Backspace:
        return Key::Backspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return Key::Tab;
    case Qt::Key_Clear:
        return Key::Clear;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Key::Return;
    case Qt::Key_Shift:
        return Key::Shift;
    case Qt::Key_Control:
        return Key::Control;
    case Qt::Key_Alt:
        return Key::Alt;
    case Qt::Key_Escape:
        return Key::Escape;
    case Qt::Key_PageUp:
        return Key::PageUp;
    case Qt::Key_PageDown:
        return Key::PageDown;
    case Qt::Key_End:
        return Key::End;
    case Qt::Key_Home:
        return Key::Home;
    case Qt::Key_Left:
        return Key::Left;
    case Qt::Key_Up:
        return Key::Up;
    case Qt::Key_Right:
        return Key::Right;
    case Qt::Key_Down:
        return Key::Down;
    case Qt::Key_Insert:
        return Key::Insert;
    case Qt::Key_Delete:
        return Key::Delete;
    default:
        break;
    }
    // Letters and digits have the codes of their capitals in both.
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<Key>(key);
    return Key::None;
}

MouseButton ButtonOf(Qt::MouseButton button) {
    if (button == Qt::RightButton) return MouseButton::Right;
    if (button == Qt::LeftButton) return MouseButton::Left;
    return MouseButton::Middle;
}

std::unique_ptr<TMemoComponent> PlainEditor(EditorHost* host) {
    return std::make_unique<TMemoComponent>(host);
}

} // namespace

EditorWidget::EditorWidget(QWidget* parent) : EditorWidget(PlainEditor, parent) {}

EditorWidget::EditorWidget(const EditorFactory& factory, QWidget* parent)
    : QAbstractScrollArea(parent), host_(std::make_unique<EditorWidgetHost>(*this)) {
    editor_ = factory ? factory(host_.get()) : nullptr;
    if (!editor_) editor_ = PlainEditor(host_.get());

    EditorAccessible::Install();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setMinimumSize(64, 64);
    viewport()->setCursor(Qt::IBeamCursor);
    // The picture covers the whole viewport: nothing needs erasing first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);

    picture_.SetPalette(palette());
    picture_.SetDrawnHandler([this](const QRect& rect) {
        if (!painting_) viewport()->update(rect);
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { ScrollBarMoved(ScrollBarKind::Vertical, value); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { ScrollBarMoved(ScrollBarKind::Horizontal, value); });

    connect(&blinkTimer_, &QTimer::timeout, this, [this] {
        blinkOn_ = !blinkOn_;
        if (caretShown_) viewport()->update(caretRect_);
    });

    ApplyWindowStyle();
    ResizePicture();
    editor_->SetFont(DefaultFont());
    editor_->MeasureFont();
}

EditorWidget::~EditorWidget() {
    // The control may still talk to its host while it goes.
    editor_.reset();
}

TFont EditorWidget::DefaultFont() {
    TFont font;
    font.Size = 10;
    font.Name = MonospaceCjkFamily().toStdString();
    return font;
}

QSize EditorWidget::sizeHint() const { return QSize(480, 320); }

void EditorWidget::ResizePicture() {
    picture_.Resize(viewport()->width(), viewport()->height(), devicePixelRatioF());
    wholePicturePending_ = true;
}

void EditorWidget::ApplyWindowStyle() {
    const TScrollStyle bars = editor_->ScrollBars();
    const bool vertical = bars == TScrollStyle::Vertical || bars == TScrollStyle::Both;
    const bool horizontal = bars == TScrollStyle::Horizontal || bars == TScrollStyle::Both;
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    if (editor_->BorderStyle() == TBorderStyle::Single) {
        setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    } else {
        setFrameStyle(QFrame::NoFrame);
    }
}

bool EditorWidget::event(QEvent* event) {
    // Tab and Shift+Tab are the editor's keys, not focus moves.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

// A context menu takes the mouse: the selecting that its button started ends.
bool EditorWidget::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ContextMenu && !editor_->DragMoving())
        editor_->StopMouseTracking();
    return QAbstractScrollArea::viewportEvent(event);
}

bool EditorWidget::focusNextPrevChild(bool) { return false; }

void EditorWidget::paintEvent(QPaintEvent* event) {
    painting_ = true;
    if (wholePicturePending_) {
        wholePicturePending_ = false;
        editor_->Paint();
    }
    painting_ = false;
    QPainter painter(viewport());
    const QRect area = event->rect();
    const qreal ratio = picture_.Image().devicePixelRatio();
    const QRect source(qRound(area.x() * ratio), qRound(area.y() * ratio),
                       qRound(area.width() * ratio), qRound(area.height() * ratio));
    painter.drawImage(area, picture_.Image(), source);
    PaintCaret(painter);
    PaintPreedit(painter);
}

void EditorWidget::PaintCaret(QPainter& painter) {
    if (!caretShown_ || !blinkOn_ || !preedit_.isEmpty()) return;
    painter.fillRect(caretRect_, ToQColor(clWindowText, palette()));
}

// The text being composed, underlined, over the text at the caret.
void EditorWidget::PaintPreedit(QPainter& painter) {
    if (preedit_.isEmpty()) return;
    QFont font = ToQFont(editor_->Font());
    font.setUnderline(true);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const QRect box(caretRect_.x() + 1, caretRect_.y() - 1, metrics.horizontalAdvance(preedit_) + 2,
                    editor_->LineHeight());
    painter.fillRect(box, ToQColor(clWindow, palette()));
    painter.setPen(ToQColor(clWindowText, palette()));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, preedit_);
}

void EditorWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    ResizePicture();
    editor_->WMSize();
}

void EditorWidget::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        picture_.SetPalette(palette());
        wholePicturePending_ = true;
        viewport()->update();
    }
}

void EditorWidget::keyPressEvent(QKeyEvent* event) {
    const ShiftState shift = ShiftOf(event->modifiers());
    editor_->KeyDown(KeyOf(event->key()), shift);
    const QString text = event->text();
    // Control characters other than Enter come as keys, not as text, and so
    // do Control with a letter (Alt with Control may be a third-level key).
    const bool control =
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == Qt::ControlModifier;
    const bool typed =
        !text.isEmpty() && !control && (text.front().isPrint() || text == QLatin1String("\r"));
    if (typed) TypeText(text);
    event->accept();
}

void EditorWidget::keyReleaseEvent(QKeyEvent* event) {
    editor_->KeyUp(KeyOf(event->key()), ShiftOf(event->modifiers()));
    event->accept();
}

// Typed text arrives as characters in the editor's code page; a character
// the code page cannot hold is refused as a whole.
void EditorWidget::TypeText(const QString& text) {
    const CodePage codePage = editor_->GetCodePage();
    std::string bytes;
    if (const auto bad = TextFromQt(text, codePage, bytes)) {
        AskUser(MessageText(tr("字符 %1 不能用文本的代码页表示，没有输入。"),
                            {CodePointName(bad->codePoint)}),
                MessageText(tr("输入")), 0);
        return;
    }
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = CharLength(bytes, i, codePage);
        editor_->KeyPress(std::string_view(bytes).substr(i, length));
        i += length;
    }
}

void EditorWidget::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty()) TypeText(event->commitString());
    if (preedit_ != event->preeditString()) {
        const QRect old(caretRect_.x(), caretRect_.y() - 1, viewport()->width(),
                        editor_->LineHeight() + 2);
        preedit_ = event->preeditString();
        viewport()->update(old);
    }
    event->accept();
}

QVariant EditorWidget::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled:
        return !editor_->ReadOnly();
    case Qt::ImCursorRectangle:
        return QRect(caretRect_.topLeft(), QSize(1, editor_->LineHeight()))
            .translated(viewport()->pos());
    case Qt::ImFont:
        return ToQFont(editor_->Font());
    case Qt::ImHints:
        return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImSurroundingText:
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
        return SurroundingText(query);
    case Qt::ImCurrentSelection:
        return TextToQt(editor_->Selection().GetText(), editor_->GetCodePage());
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

// The caret's row, the caret and the selection's other end in it, in UTF-16
// units, for an input method that reads around the caret. Rows longer than
// an input method could use are not decoded at every query.
QVariant EditorWidget::SurroundingText(Qt::InputMethodQuery query) const {
    constexpr int kLongestRow = 4096;
    TMemoComponent& editor = *editor_;
    const int caret = editor.Selection().CaretPos();
    const TextPoint point = editor.OffsetToPoint(caret);
    const int length = editor.LineLength(point.Row);
    if (length > kLongestRow) return query == Qt::ImSurroundingText ? QVariant(QString()) : 0;
    const int start = caret - point.Col + 1;
    // The row's text up to `offset`, clamped to the row.
    const auto upTo = [&](int offset) {
        offset = std::clamp(offset, start, start + length);
        return DecodeText(editor.TextView(start, offset - start), editor.GetCodePage());
    };
    if (query == Qt::ImCursorPosition) return static_cast<int>(upTo(caret).size());
    if (query == Qt::ImAnchorPosition) {
        const TSelectionRange& selection = editor.Selection();
        const int anchor = caret == selection.RStart() ? selection.REnd() + 1 : selection.RStart();
        return static_cast<int>(upTo(anchor).size());
    }
    const std::u16string row = upTo(start + length);
    return QString::fromUtf16(row.data(), static_cast<qsizetype>(row.size()));
}

void EditorWidget::mousePressEvent(QMouseEvent* event) {
    mouse_ = event->position().toPoint();
    editor_->MouseDown(ButtonOf(event->button()), ShiftOf(event->modifiers()), mouse_.x(),
                       mouse_.y());
    event->accept();
}

void EditorWidget::mouseMoveEvent(QMouseEvent* event) {
    mouse_ = event->position().toPoint();
    editor_->MouseMove(ShiftOf(event->modifiers()), mouse_.x(), mouse_.y());
    event->accept();
}

void EditorWidget::mouseReleaseEvent(QMouseEvent* event) {
    mouse_ = event->position().toPoint();
    editor_->MouseUp(ButtonOf(event->button()), ShiftOf(event->modifiers()), mouse_.x(),
                     mouse_.y());
    event->accept();
}

void EditorWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    mouse_ = event->position().toPoint();
    if (event->button() == Qt::LeftButton) editor_->DblClick();
    event->accept();
}

void EditorWidget::wheelEvent(QWheelEvent* event) {
    editor_->MouseWheel(event->angleDelta().y());
    editor_->MouseWheelSideways(event->angleDelta().x());
    event->accept();
}

void EditorWidget::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    editor_->FocusGained();
}

void EditorWidget::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    editor_->FocusLost();
}

// The editor scrolls its picture itself when told by ScrollBarMoved.
void EditorWidget::scrollContentsBy(int, int) {}

void EditorWidget::ScrollBarMoved(ScrollBarKind bar, int value) {
    if (settingBars_) return;
    if (bar == ScrollBarKind::Vertical) {
        editor_->WMVScroll(5, value);
    } else {
        editor_->WMHScroll(5, value);
    }
}

void EditorWidget::SetCaretShown(bool shown) {
    if (shown == caretShown_) return;
    caretShown_ = shown;
    if (shown) RestartBlink();
    viewport()->update(caretRect_);
}

void EditorWidget::MoveCaret(const QRect& rect) {
    if (rect == caretRect_) return;
    viewport()->update(caretRect_);
    caretRect_ = rect;
    RestartBlink();
    viewport()->update(caretRect_);
    // The input method reads the caret, its row and the selection again.
    if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImQueryInput);
    TellAccessibility();
}

// Screen readers follow the caret and the selection.
void EditorWidget::TellAccessibility() {
    if (!EditorAccessible::EventsWanted()) return;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(this);
    QAccessibleTextInterface* text = accessible ? accessible->textInterface() : nullptr;
    if (!text) return;
    QAccessibleTextCursorEvent moved(this, text->cursorPosition());
    EditorAccessible::Tell(&moved);
    int start = 0;
    int end = 0;
    text->selection(0, &start, &end);
    QAccessibleTextSelectionEvent selected(this, start, end);
    EditorAccessible::Tell(&selected);
}

// The caret shows at once after it moves, then blinks at the platform's rate.
void EditorWidget::RestartBlink() {
    blinkOn_ = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (flash > 0 && caretShown_) {
        blinkTimer_.start(flash / 2);
    } else {
        blinkTimer_.stop();
    }
}

} // namespace kelvara
