#include "syntax/SourceEdit.h"

#include <algorithm>
#include <array>
#include <limits>

#include "syntax/Scanner.h"

namespace kelvara {

namespace {

// Keeps the settings locked while a scan runs, so that nothing re-colours
// meanwhile; restores the count on every way out.
class ScanLock {
public:
    explicit ScanLock(TSyntaxColoring& settings) : settings_(settings) {
        settings_.SetUpdateCount(settings_.UpdateCount() + 1);
    }
    ~ScanLock() { settings_.SetUpdateCount(settings_.UpdateCount() - 1); }
    ScanLock(const ScanLock&) = delete;
    ScanLock& operator=(const ScanLock&) = delete;

private:
    TSyntaxColoring& settings_;
};

int HandOn(const SyntaxRun& run) {
    return run.Kind() == SyntaxKind::ClosingParen ? run.Level - 1 : run.Level;
}

} // namespace

TSourceEdit::TSourceEdit(EditorHost* host)
    : TMemoComponent(host), syntax_(std::make_unique<TSyntaxColoring>(this)) {}

TSourceEdit::~TSourceEdit() {
    syntax_->SetUpdateCount(100); // nothing is rebuilt while the editor goes
    syntax_.reset();
}

void TSourceEdit::SetSplitOnFly(bool value) {
    if (value == splitOnFly_) return;
    splitOnFly_ = value;
    RescanAll();
}

// Words, begin texts, the regular expression and every run follow the new
// code page of the text.
void TSourceEdit::CodePageChanged() {
    syntax_->CodePageChanged();
    if (regex_) regexMatcher_ = std::make_unique<RegexMatcher>(*regex_, GetCodePage());
    RescanAll();
}

void TSourceEdit::MeasureFont() {
    TMemoComponent::MeasureFont();
    syntax_->UpdateFonts();
}

void TSourceEdit::ClearSyntaxRanges() {
    runs_.Clear();
    relevelStart_ = -1;
    pendingFrom_ = pendingStop_ = 0;
    guessFrom_ = guessTo_ = 0;
}

// How far before a change the scan must begin: the begin texts looked for
// at a position, and the end texts compared there, reach this far ahead.
int TSourceEdit::ScanLookback() const {
    std::size_t longest = TCustomStyles::kBeginWindow;
    const TCustomStyles& styles = syntax_->CustomStyles();
    for (int i = 0; i < styles.Count(); ++i)
        longest = std::max(longest, styles.Items(i).EndText().size());
    return static_cast<int>(longest) + 1;
}

// The scan may stop only where the bytes it looks back at are behind the
// change: two before a position (the scanner checks the GBK lead bytes before
// those itself), and the escape characters counted before an end text, which
// reach back over any number of escape characters (and "??/" for a backslash).
int TSourceEdit::StopAfter(int changeEnd) const {
    std::array<bool, 256> escapes{};
    const TCustomStyles& styles = syntax_->CustomStyles();
    for (int i = 0; i < styles.Count(); ++i) {
        const std::string& escape = styles.Items(i).IgnoreChar();
        if (escape.empty()) continue;
        escapes[static_cast<unsigned char>(escape[0])] = true;
        if (escape[0] == '\\') escapes['?'] = escapes['/'] = true;
    }
    int e = changeEnd + 1;
    while (e <= TextLength() && escapes[static_cast<unsigned char>(CharAt(e))])
        ++e;
    return std::max(changeEnd + 4, e + 1);
}

void TSourceEdit::ScanRange(TCustomRange& range) {
    if (syntax_->UpdateCount() > 0) return;
    if (!syntax_->Enabled() || TextLength() == 0) {
        ClearSyntaxRanges();
        return;
    }
    int first = runs_.IndexAt(range.RStart() - ScanLookback());
    while (first > 0 && !runs_.Get(first).Resumable())
        --first;
    const int from = first >= 0 ? runs_.Start(first) : 1;
    const int stopAfter = StopAfter(range.REnd());
    guessFrom_ = guessTo_ = 0; // the rows guessed ahead may hold the change
    range.SetRStart(from);
    if (pendingFrom_ > 0 && from >= pendingFrom_) { // the pending scan gets there
        // Until it does, the text keeps its colour; an edit at the start may
        // have taken the runs that gave it one.
        if (runs_.Empty() || runs_.Start(0) > 1)
            runs_.Splice(0, 0, {SyntaxRun::Make(1, SyntaxKind::NormalText, 0, false)});
        pendingStop_ = std::max(pendingStop_, stopAfter);
        range.SetREnd(from - 1);
        return ContinueLater();
    }
    // Before the pending scan, runs agreeing with the old ones leave it as it
    // was; reaching it, this scan goes on as the pending one.
    int limit = scanStep_ > 0 ? from + scanStep_ : std::numeric_limits<int>::max();
    if (pendingFrom_ > 0) limit = std::min(limit, pendingFrom_);
    bool atLimit = false;
    const int stop = ScanStretch(from, stopAfter, limit, false, atLimit);
    range.SetREnd(stop - 1);
    if (atLimit) {
        // Stopped short of an older pending scan: the old runs up to it may
        // now be wrong, and agree with the new ones only from it on.
        const int older = pendingFrom_ > stop ? pendingFrom_ : 0;
        pendingStop_ = std::max({pendingStop_, stopAfter, older});
        pendingFrom_ = stop;
        ScanViewFirst();
        ContinueLater();
    } else if (stop > TextLength()) {
        pendingFrom_ = pendingStop_ = 0;
    }
}

int TSourceEdit::ScanStretch(int from, int stopAfter, int limit, bool guess, bool& atLimit) {
    ScanLock lock(*syntax_);
    const int first = runs_.FirstAtOrAfter(from);
    const int level = first > 0 ? HandOn(runs_.Get(first - 1)) : 0;
    const syntax::ScanText text(TextPieces(), GetCodePage());
    syntax::Scanner scanner(*syntax_, splitOnFly_, text);
    scanner.SetLimit(limit);
    if (runs_.Empty() && limit > TextLength()) { // a full scan: into the old runs' room
        std::vector<SyntaxRun> room = runs_.Release();
        if (room.capacity() > fresh_.capacity()) fresh_ = std::move(room);
        if (fresh_.capacity() == 0) fresh_.reserve(TextLength() / 2 + 16);
    }
    fresh_.clear();
    int last = 0;
    const int stop = scanner.Scan(from, level, stopAfter, runs_, first, fresh_, last);
    atLimit = scanner.StoppedAtLimit();
    constexpr unsigned kPlaces = SyntaxRun::kResumableBit | SyntaxRun::kCutBit;
    if (guess) {
        for (SyntaxRun& run : fresh_)
            run.Bits &= ~kPlaces;
    }
    if (atLimit && (last == runs_.Count() || runs_.Start(last) != stop)) {
        // The text from here keeps the colour it had until the scan gets here.
        SyntaxRun rest = last > 0 ? runs_.Get(last - 1)
                                  : SyntaxRun::Make(stop, SyntaxKind::NormalText, 0, false);
        rest.Start = stop;
        rest.Bits &= ~kPlaces;
        fresh_.push_back(rest);
    }
    freshEnd_ = first + static_cast<int>(fresh_.size());
    if (first == 0 && last == runs_.Count()) {
        runs_.Adopt(std::move(fresh_));
        fresh_ = {};
    } else {
        runs_.Splice(first, last, fresh_);
    }
    relevelStart_ = atLimit || guess ? -1 : first;
    return stop;
}

// Levels follow from the run before: an opening parenthesis one deeper, a
// closing one hands on one less. The scan gave its new runs their levels;
// the old runs after them are walked until one keeps its level, since all
// later ones follow from it. A parenthesis whose level changed is repainted.
void TSourceEdit::Relevel(int freshEnd) {
    if (freshEnd < 0) return;
    const int count = runs_.Count();
    int level = freshEnd > 0 ? HandOn(runs_.Get(freshEnd - 1)) : 0;
    for (int i = freshEnd; i < count; ++i) {
        const SyntaxRun run = runs_.Get(i);
        if (pendingFrom_ > 0 && run.Start >= pendingFrom_) break; // levelled when scanned
        const int newLevel = run.Kind() == SyntaxKind::OpeningParen ? level + 1 : level;
        if (newLevel == run.Level) break;
        runs_.SetLevel(i, newLevel);
        if (run.Kind() >= SyntaxKind::OpeningParen) RepaintRun(i);
        level = run.Kind() == SyntaxKind::ClosingParen ? newLevel - 1 : newLevel;
    }
}

void TSourceEdit::RepaintRun(int index) {
    if (!HasWindowAndParent()) return;
    const int start = runs_.Start(index);
    if (start < View().RStart() || start > View().REnd()) return;
    TMCRange run(this, start, runs_.End(index, TextLength()));
    run.Repaint();
}

void TSourceEdit::TextReplaced(int position, int oldLength, int newLength) {
    runs_.Replace(position, oldLength, newLength);
    if (pendingFrom_ > 0) {
        // Both stay behind the same text; one inside the replaced bytes goes
        // to their start, before which the scan of this change begins anyway.
        const auto moved = [&](int offset) {
            return offset >= position + oldLength ? offset + newLength - oldLength
                                                  : std::min(offset, position);
        };
        pendingFrom_ = moved(pendingFrom_);
        pendingStop_ = moved(pendingStop_);
    }
    relevelStart_ = -1;
    rescanRange_ = std::make_unique<TMCRange>(this, position, position + newLength - 1);
    ScanRange(*rescanRange_);
}

void TSourceEdit::AfterReplace() {
    if (!rescanRange_) return;
    if (relevelStart_ >= 0) Relevel(freshEnd_);
    rescanRange_->Repaint();
    rescanRange_.reset();
}

void TSourceEdit::RescanAll() {
    if (TextLength() <= 0) return;
    Selection().HideEditCaret();
    fresh_ = runs_.Release(); // the runs go, their room is kept for the new ones
    relevelStart_ = -1;
    pendingFrom_ = pendingStop_ = 0;
    TMCRange whole(this, 1, TextLength());
    ScanRange(whole);
    View().Repaint();
    Selection().UpdateCaretPos();
    Selection().UpdateCaretVisibility();
}

TSyntaxRange TSourceEdit::FirstSyntaxRange() const {
    return runs_.Empty() ? TSyntaxRange() : TSyntaxRange(this, 0);
}

TSyntaxRange TSourceEdit::LastSyntaxRange() const {
    return runs_.Empty() ? TSyntaxRange() : TSyntaxRange(this, runs_.Count() - 1);
}

TSyntaxRange TSourceEdit::FindSyntaxRange(int position) const {
    if (runs_.Empty() || position > TextLength()) return {};
    return {this, std::max(runs_.IndexAt(position), 0)};
}

TSyntaxRange TSourceEdit::FindSyntaxRangeFrom(int position, TSyntaxRange hint) const {
    // Rows are painted in order, so the run is usually the hint or right after it.
    if (hint) {
        const int stop = std::min(hint.Index() + 3, runs_.Count());
        for (int i = hint.Index(); i < stop; ++i) {
            if (runs_.Start(i) <= position && runs_.End(i, TextLength()) >= position)
                return {this, i};
        }
    }
    return FindSyntaxRange(position);
}

TSyntaxRange TSourceEdit::FindFirstGap() const {
    if (runs_.Empty() || runs_.Start(0) != 1) return FirstSyntaxRange();
    if (runs_.End(runs_.Count() - 1, TextLength()) != TextLength()) return LastSyntaxRange();
    return {}; // every run ends right before its successor starts
}

TSyntaxRange TSourceEdit::FindFirstOverlap() const {
    for (int i = 0; i + 1 < runs_.Count(); ++i) {
        if (runs_.Start(i + 1) <= runs_.Start(i)) return {this, i};
    }
    return {};
}

void TSourceEdit::GetDebuggableRanges(TDebuggableRanges& ranges) const {
    for (TSyntaxRange run = FirstSyntaxRange(); run; run = run.NextRange())
        ranges.push_back({run.RStart(), run.REnd(), run.GetText(), run.ClassName()});
}

std::string TSourceEdit::CheckInvariants() const {
    std::string fault = TMemoComponent::CheckInvariants();
    if (!fault.empty()) return fault;
    fault = runs_.CheckInvariants(TextLength());
    if (!fault.empty()) return "syntax runs: " + fault;
    const bool scanned = syntax_->Enabled() && syntax_->UpdateCount() == 0 && TextLength() > 0;
    if (scanned && runs_.Empty()) return "syntax runs: the text is not covered";
    if (!syntax_->Enabled() && !runs_.Empty()) return "syntax runs: kept while colouring is off";
    int level = 0;
    for (int i = 0; i < runs_.Count(); ++i) {
        const SyntaxRun run = runs_.Get(i);
        if (pendingFrom_ > 0 && run.Start >= pendingFrom_) break; // not scanned yet
        const int expected = run.Kind() == SyntaxKind::OpeningParen ? level + 1 : level;
        if (run.Level != expected) return "parenthesis level of run " + std::to_string(i);
        level = HandOn(run);
    }
    return {};
}

} // namespace kelvara
