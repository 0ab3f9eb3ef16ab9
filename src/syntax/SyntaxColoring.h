#pragma once

#include <string>
#include <vector>

#include "editor/Containers.h"
#include "editor/EditorHost.h"
#include "syntax/CustomStyle.h"
#include "syntax/SyntaxColors.h"
#include "syntax/WordList.h"

namespace kelvara {

class TSourceEdit;

// The colouring settings of a TSourceEdit: on or off, the look of symbols,
// numbers and parentheses, the word lists and the custom styles. Every change
// re-colours the whole text of the owning editor, once per outermost
// BeginUpdate/EndUpdate bracket.
class TSyntaxColoring : public TOwnedPersistent {
public:
    explicit TSyntaxColoring(TMemoComponent* owner = nullptr);
    ~TSyntaxColoring() override = default;
    TSyntaxColoring(const TSyntaxColoring&) = delete;
    TSyntaxColoring& operator=(const TSyntaxColoring&) = delete;

    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool value) { Store(enabled_, value); }
    TColor SymbolColor() const noexcept { return symbolColor_; }
    void SetSymbolColor(TColor value) { Store(symbolColor_, value); }
    TFontStyles SymbolStyle() const noexcept { return symbolStyle_; }
    void SetSymbolStyle(TFontStyles value) { Store(symbolStyle_, value); }
    bool SymbolCustomStyle() const noexcept { return symbolCustomStyle_; }
    void SetSymbolCustomStyle(bool value) { Store(symbolCustomStyle_, value); }
    TColor NumberColor() const noexcept { return numberColor_; }
    void SetNumberColor(TColor value) { Store(numberColor_, value); }
    TFontStyles NumberStyle() const noexcept { return numberStyle_; }
    void SetNumberStyle(TFontStyles value) { Store(numberStyle_, value); }
    bool NumberCustomStyle() const noexcept { return numberCustomStyle_; }
    void SetNumberCustomStyle(bool value) { Store(numberCustomStyle_, value); }
    TFontStyles ParenthesisStyle() const noexcept { return parenthesisStyle_; }
    void SetParenthesisStyle(TFontStyles value) { Store(parenthesisStyle_, value); }
    bool ParenthesisCustomStyle() const noexcept { return parenthesisCustomStyle_; }
    void SetParenthesisCustomStyle(bool value) { Store(parenthesisCustomStyle_, value); }

    // The code page of the owner's text (without an owner, the default one):
    // word lists and begin texts fold letter case by its characters.
    CodePage GetCodePage() const noexcept;
    // The owner's code page changed: the word lists are sorted again.
    void CodePageChanged();

    TWordLists& WordLists() noexcept { return wordLists_; }
    const TWordLists& WordLists() const noexcept { return wordLists_; }
    void SetWordLists(const TWordLists& value);
    TCustomStyles& CustomStyles() noexcept { return customStyles_; }
    const TCustomStyles& CustomStyles() const noexcept { return customStyles_; }
    void SetCustomStyles(const TCustomStyles& value);
    // One colour number per line ("$00BBGGRR" or decimal), cycled by level.
    const std::vector<std::string>& ParenthesisColors() const noexcept {
        return parenthesisColors_;
    }
    void SetParenthesisColors(const std::vector<std::string>& lines);

    // The colour of a nesting level index (level - 1); the window's text
    // colour when there are no lines, for a negative index, or when the line
    // is not a number.
    TColor GetParenthesisColor(int index) const;

    void Assign(const TSyntaxColoring& source);

    // Fonts of the run kinds, derived from the editor's font by UpdateFonts.
    const TFont& SymbolFont() const noexcept { return symbolFont_; }
    const TFont& NumberFont() const noexcept { return numberFont_; }
    // Coloured for level 1; painting sets each parenthesis's own colour.
    const TFont& ParenthesisFont() const noexcept { return parenthesisFont_; }

    // Rebuilds the derived fonts and re-colours the owner's text, unless
    // locked by BeginUpdate.
    virtual void UpdateFonts();
    virtual void BeginUpdate() { ++updateCount_; }
    virtual void EndUpdate();
    int UpdateCount() const noexcept { return updateCount_; }
    // The scanner's lock, and the destructor's, which never notify.
    void SetUpdateCount(int value) noexcept { updateCount_ = value; }

private:
    template <typename T> void Store(T& field, T value) {
        if (field == value) return;
        field = value;
        UpdateFonts();
    }

    bool enabled_ = true;
    TColor symbolColor_ = clOlive;
    TFontStyles symbolStyle_ = 0;
    bool symbolCustomStyle_ = false;
    TColor numberColor_ = clGreen;
    TFontStyles numberStyle_ = 0;
    bool numberCustomStyle_ = false;
    TWordLists wordLists_{this};
    TCustomStyles customStyles_{this};
    std::vector<std::string> parenthesisColors_{"$000000"};
    TFontStyles parenthesisStyle_ = 0;
    bool parenthesisCustomStyle_ = false;
    int updateCount_ = 0;
    TFont symbolFont_;
    TFont numberFont_;
    TFont parenthesisFont_;
};

} // namespace kelvara
