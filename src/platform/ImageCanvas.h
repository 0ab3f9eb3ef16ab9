#pragma once

#include <QColor>
#include <QFont>
#include <QGlyphRun>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPalette>
#include <QPointF>
#include <QRawFont>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

#include "editor/EditorHost.h"

namespace kelvara {

// The Qt font for an editor font.
QFont ToQFont(const TFont& font);
// An editor colour, system colours taken from the palette.
QColor ToQColor(TColor color, const QPalette& palette);

// The editor's canvas over an image: the window's picture, drawn between its
// paint events, and the editor's off-screen bitmap. Text goes on the
// character grid: bytes are turned into Unicode run by run, each character is
// placed on its own cells (a wide one centred in its two) and bytes that are
// not valid in the text code page show as a replacement glyph.
class ImageCanvas : public TCanvas {
public:
    ImageCanvas();
    ~ImageCanvas() override;
    ImageCanvas(const ImageCanvas&) = delete;
    ImageCanvas& operator=(const ImageCanvas&) = delete;

    // Logical size; the image holds size × pixel ratio pixels.
    void Resize(int width, int height, qreal pixelRatio);
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    const QImage& Image();
    void SetPalette(const QPalette& palette) { palette_ = palette; }
    // Told of every rectangle drawn (logical pixels).
    void SetDrawnHandler(std::function<void(const QRect&)> handler) { drawn_ = std::move(handler); }
    // Ends the painter so the image can be read or changed directly.
    void End();
    void Scroll(int dy, const TRect& area);

    void FillRect(const TRect& rect, TColor color) override;
    void TextOut(const TRect& clip, int x, int y, std::string_view text, const TFont& font,
                 TColor background, int cellWidth, CodePage codePage) override;
    void Draw(int x, int y, TBitmap& bitmap) override;

private:
    struct Face {
        TFont key;
        QFont font;
        QRawFont raw;
        qreal ascent = 0;
    };
    QPainter& Painter();
    Face& FaceOf(const TFont& font);
    void Drawn(const QRect& rect);
    // Lays out `text` from cell 0: code units, and per character (a code
    // point with the zero-width ones that join it) its first cell and its cells.
    void Layout(std::string_view text, CodePage codePage);
    static QPointF MarkPosition(const QRawFont& font, quint32 glyph, int left, int width,
                                qreal baseline);
    static void DrawFallbackMarks(QPainter& painter, const QFont& font, const QString& text,
                                  int left, int width, qreal baseline);
    void DrawCharacter(QPainter& painter, const QFont& font, QStringView units, int left, int width,
                       qreal baseline);

    QImage image_;
    std::unique_ptr<QPainter> painter_;
    int width_ = 0;
    int height_ = 0;
    QPalette palette_;
    std::function<void(const QRect&)> drawn_;
    std::vector<Face> faces_;
    // Reused by every text output.
    QString units_;
    std::vector<int> cellOf_;  // first cell of each character
    std::vector<int> cellsOf_; // cells of each character
    std::vector<int> unitOf_;  // first code unit of each character
    std::vector<int> pointOf_; // first code point of each character
    int points_ = 0;           // code points in all
    std::vector<quint32> glyphs_;
    QList<quint32> runGlyphs_;
    QList<QPointF> runPositions_;
    QList<QPointF> advances_;
};

// The editor's off-screen bitmap: an image with its canvas.
class ImageBitmap : public TBitmap {
public:
    explicit ImageBitmap(const QPalette& palette, qreal pixelRatio);
    int Width() const override { return canvas_.Width(); }
    int Height() const override { return canvas_.Height(); }
    void SetSize(int width, int height) override { canvas_.Resize(width, height, pixelRatio_); }
    TCanvas& Canvas() override { return canvas_; }
    void Scroll(int dy, const TRect& area) override { canvas_.Scroll(dy, area); }
    ImageCanvas& Surface() noexcept { return canvas_; }

private:
    ImageCanvas canvas_;
    qreal pixelRatio_;
};

} // namespace kelvara
