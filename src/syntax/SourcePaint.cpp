#include <algorithm>

#include "syntax/CharClasses.h"
#include "syntax/SourceEdit.h"

namespace kelvara {

// One row segment being turned into drawing runs.
struct TSourceEdit::PaintPass {
    int First;   // the segment's first offset
    int Last;    // its last
    int LastEnd; // the last offset handed out so far
    bool Stop;   // a run reached the segment's end
    TFormattedRangeList& Runs;
};

const TFont& TSourceEdit::RunFont(SyntaxKind kind, int payload, int level) {
    const TSyntaxColoring& settings = *syntax_;
    switch (kind) {
    case SyntaxKind::WordList:
        if (payload < settings.WordLists().Count())
            return settings.WordLists().Items(payload).RunFont();
        break;
    case SyntaxKind::CustomStyle:
        if (payload < settings.CustomStyles().Count())
            return settings.CustomStyles().Items(payload).RunFont();
        break;
    case SyntaxKind::Symbol:
        return settings.SymbolFont();
    case SyntaxKind::Number:
        return settings.NumberFont();
    case SyntaxKind::OpeningParen:
    case SyntaxKind::ClosingParen:
        parenthesisFont_ = settings.ParenthesisFont();
        parenthesisFont_.Color = settings.GetParenthesisColor(level - 1);
        return parenthesisFont_;
    default:
        break;
    }
    return Font();
}

void TSourceEdit::EmitPart(PaintPass& pass, int start, int end, const TFont& font, bool selected) {
    if (end < start) return;
    if (paintPoolUsed_ == paintPool_.size())
        paintPool_.push_back(std::make_unique<TFormattedRange>(this, 1, 0));
    TFormattedRange& part = *paintPool_[paintPoolUsed_++];
    part.SetRStart(start);
    part.SetREnd(end);
    if (selected) {
        highlightFont_ = font;
        highlightFont_.Color = clHighlightText;
        part.SetFont(&highlightFont_);
        part.SetColor(clHighlight);
    } else {
        part.SetFont(&font);
        part.SetColor(Color());
    }
    pass.Runs.Add(part);
}

// The parts of one run inside the segment, the selected part cut out.
void TSourceEdit::EmitRun(PaintPass& pass, int runStart, int runEnd, const TFont& font) {
    int start = std::max({pass.LastEnd + 1, pass.First, runStart});
    const TSelectionRange& selection = Selection();
    if (!selection.Hidden() && selection.RLength() > 0) {
        pass.LastEnd =
            std::min({std::max(selection.RStart() - 1, pass.LastEnd), pass.Last, runEnd});
        EmitPart(pass, start, pass.LastEnd, font, false);
        start = std::max({pass.LastEnd + 1, pass.First, runStart});
        pass.LastEnd = std::min({std::max(selection.REnd(), pass.LastEnd), pass.Last, runEnd});
        EmitPart(pass, start, pass.LastEnd, font, true);
        start = std::max({pass.LastEnd + 1, pass.First, runStart});
    }
    pass.LastEnd = std::min({std::max(runEnd, pass.LastEnd), pass.Last, runEnd});
    EmitPart(pass, start, pass.LastEnd, font, false);
    if (runEnd >= pass.Last) pass.Stop = true;
}

// A text run left whole by the scanner, split like the scanner's tokens,
// with symbol runs cut out as well.
void TSourceEdit::SplitOnPaint(PaintPass& pass, int first, int last) {
    const TWordLists& lists = syntax_->WordLists();
    std::string token;
    int tokenStart = 0;
    int normalStart = first;
    auto piece = [&](int start, int end, SyntaxKind kind, int payload) {
        if (end >= start) EmitRun(pass, start, end, RunFont(kind, payload, 0));
    };
    for (int j = first; !pass.Stop;) {
        const auto c = static_cast<unsigned char>(CharAt(j));
        if (j <= last && syntax::IsTokenChar(c)) {
            const bool numeric = tokenStart != 0 && syntax::IsDigit(CharAt(tokenStart));
            if (!syntax::IsSymbolChar(c) || (c == '.' && numeric)) {
                if (tokenStart == 0) tokenStart = j;
                ++j;
                continue;
            }
        }
        if (tokenStart != 0) {
            token = TextAt(tokenStart, j - tokenStart);
            int list = -1;
            SyntaxKind kind = SyntaxKind::NormalText;
            if (syntax::IsNumberToken(token)) {
                kind = SyntaxKind::Number;
            } else if (lists.FindWordList(token, &list)) {
                kind = SyntaxKind::WordList;
            }
            if (kind != SyntaxKind::NormalText) {
                piece(normalStart, tokenStart - 1, SyntaxKind::NormalText, 0);
                piece(tokenStart, j - 1, kind, std::max(list, 0));
                normalStart = j;
            }
            tokenStart = 0;
        }
        if (j <= last && syntax::IsSymbolChar(c)) {
            piece(normalStart, j - 1, SyntaxKind::NormalText, 0);
            int k = j;
            while (k <= last && syntax::IsSymbolChar(static_cast<unsigned char>(CharAt(k))))
                ++k;
            piece(j, k - 1, SyntaxKind::Symbol, 0);
            normalStart = j = k;
            continue;
        }
        if (j > last) {
            piece(normalStart, last, SyntaxKind::NormalText, 0);
            break;
        }
        j += CharLengthAt(j);
    }
}

void TSourceEdit::GetFormattedRanges(TMCRange& segment, TFormattedRangeList& runs) {
    if (!syntax_->Enabled() || runs_.Empty()) {
        TMemoComponent::GetFormattedRanges(segment, runs);
        return;
    }
    paintPoolUsed_ = 0;
    PaintPass pass{segment.RStart(), segment.REnd(), segment.RStart() - 1, false, runs};
    const TSyntaxRange found = FindSyntaxRangeFrom(pass.First, TSyntaxRange(this, paintCursor_));
    const int count = runs_.Count();
    for (int i = found ? found.Index() : count; i < count && !pass.Stop; ++i) {
        const SyntaxRun run = runs_.Get(i);
        if (run.Start > pass.Last) break;
        paintCursor_ = i;
        const int end = runs_.End(i, TextLength());
        if (run.Kind() == SyntaxKind::CustomText) {
            SplitOnPaint(pass, run.Start, end);
        } else {
            EmitRun(pass, run.Start, end, RunFont(run.Kind(), run.Payload(), run.Level));
        }
    }
}

} // namespace kelvara
