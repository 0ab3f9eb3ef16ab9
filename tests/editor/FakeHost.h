#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "editor/MemoComponent.h"

namespace kelvara::test {

// Records what the editor draws.
class FakeCanvas : public TCanvas {
public:
    struct Fill {
        TRect Rect;
        TColor Color;
    };
    void FillRect(const TRect& rect, TColor color) override { fills.push_back({rect, color}); }
    std::vector<Fill> fills;
};

// A window of fixed size with an 8 x 16 pixel character cell.
class FakeHost : public EditorHost {
public:
    bool HasWindow() const override { return window; }
    bool HasParent() const override { return window; }
    void SetFocus() override {}
    int ClientWidth() const override { return width; }
    int ClientHeight() const override { return height; }
    int CharWidth(TFontStyles styles) const override {
        return (styles & static_cast<TFontStyles>(FontStyle::Bold)) ? 9 : 8;
    }
    int LineHeight() const override { return 16; }
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
    void StartTimer(int, int) override {}
    void StopTimer(int) override {}
    std::string ClipboardText() const override { return clipboard; }
    void SetClipboardText(std::string_view text) override { clipboard = text; }
    TCanvas& Canvas() override { return canvas; }
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
    std::vector<int> scrolledBy;
    FakeCanvas canvas;
};

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
