#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "editor/MemoComponent.h"

namespace kelvara::test {

class FakeBitmap;

// Records what the editor draws.
class FakeCanvas : public TCanvas {
public:
    struct Fill {
        TRect Rect;
        TColor Color;
    };
    struct Text {
        TRect Clip;
        int X, Y;
        std::string Chars;
        TFont Font;
        TColor Background;
        int CellWidth;
        CodePage Page;
    };
    void FillRect(const TRect& rect, TColor color) override { fills.push_back({rect, color}); }
    void TextOut(const TRect& clip, int x, int y, std::string_view text, const TFont& font,
                 TColor background, int cellWidth, CodePage codePage) override {
        texts.push_back({clip, x, y, std::string(text), font, background, cellWidth, codePage});
    }
    void Draw(int x, int y, TBitmap& bitmap) override { draws.push_back({x, y, &bitmap}); }
    void Clear() {
        fills.clear();
        texts.clear();
        draws.clear();
    }
    struct BitmapDraw {
        int X, Y;
        TBitmap* Bitmap;
    };
    std::vector<Fill> fills;
    std::vector<Text> texts;
    std::vector<BitmapDraw> draws;
};

class FakeBitmap : public TBitmap {
public:
    int Width() const override { return width; }
    int Height() const override { return height; }
    void SetSize(int w, int h) override {
        width = w;
        height = h;
    }
    TCanvas& Canvas() override { return canvas; }
    void Scroll(int dy, const TRect&) override { scrolledBy.push_back(dy); }
    int width = 0, height = 0;
    FakeCanvas canvas;
    std::vector<int> scrolledBy;
};

// A window of fixed size with an 8 x 16 pixel character cell.
class FakeHost : public EditorHost {
public:
    bool HasWindow() const override { return window; }
    bool HasParent() const override { return window; }
    void SetFocus() override {}
    int ClientWidth() const override { return width; }
    int ClientHeight() const override { return height; }
    int CharWidth(const TFont& font) const override {
        return HasStyle(font.Style, FontStyle::Bold) ? 9 : 8;
    }
    int LineHeight(const TFont&) const override { return 16; }
    void CreateCaret(int, int) override { ++caretsCreated; }
    void DestroyCaret() override {}
    void ShowCaret() override { caretVisible = true; }
    void HideCaret() override { caretVisible = false; }
    void SetCaretPos(int x, int y) override { caret = {x, y}; }
    void SetScrollBar(ScrollBarKind bar, int, int max, int, int position) override {
        (bar == ScrollBarKind::Vertical ? verticalMax : horizontalMax) = max;
        SetScrollPos(bar, position);
    }
    void SetScrollPos(ScrollBarKind bar, int position) override {
        (bar == ScrollBarKind::Vertical ? verticalPos : horizontalPos) = position;
    }
    int ScrollPos(ScrollBarKind bar) const override {
        return bar == ScrollBarKind::Vertical ? verticalPos : horizontalPos;
    }
    void StartTimer(int id, int milliseconds) override { timers[id] = milliseconds; }
    void StopTimer(int id) override { timers.erase(id); }
    std::optional<std::string> ClipboardText() override {
        if (refuseClipboard) return std::nullopt;
        return clipboard;
    }
    TPoint MousePos() const override { return mouse; }
    void SetDragCursor(bool dragging) override { dragCursor = dragging; }
    void ControlChanged() override { ++changes; }
    void RecreateWindow() override { ++recreated; }
    void SetClipboardText(std::string_view text) override { clipboard = text; }
    TCanvas& Canvas() override { return canvas; }
    std::unique_ptr<TBitmap> CreateBitmap() override {
        auto made = std::make_unique<FakeBitmap>();
        bitmap = made.get();
        return made;
    }
    void ScrollArea(int dy, const TRect&) override { scrolledBy.push_back(dy); }
    void Invalidate() override {}
    void Update() override {}

    bool window = true;
    int width = 8 * 40 + 2; // 40 columns after the left margin
    int height = 16 * 10;   // 10 rows
    int caretsCreated = 0;
    bool caretVisible = false;
    TPoint caret;
    int verticalMax = 0, verticalPos = 0, horizontalMax = 0, horizontalPos = 0;
    std::string clipboard;
    bool refuseClipboard = false;
    std::map<int, int> timers; // running timers: id -> period
    TPoint mouse;
    bool dragCursor = false;
    int changes = 0;
    int recreated = 0;
    std::vector<int> scrolledBy;
    FakeCanvas canvas;
    FakeBitmap* bitmap = nullptr; // the last one made
};

// Draws one row of `editor` as the view does and returns what reached the
// canvas of `host`, the editor's host.
inline const std::vector<FakeCanvas::Text>& DrawRow(TMemoComponent& editor, FakeHost& host,
                                                    int row) {
    host.canvas.Clear();
    TMCRange segment(&editor, editor.PointToOffset({row, 1}),
                     editor.PointToOffset({row, editor.LineLength(row) + 2}));
    editor.PaintRowText(segment, editor.LeftMargin(), editor.TabSize(),
                        (row - 1) * editor.LineHeight());
    return host.canvas.texts;
}

// An editor that records the row segments it is asked to draw.
class RecordingEditor : public TMemoComponent {
public:
    struct Segment {
        int Start, End, X, TabPhase, Y;
        bool operator==(const Segment&) const = default;
        friend void PrintTo(const Segment& s, std::ostream* out) {
            *out << "{" << s.Start << ".." << s.End << " x" << s.X << " phase" << s.TabPhase << " y"
                 << s.Y << "}";
        }
    };
    explicit RecordingEditor(EditorHost* host = nullptr) : TMemoComponent(host) {}
    void PaintRowText(TMCRange& segment, int x, int tabPhase, int y) override {
        painted.push_back({segment.RStart(), segment.REnd(), x, tabPhase, y});
    }
    std::vector<Segment> painted;
};

// An editor in a focused window, measured and laid out.
struct WindowedEditor {
    WindowedEditor() {
        editor.MeasureFont();
        editor.FocusGained();
    }
    FakeHost host;
    RecordingEditor editor{&host};
};

} // namespace kelvara::test
