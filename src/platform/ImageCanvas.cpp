#include "platform/ImageCanvas.h"

#include <algorithm>
#include <cstring>

#include <QFontMetricsF>
#include <QTextLayout>

#include "common/CodePage.h"
#include "common/CodePageConversion.h"
#include "editor/DisplayWidth.h"

namespace kelvara {

namespace {

// Shown for bytes that are not valid in the text code page.
constexpr char32_t kReplacementChar = 0xFFFD;

QRect ToQRect(const TRect& rect) {
    return QRect(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top);
}

} // namespace

QFont ToQFont(const TFont& font) {
    QFont result(QString::fromUtf8(font.Name.data(), static_cast<qsizetype>(font.Name.size())));
    result.setPointSize(std::max(font.Size, 1));
    result.setStyleHint(QFont::TypeWriter);
    result.setFixedPitch(true);
    result.setKerning(false);
    result.setBold(HasStyle(font.Style, FontStyle::Bold));
    result.setItalic(HasStyle(font.Style, FontStyle::Italic));
    result.setUnderline(HasStyle(font.Style, FontStyle::Underline));
    result.setStrikeOut(HasStyle(font.Style, FontStyle::StrikeOut));
    return result;
}

QColor ToQColor(TColor color, const QPalette& palette) {
    switch (color) {
    case clWindow:
        return palette.color(QPalette::Active, QPalette::Base);
    case clWindowText:
        return palette.color(QPalette::Active, QPalette::Text);
    case clHighlight:
        return palette.color(QPalette::Active, QPalette::Highlight);
    case clHighlightText:
        return palette.color(QPalette::Active, QPalette::HighlightedText);
    default:
        break;
    }
    if (IsSystemColor(color)) return palette.color(QPalette::Active, QPalette::Base);
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

ImageCanvas::ImageCanvas() = default;

ImageCanvas::~ImageCanvas() { End(); }

void ImageCanvas::Resize(int width, int height, qreal pixelRatio) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_ && image_.devicePixelRatio() == pixelRatio) return;
    End();
    width_ = width;
    height_ = height;
    image_ = QImage(qRound(width * pixelRatio), qRound(height * pixelRatio), QImage::Format_RGB32);
    image_.setDevicePixelRatio(pixelRatio);
    image_.fill(ToQColor(clWindow, palette_));
}

const QImage& ImageCanvas::Image() {
    End();
    return image_;
}

void ImageCanvas::End() { painter_.reset(); }

QPainter& ImageCanvas::Painter() {
    if (!painter_) painter_ = std::make_unique<QPainter>(&image_);
    return *painter_;
}

void ImageCanvas::Drawn(const QRect& rect) {
    if (drawn_) drawn_(rect);
}

ImageCanvas::Face& ImageCanvas::FaceOf(const TFont& font) {
    for (Face& face : faces_) {
        if (face.key == font) return face;
    }
    Face face;
    face.key = font;
    face.font = ToQFont(font);
    face.raw = QRawFont::fromFont(face.font);
    face.ascent = QFontMetricsF(face.font).ascent();
    faces_.push_back(std::move(face));
    return faces_.back();
}

void ImageCanvas::FillRect(const TRect& rect, TColor color) {
    if (image_.isNull() || rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
    const QRect area = ToQRect(rect);
    Painter().fillRect(area, ToQColor(color, palette_));
    Drawn(area);
}

void ImageCanvas::Layout(std::string_view text, CodePage codePage) {
    units_.resize(0);
    cellOf_.clear();
    cellsOf_.clear();
    unitOf_.clear();
    pointOf_.clear();
    points_ = 0;
    int cell = 0;
    auto add = [this](char32_t codePoint, int first, int cells) {
        // A zero-width code point joins the character before it.
        if (cells > 0 || cellOf_.empty()) {
            unitOf_.push_back(static_cast<int>(units_.size()));
            pointOf_.push_back(points_);
            cellOf_.push_back(first);
            cellsOf_.push_back(cells);
        }
        ++points_;
        if (codePoint >= 0x10000) {
            units_.append(QChar::highSurrogate(codePoint));
            units_.append(QChar::lowSurrogate(codePoint));
        } else {
            units_.append(QChar(static_cast<char16_t>(codePoint)));
        }
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            add(byte, cell++, 1);
            ++i;
            continue;
        }
        const std::size_t length = CharLength(text, i, codePage);
        const int cells = CharCells(text, i, length, codePage);
        const DecodedChar decoded = DecodeCharAt(text.substr(i, length), 0, codePage);
        if (decoded.length == length && !IsByteEscape(decoded.codePoint)) {
            add(decoded.codePoint, cell, cells);
        } else {
            for (std::size_t k = 0; k < length; ++k) // one mark per invalid byte
                add(kReplacementChar, cell + static_cast<int>(k), 1);
        }
        cell += cells;
        i += length;
    }
}

