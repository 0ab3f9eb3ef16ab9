#include <chrono>
#include <limits>

#include "syntax/SourceEdit.h"

namespace kelvara {

namespace {

// A slice ends after the step that passes this time, so that the window
// handles its events about every 20 ms.
constexpr auto kSliceTime = std::chrono::milliseconds(20);
// Rows on screen spanning more than this wait for the pending scan.
constexpr int kMaxGuess = 1 << 20;

} // namespace

bool TSourceEdit::ScanSome(int bytes) {
    if (pendingFrom_ == 0) return false;
    if (syntax_->UpdateCount() > 0) return true; // unlocking re-colours everything
    ScanViewFirst();
    const int from = pendingFrom_;
    bool atLimit = false;
    const int stop = ScanStretch(from, pendingStop_, from + bytes, false, atLimit);
    if (atLimit) {
        pendingFrom_ = stop;
        // Room for the runs still to come, guessed from those so far, so that
        // the list is not copied at every growth.
        runs_.Reserve(
            static_cast<int>(static_cast<long long>(runs_.Count()) * TextLength() / stop * 9 / 8));
    } else {
        pendingFrom_ = pendingStop_ = 0;
        Relevel(freshEnd_);
    }
    if (guessTo_ < stop) guessFrom_ = guessTo_ = 0;
    TMCRange(this, from, stop - 1).Repaint();
    return atLimit;
}

// The timer runs while a scan is pending: each tick is one slice.
void TSourceEdit::ScanSlice() {
    const auto end = std::chrono::steady_clock::now() + kSliceTime;
    while (ScanSome(scanStep_)) {
        if (std::chrono::steady_clock::now() >= end) return;
    }
    if (Host()) Host()->StopTimer(kScanTimer);
}

// The rows on screen beyond the pending scan are coloured ahead of it, from
// the top row on as if nothing before it mattered; the scan puts them right
// when it gets there (a style that began above them, say), and stops in them
// at no old run, since they are a guess.
void TSourceEdit::ScanViewFirst() {
    if (pendingFrom_ == 0 || !HasWindow() || VisibleRows() <= 0) return;
    const int from = View().RStart();
    const int to = View().REnd();
    if (from <= pendingFrom_ || to - from > kMaxGuess) return;
    if (from >= guessFrom_ && to <= guessTo_) return;
    bool atLimit = false;
    const int stop = ScanStretch(from, std::numeric_limits<int>::max(), to + 1, true, atLimit);
    guessFrom_ = from;
    guessTo_ = stop - 1;
    TMCRange(this, from, stop - 1).Repaint();
}

void TSourceEdit::ContinueLater() {
    if (pendingFrom_ > 0 && Host()) Host()->StartTimer(kScanTimer, 0);
}

void TSourceEdit::WMTimer(int id) {
    if (id == kScanTimer) return ScanSlice();
    TMemoComponent::WMTimer(id);
}

} // namespace kelvara
