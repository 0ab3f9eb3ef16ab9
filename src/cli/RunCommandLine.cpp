#include "cli/RunCommandLine.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <optional>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include "cli/CommandLine.h"
#include "cli/DryRunCommand.h"
#include "cli/OutputBuffer.h"
#include "cli/PathQuoting.h"
#include "cli/ProgressLine.h"
#include "cli/ResultPrinter.h"
#include "cli/TerminalAsk.h"
#include "cli/Usage.h"
#include "common/AppPaths.h"
#include "common/CodePageConversion.h"
#include "common/FileAccess.h"
#include "common/IniFile.h"
#include "common/Language.h"
#include "common/LocaleCodePage.h"
#include "common/MessageCatalogue.h"
#include "search/BatchFind.h"
#include "search/BatchReplace.h"
#include "search/Matcher.h"
#include "search/PathFeed.h"
#include "search/RunTexts.h"
#include "search/WalkFilter.h"

namespace kelvara {

namespace {

constexpr int kExitFound = 0;
constexpr int kExitNothing = 1;
constexpr int kExitError = 2;
// A run that Ctrl-C cut short, as a shell reports a command SIGINT ended:
// what it printed is only part of the result, and a script must not take it
// for the whole (a partial diff applied with patch).
constexpr int kExitInterrupted = 128 + SIGINT;

std::atomic<bool> gStopRequested{false};

// The first Ctrl-C stops the run as the stop button would (the results so far
// are printed); a second one ends the program.
void OnInterrupt(int) { gStopRequested.store(true); }

void CatchInterrupt() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "kelvara: %s\n", message.c_str());
    return kExitError;
}

// A text argument as typed, in UTF-8: the run encodes it into each file's
// code page. Bytes that are not valid in the locale's encoding stay as they are.
std::string TypedText(const std::string& argument) {
    std::string text;
    RecodeLenient(argument, LocaleCodePage(), CodePage::Utf8, text);
    return text;
}

// The progress line, and each file's encoding for the report (with -v).
class RunProgress : public ProgressLine {
public:
    void EncodingFound(const std::string& path, const FileEncoding& encoding) override {
        encodings.emplace_back(path, EncodingName(encoding));
    }

    std::vector<std::pair<std::string, std::string_view>> encodings;
};

// Which of the paths named are folders; nullopt (after a message) when one
// of them cannot be looked at.
std::optional<std::vector<bool>> NamedFolders(const CommandLine& line) {
    std::vector<bool> folders;
    for (const std::string& path : line.paths) {
        struct stat info {};
        if (!StatPath(path, info)) {
            Fail(QuotedPath(path) + ": " + std::strerror(errno));
            return std::nullopt;
        }
        folders.push_back(S_ISDIR(info.st_mode));
    }
    return folders;
}

// The walks' filter of the -g globs and --ignore-files; false (after a
// message) when a glob cannot be used.
bool MakeWalkFilter(const CommandLine& line, WalkFilter& filter) {
    std::string error;
    for (const std::string& glob : line.globs) {
        if (!filter.AddGlob(glob, error)) {
            Fail(error);
            return false;
        }
    }
    filter.SetIgnoreFiles(line.ignoreFiles);
    return true;
}

bool Ticked(const CommandLine& line, const std::string& path) {
    return line.extensions.empty() || FileSet::HasExtensionIn(path, line.extensions);
}

// Each path in order: a folder with everything below it, a file (or a link
// named directly, wherever it leads) as it is; the files the extensions pick
// are ticked. `feed`, when given, gets each ticked file as soon as it is added.
void GatherFiles(const CommandLine& line, const std::vector<bool>& folders, FileSet& files,
                 PathFeed* feed) {
    // The set's entries stay in place as it grows, so the feed takes them.
    const auto handOn = [&] {
        const std::string& path = files.Entry(files.Count() - 1).path;
        if (feed != nullptr && Ticked(line, path)) feed->Add(path);
    };
    if (feed != nullptr) files.SetFileAddedHandler([&](int) { handOn(); });
    for (std::size_t i = 0; i < line.paths.size(); ++i) {
        if (folders[i])
            files.AddDirectoryFiles(line.paths[i]);
        else if (files.Add(line.paths[i]))
            handOn();
    }
    files.SetFileAddedHandler({});
    if (line.extensions.empty())
        files.TickAll();
    else
        files.ApplyExtensionFilter(line.extensions);
}

