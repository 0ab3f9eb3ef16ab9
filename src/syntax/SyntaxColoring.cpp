#include "syntax/SyntaxColoring.h"

#include <charconv>

#include "syntax/SourceEdit.h"

namespace kelvara {

namespace {

// The window's text colour, which the host resolves.
constexpr TColor kWindowText = 0xFF000008;

} // namespace

TSyntaxColoring::TSyntaxColoring(TMemoComponent* owner) : TOwnedPersistent(owner) {}

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
    if (parenthesisColors_.empty() || index < 0) return kWindowText;
    const std::string& line = parenthesisColors_[index % parenthesisColors_.size()];
    const bool hex = !line.empty() && line[0] == '$';
    const char* first = line.data() + (hex ? 1 : 0);
    const char* last = line.data() + line.size();
    if (first != last && *first == '-') return kWindowText;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (error != std::errc() || end != last || first == last) return kWindowText;
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
    editor->RescanAll();
}

} // namespace kelvara
