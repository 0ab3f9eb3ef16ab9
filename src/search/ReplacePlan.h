#pragma once

#include <compare>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "search/BatchRun.h"
#include "search/LineMatcher.h"
#include "search/Stretch.h"

// What a replace changes in one file's text, as stretches of that text (in
// order, apart): every hit, or the hits the user chose. The replace runs, the
// preview and `replace --dry-run` all take their stretches from here and
// write them with the functions of Stretch.h.
namespace kelvara {

// A hit chosen for a replace, by where the find recorded it (Column in the
// prepared line, as in its HitRecord).
struct ChosenHit {
    std::int32_t line = 0;
    std::int32_t column = 0;

    friend auto operator<=>(const ChosenHit&, const ChosenHit&) = default;
};

// The stretches of the chosen hits (in order of line and column). Each is
// looked for again in its line: when a line no longer holds a chosen hit the
// text is not the one the find read, and false is returned. A hit that
// overlaps one taken before it is left. The yield hook is called for every
// 64 lines with a chosen hit.
[[nodiscard]] bool ChosenStretches(std::string_view text, std::span<const ChosenHit> chosen,
                                   LineMatcher& matcher, std::vector<Stretch>& out,
                                   const BatchHooks& hooks = {});

// The stretches of every hit, the lines found as a find finds them (the text
// ends at its first NUL byte): what a replace of the whole text changes.
// The numbers of lines whose search a regular expression's match limit ended
// go to `cutLines`. False when a stop was requested.
bool AllStretches(std::string_view text, LineMatcher& matcher, const BatchHooks& hooks,
                  std::vector<Stretch>& out, std::vector<std::int32_t>& cutLines);

} // namespace kelvara