// Hands the ticked files of the named paths to `run` through a feed: a run
// on several threads reads the first files while the folders are still being
// walked on a thread of their own; for a run on one thread they are walked
// first. False when the walk ran out of memory: the run then missed files.
bool RunOverWalk(const CommandLine& line, const std::vector<bool>& folders, FileSet& files,
                 const std::function<void(PathFeed&)>& run) {
    PathFeed feed;
    files.SetWalkStop(feed.Cancelled());
    bool walked = true;
    const auto walk = [&] {
        try {
            GatherFiles(line, folders, files, &feed);
        } catch (const std::bad_alloc&) {
            walked = false;
        }
        feed.Close();
    };
    if (line.threads == 1) {
        walk();
        run(feed);
    } else {
        std::thread walker(walk);
        run(feed);
        walker.join();
    }
    files.SetWalkStop(nullptr);
    return walked;
}

// One line on standard error, in the locale's encoding.
void PrintLine(const std::string& utf8) {
    const std::string text = TextToLocale(TextFromUtf8(utf8)) + "\n";
    std::fputs(text.c_str(), stderr);
}

// One path a line on standard error, quoted when it holds a control byte.
void PrintPath(const std::string& path, const std::string& utf8Note = {}) {
    std::string text = QuotedPath(path);
    if (!utf8Note.empty()) text += ": " + TextToLocale(TextFromUtf8(utf8Note));
    std::fprintf(stderr, "%s\n", text.c_str());
}

void PrintSummary(const CommandLine& line, const BatchResult& result, const ResultTree& tree,
                  std::size_t skipped, double seconds) {
    const std::size_t hits = tree.NodeCount() - tree.FileNodeCount();
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%.2f", seconds);
    std::string tail = FormatMessage(Translate("kelvara::RunCommandLine", "，跳过 %1 个"),
                                     {std::to_string(skipped)});
    if (skipped > 0 && !line.verbose) tail += Translate("kelvara::RunCommandLine", "（-v 列出）");
    tail += FormatMessage(Translate("kelvara::RunCommandLine", "，用时 %1 秒"), {numbers});
    const std::string read = FormatMessage(Translate("kelvara::RunCommandLine", "读取文件 %1 个"),
                                           {std::to_string(result.filesRead)});
    if (line.mode == CommandMode::Find) {
        PrintLine(
            read +
            FormatMessage(Translate("kelvara::RunCommandLine", "，有结果的文件 %1 个，找到 %2 处"),
                          {std::to_string(tree.FileNodeCount()), std::to_string(hits)}) +
            tail);
    } else {
        PrintLine(read +
                  FormatMessage(Translate("kelvara::RunCommandLine",
                                          "，改写文件 %1 个，结果 %2 条，含 NUL 字节未改写 %3 个"),
                                {std::to_string(result.filesWritten), std::to_string(hits),
                                 std::to_string(result.nulFiles.size())}) +
                  tail);
    }
}

void PrintFileList(std::string_view utf8Heading, const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    PrintLine(std::string(utf8Heading));
    for (const std::string& path : paths)
        PrintPath(path);
}

void PrintEncodings(const std::vector<std::pair<std::string, std::string_view>>& encodings) {
    if (encodings.empty()) return;
    PrintLine(std::string(Translate("kelvara::RunCommandLine", "各文件的编码：")));
    for (const auto& [path, name] : encodings)
        PrintPath(path, std::string(name));
}

