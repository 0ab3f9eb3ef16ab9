#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/Regex.h"
#include "common/RegexReplacement.h"
#include "editor/MemoComponent.h"
#include "syntax/SyntaxColoring.h"
#include "syntax/SyntaxRange.h"
#include "syntax/SyntaxRuns.h"

namespace kelvara {

// Bits of TSourceEdit::SearchOptions.
enum SearchOption : std::uint8_t {
    soMatchCase = 0x01, // letter case significant
    soSelection = 0x02, // the scope is the selection
    soWholeText = 0x04, // the scope is the whole text
    soFromCaret = 0x08, // start at the caret
    soFromEdge = 0x10,  // start at the edge of the scope
    soBackward = 0x20,  // search backward
    soForward = 0x40,   // search forward
};

// The editor control with syntax colouring: its text is kept divided into
// syntax runs (plain text, custom styles such as comments and strings, listed
// words, symbols, numbers, parentheses with their nesting level) that every
// replacement re-scans from a little before the change until the runs agree
// with the old ones again. Adds typing aids for source text and the search
// state of the current-document find/replace dialog.
class TSourceEdit : public TMemoComponent {
public:
    explicit TSourceEdit(EditorHost* host = nullptr);
    ~TSourceEdit() override;

    TSyntaxColoring& SyntaxColoring() noexcept { return *syntax_; }
    const TSyntaxColoring& SyntaxColoring() const noexcept { return *syntax_; }
    void SetSyntaxColoring(const TSyntaxColoring& value) { syntax_->Assign(value); }
    // Text runs stay whole when scanned and are split when painted.
    bool SplitOnFly() const noexcept { return splitOnFly_; }
    void SetSplitOnFly(bool value);

    // --- Typing aids ---
    bool AutoIndent() const noexcept { return autoIndent_; }
    void SetAutoIndent(bool value) noexcept { autoIndent_ = value; }
    bool AutoIndentIncrease() const noexcept { return autoIndentIncrease_; }
    void SetAutoIndentIncrease(bool value) noexcept { autoIndentIncrease_ = value; }
    char AutoIndentIncreaseStart() const noexcept { return autoIndentIncreaseStart_; }
    void SetAutoIndentIncreaseStart(char value) noexcept { autoIndentIncreaseStart_ = value; }
    char AutoIndentIncreaseEnd() const noexcept { return autoIndentIncreaseEnd_; }
    void SetAutoIndentIncreaseEnd(char value) noexcept { autoIndentIncreaseEnd_ = value; }
    using TMemoComponent::KeyPress;
    // Enter copies the row's leading blanks; the block character opens a
    // block. A consumed key inserts nothing more.
    void KeyPress(std::string_view bytes) override;
    // Tab over several rows indents them, Shift+Tab unindents.
    void KeyDown(Key key, ShiftState shift) override;

    // --- Syntax runs ---
    // Discards every run, scans the whole text and repaints the view.
    virtual void RescanAll();
    // Re-colours from the range's start (moved back to a place where the
    // scanner may resume) until the runs agree with the old ones behind the
    // range; the range ends at the last offset scanned.
    virtual void ScanRange(TCustomRange& range);
    virtual void ClearSyntaxRanges();
    TSyntaxRange FirstSyntaxRange() const;
    TSyntaxRange LastSyntaxRange() const;
    // The first run whose end is at or after the offset, or none.
    virtual TSyntaxRange FindSyntaxRange(int position) const;
    // The same, found from a hint (any run, or none).
    virtual TSyntaxRange FindSyntaxRangeFrom(int position, TSyntaxRange hint) const;
    // The first run whose parenthesis level the last scan asked to recompute.
    TSyntaxRange RelevelStart() const { return {this, relevelStart_}; }
    const TSyntaxRuns& SyntaxRuns() const noexcept { return runs_; }

    // --- Colouring in slices ---
    // With a scan step, a scan does that many bytes at once (and the rows on
    // screen) and leaves the rest pending; the host's scan timer then goes on
    // with it in slices of about 20 ms, so that loading or re-colouring a
    // large text never holds up the window. Runs from the pending offset on
    // are those of an earlier scan, or plain text, until the scan gets there.
    // 0 (the default): every scan goes to its end at once.
    int ScanStep() const noexcept { return scanStep_; }
    void SetScanStep(int bytes) noexcept { scanStep_ = bytes; }
    // Where the pending scan goes on; 0 when every run is right.
    int PendingScanFrom() const noexcept { return pendingFrom_; }
    // Goes on with the pending scan for `bytes` bytes or a little more;
    // true while some of it is left.
    bool ScanSome(int bytes);
    void WMTimer(int id) override;
    static constexpr int kScanTimer = 2;

    // The drawing runs of a row segment: each syntax run in the font of its
    // kind, the selected part in the highlight colours with the run's style;
    // with SplitOnFly, text runs split into words, numbers and symbols here.
    void GetFormattedRanges(TMCRange& segment, TFormattedRangeList& runs) override;
    // Measures the font, then derives the run fonts from it and re-colours.
    void MeasureFont() override;
    // The font of a run of the kind (a parenthesis: of its level).
    const TFont& RunFont(SyntaxKind kind, int payload, int level);

