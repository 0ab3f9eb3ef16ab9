#include "cli/CommandLine.h"

#include <charconv>
#include <string_view>
#include <system_error>

namespace kelvara {

namespace {

// More threads than any machine has cores only cost memory.
constexpr unsigned kMaxThreads = 1024;

// Walks the arguments; options may come anywhere before "--".
class Parser {
public:
    Parser(const std::vector<std::string>& args, std::string& error) : args_(args), error_(error) {}

    std::optional<CommandLine> Parse() {
        if (args_.empty() || (args_[0] != "find" && args_[0] != "replace")) {
            return Fail("the first argument must be find or replace");
        }
        line_.mode = args_[0] == "find" ? CommandMode::Find : CommandMode::Replace;
        std::vector<std::string> positional;
        bool optionsEnded = false;
        for (index_ = 1; index_ < args_.size(); ++index_) {
            const std::string& arg = args_[index_];
            if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
                positional.push_back(arg);
            } else if (arg == "--") {
                optionsEnded = true;
            } else if (!(arg[1] == '-' ? LongOption(arg.substr(2)) : ShortOptions(arg))) {
                return std::nullopt;
            }
        }
        if (line_.help) return line_;
        if (!CheckFormat()) return std::nullopt;
        if (line_.dryRun && line_.mode != CommandMode::Replace)
            return Fail("option --dry-run belongs to replace");
        return TakePositional(positional);
    }

private:
    std::optional<CommandLine> Fail(std::string message) {
        error_ = std::move(message);
        return std::nullopt;
    }

    // Lines around hits and JSON are listings of a find's hits.
    bool CheckFormat() {
        if (line_.context && line_.format == OutputFormat::Tree) {
            error_ = "-A, -B and -C need --format grep or json";
            return false;
        }
        if (line_.mode == CommandMode::Replace &&
            (line_.context || line_.format == OutputFormat::Json)) {
            error_ = "-A, -B, -C and --format json are for find";
            return false;
        }
        return true;
    }

    std::optional<CommandLine> TakePositional(std::vector<std::string>& positional) {
        const std::size_t texts = line_.mode == CommandMode::Find ? 1 : 2;
        if (positional.size() <= texts) {
            return Fail(texts == 1 ? "expected TEXT and at least one PATH"
                                   : "expected TEXT, REPLACEMENT and at least one PATH");
        }
        line_.text = positional[0];
        if (texts == 2) line_.replacement = positional[1];
        line_.paths.assign(positional.begin() + static_cast<std::ptrdiff_t>(texts),
                           positional.end());
        if (line_.text.empty()) return Fail("the search text is empty");
        if (texts == 2 && line_.replacement.empty()) return Fail("the replacement text is empty");
        return line_;
    }

    // The value of an option: after "=" or in the next argument.
    bool Value(std::string_view name, std::optional<std::string_view> inline_, std::string& out) {
        if (inline_) {
            out = *inline_;
            return true;
        }
        if (index_ + 1 >= args_.size()) {
            error_ = "option " + std::string(name) + " needs a value";
            return false;
        }
        out = args_[++index_];
        return true;
    }

    bool Flag(char letter) {
        switch (letter) {
        case 'c':
            line_.options.CaseSensitive = true;
            return true;
        case 'w':
            line_.options.WholeWord = true;
            return true;
        case 's':
            line_.options.IgnoreSpaces = true;
            return true;
        case 'y':
            line_.yes = true;
            return true;
        case 'n':
            line_.dryRun = true;
            return true;
        case 'h':
            line_.help = true;
            return true;
        case 'v':
            line_.verbose = true;
            return true;
        case '0':
            line_.nullAfterPath = true;
            return true;
        default:
            error_ = std::string("unknown option -") + letter;
            return false;
        }
    }

    // "-cws", "-e EXT", "-eEXT"; a letter that takes a value ends the group.
    bool ShortOptions(std::string_view arg) {
        for (std::size_t i = 1; i < arg.size(); ++i) {
            const char letter = arg[i];
            if (std::string_view("egABC").find(letter) == std::string_view::npos) {
                if (!Flag(letter)) return false;
                continue;
            }
            std::optional<std::string_view> rest;
            if (i + 1 < arg.size()) rest = arg.substr(i + 1);
            const std::string name = std::string("-") + letter;
            if (letter == 'e') return Extension(name, rest);
            if (letter == 'g') return Glob(name, rest);
            return Context(name, letter, rest);
        }
        return true;
    }

