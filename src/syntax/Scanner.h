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
class Scanner {
public:
    Scanner(const TSyntaxColoring& settings, bool splitOnFly, const ScanText& text);

    // Scans from `from`, where the parenthesis level handed on is `level`;
    // old runs are those of `runs` from index `firstOld` on, already moved to
    // the current text. The scan may stop at a resumable old run that starts
    // at or after `stopAfter`. New runs, with their levels, go to `fresh`;
    // returns the offset where the scan stopped (Length() + 1 at the end),
    // and `lastOld` receives the index of the first old run kept.
    int Scan(int from, int level, int stopAfter, const TSyntaxRuns& runs, int firstOld,
             std::vector<SyntaxRun>& fresh, int& lastOld);

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
    void Flush();
    void Tokenise(int first, int last);
    void Emit(int start, SyntaxKind kind, int payload) {
        SyntaxRun run = SyntaxRun::Make(start, kind, payload, resumable_);
        run.Level = kind == SyntaxKind::OpeningParen ? level_ + 1 : level_;
        level_ = kind == SyntaxKind::ClosingParen ? run.Level - 1 : run.Level;
        fresh_->push_back(run);
        resumable_ = false;
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
    std::size_t maxWordLength_ = 0;
    std::string token_;

    // Scan state.
    int pos_ = 1;
    int runStart_ = 1;
    int mark_ = 1;
    RunType runType_ = RunType::Text;
    int current_ = -1; // index of the style of the latest style run
    bool resumable_ = true;
    int level_ = 0; // the parenthesis level handed on to the next run
    bool stopped_ = false;
    int stopAfter_ = 0;
    const TSyntaxRuns* old_ = nullptr;
    int oldIndex_ = 0;
    std::vector<SyntaxRun>* fresh_ = nullptr;
};

} // namespace kelvara::syntax
