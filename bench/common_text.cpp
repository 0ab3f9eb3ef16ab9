// Throughput of the common layer's text work: splitting files into lines,
// reading them, and converting between the code pages and Unicode.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "common/CodePageConversion.h"
#include "common/FileEncoding.h"
#include "common/IniFile.h"
#include "common/LineFile.h"

namespace kelvara {
namespace {

constexpr std::size_t kTextSize = 16 << 20;

// Source-code-like ASCII lines of 0..100 bytes with the given break.
std::string AsciiLines(std::string_view lineBreak) {
    std::mt19937 random(7);
    std::string text;
    while (text.size() < kTextSize) {
        const std::size_t length = random() % 101;
        for (std::size_t i = 0; i < length; ++i)
            text.push_back(static_cast<char>(' ' + random() % 95));
        text.append(lineBreak);
    }
    return text;
}

// Chinese prose in GBK: pairs from the common range with some ASCII.
std::string GbkProse() {
    std::mt19937 random(11);
    std::string text;
    while (text.size() < kTextSize) {
        if (random() % 8 == 0) {
            text.append(random() % 4 == 0 ? "\r\n" : ", ");
            continue;
        }
        text.push_back(static_cast<char>(0xB0 + random() % 0x28));
        text.push_back(static_cast<char>(0xA1 + random() % 0x5E));
    }
    return text;
}

void SplitLinesOf(benchmark::State& state, const std::string& text) {
    std::vector<LineSpan> lines;
    for (auto _ : state) {
        SplitLines(text, lines);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_SplitLinesLf(benchmark::State& state) {
    static const std::string text = AsciiLines("\n");
    SplitLinesOf(state, text);
}
BENCHMARK(BM_SplitLinesLf);

void BM_SplitLinesCrLf(benchmark::State& state) {
    static const std::string text = AsciiLines("\r\n");
    SplitLinesOf(state, text);
}
BENCHMARK(BM_SplitLinesCrLf);

void BM_ReadLineFile(benchmark::State& state) {
    const std::string text = AsciiLines("\r\n");
    const std::string path = "/tmp/kelvara-bench-read.txt";
    if (WriteFileAtomic(path, text)) {
        state.SkipWithError("cannot write the sample file");
        return;
    }
    LineFile file;
    for (auto _ : state) {
        if (ReadLineFile(path, file)) state.SkipWithError("cannot read the sample file");
        benchmark::DoNotOptimize(file.lines.data());
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadLineFile);

void DecodeOf(benchmark::State& state, const std::string& text, CodePage codePage) {
    std::u16string unicode;
    for (auto _ : state) {
        unicode.clear();
        DecodeText(text, codePage, unicode);
        benchmark::DoNotOptimize(unicode.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_DecodeGbkProse(benchmark::State& state) { DecodeOf(state, GbkProse(), CodePage::Gbk); }
BENCHMARK(BM_DecodeGbkProse);

void BM_DecodeUtf8Prose(benchmark::State& state) {
    std::string utf8;
    RecodeLenient(GbkProse(), CodePage::Gbk, CodePage::Utf8, utf8);
    DecodeOf(state, utf8, CodePage::Utf8);
}
BENCHMARK(BM_DecodeUtf8Prose);

void BM_DecodeAsciiLines(benchmark::State& state) {
    DecodeOf(state, AsciiLines("\n"), CodePage::Gbk);
}
BENCHMARK(BM_DecodeAsciiLines);

void BM_EncodeGbkProse(benchmark::State& state) {
    const std::string text = GbkProse();
    const std::u16string unicode = DecodeText(text, CodePage::Gbk);
    std::string bytes;
    for (auto _ : state) {
        bytes.clear();
        benchmark::DoNotOptimize(EncodeText(unicode, CodePage::Gbk, bytes));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_EncodeGbkProse);

// Detecting the encoding of a file read: one pass over the bytes read.
void DetectOf(benchmark::State& state, const std::string& text) {
    for (auto _ : state)
        benchmark::DoNotOptimize(DetectEncoding(text, {}));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_DetectAsciiLines(benchmark::State& state) { DetectOf(state, AsciiLines("\n")); }
BENCHMARK(BM_DetectAsciiLines);

// Chinese prose in UTF-8 is checked to its end: every character counts.
void BM_DetectUtf8Prose(benchmark::State& state) {
    std::mt19937 random(13);
    std::u16string prose;
    while (prose.size() < kTextSize / 3)
        prose.push_back(random() % 8 == 0 ? u','
                                          : static_cast<char16_t>(0x4E00 + random() % 0x5000));
    std::string utf8;
    if (EncodeText(prose, CodePage::Utf8, utf8)) state.SkipWithError("cannot encode the prose");
    DetectOf(state, utf8);
}
BENCHMARK(BM_DetectUtf8Prose);

// GBK is told from UTF-8 at its first pair.
void BM_DetectGbkProse(benchmark::State& state) { DetectOf(state, GbkProse()); }
BENCHMARK(BM_DetectGbkProse);

// Loading a settings file with a long history and reading every entry back.
void BM_IniLoadAndReadHistory(benchmark::State& state) {
    const std::string path = "/tmp/kelvara-bench.ini";
    const int count = static_cast<int>(state.range(0));
    {
        TIniFile ini(path);
        for (int i = 0; i < count; ++i)
            ini.WriteString("findstr", std::to_string(i) + ".vvalue", "text " + std::to_string(i));
        ini.WriteInteger("findstr", "count", count);
        if (ini.UpdateFile()) state.SkipWithError("cannot write the settings file");
    }
    for (auto _ : state) {
        const TIniFile ini(path);
        const int entries = ini.ReadInteger("findstr", "count", 0);
        for (int i = 0; i < entries; ++i)
            benchmark::DoNotOptimize(ini.ReadString("findstr", std::to_string(i) + ".vvalue", ""));
    }
    std::remove(path.c_str());
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_IniLoadAndReadHistory)->Arg(100)->Arg(100000);

} // namespace
} // namespace kelvara

BENCHMARK_MAIN();