    // -A, -B or -C (both) and the number of lines.
    bool Context(std::string_view name, char which, std::optional<std::string_view> value) {
        std::string text;
        if (!Value(name, value, text)) return false;
        int count = 0;
        const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), count);
        if (failure != std::errc() || end != text.data() + text.size() || count < 0) {
            error_ = "option " + std::string(name) + " needs a number of lines";
            return false;
        }
        line_.context = true;
        if (which != 'B') line_.after = count;
        if (which != 'A') line_.before = count;
        return true;
    }

    bool LongOption(std::string_view body) {
        std::optional<std::string_view> value;
        const std::size_t equals = body.find('=');
        if (equals != std::string_view::npos) {
            value = body.substr(equals + 1);
            body = body.substr(0, equals);
        }
        const std::string name = "--" + std::string(body);
        if (body == "ext") return Extension(name, value);
        if (body == "codepage") return CodePageOption(name, value);
        if (body == "format") return FormatOption(name, value);
        if (body == "threads") return ThreadsOption(name, value);
        if (body == "glob") return Glob(name, value);
        if (body == "after-context") return Context(name, 'A', value);
        if (body == "before-context") return Context(name, 'B', value);
        if (body == "context") return Context(name, 'C', value);
        if (value) {
            error_ = "option " + name + " takes no value";
            return false;
        }
        static constexpr std::pair<std::string_view, char> kFlags[] = {
            {"case", 'c'}, {"word", 'w'},    {"trim", 's'}, {"yes", 'y'},
            {"help", 'h'}, {"verbose", 'v'}, {"null", '0'}, {"dry-run", 'n'}};
        for (const auto& [flagName, letter] : kFlags) {
            if (body == flagName) return Flag(letter);
        }
        if (body == "ignore-files") {
            line_.ignoreFiles = true;
            return true;
        }
        error_ = "unknown option " + name;
        return false;
    }

    // An extension without its dot gets one: every extension starts with it.
    bool Extension(std::string_view name, std::optional<std::string_view> value) {
        std::string extension;
        if (!Value(name, value, extension)) return false;
        if (extension.empty()) {
            error_ = "option " + std::string(name) + " needs a non-empty extension";
            return false;
        }
        if (extension[0] != '.') extension.insert(0, ".");
        line_.extensions.push_back(std::move(extension));
        return true;
    }

    // Checked when the run starts, where a malformed glob is reported.
    bool Glob(std::string_view name, std::optional<std::string_view> value) {
        std::string glob;
        if (!Value(name, value, glob)) return false;
        line_.globs.push_back(std::move(glob));
        return true;
    }

    bool CodePageOption(std::string_view name, std::optional<std::string_view> value) {
        std::string text;
        if (!Value(name, value, text)) return false;
        if (text == "gbk" || text == "GBK" || text == "936") {
            line_.codePage = CodePage::Gbk;
        } else if (text == "utf8" || text == "utf-8" || text == "UTF-8" || text == "65001") {
            line_.codePage = CodePage::Utf8;
        } else {
            error_ = "unknown code page " + text + " (gbk or utf8)";
            return false;
        }
        return true;
    }

    bool FormatOption(std::string_view name, std::optional<std::string_view> value) {
        std::string text;
        if (!Value(name, value, text)) return false;
        if (text == "tree") {
            line_.format = OutputFormat::Tree;
        } else if (text == "grep") {
            line_.format = OutputFormat::Grep;
        } else if (text == "json") {
            line_.format = OutputFormat::Json;
        } else {
            error_ = "unknown format " + text + " (tree, grep or json)";
            return false;
        }
        return true;
    }

    // A whole number from 1 to kMaxThreads.
    bool ThreadsOption(std::string_view name, std::optional<std::string_view> value) {
        std::string text;
        if (!Value(name, value, text)) return false;
        unsigned count = 0;
        const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), count);
        if (failure != std::errc() || end != text.data() + text.size() || count == 0 ||
            count > kMaxThreads) {
            error_ = "option " + std::string(name) + " needs a number of threads from 1 to " +
                     std::to_string(kMaxThreads);
            return false;
        }
        line_.threads = count;
        return true;
    }

    const std::vector<std::string>& args_;
    std::string& error_;
    CommandLine line_;
    std::size_t index_ = 0;
};

} // namespace

std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args,
                                            std::string& error) {
    return Parser(args, error).Parse();
}

const char* CommandLineUsage() noexcept {
    return "usage: kelvara find    [OPTIONS] TEXT PATH...\n"
           "       kelvara replace [OPTIONS] TEXT REPLACEMENT PATH...\n"
           "       kelvara undo    [--list] [RUN]   (kelvara undo --help)\n"
           "  -c, --case           letter case significant\n"
           "  -w, --word           whole words only\n"
           "  -s, --trim           ignore surrounding blanks of TEXT and of each line\n"
           "  -e, --ext EXT        tick only files whose extension is EXT (\".txt\"); repeatable\n"
           "  -g, --glob GLOB      folder walks take only entries matching GLOB (\"*.c\",\n"
           "                       \"src/**\"), or leave out those matching \"!GLOB\" "
           "(\"!vendor/**\");\n"
           "                       relative to the folder named; the last matching GLOB wins;\n"
           "                       repeatable\n"
           "      --ignore-files   folder walks honour .gitignore and .ignore files\n"
           "      --codepage CP    text code page: gbk or utf8\n"
           "      --format FMT     tree (default), grep (path:line:column) or json (JSON lines:\n"
           "                       begin, match, context, end and summary objects)\n"
           "  -A, --after-context N\n"
           "                       find: also show N lines after each hit line (grep, json)\n"
           "  -B, --before-context N\n"
           "                       find: also show N lines before each hit line\n"
           "  -C, --context N      find: N lines before and after; in grep format a hit line\n"
           "                       is path:line:column:text, a line around it\n"
           "                       path-line-text, \"--\" between groups\n"
           "  -0, --null           end each path of the results with a NUL byte, unquoted\n"
           "  -v, --verbose        list the entries the folder walks skipped\n"
           "      --threads N      find: read and match files on N threads (default: one per\n"
           "                       core; 1 keeps to one thread); the output stays the same\n"
           "  -y, --yes            replace without the confirmation question\n"
           "  -n, --dry-run        replace: write nothing; print what would change as a\n"
           "                       unified diff (patch -p0 applies it)\n"
           "Exit status: 0 found or replaced (or would be), 1 nothing, 2 error.\n";
}

} // namespace kelvara
