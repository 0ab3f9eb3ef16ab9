// Batch finds and replaces with random regular expressions against Python's
// re on the same decoded lines: every option combination, files in GBK and
// UTF-8, one thread and two. What the run adds to the matcher is checked
// here: the text every match holds picking the lines, trimming, columns, whole
// words and each hit's replacement written into the file.
#include <cstdlib>
#include <sstream>

#include <gtest/gtest.h>

#include "common/AnsiString.h"
#include "common/AskUser.h"
#include "common/Regex.h"
#include "common/RegexCases.h"
#include "search/BatchFind.h"
#include "search/BatchReplace.h"
#include "search/TestFolder.h"

namespace kelvara {
namespace {

constexpr int kRuns = 120;
constexpr int kLines = 12;

// One run: a file, the options, and what Kelvara found and wrote.
struct OracleRun {
    std::string pattern; // as the run uses it (trimmed when blanks are ignored)
    std::string replacement;
    MatchOptions options;
    std::vector<std::string> lines; // in the file's code page
    std::string hits;               // "line:column " per hit
    std::string written;            // the file after the replace
};

std::string Describe(const OracleRun& run) {
    const MatchOptions& o = run.options;
    return "/" + run.pattern + "/ -> " + run.replacement +
           (o.ForcedCodePage == CodePage::Gbk ? " GBK" : " UTF-8") +
           (o.CaseSensitive ? " case" : "") + (o.WholeWord ? " word" : "") +
           (o.IgnoreSpaces ? " trim" : "");
}

// The oracle's hits ("start-end" in the scanned line) as columns of line
// `number`, and its replaced line put back between the trimmed blanks.
void AddAnswer(const std::string& answer, const std::string& line, std::string_view scanned,
               int number, std::string& hits, std::string& written) {
    const std::size_t bar = answer.find('|');
    std::istringstream spans(answer.substr(0, bar));
    for (std::string span; spans >> span;)
        hits += std::to_string(number) + ":" + std::to_string(std::stoul(span) + 1) + " ";
    const std::string hex = answer.substr(bar + 1);
    std::string out;
    for (std::size_t at = 0; at + 1 < hex.size(); at += 2)
        out.push_back(static_cast<char>(std::stoi(hex.substr(at, 2), nullptr, 16)));
    const std::size_t front = static_cast<std::size_t>(scanned.data() - line.data());
    written += line.substr(0, front) + out + line.substr(front + scanned.size()) + "\n";
}

TEST(RegexRunOracleTest, BatchHitsAndReplacesAgreeWithPythonsRe) {
    if (std::system("command -v python3 >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
    SetAskUserSink([](const MessageBoxRequest&) { return kIdYes; });
    Generator generate(1811);
    TestFolder dir;
    std::vector<OracleRun> runs;
    std::string cases;
    std::vector<std::string> history, replaceHistory;
    while (runs.size() < kRuns) {
        OracleRun run;
        run.options = {generate.Chance(50), generate.Chance(30), generate.Chance(30)};
        run.options.Regex = true;
        const CodePage codePage = generate.Chance(50) ? CodePage::Gbk : CodePage::Utf8;
        run.options.ForcedCodePage = codePage;
        const std::string typed = generate.Pattern();
        run.pattern = run.options.IgnoreSpaces ? TrimView(typed) : typed;
        PatternError error;
        const auto compiled = RegexPattern::Compile(
            run.pattern, {!run.options.CaseSensitive, run.options.WholeWord}, error);
        if (run.pattern.empty() || !compiled) continue;
        std::string parts;
        while (run.replacement.empty())
            run.replacement = generate.Replacement(compiled->GroupCount(), parts);

        std::string bytes;
        for (int i = 0; i < kLines; ++i) {
            std::string line;
            RecodeLenient(generate.Line(), CodePage::Utf8, codePage, line);
            const std::string_view scanned =
                run.options.IgnoreSpaces ? TrimView(line) : std::string_view(line);
            cases += OracleCase(run.pattern, scanned, codePage, !run.options.CaseSensitive,
                                run.options.WholeWord, parts);
            bytes += line + "\n";
            run.lines.push_back(std::move(line));
        }
        FileSet files;
        files.Add(dir.Write("run" + std::to_string(runs.size()) + ".txt", bytes));
        files.TickAll();
        ResultTree tree;
        RunBatchFind(typed, history, files, run.options, tree, {}, generate.Chance(50) ? 1 : 2);
        for (NodeRef node = tree.First(); node.IsValid(); node = tree.Next(node))
            if (node.IsHitNode())
                run.hits +=
                    std::to_string(tree.Line(node)) + ":" + std::to_string(tree.Column(node)) + " ";
        RunBatchReplace(typed, run.replacement, history, replaceHistory, files, run.options, tree,
                        {});
        run.written = TestFolder::Read(files.Entry(0).path);
        runs.push_back(std::move(run));
    }
    SetAskUserSink({});

    const std::vector<std::string> answers = AskOracle(dir.Path(), cases);
    ASSERT_GE(answers.size(), std::size_t{kRuns * kLines}) << (answers.empty() ? "" : answers[0]);
    int failures = 0;
    for (std::size_t r = 0; r < runs.size() && failures < 10; ++r) {
        const OracleRun& run = runs[r];
        std::string hits, written;
        for (int i = 0; i < kLines; ++i) {
            const std::string& line = run.lines[i];
            AddAnswer(answers[r * kLines + i], line,
                      run.options.IgnoreSpaces ? TrimView(line) : std::string_view(line), i + 1,
                      hits, written);
        }
        if (run.hits != hits || run.written != written) ++failures;
        EXPECT_EQ(run.hits, hits) << Describe(run);
        EXPECT_EQ(Hex(run.written), Hex(written)) << Describe(run);
    }
}

} // namespace
} // namespace kelvara
