#include "syntax/Scanner.h"

#include <algorithm>

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
    Flush();
    runStart_ = pos_;
    mark_ = pos_;
    runType_ = type;
    if (pos_ < stopAfter_) return;
    const int count = old_->Count();
    while (oldIndex_ < count && old_->Start(oldIndex_) < pos_)
        ++oldIndex_;
    if (oldIndex_ < count && old_->Start(oldIndex_) == pos_ && old_->Get(oldIndex_).Resumable())
        stopped_ = true;
}

int Scanner::Scan(int from, int level, int stopAfter, const TSyntaxRuns& runs, int firstOld,
                  std::vector<SyntaxRun>& fresh, int& lastOld) {
    pos_ = runStart_ = mark_ = from;
    level_ = level;
    runType_ = RunType::Text;
    current_ = -1;
    stopped_ = false;
    stopAfter_ = stopAfter;
    old_ = &runs;
    oldIndex_ = firstOld;
    fresh_ = &fresh;
    while (pos_ <= length_) {
        if (runType_ == RunType::Text) { // the common case, taken in one loop
            while (pos_ <= length_ && plain_[text_.At(pos_)]) {
                if (!IsWordChar(text_.At(pos_))) mark_ = pos_;
                ++pos_;
            }
            if (pos_ > length_) break;
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
