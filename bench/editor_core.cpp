// Editor core speed and memory on generated source-like text of 1, 10 and
// 50 MB: loading, typing at the middle, at the start and alternately at both,
// a long typing run undone at once, offset-to-point look-ups, and the memory a
// loaded text holds; also word movement across a long row of two-byte
// characters, and loading a UTF-8 text whose rows are all measured.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <string>

#include "common/CodePage.h"
#include "editor/MemoComponent.h"

namespace {

std::atomic<long long> liveBytes{0};
std::atomic<long long> peakBytes{0};

void Track(long long delta) {
    const long long now = liveBytes += delta;
    long long peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
    }
}

} // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size);
    if (!p) throw std::bad_alloc();
    Track(static_cast<long long>(malloc_usable_size(p)));
    return p;
}

void operator delete(void* p) noexcept {
    if (!p) return;
    Track(-static_cast<long long>(malloc_usable_size(p)));
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace kelvara {
namespace {

class BenchEditor : public TMemoComponent {
public:
    void PaintRowText(TMCRange&, int, int, int) override {}
};

// Lines of C-like code: indentation, identifiers, literals, comments.
std::string SourceText(std::size_t bytes) {
    static const char* const kLines[] = {
        "#include <stdio.h>",
        "static int counter_%d = 0;",
        "int function_name(int argument, const char* text)",
        "{",
        "\tif (argument > 10 && text != NULL) {",
        "\t\tprintf(\"value: %d\\n\", argument * 2 + counter);",
        "\t\treturn argument - 1; // a short comment",
        "\t}",
        "\tfor (int i = 0; i < argument; ++i) total += values[i] * weights[i];",
        "}",
        "",
        "/* A longer block comment that describes what the following code does. */",
    };
    std::string text;
    text.reserve(bytes + 128);
    std::size_t line = 0;
    while (text.size() < bytes) {
        text += kLines[line++ % std::size(kLines)];
        text += "\r\n";
    }
    return text;
}

const std::string& Text(std::size_t megabytes) {
    static std::string texts[51];
    std::string& text = texts[megabytes];
    if (text.empty()) text = SourceText(megabytes << 20);
    return text;
}

void BM_Load(benchmark::State& state) {
    const std::string& text = Text(state.range(0));
    long long retained = 0, peak = 0, rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto editor = std::make_unique<BenchEditor>();
        const long long before = liveBytes;
        peakBytes = before;
        state.ResumeTiming();
        editor->Lines().SetText(text);
        state.PauseTiming();
        retained = liveBytes - before;
        peak = peakBytes - before;
        rows = editor->LineCount();
        editor.reset();
        state.ResumeTiming();
    }
    const double size = static_cast<double>(text.size());
    state.counters["retained_per_byte"] = retained / size;
    state.counters["peak_per_byte"] = peak / size;
    state.counters["budget_per_byte"] = (3 * size + 16.0 * rows) / size;
    state.SetBytesProcessed(state.iterations() * text.size());
}

// One character typed per iteration, each a full replacement with undo.
void TypeAt(benchmark::State& state, bool middle) {
    BenchEditor editor;
    editor.Lines().SetText(Text(state.range(0)));
    editor.SetSelStart(middle ? editor.TextLength() / 2 : 0);
    for (auto _ : state)
        editor.KeyPress('x');
}

void BM_TypeMiddle(benchmark::State& state) { TypeAt(state, true); }
void BM_TypeStart(benchmark::State& state) { TypeAt(state, false); }

// The worst case: every character goes far from the previous one, so the gap
// and the pending line-start shift travel half the text each time.
void BM_TypeAlternating(benchmark::State& state) {
    BenchEditor editor;
    editor.Lines().SetText(Text(state.range(0)));
    bool middle = false;
    for (auto _ : state) {
        editor.SetSelStart(middle ? editor.TextLength() / 2 : 0);
        editor.KeyPress('x');
        middle = !middle;
    }
}

// A minified file: the whole text is one row that every keystroke measures.
void BM_TypeInOneLongRow(benchmark::State& state) {
    BenchEditor editor;
    editor.Lines().SetText(std::string(state.range(0) << 20, 'm'));
    editor.SetSelStart(editor.TextLength() / 2);
    for (auto _ : state)
        editor.KeyPress('x');
}

void BM_Type1000ThenUndo(benchmark::State& state) {
    BenchEditor editor;
    editor.Lines().SetText(Text(state.range(0)));
    editor.SetSelStart(editor.TextLength() / 2);
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i)
            editor.KeyPress('y');
        editor.Undo();
    }
}

// Ctrl+Left across one row of two-byte characters (the argument in KB).
void BM_WordLeftOverTwoByteRow(benchmark::State& state) {
    SetTextCodePage(CodePage::Gbk);
    BenchEditor editor;
    std::string row = "word ";
    while (row.size() < static_cast<std::size_t>(state.range(0)) << 10)
        row += "\xD6\xD0\xCE\xC4";
    editor.SetText(row);
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.WordLeft(editor.TextLength() + 1));
}

// Loading UTF-8 text measures every row: Chinese, accented Latin (some with
// combining marks) and ASCII, 10 MB.
void BM_LoadUtf8(benchmark::State& state) {
    SetTextCodePage(CodePage::Utf8);
    std::string text;
    while (text.size() < static_cast<std::size_t>(state.range(0)) << 20)
        text += "\t// \xE4\xB8\xAD\xE6\x96\x87\xE6\xB3\xA8\xE9\x87\x8A caf\xC3\xA9 "
                "cafe\xCC\x81 na\xC3\xAFve value = f(\"\xE6\x96\x87\", 42);\r\n";
    for (auto _ : state) {
        BenchEditor editor;
        editor.Lines().SetText(text);
        benchmark::DoNotOptimize(editor.MaxLineWidth());
    }
    state.SetBytesProcessed(state.iterations() * text.size());
    SetTextCodePage(CodePage::Gbk);
}

void BM_OffsetToPoint(benchmark::State& state) {
    BenchEditor editor;
    editor.Lines().SetText(Text(state.range(0)));
    std::mt19937 random(1);
    for (auto _ : state) {
        const int offset = 1 + static_cast<int>(random() % editor.TextLength());
        benchmark::DoNotOptimize(editor.OffsetToPoint(offset));
    }
}

BENCHMARK(BM_Load)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TypeMiddle)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeStart)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeAlternating)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeInOneLongRow)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Type1000ThenUndo)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OffsetToPoint)->Arg(1)->Arg(10)->Arg(50);
BENCHMARK(BM_LoadUtf8)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WordLeftOverTwoByteRow)->Arg(64)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kelvara

BENCHMARK_MAIN();
