#pragma once

#include <memory>
#include <optional>

#include <QString>

#include "common/Regex.h"
#include "common/RegexReplacement.h"

// A regular expression and its replacement as typed into a window, compiled
// before anything is searched.
namespace kelvara {

struct TypedRegex {
    std::shared_ptr<const RegexPattern> pattern;
    std::shared_ptr<const RegexReplacement> replacement; // null when none was asked for
};

// Shows a pattern's fault in a message box, at its column where it has one.
void TellPatternFault(const PatternError& fault);

// Compiles `pattern`, and parses `replacement` when given. Nullopt after a
// message box that names the fault.
std::optional<TypedRegex> CompileTypedRegex(const QString& pattern, const QString* replacement,
                                            const RegexOptions& options);

} // namespace kelvara
