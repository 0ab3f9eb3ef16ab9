#pragma once

#include <atomic>
#include <string>

#include "cli/CommandLine.h"
#include "search/PathFeed.h"

namespace kelvara {

// `kelvara replace --dry-run`: prints the unified diff of what the replace of
// `text` by `replacement` (both in the text code page) would change in the
// files that `paths` hands on (a walk may still be listing them), and a
// summary on standard error; writes nothing. Returns the exit status: 0 when
// something would change, 1 when nothing would, 2 on an error.
int RunDryRun(const CommandLine& line, PathFeed& paths, const std::string& text,
              const std::string& replacement, std::atomic<bool>* stopRequested);

} // namespace kelvara
