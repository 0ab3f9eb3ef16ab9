#pragma once

#include <string>
#include <vector>

#include "syntax/SyntaxRuns.h"

namespace kelvara {

class TSourceEdit;
class TWordList;
class TCustomStyle;

// One syntax run of a TSourceEdit as the list presents it: kind, span,
// parenthesis level and neighbours. A handle, valid until the next edit or
// scan; a default-made handle is "none".
class TSyntaxRange {
public:
    TSyntaxRange() = default;
    TSyntaxRange(const TSourceEdit* editor, int index) : editor_(editor), index_(index) {}

    explicit operator bool() const noexcept;
    bool operator==(const TSyntaxRange&) const = default;
    int Index() const noexcept { return index_; }

    SyntaxKind Kind() const;
    int RStart() const;
    int REnd() const;
    int RLength() const { return REnd() - RStart() + 1; }
    std::string GetText() const;
    // "TNormalTextRange", "TWordListRange", ...
    const char* ClassName() const;

    int ParenthesisLevel() const;
    // The level handed on to the next run: one less after a closing parenthesis.
    int GetLevelAfter() const;
    // The list of a word-list run, the style of a custom-style run; else null.
    const TWordList* WordList() const;
    const TCustomStyle* Style() const;
    // The text of a symbol or number run.
    std::string Symbol() const { return GetText(); }
    std::string Number() const { return GetText(); }

    TSyntaxRange NextRange() const;
    TSyntaxRange PrevRange() const;
    // Same end, same kind and the same list, style, symbol or number.
    bool SameAs(const TSyntaxRange& other) const;

private:
    const TSourceEdit* editor_ = nullptr;
    int index_ = -1;
};

// What GetDebuggableRanges reports of one run.
struct TDebuggableRange {
    int Start = 0;
    int End = 0;
    std::string Text;
    std::string ClassName;
};
using TDebuggableRanges = std::vector<TDebuggableRange>;

} // namespace kelvara
