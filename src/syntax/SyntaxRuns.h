#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelvara {

// What a syntax run holds.
enum class SyntaxKind : std::uint8_t {
    NormalText,   // plain text
    CustomText,   // plain text split into pieces only when painted
    WordList,     // a word of a word list (payload: the list's index)
    Symbol,       // a run of symbol characters
    Number,       // a number token
    CustomStyle,  // begin text to end text (payload: the style's index)
    OpeningParen, // "("
    ClosingParen, // ")"
};

// One run as stored: 10 bytes. Its end is the next run's start - 1 (or the
// text's end), so the runs tile the text by construction.
#pragma pack(push, 2)
struct SyntaxRun {
    std::int32_t Start = 1;
    std::int32_t Level = 0; // parenthesis level
    std::uint16_t Bits = 0; // kind (bits 0-2), resumable (3), payload (4-14), cut (15)

    static constexpr int kMaxPayload = 0x7FF;
    static constexpr unsigned kResumableBit = 0x8;
    static constexpr unsigned kCutBit = 0x8000;
    static SyntaxRun Make(int start, SyntaxKind kind, int payload, bool resumable,
                          bool cut = false) {
        return {start, 0,
                static_cast<std::uint16_t>(
                    static_cast<unsigned>(kind) | (resumable ? kResumableBit : 0u) |
                    (static_cast<unsigned>(payload) << 4) | (cut ? kCutBit : 0u))};
    }
    SyntaxKind Kind() const noexcept { return static_cast<SyntaxKind>(Bits & 7); }
    // The scanner may resume here from its initial state: the run begins a
    // run of the scanner itself, not a later piece of a split text run.
    bool Resumable() const noexcept { return (Bits & kResumableBit) != 0; }
    // The scanner cut a long text run here: plain text goes on before it.
    bool Cut() const noexcept { return (Bits & kCutBit) != 0; }
    int Payload() const noexcept { return (Bits >> 4) & kMaxPayload; }
    bool SameKind(const SyntaxRun& other) const noexcept {
        return ((Bits ^ other.Bits) & ~(kResumableBit | kCutBit)) == 0;
    }
};
#pragma pack(pop)

// The syntax runs of a text, ordered by position, in a gap buffer: runs are
// replaced where the text was edited, and the starts of the runs after the
// gap are stored relative to a shift that an edit changes at once, so typing
// in one place costs nothing for the runs far away. Runs are found by binary
// search.
class TSyntaxRuns {
public:
    int Count() const noexcept { return static_cast<int>(buffer_.size()) - (gapEnd_ - gapStart_); }
    bool Empty() const noexcept { return Count() == 0; }

    // The run at a list index, with its real start.
    SyntaxRun Get(int index) const noexcept {
        if (index < gapStart_) return buffer_[index];
        SyntaxRun run = buffer_[index + gapEnd_ - gapStart_];
        run.Start += shift_;
        return run;
    }
    int Start(int index) const noexcept {
        return index < gapStart_ ? buffer_[index].Start
                                 : buffer_[index + gapEnd_ - gapStart_].Start + shift_;
    }
    // The last byte of a run, given the text length.
    int End(int index, int textLength) const noexcept {
        return index + 1 < Count() ? Start(index + 1) - 1 : textLength;
    }
    int Level(int index) const noexcept { return Slot(index).Level; }
    void SetLevel(int index, int level) noexcept { Slot(index).Level = level; }

    // Index of the last run starting at or before `position`, or -1.
    int IndexAt(int position) const noexcept;
    // Index of the first run starting at or after `position` (Count() if none).
    int FirstAtOrAfter(int position) const noexcept { return IndexAt(position - 1) + 1; }

    void Clear();
    // Follows a replacement of `oldLength` bytes at `position` by `newLength`
    // bytes: runs starting inside the replaced bytes are dropped, later runs
    // move.
    void Replace(int position, int oldLength, int newLength);
    // Puts `runs` (ascending, between the neighbours) in place of the runs
    // first..last-1.
    void Splice(int first, int last, const std::vector<SyntaxRun>& runs);
    // Takes over a whole list (the result of a full scan).
    void Adopt(std::vector<SyntaxRun>&& runs);
    // Empties the list and hands over its room.
    std::vector<SyntaxRun> Release();
    // Makes room for `count` runs in all.
    void Reserve(int count) {
        if (count > Count()) EnsureGap(count - Count());
    }

    // Bytes held, spare room included.
    std::size_t MemoryBytes() const noexcept { return buffer_.capacity() * sizeof(SyntaxRun); }

    // Empty when the starts ascend strictly within 1..textLength and the
    // first is 1 (or there are none); else the first fault.
    std::string CheckInvariants(int textLength) const;

private:
    SyntaxRun& Slot(int index) noexcept {
        return buffer_[index < gapStart_ ? index : index + gapEnd_ - gapStart_];
    }
    const SyntaxRun& Slot(int index) const noexcept {
        return buffer_[index < gapStart_ ? index : index + gapEnd_ - gapStart_];
    }
    void MoveGap(int index);
    void EnsureGap(int needed);

    std::vector<SyntaxRun> buffer_; // runs before the gap, the gap, runs after it
    int gapStart_ = 0;
    int gapEnd_ = 0;
    int shift_ = 0; // added to the stored starts of the runs after the gap
};

} // namespace kelvara
