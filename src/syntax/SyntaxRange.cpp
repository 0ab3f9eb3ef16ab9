#include "syntax/SyntaxRange.h"

#include "syntax/SourceEdit.h"

namespace kelvara {

TSyntaxRange::operator bool() const noexcept {
    return editor_ && index_ >= 0 && index_ < editor_->SyntaxRuns().Count();
}

SyntaxKind TSyntaxRange::Kind() const { return editor_->SyntaxRuns().Get(index_).Kind(); }

int TSyntaxRange::RStart() const { return editor_->SyntaxRuns().Start(index_); }

int TSyntaxRange::REnd() const { return editor_->SyntaxRuns().End(index_, editor_->TextLength()); }

std::string TSyntaxRange::GetText() const { return editor_->TextAt(RStart(), RLength()); }

const char* TSyntaxRange::ClassName() const {
    switch (Kind()) {
    case SyntaxKind::NormalText:
        return "TNormalTextRange";
    case SyntaxKind::CustomText:
        return "TCustomTextRange";
    case SyntaxKind::WordList:
        return "TWordListRange";
    case SyntaxKind::Symbol:
        return "TSymbolRange";
    case SyntaxKind::Number:
        return "TNumberRange";
    case SyntaxKind::CustomStyle:
        return "TCustomStyleRange";
    case SyntaxKind::OpeningParen:
    case SyntaxKind::ClosingParen:
        return "TParenthesisRange";
    }
    return "TSyntaxRange";
}

int TSyntaxRange::ParenthesisLevel() const { return editor_->SyntaxRuns().Level(index_); }

int TSyntaxRange::GetLevelAfter() const {
    return ParenthesisLevel() - (Kind() == SyntaxKind::ClosingParen ? 1 : 0);
}

const TWordList* TSyntaxRange::WordList() const {
    if (Kind() != SyntaxKind::WordList) return nullptr;
    const TWordLists& lists = editor_->SyntaxColoring().WordLists();
    const int index = editor_->SyntaxRuns().Get(index_).Payload();
    return index < lists.Count() ? &lists.Items(index) : nullptr;
}

const TCustomStyle* TSyntaxRange::Style() const {
    if (Kind() != SyntaxKind::CustomStyle) return nullptr;
    const TCustomStyles& styles = editor_->SyntaxColoring().CustomStyles();
    const int index = editor_->SyntaxRuns().Get(index_).Payload();
    return index < styles.Count() ? &styles.Items(index) : nullptr;
}

TSyntaxRange TSyntaxRange::NextRange() const {
    return index_ + 1 < editor_->SyntaxRuns().Count() ? TSyntaxRange(editor_, index_ + 1)
                                                      : TSyntaxRange();
}

TSyntaxRange TSyntaxRange::PrevRange() const {
    return index_ > 0 ? TSyntaxRange(editor_, index_ - 1) : TSyntaxRange();
}

bool TSyntaxRange::SameAs(const TSyntaxRange& other) const {
    if (other.REnd() != REnd()) return false;
    const SyntaxRun a = editor_->SyntaxRuns().Get(index_);
    const SyntaxRun b = other.editor_->SyntaxRuns().Get(other.index_);
    if (!a.SameKind(b)) return false;
    if (a.Kind() == SyntaxKind::Symbol || a.Kind() == SyntaxKind::Number)
        return GetText() == other.GetText();
    return true;
}

} // namespace kelvara
