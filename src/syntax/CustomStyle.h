#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/EditorHost.h"
#include "syntax/SyntaxColors.h"
#include "syntax/SyntaxItems.h"

namespace kelvara {

class TCustomStyles;
class TSyntaxColoring;

// Text from a begin text to its end text (a comment, a string), drawn in a
// style of its own. An end text preceded by an odd number of IgnoreChar does
// not close it. A switchable style is scanned character by character and may
// hand over to another style with the same end text.
class TCustomStyle {
public:
    explicit TCustomStyle(TCustomStyles* collection = nullptr) : collection_(collection) {}
    virtual ~TCustomStyle() = default;
    TCustomStyle(const TCustomStyle&) = delete;
    TCustomStyle& operator=(const TCustomStyle&) = delete;

    TCustomStyles* Collection() const noexcept { return collection_; }

    const std::string& Caption() const noexcept { return caption_; }
    virtual void SetCaption(const std::string& value) { caption_ = value; }
    std::string GetDisplayName() const { return caption_.empty() ? "TCustomStyle" : caption_; }
    bool CustomColor() const noexcept { return customColor_; }
    void SetCustomColor(bool value) { Store(customColor_, value); }
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor value) { Store(color_, value); }
    bool CustomStyle() const noexcept { return customStyle_; }
    void SetCustomStyle(bool value) { Store(customStyle_, value); }
    TFontStyles Style() const noexcept { return style_; }
    void SetStyle(TFontStyles value) { Store(style_, value); }
    // The text "#13" is stored as one CR; nothing else is interpreted.
    const std::string& BeginText() const noexcept { return beginText_; }
    void SetBeginText(std::string_view value) { Store(beginText_, Unescaped(value)); }
    const std::string& EndText() const noexcept { return endText_; }
    void SetEndText(std::string_view value) { Store(endText_, Unescaped(value)); }
    // Empty or one byte.
    const std::string& IgnoreChar() const noexcept { return ignoreChar_; }
    void SetIgnoreChar(std::string_view value) {
        Store(ignoreChar_, std::string(value.substr(0, 1)));
    }
    bool Switchable() const noexcept { return switchable_; }
    void SetSwitchable(bool value) { Store(switchable_, value); }
    bool LineStartOnly() const noexcept { return lineStartOnly_; }
    void SetLineStartOnly(bool value) { Store(lineStartOnly_, value); }
    // A plain field: changing it re-colours nothing by itself.
    bool CaseSensitive() const noexcept { return caseSensitive_; }
    void SetCaseSensitive(bool value) noexcept { caseSensitive_ = value; }

    // True when `text` begins with the begin text (letter case folded unless
    // CaseSensitive); an empty begin text begins every text.
    bool BeginsAt(std::string_view text) const;

    void Assign(const TCustomStyle& source);
    virtual void NotifyChanged();

    // The font of the styled text, derived from the editor's font.
    const TFont& RunFont() const noexcept { return runFont_; }
    void SetRunFont(const TFont& font) { runFont_ = font; }

private:
    template <typename T> void Store(T& field, T value) {
        if (field == value) return;
        field = std::move(value);
        NotifyChanged();
    }
    static std::string Unescaped(std::string_view value) {
        return value == "#13" ? std::string("\r") : std::string(value);
    }

    TCustomStyles* collection_;
    std::string caption_;
    bool customColor_ = true;
    TColor color_ = clMaroon;
    bool customStyle_ = false;
    TFontStyles style_ = 0;
    std::string beginText_;
    std::string endText_;
    std::string ignoreChar_;
    bool switchable_ = false;
    bool lineStartOnly_ = false;
    bool caseSensitive_ = false;
    TFont runFont_;
};

// The custom styles of a settings object, searched in order.
class TCustomStyles : public TSyntaxItems<TCustomStyle, TCustomStyles> {
public:
    // Begin texts are matched within this many bytes.
    static constexpr int kBeginWindow = 20;

    explicit TCustomStyles(TSyntaxColoring* owner = nullptr) : TSyntaxItems(owner) {}

    // The first style whose begin text begins `text` (the scanner passes the
    // next kBeginWindow bytes), or null; `index` receives its position.
    const TCustomStyle* FindByBeginText(std::string_view text, int* index = nullptr) const;
};

} // namespace kelvara
