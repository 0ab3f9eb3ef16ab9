#pragma once

#include <QString>
#include <optional>

#include "editor/EditorHost.h"

namespace kelvara {

class EditorWidget;

// What the editor widget gives its control: the window's size, focus,
// metrics of Qt fonts, the caret, the scroll bars, the drag timer, the
// clipboard in the text code page and the picture to draw on.
class EditorWidgetHost : public EditorHost {
public:
    explicit EditorWidgetHost(EditorWidget& widget) : widget_(widget) {}

    bool HasWindow() const override { return true; }
    bool HasParent() const override { return true; }
    void SetFocus() override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    int CharWidth(const TFont& font) const override;
    int LineHeight(const TFont& font) const override;

    void CreateCaret(int width, int height) override;
    void DestroyCaret() override;
    void ShowCaret() override;
    void HideCaret() override;
    void SetCaretPos(int x, int y) override;

    void SetScrollBar(ScrollBarKind bar, int min, int max, int page, int position) override;
    void SetScrollPos(ScrollBarKind bar, int position) override;
    int ScrollPos(ScrollBarKind bar) const override;

    void StartTimer(int id, int milliseconds) override;
    void StopTimer(int id) override;

    std::optional<std::string> ClipboardText() override;
    void SetClipboardText(std::string_view text) override;
    TPoint MousePos() const override;
    void SetDragCursor(bool dragging) override;
    void ControlChanged() override;
    void TextReplacing(int offset, int removed, std::string_view inserted) override;
    void TextReplaced() override;
    void RecreateWindow() override;

    TCanvas& Canvas() override;
    std::unique_ptr<TBitmap> CreateBitmap() override;
    void ScrollArea(int dy, const TRect& area) override;
    void Invalidate() override;
    void Update() override;

private:
    // A change a screen reader is told of once it is made: where it starts
    // (UTF-16 units) and the texts it removes and inserts.
    struct TextUpdate {
        int position = 0;
        QString removed;
        QString inserted;
        int byte = 0; // where, in bytes
        int removedBytes = 0;
        int insertedBytes = 0;
    };

    EditorWidget& widget_;
    std::optional<TextUpdate> pendingUpdate_;
    int caretWidth_ = 2;
    int caretHeight_ = 0;
};

} // namespace kelvara
