#pragma once

#include <array>
#include <string>
#include <vector>

#include "syntax/ScanText.h"
#include "syntax/SyntaxColoring.h"
#include "syntax/SyntaxRuns.h"

namespace kelvara::syntax {

// Turns text into syntax runs. The scan starts at a resumable run start (or
// at 1) in the scanner's initial state. Every place where the scanner flushes
// a run and starts a new one of its own leaves it in a state equivalent to
// the initial one, so once it reaches, behind the changed text, such a place
// where an old resumable run starts, the old runs from there on are exactly
// what a scan from scratch would give, and the scan stops.
//
// A text run is cut into pieces of a few KB where nothing can tell the cut
// from a plain continuation (between two characters that are not part of a
// word or number), so that a long stretch of plain text, such as a line of
// Chinese prose, still has places to resume and to stop. Where exactly a cut
// falls depends on where the scanner began; a re-scan that reaches an old cut
// in the middle of its own text run cuts there too, and stops.
class Scanner {
public:
    Scanner(const TSyntaxColoring& settings, bool splitOnFly, const ScanText& text);

    // Scans from `from`, where the parenthesis level handed on is `level`;
    // old runs are those of `runs` from index `firstOld` on, already moved to
    // the current text. The scan may stop at a resumable old run that starts
    // at or after `stopAfter` (the end of the changed text + 4). New runs,
    // with their levels, go to `fresh`; returns the offset where the scan
    // stopped (Length() + 1 at the end), and `lastOld` receives the index of
    // the first old run kept.
    int Scan(int from, int level, int stopAfter, const TSyntaxRuns& runs, int firstOld,
             std::vector<SyntaxRun>& fresh, int& lastOld);
    // Makes the next Scan stop where it begins a run at or after `limit`
    // (before it looks at the old runs there); StoppedAtLimit() then tells.
    void SetLimit(int limit) noexcept { limit_ = limit; }
    bool StoppedAtLimit() const noexcept { return atLimit_; }

    // Plain text runs are cut once this long.
    static constexpr int kCutLength = 4096;

private:
    enum class RunType { Text, Symbol, Parenthesis, Style };

    int FindStyle(int offset) const;
    const TCustomStyle& Style(int index) const { return styles_.Items(index); }
    bool Escaped(int offset, const TCustomStyle& style) const;
    bool ExponentSign() const;
    int EndOfStyle(int offset, const TCustomStyle& style) const;
    // Starts a run of the type unless the pending one simply grows.
    void SwitchRun(RunType type) {
        if (!split_ && type == runType_ && (type == RunType::Text || type == RunType::Symbol))
            return;
        StartRun(type);
    }
    void StartRun(RunType type);
    void BeginRun(RunType type, bool cut = false);
    bool MayStopHere();
    bool NonLeadByteBy(int offset);
    void PlanCut();
    bool TryCut();
    void Flush();
    void Tokenise(int first, int last);
    void Emit(int start, SyntaxKind kind, int payload) {
        SyntaxRun run = SyntaxRun::Make(start, kind, payload, resumable_, cut_);
        run.Level = kind == SyntaxKind::OpeningParen ? level_ + 1 : level_;
        level_ = kind == SyntaxKind::ClosingParen ? run.Level - 1 : run.Level;
        fresh_->push_back(run);
        resumable_ = false;
        cut_ = false;
    }

    const TCustomStyles& styles_;
    const TWordLists& wordLists_;
    const bool split_;
    const ScanText& text_;
    const int length_;
    std::array<bool, 256> mayBegin_{}; // bytes that can start a begin text
    // One-byte characters that only extend a pending text run: no symbol,
    // no parenthesis, nothing a begin text starts with.
    std::array<bool, 256> plain_{};
    // Bytes after which a text run may be cut: blanks, line breaks and the
    // bytes of wide characters, unless a style escapes with them.
    std::array<bool, 256> cutAfter_{};
    std::size_t maxWordLength_ = 0;
    std::string token_;

    // Scan state.
    int pos_ = 1;
    int runStart_ = 1;
    int mark_ = 1;
    RunType runType_ = RunType::Text;
    int current_ = -1; // index of the style of the latest style run
    bool resumable_ = true;
    bool cut_ = false; // the next run emitted begins at a cut
    int level_ = 0;    // the parenthesis level handed on to the next run
    bool stopped_ = false;
    bool atLimit_ = false;
    int stopAfter_ = 0;
    int limit_ = 0x7FFFFFFF;
    int leadWalk_ = 0; // bytes after the change before this are all GBK lead bytes
    int checkAt_ = 0;  // where a text run next tests for a cut
    const TSyntaxRuns* old_ = nullptr;
    int oldIndex_ = 0;
    int nextOld_ = 0; // the next old run a text run may meet as a cut
    std::vector<SyntaxRun>* fresh_ = nullptr;
};

} // namespace kelvara::syntax
