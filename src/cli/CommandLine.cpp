#include "cli/CommandLine.h"

#include <charconv>
#include <string_view>
#include <system_error>

#include "common/MessageCatalogue.h"

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
            return Fail(
                std::string(Translate("kelvara::CommandLine", "第一个参数必须是 find 或 replace")));
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
        if (line_.help || line_.version) return line_;
        if (!CheckFormat()) return std::nullopt;
        if (line_.dryRun && line_.mode != CommandMode::Replace)
            return Fail(
                std::string(Translate("kelvara::CommandLine", "选项 --dry-run 只用于 replace")));
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
            error_ =
                Translate("kelvara::CommandLine", "-A、-B 和 -C 要与 --format grep 或 json 一起用");
            return false;
        }
        if (line_.mode == CommandMode::Replace &&
            (line_.context || line_.format == OutputFormat::Json)) {
            error_ = Translate("kelvara::CommandLine", "-A、-B、-C 和 --format json 只用于 find");
            return false;
        }
        return true;
    }

    std::optional<CommandLine> TakePositional(std::vector<std::string>& positional) {
        const std::size_t texts = line_.mode == CommandMode::Find ? 1 : 2;
        if (positional.size() <= texts) {
            return Fail(std::string(
                texts == 1
                    ? Translate("kelvara::CommandLine", "需要 TEXT 和至少一个 PATH")
                    : Translate("kelvara::CommandLine", "需要 TEXT、REPLACEMENT 和至少一个 PATH")));
        }
        line_.text = positional[0];
        if (texts == 2) line_.replacement = positional[1];
        line_.paths.assign(positional.begin() + static_cast<std::ptrdiff_t>(texts),
                           positional.end());
        if (line_.text.empty())
            return Fail(std::string(Translate("kelvara::CommandLine", "要找的字是空的")));
        if (texts == 2 && line_.replacement.empty())
            return Fail(std::string(Translate("kelvara::CommandLine", "要替换的字是空的")));
        return line_;
    }

    // The value of an option: after "=" or in the next argument.
    bool Value(std::string_view name, std::optional<std::string_view> inline_, std::string& out) {
        if (inline_) {
            out = *inline_;
            return true;
        }
        if (index_ + 1 >= args_.size()) {
            error_ = FormatMessage(Translate("kelvara::CommandLine", "选项 %1 需要一个值"), {name});
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
        case 'E':
            line_.options.Regex = true;
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
            error_ = FormatMessage(Translate("kelvara::CommandLine", "未知的选项 %1"),
                                   {std::string("-") + letter});
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
            error_ =
                FormatMessage(Translate("kelvara::CommandLine", "选项 %1 需要一个行数"), {name});
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
        if (body == "color" || body == "colour") return ColorOption(name, value);
        if (value) {
            error_ = FormatMessage(Translate("kelvara::CommandLine", "选项 %1 不带值"), {name});
            return false;
        }
        static constexpr std::pair<std::string_view, char> kFlags[] = {
            {"case", 'c'},    {"word", 'w'}, {"trim", 's'},    {"yes", 'y'},  {"help", 'h'},
            {"verbose", 'v'}, {"null", '0'}, {"dry-run", 'n'}, {"regex", 'E'}};
        for (const auto& [flagName, letter] : kFlags) {
            if (body == flagName) return Flag(letter);
        }
        if (body == "version") {
            line_.version = true;
            return true;
        }
        if (body == "ignore-files") {
            line_.ignoreFiles = true;
            return true;
        }
        error_ = FormatMessage(Translate("kelvara::CommandLine", "未知的选项 %1"), {name});
        return false;
    }

    // An extension without its dot gets one: every extension starts with it.
    bool Extension(std::string_view name, std::optional<std::string_view> value) {
        std::string extension;
        if (!Value(name, value, extension)) return false;
        if (extension.empty()) {
            error_ = FormatMessage(
                Translate("kelvara::CommandLine", "选项 %1 需要一个非空的扩展名"), {name});
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
        } else if (text == "auto") {
            line_.codePage.reset();
        } else {
            error_ = FormatMessage(
                Translate("kelvara::CommandLine", "未知的代码页 %1（gbk、utf8 或 auto）"), {text});
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
            error_ = FormatMessage(
                Translate("kelvara::CommandLine", "未知的格式 %1（tree、grep 或 json）"), {text});
            return false;
        }
        return true;
    }

    bool ColorOption(std::string_view name, std::optional<std::string_view> value) {
        std::string text;
        if (!Value(name, value, text)) return false;
        if (text == "auto") {
            line_.color = ColorChoice::Auto;
        } else if (text == "always") {
            line_.color = ColorChoice::Always;
        } else if (text == "never") {
            line_.color = ColorChoice::Never;
        } else {
            error_ = FormatMessage(
                Translate("kelvara::CommandLine", "未知的着色方式 %1（auto、always 或 never）"),
                {text});
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
            error_ = FormatMessage(
                Translate("kelvara::CommandLine", "选项 %1 需要 1 到 %2 之间的线程数"),
                {name, std::to_string(kMaxThreads)});
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

} // namespace kelvara
