#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/CodePage.h"
#include "search/MatchOptions.h"

namespace kelvara {

enum class CommandMode { Find, Replace };
enum class OutputFormat { Tree, Grep, Json };
enum class ColorChoice { Auto, Always, Never };

// The parsed arguments of `kelvara find` and `kelvara replace`. Texts are
// still in the locale's encoding.
struct CommandLine {
    CommandMode mode = CommandMode::Find;
    MatchOptions options;
    std::vector<std::string> extensions; // empty: every entry ticked
    std::vector<std::string> globs;      // -g: which entries the folder walks take
    bool ignoreFiles = false;            // the walks honour .gitignore and .ignore files
    std::optional<CodePage> codePage;    // forced for every file; empty: each file's own
    OutputFormat format = OutputFormat::Tree;
    // find: lines shown before and after each hit line (-B, -A, -C), with the
    // hit lines' texts; only with the grep and JSON formats
    bool context = false;
    int before = 0;
    int after = 0;
    unsigned threads = 0; // find: threads that read and match files; 0: one per core
    bool yes = false;
    bool dryRun = false; // replace: write nothing, print the diff of what would change
    bool help = false;
    bool version = false;
    ColorChoice color = ColorChoice::Auto; // paths, line numbers and hits on a terminal
    bool verbose = false;                  // list the entries the walks skipped
    bool nullAfterPath = false;            // a NUL byte ends each path of the results, written raw
    std::string text;
    std::string replacement;
    std::vector<std::string> paths;
};

// Parses the arguments after the program name (the first is "find" or
// "replace"). On a mistake, `error` says what is wrong and nothing is returned.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args,
                                            std::string& error);

} // namespace kelvara
