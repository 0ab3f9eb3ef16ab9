#pragma once

#include <string>
#include <utility>

#include "editor/EditorHost.h"
#include "syntax/SyntaxColors.h"

namespace kelvara {

// What a word list and a custom style share: a caption, and the colour and
// font style of their text, used when CustomColor and CustomStyle say so. A
// change of colour or style reaches the settings object through
// NotifyChanged, which re-colours the text.
class TSyntaxStyle {
public:
    virtual ~TSyntaxStyle() = default;
    TSyntaxStyle(const TSyntaxStyle&) = delete;
    TSyntaxStyle& operator=(const TSyntaxStyle&) = delete;

    const std::string& Caption() const noexcept { return caption_; }
    bool CustomColor() const noexcept { return customColor_; }
    void SetCustomColor(bool value) { Store(customColor_, value); }
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor value) { Store(color_, value); }
    bool CustomStyle() const noexcept { return customStyle_; }
    void SetCustomStyle(bool value) { Store(customStyle_, value); }
    TFontStyles Style() const noexcept { return style_; }
    void SetStyle(TFontStyles value) { Store(style_, value); }

    virtual void NotifyChanged() = 0;

    // The font of the styled text, derived from the editor's font.
    const TFont& RunFont() const noexcept { return runFont_; }
    void SetRunFont(const TFont& font) { runFont_ = font; }

protected:
    explicit TSyntaxStyle(TColor color) : color_(color) {}

    // Takes the caption, colour and style of `source`, telling no one.
    void AssignStyle(const TSyntaxStyle& source) {
        caption_ = source.caption_;
        customColor_ = source.customColor_;
        color_ = source.color_;
        customStyle_ = source.customStyle_;
        style_ = source.style_;
    }
    template <typename T> void Store(T& field, T value) {
        if (field == value) return;
        field = std::move(value);
        NotifyChanged();
    }

    std::string caption_;

private:
    bool customColor_ = true;
    TColor color_;
    bool customStyle_ = false;
    TFontStyles style_ = 0;
    TFont runFont_;
};

} // namespace kelvara
