#include "cli/UndoCommand.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "cli/PathQuoting.h"
#include "common/AppPaths.h"
#include "common/CodePageConversion.h"
#include "common/IniFile.h"
#include "common/LocaleCodePage.h"
#include "common/MessageCatalogue.h"
#include "search/JournalRuns.h"
#include "search/ReplaceUndo.h"

namespace kelvara {

namespace {

constexpr int kExitDone = 0;
constexpr int kExitNothing = 1;
constexpr int kExitError = 2;

constexpr const char* kUsage =
    "usage: kelvara undo [--list] [RUN]\n"
    "  Takes back a batch replace: every file it rewrote that still holds what it\n"
    "  wrote gets its old content back; a file changed since is left and listed.\n"
    "  RUN is a run's name or its number in the list (default: the newest run not\n"
    "  undone yet); runs are undone newest first.\n"
    "  -l, --list   list the runs of the journal, newest first\n"
    "Exit status: 0 every file of the run is as before, 1 nothing to undo, 2 a file\n"
    "was left or the run was refused.\n";

// A UTF-8 text on the terminal, in the locale's encoding.
std::string ForTerminal(std::string_view utf8) {
    std::string text;
    RecodeLenient(utf8, CodePage::Utf8, LocaleCodePage(), text);
    return text;
}

void PrintError(std::string_view utf8) {
    std::fprintf(stderr, "kelvara: %s\n", ForTerminal(utf8).c_str());
}

std::string LocalTime(std::int64_t nanoseconds) {
    const std::time_t seconds = static_cast<std::time_t>(nanoseconds / 1000000000);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    return {text, std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local)};
}

std::string StateOf(const JournalRun& run) {
    if (run.busy) return std::string(Translate("kelvara::Undo", "进行中"));
    std::string state(run.undone  ? Translate("kelvara::Undo", "已撤销")
                      : run.ended ? Translate("kelvara::Undo", "完成")
                                  : Translate("kelvara::Undo", "中断（进程被终止）"));
    if (run.damaged) state += Translate("kelvara::Undo", "，日志已损坏（只信其中完整的记录）");
    return state;
}

int ListRuns(const std::vector<JournalRun>& runs) {
    if (runs.empty()) {
        std::fputs(ForTerminal(Translate("kelvara::Undo", "替换日志里没有批量替换")).c_str(),
                   stdout);
        std::fputs("\n", stdout);
        return kExitNothing;
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const JournalRun& run = runs[i];
        const std::string line = std::to_string(i + 1) + "  " + run.id + "  " +
                                 LocalTime(run.startedNanoseconds) + "  " + run.description.what +
                                 "  \"" + run.description.searchText + "\" → \"" +
                                 run.description.replacement + "\"  " +
                                 FormatMessage(Translate("kelvara::Undo", "%1 个文件"),
                                               {std::to_string(run.files.size())}) +
                                 "  " + StateOf(run) + "\n";
        std::fputs(ForTerminal(line).c_str(), stdout);
    }
    return kExitDone;
}

// The run's name from a name or a number of the list.
std::string RunNamed(const std::vector<JournalRun>& runs, const std::string& name) {
    std::size_t number = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), number);
    if (error == std::errc() && end == name.data() + name.size() && number >= 1 &&
        number <= runs.size())
        return runs[number - 1].id;
    return name;
}

int Undo(const JournalSettings& settings, const std::string& runId) {
    const UndoResult result = UndoReplaceRun(settings, runId);
    if (!result.refused.empty()) {
        PrintError(result.refused);
        return runId.empty() && result.restored.empty() && result.skipped.empty() ? kExitNothing
                                                                                  : kExitError;
    }
    for (const std::string& path : result.restored)
        std::printf("%s\n", QuotedPath(path).c_str());
    std::string summary = FormatMessage(Translate("kelvara::Undo", "撤销完毕：恢复文件 %1 个"),
                                        {std::to_string(result.restored.size())});
    if (result.alreadyOld > 0)
        summary += FormatMessage(Translate("kelvara::Undo", "，%1 个本来就是原样"),
                                 {std::to_string(result.alreadyOld)});
    if (!result.skipped.empty())
        summary += FormatMessage(Translate("kelvara::Undo", "，%1 个没有恢复："),
                                 {std::to_string(result.skipped.size())});
    std::fputs(ForTerminal(summary + "\n").c_str(), stderr);
    for (const UndoSkip& skip : result.skipped)
        std::fprintf(stderr, "%s: %s\n", QuotedPath(skip.path).c_str(),
                     ForTerminal(skip.reason).c_str());
    return result.skipped.empty() ? kExitDone : kExitError;
}

} // namespace

int RunUndoCommand(int argc, char** argv) {
    bool list = false;
    std::string run;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-l" || arg == "--list") {
            list = true;
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return kExitDone;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "kelvara: unknown option %s\n%s", arg.c_str(), kUsage);
            return kExitError;
        } else if (run.empty()) {
            run = arg;
        } else {
            std::fprintf(stderr, "kelvara: undo takes one RUN\n%s", kUsage);
            return kExitError;
        }
    }
    const JournalSettings settings = JournalSettingsOf(TIniFile(IniFileName()));
    const std::vector<JournalRun> runs = ListJournalRuns(settings);
    if (list) return ListRuns(runs);
    return Undo(settings, run.empty() ? run : RunNamed(runs, run));
}

} // namespace kelvara
