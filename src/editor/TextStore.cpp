#include "editor/TextStore.h"

#include <algorithm>
#include <cstring>

namespace kelvara {

namespace {

// The gap grows with the text so that a run of insertions reallocates rarely,
// but stays small beside it to keep memory close to the text size.
constexpr std::size_t kMinGap = 4096;

std::size_t GapFor(std::size_t textLength) { return std::max(kMinGap, textLength / 16); }

} // namespace

void TextStore::MoveGap(std::size_t index) {
    char* data = buffer_.data();
    if (index < gapStart_) {
        const std::size_t count = gapStart_ - index;
        std::memmove(data + index + gapLength_, data + index, count);
    } else if (index > gapStart_) {
        const std::size_t count = index - gapStart_;
        std::memmove(data + gapStart_, data + gapStart_ + gapLength_, count);
    }
    gapStart_ = index;
}

void TextStore::EnsureGap(std::size_t needed) {
    if (gapLength_ >= needed) return;
    const std::size_t length = Length();
    const std::size_t newGap = needed + GapFor(length + needed);
    const std::size_t after = buffer_.size() - gapStart_ - gapLength_;
    std::string grown(length + newGap, '\0');
    std::memcpy(grown.data(), buffer_.data(), gapStart_);
    std::memcpy(grown.data() + gapStart_ + newGap, buffer_.data() + gapStart_ + gapLength_, after);
    buffer_.swap(grown);
    gapLength_ = newGap;
}

std::string_view TextStore::View(std::size_t index, std::size_t length) {
    if (index < gapStart_ && index + length > gapStart_) {
        // Move the gap to whichever side of the span is closer.
        if (gapStart_ - index < index + length - gapStart_) {
            MoveGap(index);
        } else {
            MoveGap(index + length);
        }
    }
    const std::size_t physical = index < gapStart_ ? index : index + gapLength_;
    return std::string_view(buffer_.data() + physical, length);
}

std::pair<std::string_view, std::string_view> TextStore::Pieces(std::size_t index,
                                                                std::size_t length) const {
    const std::size_t before = index < gapStart_ ? std::min(length, gapStart_ - index) : 0;
    const std::size_t rest = index + before + gapLength_;
    return {std::string_view(buffer_.data() + (before ? index : rest), before ? before : length),
            std::string_view(buffer_.data() + rest, before ? length - before : 0)};
}

std::string TextStore::Copy(std::size_t index, std::size_t length) const {
    std::string result;
    result.resize(length);
    const std::size_t before = index < gapStart_ ? std::min(length, gapStart_ - index) : 0;
    std::memcpy(result.data(), buffer_.data() + index, before);
    const std::size_t rest = index + before + gapLength_;
    std::memcpy(result.data() + before, buffer_.data() + rest, length - before);
    return result;
}

void TextStore::Replace(std::size_t index, std::size_t length, std::string_view text) {
    MoveGap(index);
    gapLength_ += length; // the replaced bytes join the gap
    EnsureGap(text.size());
    std::memcpy(buffer_.data() + gapStart_, text.data(), text.size());
    gapStart_ += text.size();
    gapLength_ -= text.size();
}

void TextStore::Assign(std::string&& text) {
    buffer_ = std::move(text);
    gapStart_ = buffer_.size();
    buffer_.resize(buffer_.capacity()); // the spare capacity becomes the gap
    gapLength_ = buffer_.size() - gapStart_;
}

} // namespace kelvara
