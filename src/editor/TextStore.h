#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace kelvara {

// The editor's text as one byte sequence held in a gap buffer: edits near the
// previous one move only the bytes between the two places, and a contiguous
// view of any span is handed out on demand by moving the gap out of its way.
// Positions here are 0-based byte indexes.
class TextStore {
public:
    std::size_t Length() const noexcept { return buffer_.size() - gapLength_; }

    char At(std::size_t index) const noexcept {
        return buffer_[index < gapStart_ ? index : index + gapLength_];
    }

    // A contiguous view of `length` bytes from `index`; valid until the next
    // call that changes or views the store.
    std::string_view View(std::size_t index, std::size_t length);
    std::string Copy(std::size_t index, std::size_t length) const;
    // The same bytes as they lie, in two pieces (the second empty unless the
    // span crosses the gap): reading them moves nothing.
    std::pair<std::string_view, std::string_view> Pieces(std::size_t index,
                                                         std::size_t length) const;

    // Replaces `length` bytes at `index` by `text`.
    void Replace(std::size_t index, std::size_t length, std::string_view text);
    // Replaces everything, taking over the bytes of `text` without a copy; its
    // spare capacity becomes the gap.
    void Assign(std::string&& text);

    std::size_t Capacity() const noexcept { return buffer_.capacity(); }

private:
    void MoveGap(std::size_t index);
    void EnsureGap(std::size_t needed);

    std::string buffer_; // text before the gap, the gap, text after the gap
    std::size_t gapStart_ = 0;
    std::size_t gapLength_ = 0;
};

} // namespace kelvara
