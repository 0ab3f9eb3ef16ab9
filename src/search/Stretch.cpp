#include "search/Stretch.h"

#include <algorithm>

namespace kelvara {

void KeepApart(std::vector<Stretch>& stretches, std::size_t from) {
    std::size_t kept = from;
    std::size_t end = 0;
    for (std::size_t i = from; i < stretches.size(); ++i) {
        if (kept > from && stretches[i].start < end) continue;
        end = stretches[i].End();
        if (kept != i) stretches[kept] = std::move(stretches[i]);
        ++kept;
    }
    stretches.resize(kept);
}

void AppendReplaced(std::string_view text, std::span<const Stretch> stretches,
                    std::string_view replacement, std::string& out) {
    std::size_t copied = 0;
    for (const Stretch& stretch : stretches) {
        out.append(text.substr(copied, stretch.start - copied));
        out.append(stretch.ReplacedBy(replacement));
        copied = stretch.End();
    }
    out.append(text.substr(copied));
}

FileStatus WriteReplaced(std::string_view text, std::span<const Stretch> stretches,
                         std::string_view replacement, const PieceSink& sink) {
    std::size_t copied = 0;
    for (const Stretch& stretch : stretches) {
        if (FileStatus error = sink(text.substr(copied, stretch.start - copied))) return error;
        if (FileStatus error = sink(stretch.ReplacedBy(replacement))) return error;
        copied = stretch.End();
    }
    return sink(text.substr(copied));
}

std::vector<Stretch> NewStretches(std::span<const Stretch> stretches,
                                  std::string_view replacement) {
    std::vector<Stretch> placed;
    placed.reserve(stretches.size());
    // What the replacements so far added; unsigned, a net shrink wraps round
    // and the sums still come out right.
    std::size_t shift = 0;
    for (const Stretch& stretch : stretches) {
        const std::size_t size = stretch.ReplacedBy(replacement).size();
        placed.push_back({stretch.start + shift, size});
        shift += size - stretch.length;
    }
    return placed;
}

} // namespace kelvara