// The end of the run on standard error: the notice or the error, the summary,
// the files that were not rewritten because they hold NUL bytes and those
// left alone because of their encoding, and with -v each file's encoding and
// the entries the folder walks skipped.
void PrintOutcome(const CommandLine& line, const BatchResult& result, const ResultTree& tree,
                  const FileSet& files, const RunProgress& progress, double seconds) {
    if (result.outcome == BatchOutcome::Failed)
        Fail(QuotedPath(result.error->path) + ": " + result.error->reason);
    else if (result.outcome == BatchOutcome::Finished)
        PrintLine(std::string(line.mode == CommandMode::Find
                                  ? Translate("kelvara::BatchNotice", "查找完毕")
                                  : Translate("kelvara::BatchNotice", "替换完毕")));
    PrintSummary(line, result, tree, files.SkippedCount(), seconds);
    PrintFileList(Translate("kelvara::BatchNotice", "以下文件含有 NUL 字节，没有改写："),
                  result.nulFiles);
    PrintFileList(Translate("kelvara::BatchNotice", "以下文件在替换期间被其他程序改动，没有改写："),
                  result.changedFiles);
    if (!result.encodingFiles.empty()) {
        PrintLine(
            std::string(line.mode == CommandMode::Find
                            ? Translate("kelvara::RunCommandLine", "以下文件因编码没有查找：")
                            : Translate("kelvara::RunCommandLine", "以下文件因编码没有改写：")));
        for (const LeftFile& file : result.encodingFiles)
            PrintPath(file.path, file.reason);
    }
    if (!result.cutLines.empty()) {
        PrintLine(std::string(Translate("kelvara::RunCommandLine",
                                        "正则表达式在以下行试得太久，这些行的其余部分没有查找：")));
        for (const CutLine& cut : result.cutLines)
            std::fprintf(stderr, "%s:%d\n", QuotedPath(cut.path).c_str(), cut.line);
    }
    PrintEncodings(progress.encodings);
    if (!line.verbose || files.SkippedCount() == 0) return;
    PrintLine(std::string(Translate("kelvara::RunCommandLine", "以下条目被跳过：")));
    for (const SkippedEntry& entry : files.Skipped())
        PrintPath(entry.path, SkipReasonText(entry));
}

// How the listings that show hit lines cut a hit from its line.
ExportSettings ListingSettings(const CommandLine& line, const std::string& text) {
    ExportSettings settings;
    settings.before = line.before;
    settings.after = line.after;
    settings.ignoreSpaces = line.options.IgnoreSpaces;
    settings.hitLength = SearchTextLength(text, line.options);
    return settings;
}

int ExitStatus(const CommandLine& line, const BatchResult& result, const ResultTree& tree) {
    // A file that could not be searched or replaced (another program changed
    // it, its encoding) is a failure for a script, though the run went on.
    // So is a line whose search a regular expression's match limit ended.
    if (result.outcome == BatchOutcome::Failed || !result.changedFiles.empty() ||
        !result.encodingFiles.empty() || !result.cutLines.empty())
        return kExitError;
    const bool something = line.mode == CommandMode::Find ? tree.NodeCount() > tree.FileNodeCount()
                                                          : result.filesWritten > 0;
    return something ? kExitFound : kExitNothing;
}

