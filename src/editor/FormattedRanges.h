#pragma once

#include <memory>
#include <vector>

#include "editor/EditorHost.h"
#include "editor/Ranges.h"

namespace kelvara {

// A stretch of text drawn as one run: a background colour and a font.
class TCustomFormattedRange : public TMCRange {
public:
    explicit TCustomFormattedRange(TMCRanges* ranges) : TMCRange(ranges) {}
    TCustomFormattedRange(TMemoComponent* editor, int start, int end)
        : TMCRange(editor, start, end) {}

    virtual TColor GetColor() const = 0;
    // The run's font; none when it has none (a normal run without editor).
    virtual const TFont* GetFont() const = 0;
    virtual void SetColor(TColor) {}
    virtual void SetFont(const TFont*) {}
    // Strips the editor's suppressed styles from the run's font.
    virtual void MaskFontStyle();

    TColor Color() const { return GetColor(); }
    const TFont* Font() const { return GetFont(); }

    // A run made for one drawing pass only.
    bool Temporary() const noexcept { return temporary_; }
    void SetTemporary(bool value) noexcept { temporary_ = value; }

    void AssignTo(TCustomRange& dest) const override;

protected:
    // The font that MaskFontStyle may change; none when the run has no font of
    // its own to change.
    virtual TFont* MutableFont() { return nullptr; }

private:
    bool temporary_ = false;
};

// A run with a font and colour of its own.
class TFormattedRange : public TCustomFormattedRange {
public:
    explicit TFormattedRange(TMCRanges* ranges) : TCustomFormattedRange(ranges) {}
    TFormattedRange(TMemoComponent* editor, int start, int end)
        : TCustomFormattedRange(editor, start, end) {}

    TColor GetColor() const override { return color_; }
    const TFont* GetFont() const override { return &font_; }
    void SetColor(TColor color) override { color_ = color; }
    void SetFont(const TFont* font) override {
        if (font) font_ = *font;
    }

protected:
    TFont* MutableFont() override { return &font_; }

private:
    TFont font_;
    TColor color_ = clWindow;
};

// A run in the editor's own colour and font.
class TNormalFormattedRange : public TCustomFormattedRange {
public:
    explicit TNormalFormattedRange(TMCRanges* ranges) : TCustomFormattedRange(ranges) {}
    TNormalFormattedRange(TMemoComponent* editor, int start, int end)
        : TCustomFormattedRange(editor, start, end) {}

    TColor GetColor() const override;
    const TFont* GetFont() const override;
};

// The runs of one row segment, in text order, without gaps or overlaps. A
// temporary run is owned by the list; any other run belongs to its maker
// (the editor or a descendant) and is only referred to.
class TFormattedRangeList {
public:
    // Adds a run made for this drawing pass and marks it temporary.
    TCustomFormattedRange& AddTemporary(std::unique_ptr<TCustomFormattedRange> run);
    void Add(TCustomFormattedRange& run) { runs_.push_back(&run); }

    int Count() const noexcept { return static_cast<int>(runs_.size()); }
    bool Empty() const noexcept { return runs_.empty(); }
    TCustomFormattedRange& operator[](int index) const { return *runs_[index]; }
    // Forgets every run and frees the temporary ones.
    void Clear();

private:
    std::vector<TCustomFormattedRange*> runs_;
    std::vector<std::unique_ptr<TCustomFormattedRange>> owned_;
};

} // namespace kelvara
