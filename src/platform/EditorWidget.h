#pragma once

#include <QAbstractScrollArea>
#include <QRect>
#include <QString>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

#include "editor/MemoComponent.h"
#include "platform/ImageCanvas.h"

namespace kelvara {

class EditorWidgetHost;

// The window of Kelvara's editor control: it hosts a TMemoComponent (or a
// descendant such as TSourceEdit), gives it real scroll bars, a blinking
// caret, a timer, the clipboard and a canvas, and forwards every Qt event to
// the control's own entry points. The control draws into the widget's
// picture as it changes; a paint event only copies that picture out.
class EditorWidget : public QAbstractScrollArea {
    Q_OBJECT

public:
    using EditorFactory = std::function<std::unique_ptr<TMemoComponent>(EditorHost*)>;

    // A plain editor, without colouring.
    explicit EditorWidget(QWidget* parent = nullptr);
    // The editor the factory makes for the widget's host.
    explicit EditorWidget(const EditorFactory& factory, QWidget* parent = nullptr);
    ~EditorWidget() override;

    TMemoComponent& Editor() noexcept { return *editor_; }
    const TMemoComponent& Editor() const noexcept { return *editor_; }

    // The font editors start with: the CJK-capable monospace, 10 points.
    static TFont DefaultFont();

    // The caret's rectangle in viewport pixels, and whether it is shown now
    // (focus, not hidden by the control; blinking aside).
    QRect CaretRect() const noexcept { return caretRect_; }
    bool CaretShown() const noexcept { return caretShown_; }
    // The input method's text being composed, shown at the caret.
    QString PreeditText() const { return preedit_; }

    QSize sizeHint() const override;

signals:
    // The text changed.
    void changed();

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    QVariant SurroundingText(Qt::InputMethodQuery query) const;
    friend class EditorWidgetHost;

    void ResizePicture();
    // Scroll bars and frame as the control's ScrollBars and BorderStyle say.
    void ApplyWindowStyle();
    void TypeText(const QString& text);
    void ScrollBarMoved(ScrollBarKind bar, int value);
    void SetCaretShown(bool shown);
    void MoveCaret(const QRect& rect);
    void RestartBlink();
    void TellAccessibility();
    void PaintCaret(QPainter& painter);
    void PaintPreedit(QPainter& painter);

    std::unique_ptr<EditorWidgetHost> host_;
    std::unique_ptr<TMemoComponent> editor_;
    ImageCanvas picture_;
    bool painting_ = false;
    bool wholePicturePending_ = true;
    bool settingBars_ = false;
    QRect caretRect_;
    bool caretShown_ = false;
    bool blinkOn_ = true;
    QTimer blinkTimer_;
    std::map<int, std::unique_ptr<QTimer>> timers_; // the control's, by id
    QPoint mouse_;
    QString preedit_;
};

} // namespace kelvara
