#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/CodePage.h"

namespace kelvara {

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TRect&) const = default;
};

// A colour as $00BBGGRR (red in the low byte), or one of the system colours
// below, which the host resolves.
using TColor = std::uint32_t;
constexpr TColor clWindow = 0xFF000005;
constexpr TColor clWindowText = 0xFF000008;
constexpr TColor clHighlight = 0xFF00000D;
constexpr TColor clHighlightText = 0xFF00000E;
constexpr bool IsSystemColor(TColor color) noexcept { return (color & 0xFF000000) != 0; }

enum class FontStyle : unsigned { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };
using TFontStyles = unsigned; // a set of FontStyle bits

constexpr bool HasStyle(TFontStyles styles, FontStyle style) noexcept {
    return (styles & static_cast<TFontStyles>(style)) != 0;
}

// A font as the editor asks for it; the host finds the face. Size is in points.
struct TFont {
    std::string Name = "Courier New";
    int Size = 10;
    TFontStyles Style = 0;
    TColor Color = clWindowText;
    bool operator==(const TFont&) const = default;
};

enum class ScrollBarKind { Horizontal, Vertical };
enum class TScrollStyle { None, Horizontal, Vertical, Both };
enum class TBorderStyle { None, Single };

class TBitmap;

// The surface the editor draws on.
class TCanvas {
public:
    virtual ~TCanvas() = default;
    virtual void FillRect(const TRect& rect, TColor color) = 0;
    // Draws `text` (bytes in `codePage`, tabs already expanded) on the
    // character grid: each character starts `cellWidth` pixels times the cells
    // before it right of x, and is drawn in `font` on an opaque `background`,
    // everything clipped to `clip` (which the background fills).
    virtual void TextOut(const TRect& clip, int x, int y, std::string_view text, const TFont& font,
                         TColor background, int cellWidth, CodePage codePage) = 0;
    // Copies the whole picture of `bitmap` with its top left corner at (x, y).
    virtual void Draw(int x, int y, TBitmap& bitmap) = 0;
};

// An off-screen picture with a canvas of its own.
class TBitmap {
public:
    virtual ~TBitmap() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Changes the size; the content is undefined until drawn again.
    virtual void SetSize(int width, int height) = 0;
    virtual TCanvas& Canvas() = 0;
    // Moves the picture inside `area` down by `dy` pixels (up when negative).
    virtual void Scroll(int dy, const TRect& area) = 0;
};

// Everything a window gives the editor: its existence, focus, size, font
// metrics, the caret, scroll bars, a timer, the clipboard and a canvas.
class EditorHost {
public:
    virtual ~EditorHost() = default;

    virtual bool HasWindow() const = 0;
    virtual bool HasParent() const = 0;
    virtual void SetFocus() = 0;
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;

    // Pixel width of "M" and height of "Q" in a font.
    virtual int CharWidth(const TFont& font) const = 0;
    virtual int LineHeight(const TFont& font) const = 0;

    virtual void CreateCaret(int width, int height) = 0;
    virtual void DestroyCaret() = 0;
    virtual void ShowCaret() = 0;
    virtual void HideCaret() = 0;
    virtual void SetCaretPos(int x, int y) = 0;

    // Bars are disabled rather than hidden when the page covers the range.
    virtual void SetScrollBar(ScrollBarKind bar, int min, int max, int page, int position) = 0;
    virtual void SetScrollPos(ScrollBarKind bar, int position) = 0;
    virtual int ScrollPos(ScrollBarKind bar) const = 0;

    virtual void StartTimer(int id, int milliseconds) = 0;
    virtual void StopTimer(int id) = 0;

    // The clipboard's text in the editor's code page; none when there is no
    // text or the host refused it (a character the code page cannot hold).
    virtual std::optional<std::string> ClipboardText() = 0;
    virtual void SetClipboardText(std::string_view text) = 0;

    // The mouse position in client pixels, also outside the window.
    virtual TPoint MousePos() const = 0;
    // The drag cursor while a text is dragged, else the I-beam.
    virtual void SetDragCursor(bool dragging) = 0;
    // The text changed (before the editor's OnChange).
    virtual void ControlChanged() = 0;
    // `removed` bytes of the text from `offset` (1-based) on are about to be
    // replaced by `inserted`; TextReplaced follows once they are. What a
    // screen reader is told; a host without one leaves them be.
    virtual void TextReplacing(int /*offset*/, int /*removed*/, std::string_view /*inserted*/) {}
    virtual void TextReplaced() {}
    // The control's scroll bars or border changed: the window takes them anew.
    virtual void RecreateWindow() = 0;

    virtual TCanvas& Canvas() = 0;
    virtual std::unique_ptr<TBitmap> CreateBitmap() = 0;
    // Moves the picture inside `area` down by `dy` pixels (up when negative).
    virtual void ScrollArea(int dy, const TRect& area) = 0;
    virtual void Invalidate() = 0;
    // Paints pending invalid areas at once.
    virtual void Update() = 0;
};

} // namespace kelvara
