#include "syntax/SyntaxColoring.h"

#include <charconv>

#include "syntax/SourceEdit.h"

namespace kelvara {

TSyntaxColoring::TSyntaxColoring(TMemoComponent* owner) : TOwnedPersistent(owner) {}

CodePage TSyntaxColoring::GetCodePage() const noexcept {
    return GetOwner() ? GetOwner()->GetCodePage() : TextCodePage();
}

void TSyntaxColoring::CodePageChanged() {
    for (int i = 0; i < wordLists_.Count(); ++i)
        wordLists_.Items(i).SortWords();
}

void TSyntaxColoring::SetWordLists(const TWordLists& value) {
    BeginUpdate();
    wordLists_.Assign(value);
    EndUpdate();
}

void TSyntaxColoring::SetCustomStyles(const TCustomStyles& value) {
    BeginUpdate();
    customStyles_.Assign(value);
    EndUpdate();
}

void TSyntaxColoring::SetParenthesisColors(const std::vector<std::string>& lines) {
    parenthesisColors_ = lines;
    UpdateFonts();
}

TColor TSyntaxColoring::GetParenthesisColor(int index) const {
    if (parenthesisColors_.empty() || index < 0) return clWindowText;
    const std::string& line = parenthesisColors_[index % parenthesisColors_.size()];
    const bool hex = !line.empty() && line[0] == '$';
    const char* first = line.data() + (hex ? 1 : 0);
    const char* last = line.data() + line.size();
    if (first != last && *first == '-') return clWindowText;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (error != std::errc() || end != last || first == last) return clWindowText;
    return value;
}

void TSyntaxColoring::Assign(const TSyntaxColoring& source) {
    if (&source == this) return;
    BeginUpdate();
    enabled_ = source.enabled_;
    symbolColor_ = source.symbolColor_;
    symbolStyle_ = source.symbolStyle_;
    symbolCustomStyle_ = source.symbolCustomStyle_;
    numberColor_ = source.numberColor_;
    numberStyle_ = source.numberStyle_;
    numberCustomStyle_ = source.numberCustomStyle_;
    wordLists_.Assign(source.wordLists_);
    customStyles_.Assign(source.customStyles_);
    parenthesisColors_ = source.parenthesisColors_;
    parenthesisStyle_ = source.parenthesisStyle_;
    parenthesisCustomStyle_ = source.parenthesisCustomStyle_;
    EndUpdate();
}

void TSyntaxColoring::EndUpdate() {
    if (--updateCount_ == 0) UpdateFonts();
}

void TSyntaxColoring::UpdateFonts() {
    if (updateCount_ > 0) return;
    auto* editor = dynamic_cast<TSourceEdit*>(GetOwner());
    if (!editor) return;
    // A flag that is off keeps the editor font's own style.
    auto derive = [&editor](TColor color, bool customColor, TFontStyles style, bool customStyle) {
        TFont font = editor->Font();
        if (customColor) font.Color = color;
        if (customStyle) font.Style = style;
        return font;
    };
    symbolFont_ = derive(symbolColor_, true, symbolStyle_, symbolCustomStyle_);
    numberFont_ = derive(numberColor_, true, numberStyle_, numberCustomStyle_);
    parenthesisFont_ =
        derive(GetParenthesisColor(0), true, parenthesisStyle_, parenthesisCustomStyle_);
    for (int i = 0; i < wordLists_.Count(); ++i) {
        TWordList& list = wordLists_.Items(i);
        list.SetRunFont(derive(list.Color(), list.CustomColor(), list.Style(), list.CustomStyle()));
    }
    for (int i = 0; i < customStyles_.Count(); ++i) {
        TCustomStyle& style = customStyles_.Items(i);
        style.SetRunFont(
            derive(style.Color(), style.CustomColor(), style.Style(), style.CustomStyle()));
    }
    editor->RescanAll();
}

} // namespace kelvara