void ImageCanvas::TextOut(const TRect& clip, int x, int y, std::string_view text, const TFont& font,
                          TColor background, int cellWidth, CodePage codePage) {
    if (image_.isNull() || clip.Right <= clip.Left || clip.Bottom <= clip.Top) return;
    QPainter& painter = Painter();
    const QRect area = ToQRect(clip);
    painter.fillRect(area, ToQColor(background, palette_));
    Drawn(area);
    if (text.empty()) return;
    // The editor hands over only the visible stretch of a row.
    Layout(text, codePage);
    const Face& face = FaceOf(font);
    const int count = static_cast<int>(cellOf_.size());
    glyphs_.resize(units_.size());
    int glyphCount = static_cast<int>(glyphs_.size());
    const bool mapped =
        face.raw.isValid() &&
        face.raw.glyphIndexesForChars(units_.constData(), static_cast<int>(units_.size()),
                                      glyphs_.data(), &glyphCount) &&
        glyphCount == points_;
    painter.save();
    painter.setClipRect(area);
    painter.setPen(ToQColor(font.Color, palette_));
    const qreal baseline = y + face.ascent;
    runGlyphs_.clear();
    runPositions_.clear();
    if (mapped) {
        advances_.resize(points_);
        face.raw.advancesForGlyphIndexes(glyphs_.data(), advances_.data(), points_,
                                         QRawFont::SeparateAdvances);
    }
    for (int k = 0; k < count; ++k) {
        const int left = x + cellOf_[k] * cellWidth;
        const int width = cellsOf_[k] * cellWidth;
        if (left >= clip.Right || left + width <= clip.Left) continue;
        const int point = pointOf_[k];
        const int points = (k + 1 < count ? pointOf_[k + 1] : points_) - point;
        const bool inFont =
            mapped && std::all_of(glyphs_.begin() + point, glyphs_.begin() + point + points,
                                  [](quint32 glyph) { return glyph != 0; });
        const int unit = unitOf_[k];
        const int units = (k + 1 < count ? unitOf_[k + 1] : static_cast<int>(units_.size())) - unit;
        if (inFont) {
            runGlyphs_.append(glyphs_[point]);
            runPositions_.append(QPointF(left + (width - advances_[point].x()) / 2, baseline));
            for (int mark = point + 1; mark < point + points; ++mark) {
                runGlyphs_.append(glyphs_[mark]);
                runPositions_.append(MarkPosition(face.raw, glyphs_[mark], left, width, baseline));
            }
        } else if (points > 1) {
            DrawFallbackMarks(painter, face.font, units_.mid(unit, units), left, width, baseline);
        } else {
            // A character the font lacks: Qt finds a font that has it.
            painter.setFont(face.font);
            const QString one = units_.mid(unit, units);
            const qreal advance = QFontMetricsF(face.font).horizontalAdvance(one);
            painter.drawText(QPointF(left + (width - advance) / 2, baseline), one);
        }
    }
    if (!runGlyphs_.isEmpty()) {
        QGlyphRun run;
        run.setRawFont(face.raw);
        run.setGlyphIndexes(runGlyphs_);
        run.setPositions(runPositions_);
        run.setUnderline(face.font.underline());
        run.setStrikeOut(face.font.strikeOut());
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
    painter.restore();
}

// A combining mark goes with its ink centred over its base's cells: many
// fonts have no mark positioning and would set it beside the base.
QPointF ImageCanvas::MarkPosition(const QRawFont& font, quint32 glyph, int left, int width,
                                  qreal baseline) {
    return QPointF(left + width / 2.0 - font.boundingRect(glyph).center().x(), baseline);
}

// A character with marks that the font lacks: the glyphs of the fonts Qt
// falls back on, the base (the first) centred by its advance, the marks by
// their ink.
void ImageCanvas::DrawFallbackMarks(QPainter& painter, const QFont& font, const QString& text,
                                    int left, int width, qreal baseline) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    bool base = true;
    for (QGlyphRun run : layout.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        QList<QPointF> positions;
        for (const quint32 glyph : glyphs) {
            if (base) {
                const qreal advance = raw.advancesForGlyphIndexes({glyph}).value(0).x();
                positions.append(QPointF(left + (width - advance) / 2, baseline));
                base = false;
            } else {
                positions.append(MarkPosition(raw, glyph, left, width, baseline));
            }
        }
        run.setPositions(positions);
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
}

void ImageCanvas::Draw(int x, int y, TBitmap& bitmap) {
    if (image_.isNull()) return;
    const QImage& picture = static_cast<ImageBitmap&>(bitmap).Surface().Image();
    Painter().drawImage(QPoint(x, y), picture);
    Drawn(QRect(x, y, bitmap.Width(), bitmap.Height()));
}

void ImageCanvas::Scroll(int dy, const TRect& area) {
    if (image_.isNull() || dy == 0) return;
    End();
    const qreal ratio = image_.devicePixelRatio();
    const int left = std::clamp(qRound(area.Left * ratio), 0, image_.width());
    const int right = std::clamp(qRound(area.Right * ratio), left, image_.width());
    const int top = std::clamp(qRound(area.Top * ratio), 0, image_.height());
    const int bottom = std::clamp(qRound(area.Bottom * ratio), top, image_.height());
    const int shift = qRound(dy * ratio);
    const std::size_t bytes = static_cast<std::size_t>(right - left) * 4;
    if (bytes == 0 || std::abs(shift) >= bottom - top) return;
    auto moveRow = [&](int to, int from) {
        std::memmove(image_.scanLine(to) + left * 4, image_.constScanLine(from) + left * 4, bytes);
    };
    if (shift > 0) {
        for (int row = bottom - 1; row >= top + shift; --row)
            moveRow(row, row - shift);
    } else {
        for (int row = top; row < bottom + shift; ++row)
            moveRow(row, row - shift);
    }
    Drawn(ToQRect(area));
}

ImageBitmap::ImageBitmap(const QPalette& palette, qreal pixelRatio) : pixelRatio_(pixelRatio) {
    canvas_.SetPalette(palette);
}

} // namespace kelvara
