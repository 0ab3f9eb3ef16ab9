// Speed of matching lines and memory of the result tree.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <random>
#include <string>
#include <vector>

#include "common/CodePage.h"
#include "search/LineMatcher.h"
#include "search/Matcher.h"
#include "search/ResultTree.h"

namespace kelvara {
namespace {

constexpr int kLineCount = 20000;
constexpr char kRareAscii[] = "ReadLineFile";
constexpr char kFrequentAscii[] = "return";
// Two Chinese characters that the prose below holds rarely, and its most
// frequent character.
constexpr char kRareGbk[] = "\xF7\xFE\xF7\xFD";
constexpr char kFrequentGbk[] = "\xB5\xC4";

// C-like source lines: indentation, keywords, identifiers, punctuation.
std::vector<std::string> SourceLines() {
    static const char* const kTokens[] = {
        "if",   "(",     ")",           "{",       "}",      "return", "int", "count",
        "=",    "+",     "std::string", "line",    "size_t", "for",    ";",   "const",
        "auto", "&",     "buffer",      "->",      "Next",   "node",   "0",   "1",
        "==",   "while", "text.size()", "nullptr", ",",      "Append"};
    std::mt19937 random(1);
    std::uniform_int_distribution<int> token(0, std::size(kTokens) - 1);
    std::vector<std::string> lines;
    for (int i = 0; i < kLineCount; ++i) {
        std::string line(4 * (random() % 4), ' ');
        for (int words = 3 + random() % 10; words > 0; --words) {
            line += kTokens[token(random)];
            line += ' ';
        }
        if (random() % 1000 == 0) line += kRareAscii;
        lines.push_back(std::move(line));
    }
    return lines;
}

// GBK prose: GB2312 characters with a skewed choice, so that a few are
// common, and some ASCII punctuation, digits and blanks.
std::vector<std::string> GbkLines() {
    std::mt19937 random(2);
    std::geometric_distribution<int> rank(0.01);
    std::vector<std::string> lines;
    for (int i = 0; i < kLineCount; ++i) {
        std::string line;
        for (int chars = 20 + random() % 40; chars > 0; --chars) {
            const int r = rank(random) % (0x48 * 0x5E);
            if (r == 0) {
                line += kFrequentGbk;
            } else if (random() % 12 == 0) {
                line += ", 12."[random() % 5];
            } else {
                line += static_cast<char>(0xB0 + r / 0x5E);
                line += static_cast<char>(0xA1 + r % 0x5E);
            }
        }
        if (random() % 1000 == 0) line += kRareGbk;
        lines.push_back(std::move(line));
    }
    return lines;
}

std::size_t ByteCount(const std::vector<std::string>& lines) {
    std::size_t bytes = 0;
    for (const std::string& line : lines)
        bytes += line.size();
    return bytes;
}

// Arguments: 0 source / 1 GBK prose, 0 rare / 1 frequent, case-sensitive.
void BM_FindInLine(benchmark::State& state) {
    const bool gbk = state.range(0) == 1;
    const bool frequent = state.range(1) == 1;
    const MatchOptions options{.CaseSensitive = state.range(2) == 1};
    const CodePage codePage = gbk ? CodePage::Gbk : CodePage::Utf8;
    static const std::vector<std::string> source = SourceLines();
    static const std::vector<std::string> prose = GbkLines();
    const std::vector<std::string>& lines = gbk ? prose : source;
    const char* search =
        gbk ? (frequent ? kFrequentGbk : kRareGbk) : (frequent ? kFrequentAscii : kRareAscii);
    LineMatcher matcher(PrepareSearchText(search, options, codePage), options, codePage);
    ResultTree tree;
    std::size_t hits = 0;
    for (auto _ : state) {
        tree.Clear();
        const NodeRef file = tree.AppendFileNode("/src/file.txt", matcher.SearchText(), codePage);
        std::int32_t number = 0;
        for (const std::string& line : lines)
            hits += matcher.FindInLine(line, ++number, "/src/file.txt", tree, file);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ByteCount(lines)));
    state.counters["hits/pass"] = static_cast<double>(hits) / state.iterations();
    state.SetLabel(std::string(gbk ? "gbk-prose" : "ascii-source") +
                   (frequent ? " frequent" : " rare") +
                   (options.CaseSensitive ? " case" : " nocase"));
}
BENCHMARK(BM_FindInLine)->ArgsProduct({{0, 1}, {0, 1}, {0, 1}});

// Heap held by a tree of one million find hits, 1000 files of 1000 hits.
void BM_ResultTreeMillionHits(benchmark::State& state) {
    double heapBytes = 0;
    for (auto _ : state) {
        const std::size_t before = mallinfo2().uordblks;
        ResultTree tree;
        for (int f = 0; f < 1000; ++f) {
            const std::string path =
                "/home/user/project/src/module/file" + std::to_string(f) + ".cpp";
            const NodeRef file = tree.AppendFileNode(path, "needle", CodePage::Utf8);
            for (int h = 0; h < 1000; ++h)
                tree.AppendFindHit(file, {path, h + 1, 7, "needle"});
        }
        heapBytes = static_cast<double>(mallinfo2().uordblks - before);
        benchmark::DoNotOptimize(tree.NodeCount());
    }
    state.counters["heap_MB"] = heapBytes / 1e6;
}
BENCHMARK(BM_ResultTreeMillionHits)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace kelvara

BENCHMARK_MAIN();
