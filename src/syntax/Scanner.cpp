#include "syntax/Scanner.h"

#include <algorithm>
#include <limits>

#include "common/AnsiString.h"
#include "syntax/CharClasses.h"

namespace kelvara::syntax {

namespace {

constexpr int kSplitLength = 128; // with SplitOnFly, text runs are cut once this long

} // namespace

Scanner::Scanner(const TSyntaxColoring& settings, bool splitOnFly, const ScanText& text)
    : styles_(settings.CustomStyles()), wordLists_(settings.WordLists()), split_(splitOnFly),
      text_(text), length_(text.Length()) {
    const int styles = std::min(styles_.Count(), SyntaxRun::kMaxPayload + 1);
    for (int i = 0; i < styles; ++i) {
        const TCustomStyle& style = Style(i);
        const std::string& begin = style.BeginText();
        if (begin.size() > TCustomStyles::kBeginWindow) continue;
        if (begin.empty()) {
            mayBegin_.fill(true);
            break;
        }
        mayBegin_[static_cast<unsigned char>(begin[0])] = true;
        if (!style.CaseSensitive()) {
            mayBegin_[static_cast<unsigned char>(LowerByte(begin[0]))] = true;
            mayBegin_[static_cast<unsigned char>(UpperByte(begin[0]))] = true;
        }
    }
    for (int c = 0; c < 0x80; ++c)
        plain_[c] = !IsSymbolChar(static_cast<unsigned char>(c)) && !mayBegin_[c];
    for (int c = 0; c < 256; ++c)
        cutAfter_[c] = c >= 0x80 || c == ' ' || c == '\t' || c == '\r' || c == '\n';
    for (int i = 0; i < styles_.Count(); ++i) {
        const std::string& escape = Style(i).IgnoreChar();
        if (!escape.empty()) cutAfter_[static_cast<unsigned char>(escape[0])] = false;
    }
    for (int i = 0; i < std::min(wordLists_.Count(), SyntaxRun::kMaxPayload + 1); ++i)
        maxWordLength_ = std::max(maxWordLength_, wordLists_.Items(i).MaxWordLength());
}

int Scanner::FindStyle(int offset) const {
    char window[TCustomStyles::kBeginWindow];
    const int n = text_.Copy(offset, TCustomStyles::kBeginWindow, window);
    int index = -1;
    if (!styles_.FindByBeginText(std::string_view(window, n), &index) ||
        index > SyntaxRun::kMaxPayload) {
        return -1;
    }
    return index;
}

// An end text at `offset` is escaped by an odd number of escape characters
// right before it; with "\" as escape, "??/" counts as one.
bool Scanner::Escaped(int offset, const TCustomStyle& style) const {
    const std::string& ignore = style.IgnoreChar();
    if (ignore.empty()) return false;
    const auto escape = static_cast<unsigned char>(ignore[0]);
    int count = 0;
    int q = offset - 1;
    while (q >= 1) {
        if (text_.At(q) == escape && text_.SingleUnitAt(q)) {
            ++count;
            --q;
        } else if (escape == '\\' && q >= 3 && text_.Matches(q - 2, "?\?/")) {
            ++count;
            q -= 3;
        } else {
            break;
        }
    }
    return count % 2 == 1;
}

// A "+" or "-" after a digit and an exponent letter stays in its number.
bool Scanner::ExponentSign() const {
    if (pos_ < 3) return false;
    const unsigned char before = text_.At(pos_ - 2);
    const unsigned char letter = text_.At(pos_ - 1);
    return IsNumberStart(before) &&
           (letter == 'E' || letter == 'P' || letter == 'e' || letter == 'p') &&
           text_.SingleUnitAt(pos_ - 1) && text_.SingleUnitAt(pos_ - 2);
}

// One past the last byte of a non-switchable style that begins at `offset`:
// through its first end text that is not escaped (with the LF of a CR end),
// or to the end of the text.
int Scanner::EndOfStyle(int offset, const TCustomStyle& style) const {
    const std::string& end = style.EndText();
    if (end.empty()) return length_ + 1;
    const auto first = static_cast<unsigned char>(end[0]);
    int q = offset + static_cast<int>(style.BeginText().size());
    while (q <= length_) {
        if (text_.At(q) == first && text_.Matches(q, end)) {
            if (!Escaped(q, style)) {
                int last = q + static_cast<int>(end.size()) - 1;
                if (end == "\r") ++last;
                return std::min(last, length_) + 1;
            }
            q += static_cast<int>(end.size());
            continue;
        }
        q += text_.UnitLength(q);
    }
    return length_ + 1;
}

void Scanner::Tokenise(int first, int last) {
    int normalStart = first;
    int tokenStart = 0;
    for (int i = first;;) {
        if (i <= last && IsTokenChar(text_.At(i))) {
            if (tokenStart == 0) tokenStart = i;
            ++i;
            continue;
        }
        if (tokenStart != 0) {
            const int tokenLength = i - tokenStart;
            token_.resize(tokenLength);
            text_.Copy(tokenStart, tokenLength, token_.data());
            SyntaxKind kind = SyntaxKind::NormalText;
            int list = -1;
            if (IsNumberToken(token_)) {
                kind = SyntaxKind::Number;
            } else if (static_cast<std::size_t>(tokenLength) <= maxWordLength_ &&
                       wordLists_.FindWordList(token_, &list) && list <= SyntaxRun::kMaxPayload) {
                kind = SyntaxKind::WordList;
            }
            if (kind != SyntaxKind::NormalText) {
                if (normalStart < tokenStart) Emit(normalStart, SyntaxKind::NormalText, 0);
                Emit(tokenStart, kind, std::max(list, 0));
                normalStart = i;
            }
            tokenStart = 0;
        }
        if (i > last) break;
        i += text_.UnitLength(i);
    }
    if (normalStart <= last) Emit(normalStart, SyntaxKind::NormalText, 0);
}

void Scanner::Flush() {
    if (pos_ <= runStart_) return;
    resumable_ = true;
    switch (runType_) {
    case RunType::Symbol:
        Emit(runStart_, SyntaxKind::Symbol, 0);
        break;
    case RunType::Parenthesis: {
        const unsigned char c = text_.At(runStart_);
        const bool closing = c == ')' || c == ']' || c == '}';
        Emit(runStart_, closing ? SyntaxKind::ClosingParen : SyntaxKind::OpeningParen, 0);
        break;
    }
    case RunType::Style:
        Emit(runStart_, SyntaxKind::CustomStyle, current_);
        break;
    case RunType::Text:
        if (split_) {
            Emit(runStart_, SyntaxKind::CustomText, 0);
        } else {
            Tokenise(runStart_, pos_ - 1);
        }
        break;
    }
}

void Scanner::StartRun(RunType type) {
    if (split_ && type == RunType::Symbol && pos_ - runStart_ <= kSplitLength) type = RunType::Text;
    if (type == runType_ && type != RunType::Parenthesis && type != RunType::Style) return;
    if (split_ && type == RunType::Symbol) type = RunType::Text;
    BeginRun(type);
}

// Ends the pending run and begins one at pos_. The scan stops here when an
// old resumable run begins here behind the change, or at the limit.
void Scanner::BeginRun(RunType type, bool cut) {
    Flush();
    cut_ = cut;
    runStart_ = pos_;
    mark_ = pos_;
    runType_ = type;
    if (type == RunType::Text) PlanCut();
    if (pos_ < stopAfter_ && pos_ < limit_) return;
    if (pos_ > length_) return; // a style ran to the text's end: nothing is left to stop before
    const int count = old_->Count();
    while (oldIndex_ < count && old_->Start(oldIndex_) < pos_)
        ++oldIndex_;
    if (pos_ >= limit_) {
        stopped_ = atLimit_ = true;
    } else if (oldIndex_ < count && old_->Start(oldIndex_) == pos_ &&
               old_->Get(oldIndex_).Resumable() && MayStopHere()) {
        stopped_ = true;
    }
}

// Old runs were made from the text before the change. Behind a lone ASCII
// byte they may hold a decision (is it the trail of a two-byte character?)
// that looked back over GBK lead bytes, and through them into the change.
bool Scanner::MayStopHere() {
    if (text_.GetCodePage() != CodePage::Gbk) return true;
    const unsigned char before = text_.At(pos_ - 1);
    return (before >= 0x81 && before <= 0xFE) || NonLeadByteBy(pos_ - 3);
}

// Whether a byte that is no GBK lead byte lies between the change and `offset`.
bool Scanner::NonLeadByteBy(int offset) {
    for (; leadWalk_ <= offset; ++leadWalk_) {
        const unsigned char c = text_.At(leadWalk_);
        if (c < 0x81 || c > 0xFE) return true;
    }
    return false;
}

// A text run tests for a cut once it is long, and where the next old run
// behind the change begins (an old cut there is a place to stop).
void Scanner::PlanCut() {
    if (split_) {
        checkAt_ = std::numeric_limits<int>::max();
        return;
    }
    checkAt_ = runStart_ + kCutLength;
    if (stopAfter_ >= checkAt_) return; // no stop before the cut is due
    const int from = std::max(pos_ + 1, stopAfter_);
    const int count = old_->Count();
    while (nextOld_ < count && old_->Start(nextOld_) < from)
        ++nextOld_;
    if (nextOld_ < count) checkAt_ = std::min(checkAt_, old_->Start(nextOld_));
}

// Cuts the text run at pos_ when it is long enough or an old cut lies here,
// and nothing could tell the cut from a continuation: no word or number is
// split, no escape or exponent looks back across it, and the mark that tells
// a decimal point from a symbol means the same on both sides.
bool Scanner::TryCut() {
    const int count = old_->Count();
    while (nextOld_ < count && old_->Start(nextOld_) < pos_)
        ++nextOld_;
    const bool oldCut = pos_ >= stopAfter_ && nextOld_ < count && old_->Start(nextOld_) == pos_ &&
                        old_->Get(nextOld_).Cut();
    const bool due = pos_ >= runStart_ + kCutLength;
    if ((due || oldCut) && pos_ > runStart_ && cutAfter_[text_.At(pos_ - 1)] &&
        !IsDigit(text_.At(pos_))) {
        BeginRun(RunType::Text, true);
        return true;
    }
    if (!due) PlanCut();
    return false;
}

int Scanner::Scan(int from, int level, int stopAfter, const TSyntaxRuns& runs, int firstOld,
                  std::vector<SyntaxRun>& fresh, int& lastOld) {
    pos_ = runStart_ = mark_ = from;
    level_ = level;
    runType_ = RunType::Text;
    current_ = -1;
    resumable_ = true;
    cut_ = false;
    stopped_ = atLimit_ = false;
    stopAfter_ = stopAfter;
    leadWalk_ = stopAfter - 3;
    old_ = &runs;
    oldIndex_ = nextOld_ = firstOld;
    fresh_ = &fresh;
    PlanCut();
    while (pos_ <= length_) {
        if (runType_ == RunType::Text) { // the common case, taken in one loop
            const int end = std::min(length_, checkAt_ - 1);
            while (pos_ <= end && plain_[text_.At(pos_)]) {
                if (!IsWordChar(text_.At(pos_))) mark_ = pos_;
                ++pos_;
            }
            if (pos_ > length_) break;
            if (pos_ >= checkAt_ && TryCut() && stopped_) break;
        }
        const unsigned char ch = text_.At(pos_);
        const int unit = text_.UnitLength(pos_);
        int style = mayBegin_[ch] ? FindStyle(pos_) : -1;
        if (style >= 0 && Style(style).LineStartOnly() && pos_ > 1) {
            const unsigned char before = text_.At(pos_ - 1);
            if (before != '\n' && before != '\r') style = -1;
        }
        const bool inSwitchable =
            runType_ == RunType::Style && current_ >= 0 && Style(current_).Switchable();
        if (style >= 0 && runType_ == RunType::Style && current_ >= 0) {
            if (style == current_ ? Style(current_).Switchable()
                                  : Style(style).EndText() != Style(current_).EndText()) {
                style = -1;
            }
        }
        bool inside = inSwitchable && style < 0;
        if (inside && text_.Matches(pos_, Style(current_).EndText()))
            inside = Escaped(pos_, Style(current_));
        if (inside) {
            pos_ += unit;
            continue;
        }
        if (style >= 0) {
            SwitchRun(RunType::Style);
            if (stopped_) break;
            current_ = style;
            if (Style(style).Switchable()) {
                pos_ += unit;
                continue;
            }
            pos_ = EndOfStyle(pos_, Style(style));
            SwitchRun(RunType::Text);
            if (stopped_) break;
            continue;
        }
        if (inSwitchable) { // its end text, not escaped
            const std::string& end = Style(current_).EndText();
            const int n = end == "\r" ? 2 : static_cast<int>(end.size());
            pos_ = std::min(pos_ + n, length_ + 1);
            SwitchRun(RunType::Text);
            if (stopped_) break;
            continue;
        }
        if (IsParenthesis(ch)) {
            SwitchRun(RunType::Parenthesis);
        } else if (ch == '.') {
            const bool numeric = (runType_ == RunType::Text && IsDigit(text_.At(mark_))) ||
                                 (pos_ < length_ && IsDigit(text_.At(pos_ + 1)));
            SwitchRun(numeric ? RunType::Text : RunType::Symbol);
        } else if (ch == '+' || ch == '-') {
            if (!ExponentSign()) SwitchRun(RunType::Symbol);
        } else if (IsSymbolChar(ch)) {
            SwitchRun(RunType::Symbol);
        } else {
            SwitchRun(RunType::Text);
            if (!IsWordChar(ch)) mark_ = pos_;
        }
        if (stopped_) break;
        pos_ += unit;
    }
    if (!stopped_) {
        Flush();
        oldIndex_ = runs.Count();
    }
    lastOld = oldIndex_;
    return stopped_ ? pos_ : length_ + 1;
}

} // namespace kelvara::syntax
