#include "platform/EditorWidgetHost.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMimeData>
#include <QScrollBar>

#include <algorithm>

#include "common/AskUser.h"
#include "common/CodePage.h"
#include "common/CodePageConversion.h"
#include "platform/EditorAccessible.h"
#include "platform/EditorWidget.h"
#include "platform/UiText.h"

namespace kelvara {

void EditorWidgetHost::SetFocus() { widget_.setFocus(Qt::MouseFocusReason); }

int EditorWidgetHost::ClientWidth() const { return widget_.viewport()->width(); }

int EditorWidgetHost::ClientHeight() const { return widget_.viewport()->height(); }

int EditorWidgetHost::CharWidth(const TFont& font) const {
    return QFontMetrics(ToQFont(font)).horizontalAdvance(QLatin1Char('M'));
}

int EditorWidgetHost::LineHeight(const TFont& font) const {
    return QFontMetrics(ToQFont(font)).height();
}

void EditorWidgetHost::CreateCaret(int width, int height) {
    caretWidth_ = width;
    caretHeight_ = height;
    widget_.MoveCaret(QRect(widget_.caretRect_.topLeft(), QSize(width, height)));
}

void EditorWidgetHost::DestroyCaret() { widget_.SetCaretShown(false); }

void EditorWidgetHost::ShowCaret() { widget_.SetCaretShown(true); }

void EditorWidgetHost::HideCaret() { widget_.SetCaretShown(false); }

void EditorWidgetHost::SetCaretPos(int x, int y) {
    widget_.MoveCaret(QRect(x, y, caretWidth_, caretHeight_));
}

void EditorWidgetHost::SetScrollBar(ScrollBarKind bar, int min, int max, int page, int position) {
    QScrollBar* scrollBar = bar == ScrollBarKind::Vertical ? widget_.verticalScrollBar()
                                                           : widget_.horizontalScrollBar();
    const int last = std::max(max - page + 1, min);
    widget_.settingBars_ = true;
    scrollBar->setRange(min, last);
    scrollBar->setPageStep(std::max(page, 1));
    scrollBar->setSingleStep(1);
    scrollBar->setValue(position);
    // Disabled rather than hidden when everything fits.
    scrollBar->setEnabled(last > min);
    widget_.settingBars_ = false;
}

void EditorWidgetHost::SetScrollPos(ScrollBarKind bar, int position) {
    QScrollBar* scrollBar = bar == ScrollBarKind::Vertical ? widget_.verticalScrollBar()
                                                           : widget_.horizontalScrollBar();
    widget_.settingBars_ = true;
    scrollBar->setValue(position);
    widget_.settingBars_ = false;
}

int EditorWidgetHost::ScrollPos(ScrollBarKind bar) const {
    return bar == ScrollBarKind::Vertical ? widget_.verticalScrollBar()->value()
                                          : widget_.horizontalScrollBar()->value();
}

void EditorWidgetHost::StartTimer(int id, int milliseconds) {
    std::unique_ptr<QTimer>& timer = widget_.timers_[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, &widget_,
                         [this, id] { widget_.editor_->WMTimer(id); });
    }
    timer->start(milliseconds);
}

void EditorWidgetHost::StopTimer(int id) {
    const auto found = widget_.timers_.find(id);
    if (found != widget_.timers_.end()) found->second->stop();
}

std::optional<std::string> EditorWidgetHost::ClipboardText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) return std::nullopt;
    std::string bytes;
    if (const auto bad = TextFromQt(data->text(), widget_.Editor().GetCodePage(), bytes)) {
        AskUser(MessageText(EditorWidget::tr(
                                "剪贴板中的字符 %1 不能用文本的代码页表示，没有粘贴任何内容。"),
                            {CodePointName(bad->codePoint)}),
                MessageText(EditorWidget::tr("粘贴")), 0);
        return std::nullopt;
    }
    return bytes;
}

void EditorWidgetHost::SetClipboardText(std::string_view text) {
    QGuiApplication::clipboard()->setText(TextToQt(text, widget_.Editor().GetCodePage()));
}

TPoint EditorWidgetHost::MousePos() const { return {widget_.mouse_.x(), widget_.mouse_.y()}; }

void EditorWidgetHost::SetDragCursor(bool dragging) {
    widget_.viewport()->setCursor(dragging ? Qt::DragMoveCursor : Qt::IBeamCursor);
}

void EditorWidgetHost::ControlChanged() { emit widget_.changed(); }

void EditorWidgetHost::TextReplacing(int offset, int removed, std::string_view inserted) {
    if (!EditorAccessible::EventsWanted()) return;
    auto* accessible =
        static_cast<EditorAccessible*>(QAccessible::queryAccessibleInterface(&widget_));
    if (accessible == nullptr) return;
    const TMemoComponent& editor = widget_.Editor();
    pendingUpdate_ = TextUpdate{accessible->UnitOfByte(offset - 1),
                                TextToQt(editor.TextView(offset, removed), editor.GetCodePage()),
                                TextToQt(inserted, editor.GetCodePage()),
                                offset - 1,
                                removed,
                                static_cast<int>(inserted.size())};
}

void EditorWidgetHost::TextReplaced() {
    if (!pendingUpdate_) return;
    if (auto* accessible =
            static_cast<EditorAccessible*>(QAccessible::queryAccessibleInterface(&widget_)))
        accessible->Replaced(pendingUpdate_->byte, pendingUpdate_->removedBytes,
                             pendingUpdate_->insertedBytes);
    QAccessibleTextUpdateEvent event(&widget_, pendingUpdate_->position, pendingUpdate_->removed,
                                     pendingUpdate_->inserted);
    pendingUpdate_.reset();
    EditorAccessible::Tell(&event);
}

void EditorWidgetHost::RecreateWindow() { widget_.ApplyWindowStyle(); }

TCanvas& EditorWidgetHost::Canvas() { return widget_.picture_; }

std::unique_ptr<TBitmap> EditorWidgetHost::CreateBitmap() {
    return std::make_unique<ImageBitmap>(widget_.palette(), widget_.devicePixelRatioF());
}

void EditorWidgetHost::ScrollArea(int dy, const TRect& area) { widget_.picture_.Scroll(dy, area); }

// The whole picture is drawn again at the next paint event.
void EditorWidgetHost::Invalidate() {
    if (widget_.painting_) return;
    widget_.wholePicturePending_ = true;
    widget_.viewport()->update();
}

// Every change is drawn into the picture at once and its area queued for the
// screen, which Qt updates as soon as the current event returns: there is
// nothing left to paint here.
void EditorWidgetHost::Update() {}

} // namespace kelvara
