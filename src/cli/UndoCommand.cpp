#include "cli/UndoCommand.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "cli/PathQuoting.h"
#include "cli/RunCommandLine.h"
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

// A UTF-8 text on the terminal, in the locale's encoding.
std::string ForTerminal(std::string_view utf8) {
    std::string text;
    RecodeLenient(utf8, CodePage::Utf8, LocaleCodePage(), text);
    return text;
}

void PrintError(std::string_view utf8) {
    std::fprintf(stderr, "kelvara: %s\n", ForTerminal(utf8).c_str());
}

std::string Usage() {
    return ForTerminal(
        Translate("kelvara::Undo",
                  "用法：kelvara undo [--list] [RUN]\n"
                  "  撤销一次批量替换：它改写过的每个文件，只要还是它写下的内容，就恢复原来的\n"
                  "  内容；之后又被改动的文件保持原样并列出。\n"
                  "  RUN 是一次替换的名字或它在列表中的序号（默认：最新的一次还没有撤销的\n"
                  "  替换）；从最新的开始撤销。\n"
                  "  -l, --list   列出替换日志中的各次替换，最新的在前\n"
                  "退出状态：0 这次替换的每个文件都恢复原样，1 没有可以撤销的，2 有文件没有\n"
                  "恢复，或者这次替换被拒绝。\n"));
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
    const TIniFile settingsFile(IniFileName());
    UseSettingsLanguage(settingsFile);
    bool list = false;
    std::string run;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-l" || arg == "--list") {
            list = true;
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(Usage().c_str(), stdout);
            return kExitDone;
        } else if (arg.size() > 1 && arg[0] == '-') {
            PrintError(FormatMessage(Translate("kelvara::CommandLine", "未知的选项 %1"), {arg}));
            std::fputs(Usage().c_str(), stderr);
            return kExitError;
        } else if (run.empty()) {
            run = arg;
        } else {
            PrintError(Translate("kelvara::Undo", "undo 只接受一个 RUN"));
            std::fputs(Usage().c_str(), stderr);
            return kExitError;
        }
    }
    const JournalSettings settings = JournalSettingsOf(settingsFile);
    const std::vector<JournalRun> runs = ListJournalRuns(settings);
    if (list) return ListRuns(runs);
    return Undo(settings, run.empty() ? run : RunNamed(runs, run));
}

} // namespace kelvara