int Run(CommandLine line, const TIniFile& settings) {
    // The code page of pure-ASCII files and of the messages.
    SetTextCodePage(CodePageOfSettings(settings));
    line.options.ForcedCodePage = line.codePage;
    const std::string text = TypedText(line.text);
    const std::string replacement = TypedText(line.replacement);
    const bool replacing = line.mode == CommandMode::Replace;
    if (line.options.Regex) {
        if (const auto fault = CheckRegex(text, replacing ? replacement : "", line.options)) {
            return Fail(fault->column > 0
                            ? FormatMessage(Translate("kelvara::RunCommandLine",
                                                      "TEXT 的正则表达式有误，在第 %1 个字符：%2"),
                                            {std::to_string(fault->column), fault->message})
                            : FormatMessage(
                                  Translate("kelvara::RunCommandLine", "TEXT 的正则表达式有误：%1"),
                                  {fault->message}));
        }
    }
    if (replacing && !line.dryRun && !line.yes && isatty(STDIN_FILENO) != 1) {
        return Fail(std::string(Translate("kelvara::RunCommandLine",
                                          "replace 要在终端上确认；不经确认就替换请加 --yes")));
    }
    const std::optional<std::vector<bool>> folders = NamedFolders(line);
    if (!folders) return kExitError;
    WalkFilter walkFilter;
    if (!MakeWalkFilter(line, walkFilter)) return kExitError;

    CatchInterrupt();
    if (replacing && line.dryRun) {
        // The walk takes the globs a replace takes, so that the diff shows
        // the very files the replace would change.
        FileSet files;
        if (!walkFilter.Empty()) files.SetWalkFilter(&walkFilter);
        int status = kExitError;
        if (!RunOverWalk(line, *folders, files, [&](PathFeed& feed) {
                status = RunDryRun(line, feed, text, replacement, &gStopRequested);
            }))
            return Fail(std::string(Translate("kelvara::RunCommandLine", "列出目录时内存不足")));
        return gStopRequested.load() ? kExitInterrupted : status;
    }
    TerminalAsk ask(line.yes);
    RunProgress progress;
    const BatchHooks hooks{&progress, {}, &gStopRequested, line.verbose};
    FileSet files;
    if (!walkFilter.Empty()) files.SetWalkFilter(&walkFilter);
    ResultTree tree;
    OutputBuffer out(STDOUT_FILENO);
    ResultStreamer streamer(tree, line, ListingSettings(line, text), out);
    if (!replacing) tree.SetListener(&streamer);
    BatchResult result;
    std::vector<std::string> findHistory;
    std::vector<std::string> replaceHistory;
    const auto start = std::chrono::steady_clock::now();
    if (!replacing && line.threads != 1) {
        const auto find = [&](PathFeed& feed) {
            result = RunBatchFind(text, findHistory, feed, line.options, tree, hooks, line.threads);
        };
        if (!RunOverWalk(line, *folders, files, find))
            return Fail(std::string(Translate("kelvara::RunCommandLine", "列出目录时内存不足")));
    } else {
        GatherFiles(line, *folders, files, nullptr);
        result = replacing ? RunBatchReplace(text, replacement, findHistory, replaceHistory, files,
                                             line.options, tree, hooks)
                           : RunBatchFind(text, findHistory, files, line.options, tree, hooks, 1);
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    progress.Clear();
    // A find that ended on an unreadable file shows, and counts, only the
    // files with hits, as a finished one does.
    if (!replacing && result.outcome == BatchOutcome::Failed) tree.PruneChildlessFileNodes();
    if (replacing) {
        PrintResultTree(tree, line.format, line.nullAfterPath, line.color == ColorChoice::Always,
                        out);
    } else {
        streamer.Finish();
        streamer.Summary(static_cast<std::size_t>(result.filesRead), seconds.count());
    }
    out.Flush();
    for (const FileError& unread : streamer.Unread())
        Fail(FormatMessage(Translate("kelvara::RunCommandLine", "%1: %2（无法显示它的行）"),
                           {QuotedPath(unread.path), unread.reason}));
    PrintOutcome(line, result, tree, files, progress, seconds.count());
    // Results that could not be written are a failure, not an empty search.
    int status = out.Error() != 0
                     ? Fail(FormatMessage(Translate("kelvara::RunCommandLine", "标准输出：%1"),
                                          {std::strerror(out.Error())}))
                     : ExitStatus(line, result, tree);
    if (gStopRequested.load()) status = kExitInterrupted;
    // The process ends here. Its file set and result tree, tens of thousands
    // of paths and hits, are left to the system: giving them back one
    // allocation at a time took about as long as printing them.
    std::fflush(stdout);
    std::_Exit(status);
}

} // namespace

int RunCommandLine(int argc, char** argv) {
    const TIniFile settings(IniFileName());
    UseSettingsLanguage(settings);
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    std::optional<CommandLine> line = ParseCommandLine(args, error);
    const UsageOf usage = args.empty() || args[0] != "replace" ? UsageOf::Find : UsageOf::Replace;
    if (!line) {
        Fail(error);
        std::fputs(TextToLocale(TextFromUtf8(Usage(usage))).c_str(), stderr);
        return kExitError;
    }
    if (line->version || line->help) {
        const std::string text = line->version ? VersionText() : Usage(usage);
        std::fputs(TextToLocale(TextFromUtf8(text)).c_str(), stdout);
        return kExitFound;
    }
    line->color = ResolveColor(line->color, isatty(STDOUT_FILENO) == 1, std::getenv("NO_COLOR"))
                      ? ColorChoice::Always
                      : ColorChoice::Never;
    return Run(*line, settings);
}

bool ResolveColor(ColorChoice choice, bool terminal, const char* noColor) {
    if (choice != ColorChoice::Auto) return choice == ColorChoice::Always;
    return terminal && (noColor == nullptr || *noColor == '\0');
}

void UseSettingsLanguage(const TIniFile& settings) {
    if (const FileStatus error = UseLanguage(ChosenLanguage(settings), TranslationsFolder()))
        Fail(error->Message());
}

int RunProgramOption(std::string_view option) {
    UseSettingsLanguage(TIniFile(IniFileName()));
    if (option == "--version") {
        std::fputs(VersionText().c_str(), stdout);
        return kExitFound;
    }
    const bool help = option == "-h" || option == "--help";
    if (!help) Fail(FormatMessage(Translate("kelvara::CommandLine", "未知的选项 %1"), {option}));
    std::fputs(TextToLocale(TextFromUtf8(Usage(UsageOf::Program))).c_str(), help ? stdout : stderr);
    return help ? kExitFound : kExitError;
}

} // namespace kelvara
