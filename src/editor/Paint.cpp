#include <algorithm>

#include "common/CodePage.h"
#include "editor/DisplayWidth.h"
#include "editor/MemoComponent.h"

namespace kelvara {

namespace {

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

// Appends `chars` to `out` with every tab replaced by the blanks up to the
// next tab stop; `phase` (columns to the next stop) is carried on. Returns the
// cells the text fills.
int ExpandTabs(std::string_view chars, int& phase, int tabSize, CodePage codePage,
               std::string& out) {
    int cells = 0;
    std::size_t i = 0;
    while (i < chars.size()) {
        if (chars[i] == '\t') {
            out.append(static_cast<std::size_t>(phase), ' ');
            cells += phase;
            phase = tabSize;
            ++i;
            continue;
        }
        const std::size_t length = CharLength(chars, i, codePage);
        const int width = CharCells(chars, i, length, codePage);
        out.append(chars.substr(i, length));
        cells += width;
        phase -= width;
        while (phase <= 0)
            phase += tabSize;
        i += length;
    }
    return cells;
}

bool ContainsCourier(const std::string& name) { return name.find("Courier") != std::string::npos; }

} // namespace

void TMemoComponent::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    if (HasWindow()) host_->Invalidate();
}

void TMemoComponent::SetFont(const TFont& font) {
    if (font == font_) return;
    font_ = font;
    FontChanged();
}

void TMemoComponent::SetBitmapped(bool value) {
    if (value == bitmapped_) return;
    bitmapped_ = value;
    if (!value) bitmap_.reset();
    if (HasWindow()) host_->Invalidate();
}

TCanvas& TMemoComponent::PaintCanvas() {
    if (bitmapped_) {
        UpdateBitmap();
        if (bitmap_) return bitmap_->Canvas();
    }
    return host_->Canvas();
}

void TMemoComponent::UpdateBitmap() {
    if (!bitmapped_) {
        bitmap_.reset();
        return;
    }
    if (!HasWindow()) return;
    if (!bitmap_) bitmap_ = host_->CreateBitmap();
    if (!bitmap_) return;
    const int width = host_->ClientWidth();
    const int height = host_->ClientHeight();
    if (bitmap_->Width() == width && bitmap_->Height() == height) return;
    bitmap_->SetSize(width, height);
    PaintMargins({0, 0, width, topMargin_}, {0, 0, leftMargin_, height}, bitmap_->Canvas());
}

void TMemoComponent::PaintMargins(const TRect& top, const TRect& left, TCanvas& canvas) {
    canvas.FillRect(top, color_);
    canvas.FillRect(left, color_);
}

void TMemoComponent::Paint() {
    if (!HasWindow()) return;
    selection_->HideEditCaret();
    if (bitmapped_) {
        UpdateBitmap();
        if (bitmap_) host_->Canvas().Draw(0, 0, *bitmap_);
    } else {
        const int width = host_->ClientWidth();
        const int height = host_->ClientHeight();
        PaintMargins({0, 0, width, topMargin_}, {0, 0, leftMargin_, height}, host_->Canvas());
        view_->Repaint();
    }
    selection_->UpdateCaretVisibility();
}

void TMemoComponent::GetFormattedRanges(TMCRange& segment, TFormattedRangeList& runs) {
    int a = segment.RStart();
    const int end = segment.REnd();
    auto addNormal = [&](int from, int to) {
        runs.AddTemporary(std::make_unique<TNormalFormattedRange>(this, from, to));
    };
    const TSelectionRange& selection = *selection_;
    if (!selection.Hidden() && selection.RLength() > 0) {
        const int before = std::min(selection.RStart() - 1, end);
        if (before >= a) addNormal(a, before);
        const int d = std::max(selection.RStart(), a);
        const int e = std::min(selection.REnd(), end);
        if (e >= d) {
            auto highlight = std::make_unique<TFormattedRange>(this, d, e);
            highlight->SetColor(clHighlight);
            TFont font = font_;
            font.Color = clHighlightText;
            highlight->SetFont(&font);
            runs.AddTemporary(std::move(highlight));
        }
        a = std::max(selection.REnd() + 1, a);
    }
    if (end >= a) addNormal(a, end);
}

void TMemoComponent::PaintRowText(TMCRange& segment, int x, int tabPhase, int y) {
    if (!HasWindow()) return;
    if (segment.RLength() <= 0 && segment.REnd() < textLength_) return;
    TCanvas& canvas = PaintCanvas();
    const int clientWidth = host_->ClientWidth();
    runs_.Clear();
    GetFormattedRanges(segment, runs_);
    int left = x;
    int phase = tabPhase;
    for (int i = 0; i < runs_.Count(); ++i) {
        TCustomFormattedRange& run = runs_[i];
        run.MaskFontStyle();
        if (run.RLength() <= 0) continue;
        TFont font = run.GetFont() ? *run.GetFont() : font_;
        font.Style &= ~suppressedStyles_;
        // Only the line-break bytes the run holds are left out.
        int start = run.RStart();
        int last = run.REnd();
        const bool endsRow = last <= textLength_ && IsBreak(CharAt(last));
        if (CharAt(last) == '\n' && last >= start) --last;
        if (CharAt(last) == '\r' && last >= start) --last;
        expanded_.clear();
        int cells = 0;
        if (last >= start) {
            const std::string_view chars = TextView(start, last - start + 1);
            cells = ExpandTabs(chars, phase, tabSize_, codePage_, expanded_);
        }
        const int right = endsRow ? clientWidth : left + cells * charWidth_;
        const int originX = left;
        const int originY =
            y - (HasStyle(font.Style, FontStyle::Italic) && ContainsCourier(font.Name) ? 1 : 0);
        left = std::max(left, leftMargin_);
        if (left < right && left < clientWidth) {
            canvas.TextOut({left, y, std::min(right, clientWidth), y + lineHeight_}, originX,
                           originY, expanded_, font, run.GetColor(), charWidth_, codePage_);
        }
        left = right;
    }
    runs_.Clear();
    if (segment.REnd() >= textLength_) {
        left = std::max(left, leftMargin_);
        if (left < clientWidth) canvas.FillRect({left, y, clientWidth, y + lineHeight_}, color_);
    }
}

} // namespace kelvara
