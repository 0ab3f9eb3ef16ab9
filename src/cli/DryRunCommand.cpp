#include "cli/DryRunCommand.h"

#include <cstdio>
#include <cstring>

#include <unistd.h>

#include "cli/DiffPrinter.h"
#include "cli/OutputBuffer.h"
#include "cli/PathQuoting.h"
#include "cli/ProgressLine.h"
#include "common/LocaleCodePage.h"
#include "common/MessageCatalogue.h"
#include "search/DryReplace.h"

namespace kelvara {

namespace {

void PrintLine(const std::string& utf8) {
    std::fputs((TextToLocale(TextFromUtf8(utf8)) + "\n").c_str(), stderr);
}

} // namespace

int RunDryRun(const CommandLine& line, PathFeed& paths, const std::string& text,
              const std::string& replacement, std::atomic<bool>* stopRequested) {
    ProgressLine progress;
    const BatchHooks hooks{&progress, {}, stopRequested};
    OutputBuffer out(STDOUT_FILENO);
    DiffPrinter printer(out, isatty(STDOUT_FILENO) == 1);
    const DryReplaceResult result =
        RunDryReplace(text, replacement, paths, line.options, hooks, printer, line.threads);
    progress.Clear();
    out.Flush();
    if (result.error) {
        std::fprintf(stderr, "kelvara: %s: %s\n", QuotedPath(result.error->path).c_str(),
                     result.error->reason.c_str());
    }
    PrintLine(
        FormatMessage(Translate("kelvara::DryRun",
                                "读取文件 %1 个，将改写文件 %2 个，替换 %3 处（未写入任何文件）"),
                      {std::to_string(result.filesRead), std::to_string(result.filesChanged),
                       std::to_string(result.hits)}));
    if (!result.nulFiles.empty()) {
        PrintLine(std::string(Translate("kelvara::DryRun", "以下文件含有 NUL 字节，不会改写：")));
        for (const std::string& path : result.nulFiles)
            std::fprintf(stderr, "%s\n", QuotedPath(path).c_str());
    }
    if (!result.encodingFiles.empty()) {
        PrintLine(std::string(Translate("kelvara::DryRun", "以下文件因编码不会改写：")));
        for (const LeftFile& file : result.encodingFiles) {
            std::fprintf(stderr, "%s: %s\n", QuotedPath(file.path).c_str(),
                         TextToLocale(TextFromUtf8(file.reason)).c_str());
        }
    }
    if (!result.cutLines.empty()) {
        PrintLine(std::string(Translate("kelvara::DryRun",
                                        "正则表达式在以下行试得太久，这些行的其余部分没有查找：")));
        for (const CutLine& cut : result.cutLines)
            std::fprintf(stderr, "%s:%d\n", QuotedPath(cut.path).c_str(), cut.line);
    }
    if (out.Error() != 0) {
        PrintLine("kelvara: " + FormatMessage(Translate("kelvara::RunCommandLine", "标准输出：%1"),
                                              {std::strerror(out.Error())}));
        return 2;
    }
    if (result.error || !result.encodingFiles.empty() || !result.cutLines.empty()) return 2;
    return result.filesChanged > 0 ? 0 : 1;
}

} // namespace kelvara
