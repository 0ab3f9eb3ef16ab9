#include "search/LineCursor.h"

#include <algorithm>
#include <cstring>

namespace kelvara {

LineCursor::LineCursor(std::string_view text) noexcept : text_(text) {}

std::size_t LineCursor::NextByte(char byte, std::size_t& known, std::size_t from) const noexcept {
    if (known == std::string_view::npos || known < from) {
        const void* found = std::memchr(text_.data() + from, byte, text_.size() - from);
        known = found ? static_cast<const char*>(found) - text_.data() : text_.size();
    }
    return known;
}

// The first line break in [from, to), or `to` when there is none.
std::size_t LineCursor::BreakAt(std::size_t from, std::size_t to) noexcept {
    if (from >= to) return to;
    return std::min({NextByte('\n', nextLf_, from), NextByte('\r', nextCr_, from), to});
}

std::size_t LineCursor::BreakLength(std::size_t at) const noexcept {
    if (at >= text_.size()) return 0;
    return text_[at] == '\r' && at + 1 < text_.size() && text_[at + 1] == '\n' ? 2 : 1;
}

void LineCursor::MoveTo(std::size_t offset) noexcept {
    if (offset > text_.size()) offset = text_.size();
    if (end_ != std::string_view::npos && offset <= end_) return;
    for (std::size_t at = BreakAt(start_, offset); at < offset; at = BreakAt(start_, offset)) {
        start_ = at + BreakLength(at);
        ++number_;
    }
    end_ = std::string_view::npos;
}

std::string_view LineCursor::Line() noexcept {
    if (end_ == std::string_view::npos) end_ = BreakAt(start_, text_.size());
    return text_.substr(start_, end_ - start_);
}

bool LineCursor::NextLine() noexcept {
    Line();
    if (end_ >= text_.size()) return false;
    start_ = end_ + BreakLength(end_);
    end_ = std::string_view::npos;
    ++number_;
    return start_ < text_.size();
}

} // namespace kelvara