    // Diagnostics: the first run after which the text is not covered, the
    // first run overlapping its successor (none when the runs tile the text),
    // and every run described.
    TSyntaxRange FindFirstGap() const;
    TSyntaxRange FindFirstOverlap() const;
    void GetDebuggableRanges(TDebuggableRanges& ranges) const;
    // The editor's invariants, then: the runs tile the text whenever
    // colouring is on, and every parenthesis level follows from the run
    // before it. Empty when all hold.
    std::string CheckInvariants() const;

    // --- In-document search (offsets 0-based, CR LF counting two) ---
    std::uint8_t SearchOptions() const noexcept { return searchOptions_; }
    int SearchRangeStart() const noexcept { return searchRangeStart_; }
    int SearchRangeEnd() const noexcept { return searchRangeEnd_; }
    int SearchResume() const noexcept { return searchResume_; }
    // Stores the options and computes the range from the selection: the
    // whole text or the selection, cut at the caret when starting there.
    void SetSearchOptions(std::uint8_t value);
    // Selects the next hit in the search direction and scrolls to it; false
    // when there is none (the next search then starts again at the edge).
    bool FindNext(std::string_view text);
    // Replaces the selection when it is the search text, else the next hit;
    // with `all`, every hit from here to the end of the range in one step.
    void ReplaceFound(std::string_view oldText, std::string_view newText, bool all);
    // A regular expression in place of the search text: FindNext and
    // ReplaceFound then look for its matches within rows (no match spans a
    // line break), each replaced by `replacement` expanded for it; their text
    // arguments are not used. A null pattern goes back to the text.
    void SetSearchRegex(std::shared_ptr<const RegexPattern> pattern,
                        std::shared_ptr<const RegexReplacement> replacement = nullptr);
    // The 1-based row where PCRE2's match limit ended the last regular
    // expression search of a row (the rest of that row was not searched);
    // 0 when none did.
    int RegexLimitRow() const noexcept { return regexLimitRow_; }

protected:
    void TextReplaced(int position, int oldLength, int newLength) override;
    void AfterReplace() override;
    void CodePageChanged() override;

private:
    friend class TSyntaxRange;
    struct Hit {
        int Start; // 0-based
        int Length;
    };

    int ScanLookback() const;
    int StopAfter(int changeEnd) const;
    // Scans from `from`, where the scanner may begin afresh, until the runs
    // agree with the old ones at or after `stopAfter`, or it begins a run at
    // or after `limit`; a stretch scanned up to such a limit is marked as a
    // guess, when `guess`, so that no later scan stops in it. Returns where
    // it stopped; `atLimit` tells why.
    int ScanStretch(int from, int stopAfter, int limit, bool guess, bool& atLimit);
    void ScanSlice();
    void ScanViewFirst();
    void ContinueLater();
    void Relevel(int freshEnd);
    void RepaintRun(int index);

    struct PaintPass;
    void EmitRun(PaintPass& pass, int start, int end, const TFont& font);
    void EmitPart(PaintPass& pass, int start, int end, const TFont& font, bool selected);
    void SplitOnPaint(PaintPass& pass, int first, int last);

    void ExpandBlock(int start, const std::string& indent, std::string_view opening);
    std::string IndentBefore(int start, int& rowStart) const;

    // Which hits of a range a search keeps: the first, the last, or all.
    enum class HitsWanted { First, Last, All };
    std::vector<Hit> FindHits(std::string_view pattern, int from, int to, HitsWanted wanted) const;
    // The same for the regular expression; with `expansions`, each hit's
    // replacement too.
    std::vector<Hit> FindRegexHits(int from, int to, HitsWanted wanted,
                                   std::vector<std::string>* expansions = nullptr) const;
    bool SelectionHolds(std::string_view pattern) const;
    int ReplaceAt(int start, int length, std::string_view newText);
    void ReplaceRegexFound(bool all);

    std::unique_ptr<TSyntaxColoring> syntax_;
    bool splitOnFly_ = false;
    TSyntaxRuns runs_;
    std::vector<SyntaxRun> fresh_;
    int relevelStart_ = -1;
    int freshEnd_ = -1;
    int scanStep_ = 0;
    int pendingFrom_ = 0; // runs before it are right; 0: all are
    int pendingStop_ = 0; // the pending scan may stop at agreeing runs from here on
    int guessFrom_ = 0;   // the rows on screen coloured ahead of the pending scan
    int guessTo_ = 0;
    std::unique_ptr<TMCRange> rescanRange_;
    int paintCursor_ = -1;                                    // where the last row's runs ended
    std::vector<std::unique_ptr<TFormattedRange>> paintPool_; // reused drawing runs
    std::size_t paintPoolUsed_ = 0;
    TFont parenthesisFont_;
    TFont highlightFont_;

    bool autoIndent_ = true;
    bool autoIndentIncrease_ = false;
    char autoIndentIncreaseStart_ = '{';
    char autoIndentIncreaseEnd_ = '}';

    std::uint8_t searchOptions_ = 0;
    int searchRangeStart_ = 0;
    int searchRangeEnd_ = 0;
    int searchResume_ = 0;
    std::shared_ptr<const RegexPattern> regex_;
    std::shared_ptr<const RegexReplacement> regexReplacement_;
    mutable std::unique_ptr<RegexMatcher> regexMatcher_;
    mutable int regexLimitRow_ = 0;
};

} // namespace kelvara
