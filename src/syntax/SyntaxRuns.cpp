#include "syntax/SyntaxRuns.h"

#include <algorithm>

namespace kelvara {

int TSyntaxRuns::IndexAt(int position) const noexcept {
    int low = 0; // runs before `low` start at or before the position
    int high = Count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (Start(middle) <= position) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low - 1;
}

void TSyntaxRuns::Clear() {
    buffer_.clear();
    buffer_.shrink_to_fit();
    gapStart_ = gapEnd_ = 0;
    shift_ = 0;
}

void TSyntaxRuns::MoveGap(int index) {
    if (index < gapStart_) {
        // Runs index..gapStart_-1 move behind the gap and become relative.
        const int count = gapStart_ - index;
        for (int k = count - 1; k >= 0; --k) {
            SyntaxRun run = buffer_[index + k];
            run.Start -= shift_;
            buffer_[gapEnd_ - count + k] = run;
        }
        gapStart_ -= count;
        gapEnd_ -= count;
    } else if (index > gapStart_) {
        const int count = index - gapStart_;
        for (int k = 0; k < count; ++k) {
            SyntaxRun run = buffer_[gapEnd_ + k];
            run.Start += shift_;
            buffer_[gapStart_ + k] = run;
        }
        gapStart_ += count;
        gapEnd_ += count;
    }
}

void TSyntaxRuns::EnsureGap(int needed) {
    if (gapEnd_ - gapStart_ >= needed) return;
    const int count = Count();
    const int after = static_cast<int>(buffer_.size()) - gapEnd_;
    const int capacity = std::max({count + needed, count + count / 4, 64});
    std::vector<SyntaxRun> grown(capacity);
    std::copy(buffer_.begin(), buffer_.begin() + gapStart_, grown.begin());
    std::copy(buffer_.end() - after, buffer_.end(), grown.end() - after);
    buffer_.swap(grown);
    gapEnd_ = capacity - after;
}

void TSyntaxRuns::Replace(int position, int oldLength, int newLength) {
    MoveGap(FirstAtOrAfter(position));
    const int end = static_cast<int>(buffer_.size());
    while (gapEnd_ < end && buffer_[gapEnd_].Start + shift_ < position + oldLength)
        ++gapEnd_;
    shift_ += newLength - oldLength;
}

void TSyntaxRuns::Splice(int first, int last, const std::vector<SyntaxRun>& runs) {
    MoveGap(last);
    gapStart_ = first;
    EnsureGap(static_cast<int>(runs.size()));
    std::copy(runs.begin(), runs.end(), buffer_.begin() + gapStart_);
    gapStart_ += static_cast<int>(runs.size());
}

void TSyntaxRuns::Adopt(std::vector<SyntaxRun>&& runs) {
    buffer_ = std::move(runs);
    // Room left by the first estimate goes; later full scans reuse the rest.
    if (buffer_.capacity() > buffer_.size() + buffer_.size() / 8 + 64) buffer_.shrink_to_fit();
    gapStart_ = gapEnd_ = static_cast<int>(buffer_.size());
    shift_ = 0;
}

std::vector<SyntaxRun> TSyntaxRuns::Release() {
    std::vector<SyntaxRun> room = std::move(buffer_);
    room.clear();
    buffer_ = {};
    gapStart_ = gapEnd_ = 0;
    shift_ = 0;
    return room;
}

std::string TSyntaxRuns::CheckInvariants(int textLength) const {
    const int count = Count();
    if (count == 0) return {};
    if (Start(0) != 1) return "the first run starts at " + std::to_string(Start(0));
    for (int i = 1; i < count; ++i) {
        if (Start(i) <= Start(i - 1)) return "run " + std::to_string(i) + " starts too early";
    }
    if (Start(count - 1) > textLength) return "the last run starts past the text";
    return {};
}

} // namespace kelvara
