#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/EditorHost.h"
#include "syntax/SyntaxColors.h"
#include "syntax/SyntaxItems.h"
#include "syntax/SyntaxStyle.h"

namespace kelvara {

class TCustomStyles;
class TSyntaxColoring;

// Text from a begin text to its end text (a comment, a string), drawn in a
// style of its own. An end text preceded by an odd number of IgnoreChar does
// not close it. A switchable style is scanned character by character and may
// hand over to another style with the same end text.
class TCustomStyle : public TSyntaxStyle {
public:
    explicit TCustomStyle(TCustomStyles* collection = nullptr)
        : TSyntaxStyle(clMaroon), collection_(collection) {}

    TCustomStyles* Collection() const noexcept { return collection_; }

    virtual void SetCaption(const std::string& value) { caption_ = value; }
    std::string GetDisplayName() const { return caption_.empty() ? "TCustomStyle" : caption_; }
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
    void NotifyChanged() override;

private:
    static std::string Unescaped(std::string_view value) {
        return value == "#13" ? std::string("\r") : std::string(value);
    }

    TCustomStyles* collection_;
    std::string beginText_;
    std::string endText_;
    std::string ignoreChar_;
    bool switchable_ = false;
    bool lineStartOnly_ = false;
    bool caseSensitive_ = false;
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
